// Ordinary files on the simulated machine, as the image loader opens them.

#include <gtest/gtest.h>

#include <vector>

#include "os/Kernel.h"
#include "os/Storage.h"
#include "sim/FileStore.h"
#include "sim/Machine.h"

namespace {

class FileStoreTest : public ::testing::Test {
 protected:
  HANDLE Open(const wchar_t* name, DWORD access, DWORD share) {
    return os::CreateFileW(name, access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
  }

  sim::ScopedMachine machine;
};

TEST_F(FileStoreTest, RelativeNamesAreTakenFromTheCurrentDirectory) {
  machine->Files().SetCurrentDirectory(L"C:\\ombra");
  machine->Files().Put(L"C:\\OMBRA\\usbmsc.sb", {1, 2, 3});
  const HANDLE file = Open(L"UsbMsc.SB", GENERIC_READ, FILE_SHARE_READ);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD high = 7;
  EXPECT_EQ(os::GetFileSize(file, &high), 3u);
  EXPECT_EQ(high, 0u);
  std::uint8_t bytes[8] = {};
  DWORD done = 0;
  ASSERT_TRUE(os::ReadFile(file, bytes, sizeof bytes, &done, nullptr));
  EXPECT_EQ(done, 3u);
  EXPECT_EQ(bytes[2], 3);
  // At the end of the file a read succeeds with nothing.
  ASSERT_TRUE(os::ReadFile(file, bytes, sizeof bytes, &done, nullptr));
  EXPECT_EQ(done, 0u);
  os::CloseHandle(file);
}

TEST_F(FileStoreTest, MissingFileAndMissingDirectoryAreTold) {
  EXPECT_EQ(Open(L"usbmsc.sb", GENERIC_READ, FILE_SHARE_READ), INVALID_HANDLE_VALUE);
  EXPECT_EQ(os::GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open(L"C:\\nowhere\\usbmsc.sb", GENERIC_READ, FILE_SHARE_READ), INVALID_HANDLE_VALUE);
  EXPECT_EQ(os::GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileStoreTest, ShareModesOfOpenHandlesAreHonoured) {
  machine->Files().Put(L"C:\\image.sb", {9});
  const HANDLE writer = Open(L"C:\\image.sb", GENERIC_WRITE, 0);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open(L"C:\\image.sb", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(os::GetLastError(), ERROR_SHARING_VIOLATION);
  os::CloseHandle(writer);
  // Once the writer is gone, two readers share the file.
  const HANDLE first = Open(L"C:\\image.sb", GENERIC_READ, FILE_SHARE_READ);
  const HANDLE second = Open(L"C:\\image.sb", GENERIC_READ, FILE_SHARE_READ);
  EXPECT_NE(first, INVALID_HANDLE_VALUE);
  EXPECT_NE(second, INVALID_HANDLE_VALUE);
  // A reader that does not share writing keeps writers out.
  EXPECT_EQ(Open(L"C:\\image.sb", GENERIC_WRITE, FILE_SHARE_READ), INVALID_HANDLE_VALUE);
  os::CloseHandle(first);
  os::CloseHandle(second);
}

}  // namespace
