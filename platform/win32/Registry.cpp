// Windows backend of the registry services: one-line forwards.

#include "os/Registry.h"

namespace os {

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM desired, PHKEY result) {
  return ::RegOpenKeyExW(key, subKey, options, desired, result);
}
LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved,
                      LPWSTR className, LPDWORD classLength, PFILETIME lastWriteTime) {
  return ::RegEnumKeyExW(key, index, name, nameLength, reserved, className, classLength,
                         lastWriteTime);
}
LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataLength) {
  return ::RegQueryValueExW(key, valueName, reserved, type, data, dataLength);
}
LSTATUS RegCloseKey(HKEY key) { return ::RegCloseKey(key); }
LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options,
                        REGSAM desired, LPSECURITY_ATTRIBUTES securityAttributes, PHKEY result,
                        LPDWORD disposition) {
  return ::RegCreateKeyExW(key, subKey, reserved, className, options, desired, securityAttributes,
                           result, disposition);
}
LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD dataLength) {
  return ::RegSetValueExW(key, valueName, reserved, type, data, dataLength);
}
LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey) { return ::RegDeleteKeyW(key, subKey); }
LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName) { return ::RegDeleteValueW(key, valueName); }

}  // namespace os
