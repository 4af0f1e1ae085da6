#include "device/RyScsiNt.h"

#include <cwchar>
#include <vector>

#include "core/RyStatus.h"
#include "device/RyDeviceHelpers.h"
#include "os/Os.h"

CRyScsi_Nt::CRyScsi_Nt(CRyDeviceOwner* owner, const char* name) : CRyScsi(owner, name) {}

HANDLE CRyScsi_Nt::OpenDevice(const wchar_t* path) const {
  return os::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, 0, nullptr);
}

std::int32_t CRyScsi_Nt::Open() {
  if (handle != INVALID_HANDLE_VALUE) return RyStatus::kSuccess;
  if (driveLetter == 0) {
    // No letter yet: there is no volume to open.
    systemError = ERROR_INVALID_DRIVE;
    return RyStatus::kDeviceOpenFailed;
  }
  wchar_t path[8];
  std::swprintf(path, sizeof path / sizeof path[0], L"\\\\.\\%lc:",
                static_cast<wint_t>(driveLetter));
  handle = OpenDevice(path);
  if (handle == INVALID_HANDLE_VALUE) {
    systemError = os::GetLastError();
    return RyStatus::kDeviceOpenFailed;
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi_Nt::Close() {
  if (handle != INVALID_HANDLE_VALUE) {
    os::CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi_Nt::ControlVolume(DWORD controlCode, std::int32_t failure) {
  for (int attempt = 0; attempt < kVolumeControlAttempts; ++attempt) {
    DWORD returned = 0;
    if (os::DeviceIoControl(handle, controlCode, nullptr, 0, nullptr, 0, &returned, nullptr)) {
      return RyStatus::kSuccess;
    }
    os::Sleep(kVolumeControlDelayMs);
  }
  return failure;
}

std::int32_t CRyScsi_Nt::LockVolume(std::int32_t) {
  return ControlVolume(FSCTL_LOCK_VOLUME, RyStatus::kLockFailed);
}

std::int32_t CRyScsi_Nt::UnlockVolume(std::int32_t) {
  return ControlVolume(FSCTL_UNLOCK_VOLUME, RyStatus::kUnlockFailed);
}

std::int32_t CRyScsi_Nt::DismountVolume() {
  return ControlVolume(FSCTL_DISMOUNT_VOLUME, RyStatus::kDismountFailed);
}

std::int32_t CRyScsi_Nt::LockForFormat(std::int32_t) { return RyStatus::kSuccess; }

std::int32_t CRyScsi_Nt::ReleaseAfterFormat(std::int32_t) { return DismountVolume(); }

bool CRyScsi_Nt::SeekToSector(std::uint32_t firstSector, std::uint32_t sectorSize) {
  // The whole 64-bit byte position: a data drive beyond 4 GiB must not wrap
  // onto its first sectors.
  const std::uint64_t position = std::uint64_t{firstSector} * sectorSize;
  LONG high = static_cast<LONG>(position >> 32);
  os::SetLastError(ERROR_SUCCESS);
  const DWORD low =
      os::SetFilePointer(handle, static_cast<LONG>(position & 0xFFFFFFFF), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && os::GetLastError() != ERROR_SUCCESS);
}

std::int32_t CRyScsi_Nt::ReadSectors(CRyByteArray& data, std::uint32_t count,
                                     std::uint32_t firstSector, std::uint32_t sectorSize) {
  const std::uint64_t length = std::uint64_t{count} * sectorSize;
  if (length > data.GetCount())
    return Report(RyStatus::kReadSectorsFailed, ERROR_INVALID_PARAMETER);
  if (!SeekToSector(firstSector, sectorSize)) {
    return Report(RyStatus::kReadSectorsFailed, os::GetLastError());
  }
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(length), 0);
  DWORD read = 0;
  if (!os::ReadFile(handle, buffer.data(), static_cast<DWORD>(length), &read, nullptr)) {
    return Report(RyStatus::kReadSectorsFailed, os::GetLastError());
  }
  data.WriteBytes(buffer.data(), static_cast<std::uint32_t>(length), 0);
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi_Nt::WriteSectors(const CRyByteArray& data, std::uint32_t count,
                                      std::uint32_t firstSector, std::uint32_t sectorSize) {
  const std::uint64_t length = std::uint64_t{count} * sectorSize;
  if (length > data.GetCount()) {
    return Report(RyStatus::kWriteSectorsFailed, ERROR_INVALID_PARAMETER);
  }
  if (!SeekToSector(firstSector, sectorSize)) {
    return Report(RyStatus::kWriteSectorsFailed, os::GetLastError());
  }
  DWORD written = 0;
  if (!os::WriteFile(handle, data.GetData(), static_cast<DWORD>(length), &written, nullptr)) {
    return Report(RyStatus::kWriteSectorsFailed, os::GetLastError());
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi_Nt::SetDriveLayout(const DiskGeometry& geometry, std::uint32_t hiddenSectors) {
  DriveLayout layout;
  ZeroBytes(&layout, sizeof layout);
  layout.PartitionCount = 4;
  PARTITION_INFORMATION& first = layout.PartitionEntry[0];
  // The start in 64 bits, like the length: both are byte counts.
  const std::uint64_t start = std::uint64_t{hiddenSectors} * geometry.BytesPerSector;
  const std::uint64_t diskBytes = static_cast<std::uint64_t>(geometry.Cylinders.QuadPart) *
                                  geometry.TracksPerCylinder * geometry.SectorsPerTrack *
                                  geometry.BytesPerSector;
  first.StartingOffset.QuadPart = static_cast<LONGLONG>(start);
  first.PartitionLength.QuadPart = static_cast<LONGLONG>(diskBytes - start);
  first.HiddenSectors = hiddenSectors;
  first.PartitionNumber = 1;
  first.PartitionType = 6;
  first.RecognizedPartition = 1;
  first.RewritePartition = 1;
  for (DWORD i = 1; i < 4; ++i) {
    layout.PartitionEntry[i].PartitionNumber = i + 1;
    layout.PartitionEntry[i].RewritePartition = 1;
  }
  DWORD returned = 0;
  // Whatever the delete answers, the set below decides.
  os::DeviceIoControl(handle, IOCTL_DISK_DELETE_DRIVE_LAYOUT, nullptr, 0, nullptr, 0, &returned,
                      nullptr);
  if (!os::DeviceIoControl(handle, IOCTL_DISK_SET_DRIVE_LAYOUT, &layout, kDriveLayoutWriteSize,
                           nullptr, 0, &returned, nullptr)) {
    return Report(RyStatus::kDiskControlFailed, os::GetLastError());
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi_Nt::GetDriveGeometry(DiskGeometry& geometry) {
  DWORD returned = 0;
  if (!os::DeviceIoControl(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry,
                           sizeof geometry, &returned, nullptr)) {
    return Report(RyStatus::kDiskControlFailed, os::GetLastError());
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi_Nt::GetDriveLayout(DriveLayout& layout) {
  DWORD returned = 0;
  if (!os::DeviceIoControl(handle, IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, 0, &layout,
                           kDriveLayoutReadSize, &returned, nullptr)) {
    return Report(RyStatus::kDiskControlFailed, os::GetLastError());
  }
  return RyStatus::kSuccess;
}
