// What CRyDisk computes before the first write: type, cluster size,
// geometry, the records' fields, and the drives it refuses.

#include <gtest/gtest.h>

#include "core/RyStatus.h"
#include "player/RyChs.h"
#include "player/RyDisk.h"

namespace {

std::uint32_t Field(const std::uint8_t* record, std::uint32_t offset, std::uint32_t width) {
  std::uint32_t value = 0;
  for (std::uint32_t i = 0; i < width; ++i) value |= std::uint32_t{record[offset + i]} << (8 * i);
  return value;
}

TEST(GeometryTest, ExactAndClosestGeometries) {
  struct Case {
    std::uint32_t totalSectors;
    std::uint16_t cylinders, heads;
    std::uint8_t sectorsPerTrack;
  };
  const Case cases[] = {
      {16065, 1, 255, 63},    // no smaller head count fills one cylinder
      {131072, 16, 256, 32},  // 64 MiB of 512-byte sectors
      {1, 1, 1, 1},
  };
  for (const Case& c : cases) {
    ChsGeometry geometry;
    ASSERT_EQ(ComputeGeometry(c.totalSectors, geometry), 0) << c.totalSectors;
    EXPECT_EQ(geometry.cylinders, c.cylinders) << c.totalSectors;
    EXPECT_EQ(geometry.heads, c.heads) << c.totalSectors;
    EXPECT_EQ(geometry.sectorsPerTrack, c.sectorsPerTrack) << c.totalSectors;
    EXPECT_LE(geometry.Capacity(), c.totalSectors);
  }
}

TEST(GeometryTest, NoGeometryForNothingOrBeyondTheLimit) {
  ChsGeometry geometry;
  EXPECT_EQ(ComputeGeometry(0, geometry), RyStatus::kNoGeometryFits);
  EXPECT_EQ(ComputeGeometry(kChsSectorLimit, geometry), RyStatus::kNoGeometryFits);
  EXPECT_EQ(geometry.cylinders, 1);
  EXPECT_EQ(geometry.heads, 1);
  EXPECT_EQ(geometry.sectorsPerTrack, 16);
}

TEST(GeometryTest, ChsEncodingCarriesCylinderBitsInTheSectorByte) {
  ChsGeometry geometry;
  geometry.cylinders = 1024, geometry.heads = 16, geometry.sectorsPerTrack = 63;
  std::uint8_t chs[3];
  // Cylinder 777 (309h), head 5, sector 7.
  ASSERT_EQ(LbaToChs(geometry, (777u * 16 + 5) * 63 + 6, chs), 0);
  EXPECT_EQ(chs[0], 5);
  EXPECT_EQ(chs[1], 0xC0 | 7);
  EXPECT_EQ(chs[2], 0x09);
  EXPECT_EQ(LbaToChs(geometry, 1024u * 16 * 63, chs), RyStatus::kSectorOutsideGeometry);
}

struct LayoutCase {
  const char* name;
  std::uint32_t totalSectors;
  std::uint32_t sectorSize;
  int forceFat16;
  std::int32_t status;
  FatType type;
  std::uint32_t sectorsPerCluster;
};

const LayoutCase kLayouts[] = {
    {"Fat12BySize", 8192, 512, 0, 0, kFat12, 8},
    {"Fat16BySize", 65536, 512, 0, 0, kFat16, 1},
    {"Fat32BySize", 131072, 512, 0, 0, kFat32, 1},
    {"Fat16Forced64MiB", 131072, 512, 1, 0, kFat16, 2},
    {"Fat16ForcedTop", 4194304, 512, 1, 0, kFat16, 64},
    // 4 GiB and more: the type by a 64-bit byte count, not one that wraps to 0.
    {"Fat32At4GiB", 8388608, 512, 0, 0, kFat32, 8},
    {"Fat32AtLargeSectors", 2097152, 2048, 0, 0, kFat32, 8},
    // Sizes the cluster table has no cluster size for.
    {"Fat16ForcedTooSmall", 8400, 512, 1, RyStatus::kFileSystemUnsupported, kFat16, 0},
    {"Fat16BySizeTooSmall", 8300, 512, 0, RyStatus::kFileSystemUnsupported, kFat16, 0},
    {"Fat16ForcedTooLarge", 4194305, 512, 1, RyStatus::kFileSystemUnsupported, kFat16, 0},
    {"Fat32TooSmall", 33000, 2048, 0, RyStatus::kFileSystemUnsupported, kFat32, 0},
    // Beyond any CHS geometry.
    {"Fat32BeyondGeometry", kChsSectorLimit, 512, 0, RyStatus::kNoGeometryFits, kFat32, 8},
    {"SectorSizeZero", 131072, 0, 1, RyStatus::kFileSystemUnsupported, kFat16, 0},
    {"SectorSizeOdd", 131072, 520, 1, RyStatus::kFileSystemUnsupported, kFat16, 0},
};

class DiskLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(DiskLayoutTest, TypeClusterSizeAndAConsistentLayout) {
  const LayoutCase& c = GetParam();
  CRyDisk disk(c.totalSectors, c.sectorSize, c.forceFat16, "CRyDisk");
  ASSERT_EQ(disk.GetStatus(), c.status);
  if (c.status != 0) return;
  EXPECT_EQ(disk.GetFatType(), c.type);
  EXPECT_EQ(disk.GetSectorsPerCluster(), c.sectorsPerCluster);
  const std::uint8_t* boot = disk.GetBootSector();
  EXPECT_EQ(Field(boot, 11, 2), c.sectorSize);
  EXPECT_EQ(Field(boot, 13, 1), c.sectorsPerCluster);
  EXPECT_EQ(Field(boot, 510, 2), 0xAA55u);
  const std::uint32_t partition = disk.GetPartitionSectors();
  EXPECT_EQ(Field(boot, 19, 2) + Field(boot, 32, 4), partition);
  const std::uint8_t* mbr = disk.GetMbr();
  EXPECT_EQ(Field(mbr, 0x1C6, 4), disk.GetHiddenSectors());
  EXPECT_EQ(Field(mbr, 0x1CA, 4), partition);
  EXPECT_EQ(disk.GetHiddenSectors() + partition + disk.GetResidue(), c.totalSectors);
  // A reader tells the type by the cluster count alone.
  const std::uint32_t clusters = disk.GetClusterCount();
  switch (c.type) {
    case kFat12:
      EXPECT_LT(clusters, 4085u);
      break;
    case kFat16:
      EXPECT_GE(clusters, 4087u);
      EXPECT_LT(clusters, 65525u);
      break;
    case kFat32:
      EXPECT_GE(clusters, 65525u);
      break;
  }
  const std::uint32_t fatBytes = disk.GetFatSectors() * c.sectorSize;
  const std::uint32_t entryBits = c.type == kFat12 ? 12 : c.type == kFat16 ? 16 : 32;
  EXPECT_GE(std::uint64_t{fatBytes} * 8 / entryBits, clusters + 2u);
}

INSTANTIATE_TEST_SUITE_P(Drives, DiskLayoutTest, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<LayoutCase>& param) {
                           return std::string(param.param.name);
                         });

