// Geometry and partition layout control codes, and the volume following
// the partition table.

#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

#include "DiskFixture.h"

namespace {

using testing_disk::DiskFixture;
using testing_disk::kReadWrite;
using testing_disk::MbrWithPartition;
using testing_disk::PhysicalDriveName;
using testing_disk::RamDisk;

constexpr std::size_t kLayoutHeader = offsetof(DRIVE_LAYOUT_INFORMATION, PartitionEntry);
constexpr std::size_t kEntrySize = sizeof(PARTITION_INFORMATION);
constexpr std::size_t kFourEntryLayout = kLayoutHeader + 4 * kEntrySize;

struct Layout {
  DWORD count = 0;
  DWORD signature = 0;
  std::vector<PARTITION_INFORMATION> entries;
};

Layout ParseLayout(const std::vector<std::uint8_t>& bytes) {
  Layout layout;
  std::memcpy(&layout.count, &bytes[offsetof(DRIVE_LAYOUT_INFORMATION, PartitionCount)], 4);
  std::memcpy(&layout.signature, &bytes[offsetof(DRIVE_LAYOUT_INFORMATION, Signature)], 4);
  layout.entries.resize(layout.count);
  for (DWORD i = 0; i < layout.count; ++i) {
    std::memcpy(&layout.entries[i], &bytes[kLayoutHeader + i * kEntrySize], kEntrySize);
  }
  return layout;
}

// The record the transport sends: one FAT16 partition and three empty
// entries, all to be rewritten.
std::vector<std::uint8_t> OnePartitionLayout(std::uint32_t firstSector, std::uint32_t sectors,
                                             DWORD signature = 0) {
  std::vector<std::uint8_t> bytes(kFourEntryLayout, 0);
  const DWORD count = 4;
  std::memcpy(&bytes[offsetof(DRIVE_LAYOUT_INFORMATION, PartitionCount)], &count, 4);
  std::memcpy(&bytes[offsetof(DRIVE_LAYOUT_INFORMATION, Signature)], &signature, 4);
  for (DWORD i = 0; i < 4; ++i) {
    PARTITION_INFORMATION entry{};
    entry.PartitionNumber = i + 1;
    entry.RewritePartition = TRUE;
    if (i == 0) {
      entry.StartingOffset.QuadPart = LONGLONG{firstSector} * 512;
      entry.PartitionLength.QuadPart = LONGLONG{sectors} * 512;
      entry.HiddenSectors = firstSector;
      entry.PartitionType = 0x06;
      entry.RecognizedPartition = TRUE;
    }
    std::memcpy(&bytes[kLayoutHeader + i * kEntrySize], &entry, kEntrySize);
  }
  return bytes;
}

class DiskLayoutTest : public DiskFixture {
 protected:
  BOOL Control(HANDLE handle, DWORD code, std::vector<std::uint8_t>* in,
               std::vector<std::uint8_t>* out) {
    returned = 0xDEAD;
    os::SetLastError(0);
    const BOOL ok = os::DeviceIoControl(
        handle, code, in ? in->data() : nullptr, in ? static_cast<DWORD>(in->size()) : 0,
        out ? out->data() : nullptr, out ? static_cast<DWORD>(out->size()) : 0, &returned, nullptr);
    error = os::GetLastError();
    return ok;
  }
  Layout GetLayout(HANDLE handle) {
    std::vector<std::uint8_t> answer(168);
    EXPECT_TRUE(Control(handle, IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, &answer));
    return ParseLayout(answer);
  }
  std::vector<std::uint8_t> FirstVolumeSector() {
    const HANDLE volume = OpenVolume(GENERIC_READ);
    std::vector<std::uint8_t> sector(512);
    EXPECT_TRUE(Read(volume, sector).ok);
    os::CloseHandle(volume);
    return sector;
  }
  static std::vector<std::uint8_t> Marker(std::uint8_t value) {
    return std::vector<std::uint8_t>(512, value);
  }

