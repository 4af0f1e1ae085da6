#pragma once
// The player's flash as one logical medium cut into logical drives: the
// logical table (drive number, type, tag, size), each drive's sectors and
// the version records kept with system drives. The vendor commands of the
// emulated player work on it; tests read and set it directly.
//
// Allocation rules:
// - at most ten drives, each of type 0 (data) or 1 (system), at most one
//   data drive; the medium must be erased (no table) first;
// - the player numbers the drives 0, 1, ... in the order given;
// - a size is rounded up to whole sectors of the drive's type, and the
//   table reports the size allocated;
// - a data drive asked with size 0 gets the flash that the other drives
//   leave, in whole sectors;
// - the sizes allocated must fit into the flash.
// A refusal leaves the medium as it was.
//
// Content of erased flash reads FFh. A version record never written, or
// erased with its drive, reads 0.0.0.

#include <cstdint>
#include <vector>

#include "sim/SparseBlockStore.h"

namespace sim {

inline constexpr std::uint8_t kFlashDriveTypeData = 0;
inline constexpr std::uint8_t kFlashDriveTypeSystem = 1;
inline constexpr std::size_t kFlashMaxDrives = 10;
inline constexpr std::uint8_t kErasedFlashByte = 0xFF;

struct FirmwareVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t revision = 0;

  bool operator==(const FirmwareVersion& other) const {
    return major == other.major && minor == other.minor && revision == other.revision;
  }
  bool operator!=(const FirmwareVersion& other) const { return !(*this == other); }
};

struct FlashDrive {
  std::uint8_t number = 0;
  std::uint8_t type = kFlashDriveTypeData;
  std::uint8_t tag = 0;
  SparseBlockStore content;          // sector size and count, erased = FFh
  FirmwareVersion componentVersion;  // drive info type 7
  FirmwareVersion productVersion;    // drive info type 8

  std::uint64_t SizeInBytes() const { return content.SizeInBytes(); }
  std::uint32_t SectorSize() const { return content.BlockSize(); }
  bool IsSystem() const { return type == kFlashDriveTypeSystem; }
  // Sectors FFh again, version records 0.0.0.
  void Erase();
};

// One entry of an allocation: what the host asks for.
struct DriveRequest {
  std::uint8_t type = kFlashDriveTypeSystem;
  std::uint8_t tag = 0;
  std::uint64_t sizeInBytes = 0;
};

class Flash {
 public:
  Flash(std::uint64_t sizeInBytes, std::uint32_t systemSectorSize, std::uint32_t dataSectorSize);

  std::uint64_t SizeInBytes() const { return sizeInBytes; }
  std::uint32_t SectorSizeOf(std::uint8_t driveType) const;

  // 0, or the player's vendor code for the refusal (PlayerSenseCodes.h).
  std::uint16_t Allocate(const std::vector<DriveRequest>& requests);
  // No table and no content any more.
  void EraseAll() { drives.clear(); }

  // In table order.
  const std::vector<FlashDrive>& Drives() const { return drives; }
  std::vector<FlashDrive>& Drives() { return drives; }
  FlashDrive* FindDrive(std::uint8_t number);
  const FlashDrive* FindDrive(std::uint8_t number) const;
  // The first drive of that type and tag; null when there is none.
  FlashDrive* FindDrive(std::uint8_t type, std::uint8_t tag);
  // The first data drive; null when there is none.
  FlashDrive* DataDrive();
  const FlashDrive* DataDrive() const;
  std::uint64_t AllocatedBytes() const;

  // Puts a whole saved state in place (FlashImage.h).
  void Replace(std::uint64_t flashSize, std::vector<FlashDrive> newDrives);

 private:
  std::uint16_t CheckRequests(const std::vector<DriveRequest>& requests) const;

  std::uint64_t sizeInBytes;
  std::uint32_t systemSectorSize;
  std::uint32_t dataSectorSize;
  std::vector<FlashDrive> drives;
};

}  // namespace sim
