// Sector I/O on volume and physical-drive handles: alignment, the end of
// the volume and of the disk, the partition a volume starts at, media
// errors, and the log of what reached the disk.

#include <vector>

#include "DiskFixture.h"

namespace {

using testing_disk::DiskFixture;
using testing_disk::MbrWithPartition;

constexpr std::uint32_t kSector = 512;

std::vector<std::uint8_t> Pattern(std::uint8_t seed, std::size_t size = kSector) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i);
  return bytes;
}

class DiskIoTest : public DiskFixture {
 protected:
  static constexpr std::uint64_t kDiskBytes = kBlocks * kSector;

  struct Case {
    std::uint64_t position;
    DWORD length;
    BOOL ok;
    DWORD bytes;  // moved when ok
    DWORD error;  // when not ok
  };
  void Check(HANDLE handle, const Case& c, bool write) {
    Seek(handle, c.position);
    std::vector<std::uint8_t> buffer(c.length, 0xEE);
    const Io io = write ? Write(handle, buffer) : Read(handle, buffer);
    const char* what = write ? "write" : "read";
    EXPECT_EQ(io.ok, c.ok) << what << " at " << c.position << " of " << c.length;
    if (c.ok) {
      EXPECT_EQ(io.bytes, c.bytes) << what << " at " << c.position;
    }
    if (!c.ok) {
      EXPECT_EQ(io.error, c.error) << what << " at " << c.position;
    }
  }
  template <std::size_t N>
  void CheckReadsAndWrites(HANDLE handle, const Case (&cases)[N]) {
    for (const Case& c : cases) {
      Check(handle, c, false);
      Check(handle, c, true);
    }
  }
};

TEST_F(DiskIoTest, WholeSectorsOnly) {
  const Case cases[] = {
      {0, kSector, TRUE, kSector, 0},
      {kSector, 4 * kSector, TRUE, 4 * kSector, 0},
      {0, 0, TRUE, 0, 0},
      {100, kSector, FALSE, 0, ERROR_INVALID_PARAMETER},
      {0, 100, FALSE, 0, ERROR_INVALID_PARAMETER},
      {kSector, kSector + 1, FALSE, 0, ERROR_INVALID_PARAMETER},
  };
  for (HANDLE handle : {OpenVolume(), OpenDisk()}) CheckReadsAndWrites(handle, cases);
}

TEST_F(DiskIoTest, PhysicalDriveRefusesTransfersPastItsEnd) {
  const HANDLE whole = OpenDisk();
  const Case cases[] = {
      {kDiskBytes - kSector, kSector, TRUE, kSector, 0},
      {kDiskBytes - kSector, 2 * kSector, FALSE, 0, ERROR_INVALID_PARAMETER},
      {kDiskBytes, kSector, FALSE, 0, ERROR_INVALID_PARAMETER},
      {kDiskBytes + 8 * kSector, kSector, FALSE, 0, ERROR_INVALID_PARAMETER},
  };
  CheckReadsAndWrites(whole, cases);
}

TEST_F(DiskIoTest, VolumeCutsTransfersShortAtItsEnd) {
  const HANDLE volume = OpenVolume();
  const Case cases[] = {
      {kDiskBytes - kSector, 2 * kSector, TRUE, kSector, 0},
      {kDiskBytes, kSector, TRUE, 0, 0},
      {kDiskBytes + 8 * kSector, kSector, TRUE, 0, 0},
  };
  CheckReadsAndWrites(volume, cases);
}

TEST_F(DiskIoTest, PositionAdvancesByWhatMoved) {
  disk->SetBlock(0, Pattern(1));
  disk->SetBlock(1, Pattern(2));
  const HANDLE volume = OpenVolume();
  std::vector<std::uint8_t> sector(kSector);
  ASSERT_TRUE(Read(volume, sector).ok);
  EXPECT_EQ(sector, Pattern(1));
  ASSERT_TRUE(Read(volume, sector).ok);
  EXPECT_EQ(sector, Pattern(2));
  ASSERT_TRUE(Write(volume, Pattern(3)).ok);
  EXPECT_EQ(disk->Block(2), Pattern(3));
}