  DWORD returned = 0;
  DWORD error = 0;
};

TEST_F(DiskLayoutTest, GeometryTranslatesTheBlockCount) {
  for (HANDLE handle : {OpenVolume(0), OpenDisk(0)}) {
    std::vector<std::uint8_t> answer(sizeof(DISK_GEOMETRY) + 8);
    ASSERT_TRUE(Control(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, &answer));
    EXPECT_EQ(returned, sizeof(DISK_GEOMETRY));
    DISK_GEOMETRY geometry;
    std::memcpy(&geometry, answer.data(), sizeof geometry);
    EXPECT_EQ(geometry.Cylinders.QuadPart, LONGLONG{kBlocks / (255 * 63)});
    EXPECT_EQ(geometry.MediaType, RemovableMedia);
    EXPECT_EQ(geometry.TracksPerCylinder, 255u);
    EXPECT_EQ(geometry.SectorsPerTrack, 63u);
    EXPECT_EQ(geometry.BytesPerSector, 512u);

    std::vector<std::uint8_t> tooShort(sizeof(DISK_GEOMETRY) - 1);
    EXPECT_FALSE(Control(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, &tooShort));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(returned, 0xDEADu);
  }
}

TEST_F(DiskLayoutTest, FixedDiskReportsFixedMedia) {
  sim::DiskAttachment fixed;
  fixed.driveType = DRIVE_FIXED;
  const int fixedNumber = machine->AttachDisk(std::make_shared<RamDisk>(200000, 2048), fixed);
  const HANDLE handle = Open(PhysicalDriveName(fixedNumber), 0);
  std::vector<std::uint8_t> answer(sizeof(DISK_GEOMETRY));
  ASSERT_TRUE(Control(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, &answer));
  DISK_GEOMETRY geometry;
  std::memcpy(&geometry, answer.data(), sizeof geometry);
  EXPECT_EQ(geometry.MediaType, FixedMedia);
  EXPECT_EQ(geometry.Cylinders.QuadPart, 12);
  EXPECT_EQ(geometry.BytesPerSector, 2048u);
}

TEST_F(DiskLayoutTest, LayoutOfAPartitionedDisk) {
  std::vector<std::uint8_t> mbr = MbrWithPartition(63, 16002);
  mbr[0x1B8] = 0x78;
  mbr[0x1B9] = 0x56;
  mbr[0x1BA] = 0x34;
  mbr[0x1BB] = 0x12;
  disk->SetBlock(0, mbr);
  for (HANDLE handle : {OpenVolume(GENERIC_READ), OpenDisk(GENERIC_READ)}) {
    const Layout layout = GetLayout(handle);
    EXPECT_EQ(returned, kFourEntryLayout);
    ASSERT_EQ(layout.count, 4u);
    EXPECT_EQ(layout.signature, 0x12345678u);
    const PARTITION_INFORMATION& first = layout.entries[0];
    EXPECT_EQ(first.StartingOffset.QuadPart, 63 * 512);
    EXPECT_EQ(first.PartitionLength.QuadPart, 16002 * 512);
    EXPECT_EQ(first.HiddenSectors, 63u);
    EXPECT_EQ(first.PartitionNumber, 1u);
    EXPECT_EQ(first.PartitionType, 0x06);
    EXPECT_TRUE(first.BootIndicator);
    EXPECT_TRUE(first.RecognizedPartition);
    EXPECT_FALSE(first.RewritePartition);
    for (std::size_t i = 1; i < 4; ++i) {
      EXPECT_EQ(layout.entries[i].PartitionType, 0);
      EXPECT_EQ(layout.entries[i].PartitionLength.QuadPart, 0);
      EXPECT_EQ(layout.entries[i].PartitionNumber, 0u);
    }
  }
}

TEST_F(DiskLayoutTest, DiskWithoutTableIsOnePartition) {
  const Layout layout = GetLayout(OpenDisk(GENERIC_READ));
  ASSERT_EQ(layout.count, 1u);
  EXPECT_EQ(layout.signature, 0u);
  EXPECT_EQ(layout.entries[0].StartingOffset.QuadPart, 0);
  EXPECT_EQ(layout.entries[0].PartitionLength.QuadPart, LONGLONG{kBlocks} * 512);
}

TEST_F(DiskLayoutTest, LayoutNeedsRoomForEveryEntry) {
  disk->SetBlock(0, MbrWithPartition(63, 16002));
  std::vector<std::uint8_t> answer(kFourEntryLayout - 1);
  EXPECT_FALSE(Control(OpenDisk(GENERIC_READ), IOCTL_DISK_GET_DRIVE_LAYOUT, nullptr, &answer));
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(DiskLayoutTest, SetLayoutWritesTheTableAndKeepsTheBootCode) {
  std::vector<std::uint8_t> old(512);
  for (std::size_t i = 0; i < old.size(); ++i) old[i] = static_cast<std::uint8_t>(i);
  disk->SetBlock(0, old);
  std::vector<std::uint8_t> layout = OnePartitionLayout(63, 16002, 0xCAFEF00D);
  ASSERT_TRUE(Control(OpenDisk(), IOCTL_DISK_SET_DRIVE_LAYOUT, &layout, nullptr));

  const std::vector<std::uint8_t> sector = disk->Block(0);
  EXPECT_TRUE(std::equal(old.begin(), old.begin() + 0x1B8, sector.begin()));
  const std::vector<std::uint8_t> signature(sector.begin() + 0x1B8, sector.begin() + 0x1BC);
  EXPECT_EQ(signature, (std::vector<std::uint8_t>{0x0D, 0xF0, 0xFE, 0xCA}));
  // Not active; CHS 0/1/1 to 0/254/63 on 255 heads of 63 sectors.
  const std::vector<std::uint8_t> entry(sector.begin() + 0x1BE, sector.begin() + 0x1CE);
  EXPECT_EQ(entry, (std::vector<std::uint8_t>{0x00, 0x01, 0x01, 0x00, 0x06, 0xFE, 0x3F, 0x00, 63, 0,
                                              0, 0, 0x82, 0x3E, 0, 0}));
  EXPECT_TRUE(std::all_of(sector.begin() + 0x1CE, sector.begin() + 0x1FE,
                          [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(sector[510], 0x55);
  EXPECT_EQ(sector[511], 0xAA);
}

TEST_F(DiskLayoutTest, EntriesNotToBeRewrittenStayAsTheyAre) {
  disk->SetBlock(0, MbrWithPartition(100, 500, 0x0B));
  std::vector<std::uint8_t> layout = OnePartitionLayout(63, 16002);
  PARTITION_INFORMATION first;
  std::memcpy(&first, &layout[kLayoutHeader], kEntrySize);
  first.RewritePartition = FALSE;
  std::memcpy(&layout[kLayoutHeader], &first, kEntrySize);
  ASSERT_TRUE(Control(OpenDisk(), IOCTL_DISK_SET_DRIVE_LAYOUT, &layout, nullptr));
  EXPECT_EQ(disk->Block(0), MbrWithPartition(100, 500, 0x0B));
}

TEST_F(DiskLayoutTest, VolumeFollowsTheLayoutAtOnce) {
  disk->SetBlock(0, Marker(0x00));
  disk->SetBlock(63, Marker(0x63));
  disk->SetBlock(128, Marker(0x80));
  EXPECT_EQ(FirstVolumeSector(), Marker(0x00));

  const HANDLE whole = OpenDisk();
  std::vector<std::uint8_t> layout = OnePartitionLayout(63, 16002);
  ASSERT_TRUE(Control(whole, IOCTL_DISK_SET_DRIVE_LAYOUT, &layout, nullptr));
  EXPECT_EQ(FirstVolumeSector(), Marker(0x63));

  layout = OnePartitionLayout(128, 1000);
  ASSERT_TRUE(Control(whole, IOCTL_DISK_SET_DRIVE_LAYOUT, &layout, nullptr));
  EXPECT_EQ(FirstVolumeSector(), Marker(0x80));

  ASSERT_TRUE(Control(whole, IOCTL_DISK_DELETE_DRIVE_LAYOUT, nullptr, nullptr));
  const std::vector<std::uint8_t> sector = disk->Block(0);
  EXPECT_TRUE(
      std::all_of(sector.begin() + 0x1B8, sector.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(FirstVolumeSector()[0], 0x00);
  EXPECT_EQ(GetLayout(whole).count, 1u);
}

TEST_F(DiskLayoutTest, WrittenTableCountsOnlyOnceTheLayoutIsRead) {
  // A table written as data is not yet known to the partition code.
  disk->SetBlock(63, Marker(0x63));
  const HANDLE whole = OpenDisk();
  std::vector<std::uint8_t> mbr = MbrWithPartition(63, 16002);
  ASSERT_TRUE(Write(whole, mbr).ok);
  EXPECT_EQ(FirstVolumeSector(), mbr);
  GetLayout(whole);
  EXPECT_EQ(FirstVolumeSector(), Marker(0x63));
}

TEST_F(DiskLayoutTest, VolumeHandlesCannotRepartition) {
  const HANDLE volume = OpenVolume();
  std::vector<std::uint8_t> layout = OnePartitionLayout(63, 16002);
  EXPECT_FALSE(Control(volume, IOCTL_DISK_SET_DRIVE_LAYOUT, &layout, nullptr));
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_FUNCTION));
  EXPECT_FALSE(Control(volume, IOCTL_DISK_DELETE_DRIVE_LAYOUT, nullptr, nullptr));
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_FUNCTION));
  EXPECT_EQ(disk->Block(0), Marker(0x00));
}

TEST_F(DiskLayoutTest, MalformedLayoutRecordsChangeNothing) {
  const HANDLE whole = OpenDisk();
  struct Case {
    const char* what;
    std::size_t size;  // bytes of the record sent
    DWORD count;
    LONGLONG firstOffset;
    DWORD error;
  };
  const Case cases[] = {
      {"shorter than one entry", kLayoutHeader + kEntrySize - 1, 4, 63 * 512,
       ERROR_INSUFFICIENT_BUFFER},
      {"fewer entries than counted", kFourEntryLayout, 5, 63 * 512, ERROR_INSUFFICIENT_BUFFER},
      {"negative offset", kFourEntryLayout, 4, -512, ERROR_INVALID_PARAMETER},
      {"past 2 TiB", kFourEntryLayout, 4, LONGLONG{1} << 42, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> layout = OnePartitionLayout(63, 16002);
    std::memcpy(&layout[offsetof(DRIVE_LAYOUT_INFORMATION, PartitionCount)], &c.count, 4);
    PARTITION_INFORMATION first;
    std::memcpy(&first, &layout[kLayoutHeader], kEntrySize);
    first.StartingOffset.QuadPart = c.firstOffset;
    std::memcpy(&layout[kLayoutHeader], &first, kEntrySize);
    layout.resize(c.size);
    EXPECT_FALSE(Control(whole, IOCTL_DISK_SET_DRIVE_LAYOUT, &layout, nullptr)) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
  }
  EXPECT_EQ(disk->Block(0), Marker(0x00));
}

TEST_F(DiskLayoutTest, UnknownControlCode) {
  // Function 0FFFh of the disk and file-system device types: defined by no one.
  EXPECT_EQ(ControlError(OpenVolume(), 0x00073FFC), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
  EXPECT_EQ(ControlError(OpenDisk(), 0x00093FFC), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
}

}  // namespace
