// FSCTL_LOCK_VOLUME, FSCTL_UNLOCK_VOLUME and FSCTL_DISMOUNT_VOLUME on the
// volume and on the whole disk.

#include <vector>

#include "DiskFixture.h"

namespace {

using testing_disk::DiskFixture;
using testing_disk::kReadWrite;

class VolumeLockTest : public DiskFixture {};

TEST_F(VolumeLockTest, VolumeKeptOpenElsewhereCannotBeLocked) {
  const HANDLE volume = OpenVolume();
  // Another program holds the volume; even an open without access counts.
  for (DWORD otherAccess : {kReadWrite, DWORD{0}}) {
    const HANDLE other = OpenVolume(otherAccess);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ControlError(volume, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(machine->IsVolumeLocked(L'E'));
    os::CloseHandle(other);
  }
  EXPECT_EQ(ControlError(volume, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(machine->IsVolumeLocked(L'e'));
}

TEST_F(VolumeLockTest, LockedVolumeBelongsToItsHandle) {
  const HANDLE volume = OpenVolume();
  ASSERT_EQ(ControlError(volume, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(ControlError(volume, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  for (DWORD access : {kReadWrite, DWORD{GENERIC_READ}, DWORD{0}}) {
    EXPECT_EQ(OpenVolume(access), INVALID_HANDLE_VALUE);
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
  std::vector<std::uint8_t> sector(512, 1);
  EXPECT_TRUE(Write(volume, sector).ok);
  // The lock is the volume's: the whole disk stays reachable.
  const HANDLE whole = OpenDisk();
  ASSERT_NE(whole, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(Read(whole, sector).ok);
}

TEST_F(VolumeLockTest, UnlockingAndClosingRelease) {
  const HANDLE volume = OpenVolume();
  EXPECT_EQ(ControlError(volume, FSCTL_UNLOCK_VOLUME), static_cast<DWORD>(ERROR_NOT_LOCKED));
  ASSERT_EQ(ControlError(volume, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(ControlError(volume, FSCTL_UNLOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(ControlError(volume, FSCTL_UNLOCK_VOLUME), static_cast<DWORD>(ERROR_NOT_LOCKED));
  const HANDLE second = OpenVolume();
  ASSERT_NE(second, INVALID_HANDLE_VALUE);
  os::CloseHandle(second);

  ASSERT_EQ(ControlError(volume, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  os::CloseHandle(volume);
  EXPECT_FALSE(machine->IsVolumeLocked(L'E'));
  EXPECT_NE(OpenVolume(), INVALID_HANDLE_VALUE);
}

TEST_F(VolumeLockTest, DismountLeavesOnlyTheCallingHandleWorking) {
  const HANDLE volume = OpenVolume();
  const HANDLE bystander = OpenVolume();
  std::vector<std::uint8_t> sector(512);
  EXPECT_EQ(ControlError(volume, FSCTL_DISMOUNT_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(Read(volume, sector).ok);
  EXPECT_EQ(Read(bystander, sector).error, static_cast<DWORD>(ERROR_NOT_READY));
  EXPECT_EQ(ControlError(bystander, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_NOT_READY));
  // The old handles do not keep the remounted volume busy.
  EXPECT_EQ(ControlError(volume, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(os::CloseHandle(bystander));
}

TEST_F(VolumeLockTest, LockSurvivesTheDismountOfItsOwnHandle) {
  const HANDLE volume = OpenVolume();
  ASSERT_EQ(ControlError(volume, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(ControlError(volume, FSCTL_DISMOUNT_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(machine->IsVolumeLocked(L'E'));
  EXPECT_EQ(OpenVolume(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(ControlError(volume, FSCTL_UNLOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_NE(OpenVolume(), INVALID_HANDLE_VALUE);
}

TEST_F(VolumeLockTest, WholeDiskLocksApartFromTheVolume) {
  const HANDLE volume = OpenVolume();
  const HANDLE whole = OpenDisk();
  EXPECT_EQ(ControlError(whole, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(machine->IsVolumeLocked(L'E'));
  EXPECT_EQ(OpenDisk(), INVALID_HANDLE_VALUE);
  EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  std::vector<std::uint8_t> sector(512);
  EXPECT_TRUE(Read(volume, sector).ok);
  EXPECT_EQ(ControlError(whole, FSCTL_UNLOCK_VOLUME), static_cast<DWORD>(ERROR_SUCCESS));

  const HANDLE secondWhole = OpenDisk();
  ASSERT_NE(secondWhole, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ControlError(whole, FSCTL_LOCK_VOLUME), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(VolumeLockTest, LogShowsTheLockBeforeTheWrites) {
  const HANDLE volume = OpenVolume();
  std::vector<std::uint8_t> sector(512);
  ControlError(volume, FSCTL_LOCK_VOLUME);
  Write(volume, sector);
  ControlError(volume, FSCTL_UNLOCK_VOLUME);
  const std::vector<sim::DiskOperation> log = machine->DiskOperations(number);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].ioControlCode, FSCTL_LOCK_VOLUME);
  EXPECT_EQ(log[1].kind, sim::DiskOperation::Kind::kWrite);
  EXPECT_EQ(log[2].ioControlCode, FSCTL_UNLOCK_VOLUME);
}

}  // namespace
