#pragma once
// The registry: what discovery reads on Windows 9x; the housekeeping
// library uses more of it.

#include "os/Win32Types.h"

namespace os {

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM desired, PHKEY result);
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                      LPWSTR className, LPDWORD classLength, PFILETIME lastWriteTime);
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataLength);
LSTATUS RegCloseKey(HKEY key);

// Writing, for the housekeeping library and for tests that build keys.
LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options,
                        REGSAM desired, LPSECURITY_ATTRIBUTES securityAttributes, PHKEY result,
                        LPDWORD disposition);
LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD dataLength);
LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey);
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName);

}  // namespace os
