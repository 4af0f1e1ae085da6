#include "device/RyScsi9x.h"

#include <cstring>

#include "core/RyStatus.h"
#include "device/RyDeviceHelpers.h"
#include "os/Os.h"
#include "os/Vwin32.h"

namespace {

constexpr DWORD kDosBlockDeviceIoctl = 0x440D;
constexpr DWORD kCategoryFat32 = 0x48;
constexpr DWORD kCategoryFat16 = 0x08;
constexpr DWORD kLockLogical = 0x4A;
constexpr DWORD kLockPhysical = 0x4B;
constexpr DWORD kUnlockLogical = 0x6A;
constexpr DWORD kUnlockPhysical = 0x6B;
constexpr DWORD kGetDriveMapInfo = 0x6F;
constexpr DWORD kGetDeviceParameters = 0x0860;
constexpr DWORD kFormatPermission = 4;

// A DOS device-parameter block, with room beyond its BPB.
constexpr std::size_t kDeviceParameterBlockSize = 64;

template <typename Function>
Function EntryPoint(HMODULE library, const char* name) {
  // FARPROC is a generic function pointer; the entry points have their own
  // signatures.
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(os::GetProcAddress(library, name)));
}

std::uint16_t ReadLittleEndian16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

}  // namespace

CRyScsi_9x::CRyScsi_9x(CRyDeviceOwner* owner, const char* name) : CRyScsi(owner, name) {
  aspiLibrary = os::LoadLibraryW(L"WNASPI32.DLL");
  if (aspiLibrary == nullptr) {
    status = RyStatus::kAspiLoadFailed;
    return;
  }
  getSupportInfo = EntryPoint<aspi::GetASPI32SupportInfoFn>(aspiLibrary, "GetASPI32SupportInfo");
  if (getSupportInfo == nullptr) {
    status = RyStatus::kAspiEntryPointMissing;
    return;
  }
  sendCommand = EntryPoint<aspi::SendASPI32CommandFn>(aspiLibrary, "SendASPI32Command");
  if (sendCommand == nullptr) {
    status = RyStatus::kAspiEntryPointMissing;
    return;
  }
  // Bits 8 to 15 of the support information are the ASPI status.
  const DWORD support = getSupportInfo();
  if (((support >> 8) & 0xFF) != aspi::SS_COMP) status = RyStatus::kAspiNotReady;
}

CRyScsi_9x::~CRyScsi_9x() {
  if (aspiLibrary != nullptr) os::FreeLibrary(aspiLibrary);
}

std::int32_t CRyScsi_9x::Open() {
  if (handle != INVALID_HANDLE_VALUE) return RyStatus::kSuccess;
  handle = os::CreateFileW(L"\\\\.\\vwin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    systemError = os::GetLastError();
    return RyStatus::kDeviceOpenFailed;
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi_9x::Close() {
  CloseHandleIfOpen();
  return RyStatus::kSuccess;
}

DWORD CRyScsi_9x::DriveNumber(wchar_t letter) const {
  return letter >= L'A' && letter <= L'Z' ? static_cast<DWORD>(letter - L'A' + 1) : 0;
}

bool CRyScsi_9x::DosIoctl(DWORD ecx, DWORD ebx, DWORD edx, DWORD flags) {
  vwin32::DIOC_REGISTERS registers;
  ZeroBytes(&registers, sizeof registers);
  registers.reg_EAX = kDosBlockDeviceIoctl;
  registers.reg_EBX = ebx;
  registers.reg_ECX = ecx;
  registers.reg_EDX = edx;
  registers.reg_Flags = flags;
  DWORD returned = 0;
  if (!os::DeviceIoControl(handle, vwin32::VWIN32_DIOC_DOS_IOCTL, &registers, sizeof registers,
                           &registers, sizeof registers, &returned, nullptr)) {
    return false;
  }
  return (registers.reg_Flags & vwin32::kCarryFlag) == 0;
}

bool CRyScsi_9x::DosIoctlWithCategoryRetry(DWORD minorCode, DWORD ebx, DWORD edx) {
  return DosIoctl(kCategoryFat32 * 256 + minorCode, ebx, edx, 0) ||
         DosIoctl(kCategoryFat16 * 256 + minorCode, ebx, edx, 0);
}

std::int32_t CRyScsi_9x::LockWithPermissions(std::int32_t physical, DWORD permissions) {
  const DWORD minorCode = physical != 0 ? kLockPhysical : kLockLogical;
  // Lock level 0 (BH) with the drive number (BL).
  return DosIoctlWithCategoryRetry(minorCode, DriveNumber(driveLetter), permissions)
             ? RyStatus::kSuccess
             : RyStatus::kLockFailed;
}

std::int32_t CRyScsi_9x::LockVolume(std::int32_t physical) {
  return LockWithPermissions(physical, 0);
}

std::int32_t CRyScsi_9x::LockForFormat(std::int32_t physical) {
  return LockWithPermissions(physical, kFormatPermission);
}

std::int32_t CRyScsi_9x::UnlockVolume(std::int32_t physical) {
  const DWORD minorCode = physical != 0 ? kUnlockPhysical : kUnlockLogical;
  return DosIoctlWithCategoryRetry(minorCode, DriveNumber(driveLetter), 0)
             ? RyStatus::kSuccess
             : RyStatus::kUnlockFailed;
}

std::int32_t CRyScsi_9x::ReleaseAfterFormat(std::int32_t physical) {
  return UnlockVolume(physical);
}

std::int32_t CRyScsi_9x::DismountVolume() { return RyStatus::kSuccess; }

std::int32_t CRyScsi_9x::GetDriveMapInfo(wchar_t letter,
                                         std::uint8_t (&record)[kDriveMapRecordSize]) {
  record[0] = kDriveMapRecordSize;
  return DosIoctlWithCategoryRetry(kGetDriveMapInfo, DriveNumber(letter), vwin32::AddressOf(record))
             ? RyStatus::kSuccess
             : RyStatus::kDriveMapRefused;
}

std::int32_t CRyScsi_9x::GetDriveGeometry(DiskGeometry& geometry) {
  std::uint8_t parameters[kDeviceParameterBlockSize] = {};
  // The carry flag is set before the call; the driver clears it on success.
  if (!DosIoctl(kGetDeviceParameters, DriveNumber(driveLetter), vwin32::AddressOf(parameters),
                vwin32::kCarryFlag)) {
    return Report(RyStatus::kDiskControlFailed, os::GetLastError());
  }
  ZeroBytes(&geometry, sizeof geometry);
  geometry.Cylinders.QuadPart = ReadLittleEndian16(parameters + 4);
  // The DOS media byte (F8h for a fixed disk) is no MEDIA_TYPE enumerator:
  // store its value without converting it to the enumeration.
  const DWORD mediaByte = parameters[6];
  static_assert(sizeof geometry.MediaType == sizeof mediaByte, "MEDIA_TYPE is 32 bits");
  std::memcpy(&geometry.MediaType, &mediaByte, sizeof mediaByte);
  geometry.TracksPerCylinder = ReadLittleEndian16(parameters + 22);
  geometry.SectorsPerTrack = ReadLittleEndian16(parameters + 20);
  geometry.BytesPerSector = ReadLittleEndian16(parameters + 7);
  return RyStatus::kSuccess;
}
