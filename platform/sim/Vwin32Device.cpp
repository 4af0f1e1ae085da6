// The vwin32 device: its configuration, the DeviceIoControl entry and the
// decoding of the generic IOCTL (interrupt 21h, AX = 440Dh).

#include "sim/Vwin32Device.h"

#include <cstring>

#include "CaseFold.h"
#include "sim/Machine.h"

namespace sim {

namespace {

constexpr WORD kGenericIoctl = 0x440D;
constexpr BYTE kCategoryDisk = 0x08;
constexpr BYTE kCategoryFat32 = 0x48;
constexpr BYTE kLockLogical = 0x4A;
constexpr BYTE kLockPhysical = 0x4B;
constexpr BYTE kGetDeviceParameters = 0x60;
constexpr BYTE kUnlockLogical = 0x6A;
constexpr BYTE kUnlockPhysical = 0x6B;
constexpr BYTE kGetDriveMapInfo = 0x6F;
// Windows 95 OEM Service Release 2 brought category 48h.
constexpr DWORD kFirstFat32Build = 1111;

BYTE LowByte(DWORD value) { return static_cast<BYTE>(value); }
BYTE HighByte(DWORD value) { return static_cast<BYTE>(value >> 8); }

}  // namespace

Vwin32Device::Vwin32Device(Machine& owner) : machine(owner) {}

Vwin32Device& Vwin32Device::Of(Machine& machine) { return machine.GetPart<Vwin32Device>(); }

bool Vwin32Device::IsAvailable() const {
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (removed) return false;
  }
  return machine.GetWindowsVersion().platformId == VER_PLATFORM_WIN32_WINDOWS;
}

void Vwin32Device::SetRemoved(bool isRemoved) {
  std::lock_guard<std::mutex> lock(mutex);
  removed = isRemoved;
}

void Vwin32Device::AddDrive(wchar_t letter, const Vwin32Drive& drive) {
  std::lock_guard<std::mutex> lock(mutex);
  drives[FoldCase(letter)] = drive;
}

void Vwin32Device::RemoveDrive(wchar_t letter) {
  std::lock_guard<std::mutex> lock(mutex);
  drives.erase(FoldCase(letter));
  logicalLocks.erase(FoldCase(letter));
}

void Vwin32Device::SetDefaultDrive(wchar_t letter) {
  std::lock_guard<std::mutex> lock(mutex);
  defaultDrive = FoldCase(letter);
}

void Vwin32Device::SetFat32CategorySupported(std::optional<bool> supported) {
  std::lock_guard<std::mutex> lock(mutex);
  fat32Category = supported;
}

bool Vwin32Device::Fat32CategorySupported() const {
  if (fat32Category) return *fat32Category;
  const WindowsVersion version = machine.GetWindowsVersion();
  return !(version.major == 4 && version.minor == 0 && version.build < kFirstFat32Build);
}

std::vector<Vwin32Lock> Vwin32Device::LogicalLocks(wchar_t letter) const {
  std::lock_guard<std::mutex> lock(mutex);
  auto found = logicalLocks.find(FoldCase(letter));
  return found == logicalLocks.end() ? LockStack{} : found->second;
}

std::vector<Vwin32Lock> Vwin32Device::PhysicalLocks(BYTE int13Unit) const {
  std::lock_guard<std::mutex> lock(mutex);
  auto found = physicalLocks.find(int13Unit);
  return found == physicalLocks.end() ? LockStack{} : found->second;
}

std::vector<Vwin32Call> Vwin32Device::Calls() const {
  std::lock_guard<std::mutex> lock(mutex);
  return calls;
}

void Vwin32Device::ClearCalls() {
  std::lock_guard<std::mutex> lock(mutex);
  calls.clear();
}

const Vwin32Drive* Vwin32Device::FindDrive(wchar_t letter) const {
  auto found = drives.find(letter);
  return found == drives.end() ? nullptr : &found->second;
}

wchar_t Vwin32Device::LetterOf(BYTE driveNumber) const {
  if (driveNumber == 0) return defaultDrive;
  return driveNumber <= 26 ? static_cast<wchar_t>(L'A' + driveNumber - 1) : 0;
}

DWORD Vwin32Device::DeviceIoControl(DWORD code, const void* in, DWORD inSize, void* out,
                                    DWORD outSize, DWORD& returned) {
  returned = 0;
  // The INT 25h/26h, INT 13h and drive-information services are not modelled.
  if (code != vwin32::VWIN32_DIOC_DOS_IOCTL) return ERROR_NOT_SUPPORTED;
  vwin32::DIOC_REGISTERS registers;
  if (in == nullptr || out == nullptr || inSize < sizeof registers || outSize < sizeof registers) {
    return ERROR_INVALID_PARAMETER;
  }
  std::memcpy(&registers, in, sizeof registers);
  CallDos(registers);
  std::memcpy(out, &registers, sizeof registers);
  returned = sizeof registers;
  return ERROR_SUCCESS;
}

void Vwin32Device::CallDos(vwin32::DIOC_REGISTERS& registers) {
  std::lock_guard<std::mutex> lock(mutex);
  const bool fat32Supported = Fat32CategorySupported();
  Vwin32Call call;
  call.in = registers;
  WORD error = kDosInvalidFunction;
  if ((registers.reg_EAX & 0xFFFF) == kGenericIoctl &&
      (HighByte(registers.reg_ECX) != kCategoryFat32 || fat32Supported)) {
    error = GenericIoctl(registers);
  }
  if (error == 0) {
    registers.reg_Flags &= ~vwin32::kCarryFlag;
  } else {
    registers.reg_Flags |= vwin32::kCarryFlag;
    registers.reg_EAX = (registers.reg_EAX & 0xFFFF0000) | error;
  }
  call.out = registers;
  calls.push_back(call);
}

WORD Vwin32Device::GenericIoctl(vwin32::DIOC_REGISTERS& registers) {
  const BYTE category = HighByte(registers.reg_ECX);
  const BYTE minorCode = LowByte(registers.reg_ECX);
  const BYTE bl = LowByte(registers.reg_EBX);
  const BYTE bh = HighByte(registers.reg_EBX);
  const auto dx = static_cast<WORD>(registers.reg_EDX);
  if (category != kCategoryDisk && category != kCategoryFat32) return kDosInvalidFunction;

  // The physical-volume calls name the disk by its INT 13h unit.
  if (minorCode == kLockPhysical) return LockPhysical(bl, bh, dx);
  if (minorCode == kUnlockPhysical) return UnlockPhysical(bl);

  const wchar_t letter = LetterOf(bl);
  const Vwin32Drive* drive = FindDrive(letter);
  if (drive == nullptr) return kDosInvalidDrive;
  if (category == kCategoryFat32 && drive->refusesFat32Category) return kDosInvalidFunction;
  switch (minorCode) {
    case kLockLogical:
      return Lock(logicalLocks[letter], bh, dx, drive->refusesLock);
    case kUnlockLogical:
      return Unlock(logicalLocks[letter]);
    case kGetDriveMapInfo:
      return GetDriveMapInfo(letter, registers.reg_EDX);
    case kGetDeviceParameters:
      // The FAT32 form returns an extended block, which nothing here asks for.
      if (category == kCategoryFat32) return kDosInvalidFunction;
      return GetDeviceParameters(letter, registers.reg_EDX);
    default:
      return kDosInvalidFunction;
  }
}

}  // namespace sim
