#pragma once
// How CreateFile and GetDriveType names are read: the device namespace
// ("\\.\X:", "\\.\PhysicalDriveN", "\\.\name"), drive roots and ordinary
// file-system paths.

#include <string>

namespace sim {

struct FileName {
  enum class Kind { kVolume, kPhysicalDrive, kDevice, kFileSystemPath };
  Kind kind = Kind::kFileSystemPath;
  wchar_t driveLetter = 0;       // kVolume; kFileSystemPath on a drive ("X:\..."), else 0
  int physicalDriveNumber = -1;  // kPhysicalDrive
  std::wstring path;             // kDevice: the name after the prefix; kFileSystemPath: the path
};

FileName ParseFileName(const std::wstring& name);

// The drive letter of a root path as GetDriveType takes it ("X:\", "X:/"
// or "X:"), upper case; 0 for anything else.
wchar_t ParseDriveRoot(const std::wstring& rootPath);

// 'A' to 'Z' for a letter of either case, 0 for anything else.
wchar_t UpperDriveLetter(wchar_t character);

}  // namespace sim
