#pragma once
// The transport of Windows 2000 and XP: SCSI pass-through on the player's
// volume or physical drive, file I/O for sectors, and the volume and disk
// control codes of the NT storage stack.

#include "device/RyScsi.h"

class PassThroughBuffer;

class CRyScsi_Nt : public CRyScsi {
 public:
  CRyScsi_Nt(CRyDeviceOwner* owner, const char* name);

  std::int32_t Open() override;
  std::int32_t LockVolume(std::int32_t physical) override;
  std::int32_t LockForFormat(std::int32_t physical) override;
  std::int32_t ReleaseAfterFormat(std::int32_t physical) override;
  std::int32_t UnlockVolume(std::int32_t physical) override;
  std::int32_t Close() override;
  std::int32_t DismountVolume() override;
  std::int32_t WriteSectors(const CRyByteArray& data, std::uint32_t count,
                            std::uint32_t firstSector, std::uint32_t sectorSize) override;
  std::int32_t ReadSectors(CRyByteArray& data, std::uint32_t count, std::uint32_t firstSector,
                           std::uint32_t sectorSize) override;
  std::int32_t SetDriveLayout(const DiskGeometry& geometry, std::uint32_t hiddenSectors) override;
  std::int32_t GetDriveGeometry(DiskGeometry& geometry) override;
  std::int32_t GetDriveLayout(DriveLayout& layout) override;
  std::int32_t FindPhysicalDrive() override;
  std::int32_t FindPlayerDrive() override;
  std::int32_t Execute(const CRyByteArray& request, std::int32_t cdbLength, std::int32_t dataOut,
                       CRyByteArray& answer) override;

  static constexpr int kVolumeControlAttempts = 10;
  static constexpr DWORD kVolumeControlDelayMs = 100;
  static constexpr int kPhysicalDriveCount = 100;

 private:
  static DWORD WINAPI PassThroughWorker(LPVOID transport);
  // Runs the pass-through on a worker thread while the caller keeps the
  // shell alive; false when no worker could be started.
  bool RunPassThrough(PassThroughBuffer& buffer);
  std::int32_t ControlVolume(DWORD controlCode, std::int32_t failure);
  // Moves the file pointer to the sector's byte position, all 64 bits of it.
  bool SeekToSector(std::uint32_t firstSector, std::uint32_t sectorSize);
  HANDLE OpenDevice(const wchar_t* path) const;

  PassThroughBuffer* pendingRequest = nullptr;
};
