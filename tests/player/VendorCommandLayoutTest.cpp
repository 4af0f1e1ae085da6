// Every vendor command's CDB bytes, data lengths and direction.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/RyStatus.h"
#include "player/RyChipCommands.h"
#include "player/RyLogicalDriveCommands.h"
#include "player/RyLogicalMediaCommands.h"
#include "tests/support/CommandExchange.h"

namespace {

// A vendor CDB: the given leading bytes, zero up to 16.
std::vector<std::uint8_t> Cdb(std::vector<std::uint8_t> leading) {
  leading.resize(16, 0);
  return leading;
}

LogicalTable ThreeEntryTable() {
  LogicalTable table{};
  table.entryCount = 3;
  return table;
}

// The version whose protocol record is these six bytes.
CRyVersionInfo VersionOfRecord(const std::vector<std::uint8_t>& record) {
  CRyVersionInfo version("CRyVersionInfo");
  version.ReadRecord(*test::MakeByteArray(record), 0);
  return version;
}

struct LayoutCase {
  std::function<std::unique_ptr<CRyScsiCommand>()> make;
  test::CommandLayout expected;
};

const LayoutCase kLayoutCases[] = {
    {[] { return std::make_unique<CRyGetLogicalMediaInfo>(9); },
     {"CRyGetLogicalMediaInfo", 0, Cdb({0xC0, 0x02, 0x09}), 1, 0, 0}},
    {[] { return std::make_unique<CRyGetLogicalMediaInfo>(8, 300); },
     {"CRyGetLogicalMediaInfo", 0, Cdb({0xC0, 0x02, 0x08}), 300, 0, 0}},
    {[] { return std::make_unique<CRyGetLogicalTable>(10); },
     {"CRyGetLogicalTable", 0, Cdb({0xC0, 0x05, 0x0A}), 112, 0, 0}},
    {[] { return std::make_unique<CRyGetLogicalTable>(3); },
     {"CRyGetLogicalTable", 0, Cdb({0xC0, 0x05, 0x03}), 35, 0, 0}},
    {[] { return std::make_unique<CRyGetLogicalDriveInfo>(3, 7); },
     {"CRyGetLogicalDriveInfo", 0, Cdb({0xC0, 0x12, 0x03, 0x07}), 48, 0, 0}},
    {[] { return std::make_unique<CRyGetLogicalDriveInfo>(5, 11, 77); },
     {"CRyGetLogicalDriveInfo", 0, Cdb({0xC0, 0x12, 0x05, 0x0B}), 77, 0, 0}},
    {[] { return std::make_unique<CRyReadLogicalDriveSector>(2, 512, 0x100, 128); },
     {"CRyReadLogicalDriveSector", 0,
      Cdb({0xC0, 0x13, 0x02, 0, 0, 0, 0, 0, 0, 0x01, 0x00, 0, 0, 0, 0x80}), 65536, 0, 0}},
    {[] {
       return std::make_unique<CRyReadLogicalDriveSector>(7, 1, 0x0102030405060708, 0x0A0B0C0D);
     },
     {"CRyReadLogicalDriveSector", 0,
      Cdb({0xC0, 0x13, 0x07, 1, 2, 3, 4, 5, 6, 7, 8, 0x0A, 0x0B, 0x0C, 0x0D}), 0x0A0B0C0D, 0, 0}},
    {[] { return std::make_unique<CRyGetChipMajorRevId>(); },
     {"CRyGetChipMajorRevId", 0, Cdb({0xC0, 0x30}), 2, 0, 0}},
    {[] { return std::make_unique<CRyAllocateLogicalMedia>(ThreeEntryTable()); },
     {"CRyAllocateLogicalMedia", 0, Cdb({0xC1, 0x06, 0x03}), 0, 33, 1}},
    {[] { return std::make_unique<CRyEraseLogicalMedia>(); },
     {"CRyEraseLogicalMedia", 0, Cdb({0xC1, 0x07}), 0, 0, 1}},
    {[] {
       return std::make_unique<CRySetLogicalDriveInfo>(4, 8, VersionOfRecord({0, 1, 0, 2, 0, 3}));
     },
     {"CRySetLogicalDriveInfo", 0, Cdb({0xC1, 0x20, 0x04, 0x08, 0, 1, 0, 2, 0, 3}), 0, 0, 1}},
    {[] {
       return std::make_unique<CRySetLogicalDriveInfo>(
           1, 7, VersionOfRecord({0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00}));
     },
     {"CRySetLogicalDriveInfo", 0,
      Cdb({0xC1, 0x20, 0x01, 0x07, 0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00}), 0, 0, 1}},
    {[] { return std::make_unique<CRyWriteLogicalDriveSector>(2, 512, 0x100, 128); },
     {"CRyWriteLogicalDriveSector", 0,
      Cdb({0xC1, 0x23, 0x02, 0, 0, 0, 0, 0, 0, 0x01, 0x00, 0, 0, 0, 0x80}), 0, 65536, 1}},
    {[] { return std::make_unique<CRyEraseLogicalDrive>(6); },
     {"CRyEraseLogicalDrive", 0, Cdb({0xC1, 0x2F, 0x06}), 0, 0, 1}},
    {[] { return std::make_unique<CRyChipReset>(); },
     {"CRyChipReset", 0, Cdb({0xC1, 0x31}), 0, 0, 1}},
};

TEST(VendorCommandLayoutTest, BuildsItsCdbAndDataPhase) {
  for (const LayoutCase& layoutCase : kLayoutCases) {
    const std::unique_ptr<CRyScsiCommand> command = layoutCase.make();
    EXPECT_EQ(test::LayoutOf(*command), layoutCase.expected);
  }
}

TEST(VendorCommandLayoutTest, AllocationSendsTypeTagAndSizeOfEachEntry) {
  LogicalTable table{};
  table.entryCount = 3;
  table.entries[0] = {9, kDriveTypeSystem, 0x01, 0x0000000000010000};
  table.entries[1] = {8, kDriveTypeSystem, 0x02, 0x0102030405060708};
  table.entries[2] = {7, kDriveTypeData, 0x00, 0xF0E0D0C0B0A09080};
  CRyAllocateLogicalMedia command(table);
  test::Exchange(command);

  const std::vector<std::uint8_t> expected = {
      0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00,  // no drive numbers
      0x01, 0x02, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,  //
      0x00, 0x00, 0xF0, 0xE0, 0xD0, 0xC0, 0xB0, 0xA0, 0x90, 0x80,  //
      0x00, 0x00, 0x00};
  EXPECT_EQ(test::PayloadBytes(command), expected);
}

TEST(VendorCommandLayoutTest, AllocationRefusesMoreThanTenEntries) {
  LogicalTable table{};
  table.entryCount = kLogicalTableMaxEntries + 1;
  CRyAllocateLogicalMedia command(table);
  EXPECT_EQ(command.GetStatus(), RyStatus::kArgumentOutOfRange);
}

// Answer lengths by information type. The caller's length must count only
// for the one type that takes it.
struct InfoTypeCase {
  std::uint32_t infoType;
  std::uint32_t dataInLength;
  std::int32_t status;
};

constexpr std::uint32_t kCallerLength = 300;

TEST(VendorCommandLayoutTest, MediaInfoLengthDependsOnType) {
  const InfoTypeCase cases[] = {
      {0, 2, 0},
      {1, 8, 0},
      {2, 0, RyStatus::kUnsupportedInfoType},
      {3, 0, RyStatus::kUnsupportedInfoType},
      {4, 0, RyStatus::kUnsupportedInfoType},
      {5, 1, 0},
      {6, 4, 0},
      {7, 2, 0},
      {8, kCallerLength, 0},
      {9, 1, 0},
      {10, 0, RyStatus::kUnsupportedInfoType},
      {0x109, 0, RyStatus::kUnsupportedInfoType},  // not taken for its low byte
  };
  for (const InfoTypeCase& infoCase : cases) {
    SCOPED_TRACE(infoCase.infoType);
    CRyGetLogicalMediaInfo command(infoCase.infoType, kCallerLength);
    EXPECT_EQ(command.GetStatus(), infoCase.status);
    EXPECT_EQ(command.GetDataInLength(), infoCase.dataInLength);
  }
}

TEST(VendorCommandLayoutTest, DriveInfoLengthDependsOnType) {
  const InfoTypeCase cases[] = {
      {0, 4, 0},
      {1, 4, 0},
      {2, 8, 0},
      {3, 4, 0},
      {4, 8, 0},
      {5, 4, 0},
      {6, 1, 0},
      {7, 48, 0},
      {8, 48, 0},
      {9, 1, 0},
      {10, 2, 0},
      {11, kCallerLength, 0},
      {12, 0, RyStatus::kArgumentOutOfRange},
      {0x107, 0, RyStatus::kArgumentOutOfRange},  // not taken for its low byte
  };
  for (const InfoTypeCase& infoCase : cases) {
    SCOPED_TRACE(infoCase.infoType);
    CRyGetLogicalDriveInfo command(1, infoCase.infoType, kCallerLength);
    EXPECT_EQ(command.GetStatus(), infoCase.status);
    EXPECT_EQ(command.GetDataInLength(), infoCase.dataInLength);
  }
}

}  // namespace
