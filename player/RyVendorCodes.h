#pragma once
// Operation codes, sub-commands and information types of the player's
// vendor command set.

#include <cstdint>

namespace RyVendor {

inline constexpr std::uint32_t kCdbLength = 16;

// CDB byte 0: C0h when the player answers with data, C1h when it takes a
// payload or nothing.
inline constexpr std::uint8_t kOpDataIn = 0xC0;
inline constexpr std::uint8_t kOpDataOut = 0xC1;

// CDB byte 1.
inline constexpr std::uint8_t kSubGetLogicalMediaInfo = 0x02;
inline constexpr std::uint8_t kSubGetLogicalTable = 0x05;
inline constexpr std::uint8_t kSubAllocateLogicalMedia = 0x06;
inline constexpr std::uint8_t kSubEraseLogicalMedia = 0x07;
inline constexpr std::uint8_t kSubGetLogicalDriveInfo = 0x12;
inline constexpr std::uint8_t kSubReadLogicalDriveSector = 0x13;
inline constexpr std::uint8_t kSubSetLogicalDriveInfo = 0x20;
inline constexpr std::uint8_t kSubWriteLogicalDriveSector = 0x23;
inline constexpr std::uint8_t kSubEraseLogicalDrive = 0x2F;
inline constexpr std::uint8_t kSubGetChipMajorRevId = 0x30;
inline constexpr std::uint8_t kSubChipReset = 0x31;

// Media information that ombra reads: true on the player's own disk.
inline constexpr std::uint32_t kMediaInfoPlayerFlag = 9;

// Drive information that ombra reads or writes.
inline constexpr std::uint32_t kDriveInfoSectorSize = 0;
inline constexpr std::uint32_t kDriveInfoComponentVersion = 7;
inline constexpr std::uint32_t kDriveInfoProductVersion = 8;

}  // namespace RyVendor
