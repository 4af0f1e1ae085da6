#include "FileName.h"

#include <cstddef>

namespace sim {

namespace {

bool IsSeparator(wchar_t character) { return character == L'\\' || character == L'/'; }

bool EqualsIgnoringCase(const std::wstring& text, std::size_t start, const wchar_t* word) {
  for (std::size_t i = 0; word[i] != L'\0'; ++i) {
    const wchar_t c = start + i < text.size() ? text[start + i] : L'\0';
    const wchar_t lower = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    if (lower != word[i]) return false;
  }
  return true;
}

// "X:" at the start of the text.
wchar_t DrivePrefix(const std::wstring& text) {
  if (text.size() < 2 || text[1] != L':') return 0;
  return UpperDriveLetter(text[0]);
}

// The N of "PhysicalDriveN": decimal, no sign and no leading zero, as the
// object manager names the disks; -1 when the name is anything else.
int PhysicalDriveNumber(const std::wstring& name) {
  static const wchar_t kPrefix[] = L"physicaldrive";
  constexpr std::size_t kPrefixLength = sizeof kPrefix / sizeof kPrefix[0] - 1;
  if (!EqualsIgnoringCase(name, 0, kPrefix)) return -1;
  const std::size_t digits = name.size() - kPrefixLength;
  if (digits == 0 || digits > 6) return -1;
  if (name[kPrefixLength] == L'0' && digits > 1) return -1;
  int number = 0;
  for (std::size_t i = kPrefixLength; i < name.size(); ++i) {
    if (name[i] < L'0' || name[i] > L'9') return -1;
    number = number * 10 + (name[i] - L'0');
  }
  return number;
}

}  // namespace

wchar_t UpperDriveLetter(wchar_t character) {
  if (character >= L'a' && character <= L'z') return static_cast<wchar_t>(character - L'a' + L'A');
  return (character >= L'A' && character <= L'Z') ? character : 0;
}

FileName ParseFileName(const std::wstring& name) {
  FileName parsed;
  const bool devicePrefix = name.size() >= 4 && IsSeparator(name[0]) && IsSeparator(name[1]) &&
                            (name[2] == L'.' || name[2] == L'?') && IsSeparator(name[3]);
  if (!devicePrefix) {
    parsed.path = name;
    parsed.driveLetter = DrivePrefix(name);
    return parsed;
  }
  const std::wstring device = name.substr(4);
  const wchar_t letter = DrivePrefix(device);
  if (letter != 0 && device.size() == 2) {
    parsed.kind = FileName::Kind::kVolume;
    parsed.driveLetter = letter;
  } else if (letter != 0) {
    // "\\.\X:\dir\file" is a path on the volume.
    parsed.driveLetter = letter;
    parsed.path = device;
  } else if (const int number = PhysicalDriveNumber(device); number >= 0) {
    parsed.kind = FileName::Kind::kPhysicalDrive;
    parsed.physicalDriveNumber = number;
  } else {
    parsed.kind = FileName::Kind::kDevice;
    parsed.path = device;
  }
  return parsed;
}

wchar_t ParseDriveRoot(const std::wstring& rootPath) {
  const wchar_t letter = DrivePrefix(rootPath);
  const bool rootOnly = rootPath.size() == 2 || (rootPath.size() == 3 && IsSeparator(rootPath[2]));
  return rootOnly ? letter : 0;
}

}  // namespace sim
