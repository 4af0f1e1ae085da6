#pragma once
// Libraries loaded at run time and their entry points.

#include "os/Win32Types.h"

namespace os {

HMODULE LoadLibraryW(LPCWSTR fileName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);

}  // namespace os
