#include "device/RyOsClass.h"

#include "device/RyDeviceHelpers.h"
#include "os/Os.h"

OsClass GetOsClass() {
  OSVERSIONINFOEXW version;
  ZeroBytes(&version, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  // The result is not checked: a failed call leaves the record zero.
  os::GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&version));
  const DWORD major = version.dwMajorVersion;
  const DWORD minor = version.dwMinorVersion;
  if (major == 4 && minor <= 10) return kOsClassWindows9x;
  if (major == 4 && minor >= 90) return kOsClassWindowsMe;
  if (major == 5 && minor == 0) return kOsClassWindows2000;
  if (major == 5) return kOsClassWindowsXp;
  return kOsClassUnsupported;
}
