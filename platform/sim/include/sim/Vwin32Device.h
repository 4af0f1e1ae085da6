#pragma once
// The vwin32 virtual device of a simulated Windows 9x machine: the MS-DOS
// block-device I/O controls (interrupt 21h, function 440Dh) that programs
// issue through DeviceIoControl on "\\.\vwin32". A test describes the
// machine's drive letters; the device answers the calls as MS-DOS 7 does,
// keeps the volume locks and logs every register record it receives.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "os/Vwin32.h"
#include "os/Win32Types.h"

namespace sim {

class Machine;

// MS-DOS error codes returned in AX with the carry flag.
inline constexpr WORD kDosInvalidFunction = 0x01;
inline constexpr WORD kDosAccessDenied = 0x05;
inline constexpr WORD kDosInvalidAddress = 0x09;
inline constexpr WORD kDosInvalidDrive = 0x0F;
inline constexpr WORD kDosVolumeNotLocked = 0xB0;

// DRIVE_MAP_INFO flags.
inline constexpr BYTE kProtectedModeLogicalDrive = 0x01;
inline constexpr BYTE kProtectedModePhysicalDrive = 0x02;
inline constexpr BYTE kProtectedModeOnlyDrive = 0x04;
inline constexpr BYTE kProtectedModeEject = 0x08;
inline constexpr BYTE kProtectedModeAsyncNotify = 0x10;

// What get device parameters (0860h) reports: the fields of the DOS
// device-parameter block and its BIOS parameter block, at their offsets.
struct DosDeviceParameters {
  BYTE deviceType = 0x05;          // 1: fixed disk
  WORD deviceAttributes = 0x0000;  // 2: bit 0 set = not removable
  WORD cylinders = 0;              // 4
  BYTE mediaType = 0;              // 6
  WORD bytesPerSector = 512;       // 7
  BYTE sectorsPerCluster = 0;      // 9
  WORD reservedSectors = 0;        // 10
  BYTE fatCount = 0;               // 12
  WORD rootEntries = 0;            // 13
  WORD totalSectors = 0;           // 15: 0 when the count needs 32 bits
  BYTE mediaDescriptor = 0xF8;     // 17
  WORD sectorsPerFat = 0;          // 18
  WORD sectorsPerTrack = 0;        // 20
  WORD heads = 0;                  // 22
  DWORD hiddenSectors = 0;         // 24
  DWORD hugeSectors = 0;           // 28
};

struct Vwin32Drive {
  // Get drive map information (6Fh).
  BYTE driveMapFlags = 0;
  BYTE int13Unit = 0xFF;         // FFh: no physical drive
  DWORD associatedDriveMap = 0;  // bit 0 = A:; 0 means just this letter
  ULONGLONG partitionStart = 0;  // relative block address
  DosDeviceParameters parameters;
  bool refusesLock = false;           // files are open on it: every lock fails
  bool refusesFat32Category = false;  // its driver answers only category 08h
};

struct Vwin32Lock {
  BYTE level = 0;
  WORD permissions = 0;
};

struct Vwin32Call {
  vwin32::DIOC_REGISTERS in{};
  vwin32::DIOC_REGISTERS out{};
};

class Vwin32Device {
 public:
  explicit Vwin32Device(Machine& machine);
  static Vwin32Device& Of(Machine& machine);

  // The device exists on Windows 9x machines; a test can take it away.
  bool IsAvailable() const;
  void SetRemoved(bool removed);

  void AddDrive(wchar_t letter, const Vwin32Drive& drive);
  void RemoveDrive(wchar_t letter);
  // The drive number 0 stands for.
  void SetDefaultDrive(wchar_t letter);
  // Category 48h is known from Windows 95 OSR2 on; by default the machine's
  // version decides.
  void SetFat32CategorySupported(std::optional<bool> supported);

  // Held locks, innermost last.
  std::vector<Vwin32Lock> LogicalLocks(wchar_t letter) const;
  std::vector<Vwin32Lock> PhysicalLocks(BYTE int13Unit) const;

  std::vector<Vwin32Call> Calls() const;
  void ClearCalls();

  // DeviceIoControl on a handle to "\\.\vwin32". Returns the Win32 error the
  // call ends with; the registers travel in and out as DIOC_REGISTERS.
  DWORD DeviceIoControl(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize,
                        DWORD& returned);
  // One interrupt 21h call; failures set the carry flag and AX.
  void CallDos(vwin32::DIOC_REGISTERS& registers);

 private:
  using LockStack = std::vector<Vwin32Lock>;

  // All of these run with the mutex held; the requests return 0 or the DOS
  // error for AX.
  WORD GenericIoctl(vwin32::DIOC_REGISTERS& registers);
  static WORD Lock(LockStack& locks, BYTE level, WORD permissions, bool refused);
  static WORD Unlock(LockStack& locks);
  WORD LockPhysical(BYTE unit, BYTE level, WORD permissions);
  WORD UnlockPhysical(BYTE unit);
  // Whether a volume lies on the disk of that INT 13h unit, and whether one
  // of them refuses locks.
  bool FindPhysicalDrive(BYTE unit, bool& refusesLock) const;
  WORD GetDriveMapInfo(wchar_t letter, DWORD address) const;
  WORD GetDeviceParameters(wchar_t letter, DWORD address) const;
  // The letter of a DOS drive number (0 = default, 1 = A:); 0 for none.
  wchar_t LetterOf(BYTE driveNumber) const;
  const Vwin32Drive* FindDrive(wchar_t letter) const;
  bool Fat32CategorySupported() const;

  Machine& machine;
  mutable std::mutex mutex;
  bool removed = false;
  wchar_t defaultDrive = L'C';
  std::optional<bool> fat32Category;
  std::map<wchar_t, Vwin32Drive> drives;
  std::map<wchar_t, LockStack> logicalLocks;
  std::map<BYTE, LockStack> physicalLocks;
  std::vector<Vwin32Call> calls;
};

// The parameter block behind a 32-bit address from vwin32::AddressOf; null
// for an address it did not hand out.
void* ResolveVwin32Address(DWORD address);

}  // namespace sim
