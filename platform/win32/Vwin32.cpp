// Windows backend of the vwin32 helpers.

#include "os/Vwin32.h"

namespace vwin32 {

// vwin32 exists on 32-bit Windows 9x only, where pointers are 32 bits wide.
DWORD AddressOf(void* parameterBlock) {
  return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(parameterBlock));
}

}  // namespace vwin32
