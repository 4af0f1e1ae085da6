// How the storage services of the seam behave where no disk is needed. The
// same tests run against the simulated machine and, in the x86_64 build
// under Wine, against the real Windows backend.

#include <gtest/gtest.h>

#include <string>

#include "os/Os.h"

namespace {

// A letter no drive uses here, from the end of the alphabet.
wchar_t FreeDriveLetter() {
  const DWORD drives = os::GetLogicalDrives();
  for (wchar_t letter = L'Y'; letter > L'C'; --letter) {
    if ((drives & (1u << (letter - L'A'))) == 0) return letter;
  }
  return 0;
}

DWORD OpenError(const wchar_t* name, DWORD disposition = OPEN_EXISTING) {
  os::SetLastError(0);
  const HANDLE handle =
      os::CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, disposition, 0, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    os::CloseHandle(handle);
    return ERROR_SUCCESS;
  }
  return os::GetLastError();
}

TEST(StorageBehaviour, MissingDevicesAndPaths) {
  const wchar_t letter = FreeDriveLetter();
  ASSERT_NE(letter, 0);
  const std::wstring volume = std::wstring(L"\\\\.\\") + letter + L":";
  EXPECT_EQ(OpenError(L"\\\\.\\PhysicalDrive99"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(OpenError(volume.c_str()), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(OpenError(L"\\\\.\\NoSuchDevice42"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(OpenError(L""), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(OpenError(nullptr), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(StorageBehaviour, CreationDispositionOutOfRange) {
  EXPECT_EQ(OpenError(L"\\\\.\\PhysicalDrive99", 0), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(OpenError(L"\\\\.\\PhysicalDrive99", 6), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(StorageBehaviour, DriveTypesAgreeWithTheLogicalDrives) {
  const DWORD drives = os::GetLogicalDrives();
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    const std::wstring root = std::wstring(1, letter) + L":\\";
    const bool present = (drives & (1u << (letter - L'A'))) != 0;
    EXPECT_EQ(os::GetDriveTypeW(root.c_str()) != DRIVE_NO_ROOT_DIR, present) << letter;
  }
}

TEST(StorageBehaviour, RootsThatAreNoDrive) {
  const wchar_t letter = FreeDriveLetter();
  ASSERT_NE(letter, 0);
  const std::wstring root = std::wstring(1, letter) + L":\\";
  EXPECT_EQ(os::GetDriveTypeW(root.c_str()), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(os::GetDriveTypeW(root.substr(0, 2).c_str()), DRIVE_NO_ROOT_DIR);
  const std::string narrow(root.begin(), root.end());
  EXPECT_EQ(os::GetDriveTypeA(narrow.c_str()), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(os::GetDriveTypeW(L""), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(os::GetDriveTypeW(L"bogus"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(os::GetDriveTypeA("1:\\"), DRIVE_NO_ROOT_DIR);
}

TEST(StorageBehaviour, FileCallsNeedAFileHandle) {
  HANDLE event = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  std::uint8_t buffer[512] = {};
  for (int closed = 0; closed < 2; ++closed) {
    DWORD count = 77;
    os::SetLastError(0);
    EXPECT_FALSE(os::ReadFile(event, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(count, 0u);
    os::SetLastError(0);
    EXPECT_FALSE(os::WriteFile(event, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    os::SetLastError(0);
    EXPECT_EQ(os::SetFilePointer(event, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    os::SetLastError(0);
    EXPECT_FALSE(os::DeviceIoControl(event, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, buffer,
                                     sizeof buffer, &count, nullptr));
    EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    ASSERT_TRUE(closed != 0 || os::CloseHandle(event));
  }
}

}  // namespace
