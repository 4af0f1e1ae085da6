#pragma once
// The vwin32 device of Windows 9x: MS-DOS block-device I/O controls
// (interrupt 21h, function 440Dh) issued through DeviceIoControl.

#include "os/Win32Types.h"

namespace vwin32 {

inline constexpr DWORD VWIN32_DIOC_DOS_IOCTL = 1;
inline constexpr DWORD kCarryFlag = 0x0001;

struct DIOC_REGISTERS {
  DWORD reg_EBX;
  DWORD reg_EDX;
  DWORD reg_ECX;
  DWORD reg_EAX;
  DWORD reg_EDI;
  DWORD reg_ESI;
  DWORD reg_Flags;
};

static_assert(sizeof(DIOC_REGISTERS) == 28, "register record");

// The 32-bit address of a parameter block as the DOS call takes it in a
// register. On 32-bit Windows it is the pointer itself; a 64-bit build (the
// simulated machine under test) cannot put a pointer into 32 bits, so its
// backend hands out a token that its vwin32 device resolves.
DWORD AddressOf(void* parameterBlock);

}  // namespace vwin32
