// A disk that goes away: unplugged (detached) or vanished (its device no
// longer present), and one that comes back.

#include <vector>

#include "DiskFixture.h"

namespace {

using testing_disk::DiskFixture;

class DiskPresenceTest : public DiskFixture {
 protected:
  // Everything a handle can be asked fails the same way.
  void ExpectEveryCallFails(HANDLE handle, DWORD error) {
    std::vector<std::uint8_t> sector(512);
    EXPECT_EQ(Read(handle, sector).error, error);
    EXPECT_EQ(Write(handle, sector).error, error);
    std::uint8_t geometry[sizeof(DISK_GEOMETRY)];
    DWORD returned = 0;
    os::SetLastError(0);
    EXPECT_FALSE(os::DeviceIoControl(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, geometry,
                                     sizeof geometry, &returned, nullptr));
    EXPECT_EQ(os::GetLastError(), error);
    EXPECT_EQ(ControlError(handle, FSCTL_LOCK_VOLUME), error);
  }
};

TEST_F(DiskPresenceTest, VanishedDiskNoLongerOpens) {
  disk->SetPresent(false);
  EXPECT_EQ(OpenVolume(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(OpenDisk(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(DiskPresenceTest, HandlesOfAVanishedDiskStayDeadWhenItReturns) {
  const HANDLE volume = OpenVolume();
  const HANDLE whole = OpenDisk();
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  ASSERT_NE(whole, INVALID_HANDLE_VALUE);
  disk->SetPresent(false);
  ExpectEveryCallFails(volume, ERROR_DEVICE_NOT_CONNECTED);
  ExpectEveryCallFails(whole, ERROR_DEVICE_NOT_CONNECTED);
  disk->SetPresent(true);
  // The disk that came back is a new arrival.
  ExpectEveryCallFails(volume, ERROR_DEVICE_NOT_CONNECTED);
  const HANDLE fresh = OpenVolume(GENERIC_READ | GENERIC_WRITE, 0);
  ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
  // The dead handles neither block a lock nor hold a share reservation.
  EXPECT_EQ(ControlError(fresh, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(os::CloseHandle(volume));
  EXPECT_TRUE(os::CloseHandle(whole));
}

TEST_F(DiskPresenceTest, DetachedDiskIsGoneForGood) {
  const HANDLE volume = OpenVolume();
  ASSERT_NE(volume, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(machine->DetachDisk(number));
  ExpectEveryCallFails(volume, ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(OpenVolume(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(OpenDisk(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(os::CloseHandle(volume));
}

}  // namespace
