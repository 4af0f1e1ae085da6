#pragma once
// The emulated player's own refusals: sense key 9, these 16-bit codes in
// sense bytes 12-13. Each lies in a range for which ombra has a text.

#include <cstdint>

namespace sim::PlayerSense {

// Command level.
// The operation code and sub-command do not name a vendor command.
inline constexpr std::uint16_t kUnknownCommand = 0x0101;
// The info type is not one the command provides (or, for set drive info,
// not a version record).
inline constexpr std::uint16_t kInvalidInfoType = 0x0102;

// Logical drive level.
// No drive of the table has the drive number.
inline constexpr std::uint16_t kDriveNotFound = 0x0401;
// The sectors lie, in part or whole, beyond the end of the drive.
inline constexpr std::uint16_t kSectorOutOfRange = 0x0402;
// Version records are kept with system drives only.
inline constexpr std::uint16_t kNoVersionRecord = 0x0403;

// Logical media level (allocation).
inline constexpr std::uint16_t kTooManyDrives = 0x0501;
// The drives do not fit into the flash.
inline constexpr std::uint16_t kLayoutTooLarge = 0x0502;
// A drive type other than 0 (data) or 1 (system).
inline constexpr std::uint16_t kInvalidDriveType = 0x0503;
inline constexpr std::uint16_t kSecondDataDrive = 0x0504;
// The medium still holds a table: it must be erased before it is cut anew.
inline constexpr std::uint16_t kMediaNotErased = 0x0505;

}  // namespace sim::PlayerSense