TEST_F(DiskIoTest, VolumeStartsAtTheFirstPartition) {
  disk->SetBlock(0, MbrWithPartition(63, 1000));
  disk->SetBlock(63, Pattern(7));
  Replug();
  const HANDLE volume = OpenVolume();
  std::vector<std::uint8_t> sector(kSector);
  ASSERT_TRUE(Read(volume, sector).ok);
  EXPECT_EQ(sector, Pattern(7));
  // The volume ends with the partition.
  const Case pastPartition{1000 * kSector, kSector, TRUE, 0, 0};
  Check(volume, pastPartition, false);
  Seek(volume, 999 * kSector);
  ASSERT_TRUE(Write(volume, Pattern(9)).ok);
  EXPECT_EQ(disk->Block(63 + 999), Pattern(9));
}

TEST_F(DiskIoTest, SectorZeroWithoutATableIsTheVolumeStart) {
  // A boot sector written from sector 0: its code bytes where a table would
  // be carry boot flags no table has.
  std::vector<std::uint8_t> bootSector = Pattern(0x30);
  bootSector[510] = 0x55;
  bootSector[511] = 0xAA;
  disk->SetBlock(0, bootSector);
  Replug();
  const HANDLE volume = OpenVolume();
  std::vector<std::uint8_t> sector(kSector);
  ASSERT_TRUE(Read(volume, sector).ok);
  EXPECT_EQ(sector, bootSector);
}

TEST_F(DiskIoTest, PartitionReachingPastTheMedium) {
  disk->SetBlock(0, MbrWithPartition(kBlocks - 10, 100));
  Replug();
  const HANDLE volume = OpenVolume();
  const Case beyond{20 * kSector, kSector, FALSE, 0, ERROR_SECTOR_NOT_FOUND};
  Check(volume, beyond, false);
}

TEST_F(DiskIoTest, MediaErrors) {
  disk->FailBlock(10);
  const HANDLE whole = OpenDisk();
  const Case failing{8 * kSector, 4 * kSector, FALSE, 0, 0};
  Case read = failing;
  read.error = ERROR_CRC;
  Check(whole, read, false);
  Case write = failing;
  write.error = ERROR_WRITE_FAULT;
  Check(whole, write, true);
  // A failed transfer does not move the position.
  LONG high = 0;
  EXPECT_EQ(os::SetFilePointer(whole, 0, &high, FILE_CURRENT), 8 * kSector);
}

TEST_F(DiskIoTest, RefusedCallForms) {
  const HANDLE volume = OpenVolume();
  std::vector<std::uint8_t> sector(kSector);
  OVERLAPPED overlapped{};
  DWORD moved = 77;
  os::SetLastError(0);
  EXPECT_FALSE(os::ReadFile(volume, sector.data(), kSector, &moved, &overlapped));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(moved, 0u);
  os::SetLastError(0);
  EXPECT_FALSE(os::WriteFile(volume, nullptr, kSector, &moved, nullptr));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_NOACCESS));
  DWORD returned = 0;
  os::SetLastError(0);
  EXPECT_FALSE(os::DeviceIoControl(volume, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &returned,
                                   &overlapped));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DiskIoTest, LogRecordsWhatReachedTheDisk) {
  disk->SetBlock(0, MbrWithPartition(63, 1000));
  Replug();
  const HANDLE volume = OpenVolume();
  const HANDLE whole = OpenDisk();
  std::vector<std::uint8_t> sector(kSector);
  Seek(volume, 2 * kSector);
  Read(volume, sector);
  Seek(whole, 100);
  Write(whole, sector);
  ControlError(volume, FSCTL_DISMOUNT_VOLUME);

  using Kind = sim::DiskOperation::Kind;
  const std::vector<sim::DiskOperation> log = machine->DiskOperations(number);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].kind, Kind::kRead);
  EXPECT_EQ(log[0].handleKind, sim::DiskHandleKind::kVolume);
  EXPECT_EQ(log[0].diskOffset, (63u + 2) * kSector);
  EXPECT_EQ(log[0].length, kSector);
  EXPECT_EQ(log[0].error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(log[1].kind, Kind::kWrite);
  EXPECT_EQ(log[1].handleKind, sim::DiskHandleKind::kPhysicalDrive);
  EXPECT_EQ(log[1].error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(log[2].kind, Kind::kIoControl);
  EXPECT_EQ(log[2].ioControlCode, FSCTL_DISMOUNT_VOLUME);
  EXPECT_TRUE(machine->DiskOperations(number + 1).empty());
}

}  // namespace
