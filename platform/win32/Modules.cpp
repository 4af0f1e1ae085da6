// Windows backend of the module services: one-line forwards.

#include "os/Modules.h"

namespace os {

HMODULE LoadLibraryW(LPCWSTR fileName) { return ::LoadLibraryW(fileName); }
FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  return ::GetProcAddress(module, procName);
}
BOOL FreeLibrary(HMODULE module) { return ::FreeLibrary(module); }

}  // namespace os
