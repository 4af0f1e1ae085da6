#pragma once
// The transport of Windows 95, 98 and Me: ASPI (WNASPI32.DLL) for every SCSI
// command, and the vwin32 device for volume locks, device parameters and the
// mapping of drive letters to disks. Sector I/O uses the READ(10)/WRITE(10)
// defaults, so it goes through ASPI as well. In this class the handle is the
// vwin32 device, opened around each group of volume calls.

#include <string>

#include "device/RyScsi.h"
#include "os/Aspi.h"

class CRyScsi_9x : public CRyScsi {
 public:
  static constexpr std::uint8_t kNoHostAdapter = 255;
  static constexpr std::uint32_t kDriveMapRecordSize = 16;

  // Loads ASPI: status -19 (no library), -20 (entry point missing), -21
  // (ASPI not ready) or 0.
  CRyScsi_9x(CRyDeviceOwner* owner, const char* name);
  ~CRyScsi_9x() override;

  std::int32_t Open() override;
  std::int32_t LockVolume(std::int32_t physical) override;
  std::int32_t LockForFormat(std::int32_t physical) override;
  std::int32_t ReleaseAfterFormat(std::int32_t physical) override;
  std::int32_t UnlockVolume(std::int32_t physical) override;
  std::int32_t Close() override;
  std::int32_t DismountVolume() override;
  std::int32_t GetDriveGeometry(DiskGeometry& geometry) override;
  std::int32_t FindPlayerDrive() override;
  std::int32_t Execute(const CRyByteArray& request, std::int32_t cdbLength, std::int32_t dataOut,
                       CRyByteArray& answer) override;

  // Discovery helpers.
  std::int32_t GetHostAdapterCount(std::uint8_t& count);
  std::int32_t GetDiskInt13Unit(std::uint8_t adapter, std::uint8_t& unit);
  std::int32_t GetDriveMapInfo(wchar_t letter, std::uint8_t (&record)[kDriveMapRecordSize]);
  std::int32_t FindLetterByInt13Unit(std::uint8_t unit);
  std::int32_t EnumScsiRegistryLetters(const std::string& keyText, std::string& letters);
  std::int32_t ChooseRegistryLetter(const std::string& letters);

  std::uint8_t GetHostAdapterId() const { return hostAdapterId; }

 private:
  // One MS-DOS I/O control through vwin32; true when the call succeeded and
  // the carry flag is clear.
  bool DosIoctl(DWORD ecx, DWORD ebx, DWORD edx, DWORD flags);
  // Lock, unlock and drive-map calls: the FAT32-aware category 48h first,
  // then once more with 08h.
  bool DosIoctlWithCategoryRetry(DWORD minorCode, DWORD ebx, DWORD edx);
  std::int32_t LockWithPermissions(std::int32_t physical, DWORD permissions);
  // Sends a request block and, when it pends, polls the event named in it.
  DWORD SendAndWait(aspi::SRB_ExecSCSICmd& srb, HANDLE event);
  DWORD DriveNumber(wchar_t letter) const;

  std::uint8_t hostAdapterId = kNoHostAdapter;
  HMODULE aspiLibrary = nullptr;
  aspi::GetASPI32SupportInfoFn getSupportInfo = nullptr;
  aspi::SendASPI32CommandFn sendCommand = nullptr;
};