TEST(DiskRecordsTest, Fat16Forced64MiB) {
  CRyDisk disk(131072, 512, 1, "CRyDisk");
  ASSERT_EQ(disk.GetStatus(), 0);
  EXPECT_EQ(disk.GetRootDirectorySectors(), 32u);
  const std::uint8_t* boot = disk.GetBootSector();
  EXPECT_EQ(Field(boot, 14, 2), 1u);
  EXPECT_EQ(Field(boot, 17, 2), 512u);
  EXPECT_EQ(Field(boot, 19, 2), 0u);  // 131,040 sectors need the 32-bit field
  EXPECT_EQ(Field(boot, 32, 4), 131040u);
  EXPECT_EQ(Field(boot, 22, 2), 255u);  // (131040 - 33 + 513) / 514
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(boot) + 54, 8), "FAT16   ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(boot) + 3, 8), "MSWIN4.1");
  const std::uint8_t* mbr = disk.GetMbr();
  EXPECT_EQ(mbr[0x1BE], 0x80);
  EXPECT_EQ(mbr[0x1C2], 0x06);
  // First sector 32: cylinder 0, head 1, sector 1; last 131071: 15/255/32.
  EXPECT_EQ(Field(mbr, 0x1BF, 3), 0x000101u);
  EXPECT_EQ(Field(mbr, 0x1C3, 3), 0x0F20FFu);
}

TEST(DiskRecordsTest, Fat32RecordsAndFsInfo) {
  CRyDisk disk(1048576, 512, 0, "CRyDisk");
  ASSERT_EQ(disk.GetStatus(), 0);
  EXPECT_EQ(disk.GetRootDirectorySectors(), 8u);
  const std::uint8_t* boot = disk.GetBootSector();
  EXPECT_EQ(Field(boot, 14, 2), 32u);
  EXPECT_EQ(Field(boot, 22, 2), 0u);
  EXPECT_EQ(Field(boot, 36, 4), disk.GetFatSectors());
  EXPECT_EQ(Field(boot, 44, 4), 2u);
  EXPECT_EQ(Field(boot, 48, 2), 1u);
  EXPECT_EQ(Field(boot, 50, 2), 6u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(boot) + 82, 8), "FAT32   ");
  EXPECT_EQ(disk.GetMbr()[0x1C2], 0x0B);
  const std::uint8_t* info = disk.GetFsInfoSector();
  EXPECT_EQ(Field(info, 0, 4), 0x41615252u);
  EXPECT_EQ(Field(info, 484, 4), 0x61417272u);
  EXPECT_EQ(Field(info, 488, 4), 0xFFFFFFFFu);
  EXPECT_EQ(Field(info, 508, 4), 0xAA550000u);
  EXPECT_EQ(Field(disk.GetThirdBootRecord(), 510, 2), 0xAA55u);
}

TEST(DiskRecordsTest, LabelIsBlankPaddedAndLimitedToElevenBytes) {
  CRyDisk disk(131072, 512, 1, "CRyDisk");
  const std::uint8_t label[12] = {'K', '5', '2', '0', 'X', 'X', 'X', 'X', 'X', 'X', 'X', 'X'};
  EXPECT_EQ(disk.StoreLabel(label, 12), RyStatus::kArgumentOutOfRange);
  EXPECT_EQ(disk.StoreLabel(label, 0), RyStatus::kVolumeLabelEmpty);
  ASSERT_EQ(disk.StoreLabel(label, 4), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(disk.GetLabel()), 11), "K520       ");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(disk.GetBootSector()) + 43, 11),
            "K520       ");
}

TEST(DiskRecordsTest, FatInitialBytesRefuseUnknownTypes) {
  const std::uint8_t* bytes = nullptr;
  std::uint32_t length = 0;
  ASSERT_EQ(CRyDisk::FatInitialBytes(kFat32, bytes, length), 0);
  EXPECT_EQ(length, 12u);
  EXPECT_EQ(bytes[11], 0x0F);
  EXPECT_EQ(CRyDisk::FatInitialBytes(3, bytes, length), RyStatus::kFileSystemUnsupported);
}

}  // namespace
