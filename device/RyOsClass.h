#pragma once
// Which Windows family the program runs on, and so which transport it uses.

enum OsClass : int {
  kOsClassWindows9x = 0,  // 95 and 98 (NT 4.0 reports the same version)
  kOsClassWindowsMe = 1,
  kOsClassWindows2000 = 2,
  kOsClassWindowsXp = 3,    // XP and later 5.x
  kOsClassUnsupported = 6,  // no transport exists
};

// Reads the version with GetVersionExW; a failed query counts as unsupported.
OsClass GetOsClass();

// Whether the class uses the ASPI transport (9x) or pass-through (NT).
inline bool IsWindows9xClass(OsClass osClass) {
  return osClass == kOsClassWindows9x || osClass == kOsClassWindowsMe;
}
inline bool IsWindowsNtClass(OsClass osClass) {
  return osClass == kOsClassWindows2000 || osClass == kOsClassWindowsXp;
}
