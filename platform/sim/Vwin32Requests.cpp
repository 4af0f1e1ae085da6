// The MS-DOS calls vwin32 carries out: volume locks, drive map information
// and device parameters. Parameter blocks are reached through the address
// in EDX.

#include <algorithm>
#include <cstring>

#include "sim/Vwin32Device.h"

namespace sim {

namespace {

constexpr BYTE kHighestLockLevel = 3;
constexpr BYTE kNoPhysicalDrive = 0xFF;
constexpr std::size_t kDriveMapInfoSize = 16;
// Bytes 1 to 37: the block's header, the BIOS parameter block and its
// reserved tail; byte 0 (special functions) is the caller's.
constexpr std::size_t kDeviceParameterBlockSize = 38;

void Put16(std::uint8_t* at, WORD value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, DWORD value) {
  Put16(at, static_cast<WORD>(value));
  Put16(at + 2, static_cast<WORD>(value >> 16));
}

// Level 0 is the exclusive lock and may be taken a second time (for
// formatting); levels 1 to 3 follow one another.
bool MayTakeLevel(const std::vector<Vwin32Lock>& locks, BYTE level) {
  if (locks.empty()) return level <= 1;
  const BYTE innermost = locks.back().level;
  if (level == 0) return innermost == 0 && locks.size() < 2;
  return level == innermost + 1;
}

}  // namespace

WORD Vwin32Device::Lock(LockStack& locks, BYTE level, WORD permissions, bool refused) {
  if (level > kHighestLockLevel) return kDosInvalidFunction;
  if (refused || !MayTakeLevel(locks, level)) return kDosAccessDenied;
  locks.push_back({level, permissions});
  return 0;
}

WORD Vwin32Device::Unlock(LockStack& locks) {
  if (locks.empty()) return kDosVolumeNotLocked;
  locks.pop_back();
  return 0;
}

bool Vwin32Device::FindPhysicalDrive(BYTE unit, bool& refusesLock) const {
  bool found = false;
  refusesLock = false;
  if (unit == kNoPhysicalDrive) return false;
  for (const auto& drive : drives) {
    if (drive.second.int13Unit != unit) continue;
    found = true;
    refusesLock = refusesLock || drive.second.refusesLock;
  }
  return found;
}

WORD Vwin32Device::LockPhysical(BYTE unit, BYTE level, WORD permissions) {
  // Locking a disk locks every volume on it; one volume in use refuses it.
  bool refused = false;
  if (!FindPhysicalDrive(unit, refused)) return kDosInvalidDrive;
  return Lock(physicalLocks[unit], level, permissions, refused);
}

WORD Vwin32Device::UnlockPhysical(BYTE unit) {
  bool refused = false;
  if (!FindPhysicalDrive(unit, refused)) return kDosInvalidDrive;
  return Unlock(physicalLocks[unit]);
}

WORD Vwin32Device::GetDriveMapInfo(wchar_t letter, DWORD address) const {
  auto* record = static_cast<std::uint8_t*>(ResolveVwin32Address(address));
  if (record == nullptr) return kDosInvalidAddress;
  const Vwin32Drive& drive = *FindDrive(letter);
  std::uint8_t info[kDriveMapInfoSize] = {};
  info[2] = drive.driveMapFlags;
  info[3] = drive.int13Unit;
  const DWORD associated =
      drive.associatedDriveMap != 0 ? drive.associatedDriveMap : DWORD{1} << (letter - L'A');
  Put32(info + 4, associated);
  Put32(info + 8, static_cast<DWORD>(drive.partitionStart));
  Put32(info + 12, static_cast<DWORD>(drive.partitionStart >> 32));
  // The caller's allocation length (byte 0) bounds what is written.
  const std::size_t used = std::min<std::size_t>(record[0], kDriveMapInfoSize);
  info[1] = static_cast<std::uint8_t>(used);
  if (used > 1) std::memcpy(record + 1, info + 1, used - 1);
  return 0;
}

WORD Vwin32Device::GetDeviceParameters(wchar_t letter, DWORD address) const {
  auto* block = static_cast<std::uint8_t*>(ResolveVwin32Address(address));
  if (block == nullptr) return kDosInvalidAddress;
  const DosDeviceParameters& p = FindDrive(letter)->parameters;
  std::uint8_t filled[kDeviceParameterBlockSize] = {};
  filled[1] = p.deviceType;
  Put16(filled + 2, p.deviceAttributes);
  Put16(filled + 4, p.cylinders);
  filled[6] = p.mediaType;
  Put16(filled + 7, p.bytesPerSector);
  filled[9] = p.sectorsPerCluster;
  Put16(filled + 10, p.reservedSectors);
  filled[12] = p.fatCount;
  Put16(filled + 13, p.rootEntries);
  Put16(filled + 15, p.totalSectors);
  filled[17] = p.mediaDescriptor;
  Put16(filled + 18, p.sectorsPerFat);
  Put16(filled + 20, p.sectorsPerTrack);
  Put16(filled + 22, p.heads);
  Put32(filled + 24, p.hiddenSectors);
  Put32(filled + 28, p.hugeSectors);
  std::memcpy(block + 1, filled + 1, sizeof filled - 1);
  return 0;
}

}  // namespace sim
