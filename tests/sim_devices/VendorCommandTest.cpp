// The player's vendor command set against its flash model, driven by ombra's
// own command objects.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "device/RyReadCapacity.h"
#include "device/RyReadWrite.h"
#include "device/RyScsiInquiry.h"
#include "player/RyChipCommands.h"
#include "player/RyLogicalDriveCommands.h"
#include "player/RyLogicalMediaCommands.h"
#include "sim/PlayerSenseCodes.h"
#include "tests/sim_devices/DeviceExchange.h"
#include "tests/sim_devices/PlayerFixture.h"
#include "tests/support/CommandExchange.h"

namespace {

using test::kDataSectorSize;
using test::kFlashSize;
using test::kSystemSectorSize;
using test::Pattern;
using test::SendTo;

constexpr std::uint64_t RoundedToSystemSectors(std::uint64_t size) {
  return (size + kSystemSectorSize - 1) / kSystemSectorSize * kSystemSectorSize;
}

// Drive numbers of the standard layout.
constexpr std::uint8_t kBootDrive = 0;
constexpr std::uint8_t kDataDrive = 1;
constexpr std::uint8_t kPlayerDrive = 3;

class VendorCommandTest : public test::PlayerTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Allocate(test::StandardLayout()).scsiStatus, sim::ScsiResult::kGood);
  }
};

TEST_F(VendorCommandTest, AllocatedLayoutReadsBackNumberedInOrderInWholeSectors) {
  const LogicalTable table = ReadTable();
  const std::uint64_t systemBytes = RoundedToSystemSectors(100000) +
                                    RoundedToSystemSectors(300000) +
                                    RoundedToSystemSectors(1000000) + 2048;
  const std::uint64_t dataBytes = (kFlashSize - systemBytes) / kDataSectorSize * kDataSectorSize;
  const LogicalTableEntry expected[] = {
      {0, kDriveTypeSystem, 0x50, RoundedToSystemSectors(100000)},
      {1, kDriveTypeData, 0x0A, dataBytes},
      {2, kDriveTypeSystem, 0x01, RoundedToSystemSectors(300000)},
      {3, kDriveTypeSystem, 0x00, RoundedToSystemSectors(1000000)},
      {4, kDriveTypeSystem, 0x02, 2048},
  };
  ASSERT_EQ(table.entryCount, 5);
  for (std::uint16_t i = 0; i < table.entryCount; ++i) {
    SCOPED_TRACE(i);
    const LogicalTableEntry entry = table.entries[i];
    EXPECT_EQ(entry.driveNumber, expected[i].driveNumber);
    EXPECT_EQ(entry.driveType, expected[i].driveType);
    EXPECT_EQ(entry.tag, expected[i].tag);
    EXPECT_EQ(std::uint64_t{entry.sizeInBytes}, std::uint64_t{expected[i].sizeInBytes});
  }
}

TEST_F(VendorCommandTest, TableAnswerHoldsNoMoreThanTheMaximumCount) {
  CRyGetLogicalTable command(2);
  const sim::ScsiResult result = SendTo(player, command);
  EXPECT_EQ(result.dataIn.size(), 2u + 2 * 11);
  LogicalTable table{};
  ASSERT_EQ(command.GetTable(table), 0);
  EXPECT_EQ(table.entryCount, 2);
  EXPECT_EQ(table.entries[1].tag, 0x0A);
}

TEST(VendorCommandFreshPlayerTest, NewPlayerHasAnEmptyTableAndNoMedium) {
  sim::EmulatedPlayer player(test::SmallPlayerConfig());
  CRyGetLogicalTable table;
  ASSERT_EQ(SendTo(player, table).scsiStatus, sim::ScsiResult::kGood);
  LogicalTable parsed{};
  EXPECT_EQ(table.GetTable(parsed), 0);
  EXPECT_EQ(parsed.entryCount, 0);

  CRyReadCapacity capacity;
  EXPECT_EQ(test::SenseOf(SendTo(player, capacity)), sim::Sense::kMediumNotPresent);
  EXPECT_EQ(player.ExecuteScsi(test::NoDataRequest({0, 0, 0, 0, 0, 0})).scsiStatus,
            sim::ScsiResult::kCheckCondition);
  EXPECT_EQ(player.GetBlockCount(), 0u);
  EXPECT_EQ(player.GetBlockSize(), kDataSectorSize);
  std::vector<std::uint8_t> block(kDataSectorSize);
  EXPECT_FALSE(player.ReadBlocks(0, 1, block.data()));
}

TEST(VendorCommandFreshPlayerTest, DefaultPlayerAnswersWithTheK520Identity) {
  sim::EmulatedPlayer player;
  CRyScsiInquiry inquiry;
  ASSERT_EQ(SendTo(player, inquiry).scsiStatus, sim::ScsiResult::kGood);
  std::uint8_t answer[CRyScsiInquiry::kAnswerLength];
  ASSERT_EQ(inquiry.CopyAnswer(answer), 0);
  EXPECT_EQ(std::string(answer + 8, answer + 32), "norvik  K520            ");
  EXPECT_EQ(answer[1], 0x80);
}

struct AllocationCase {
  const char* name;
  std::vector<std::uint8_t> payload;  // 11 bytes a drive; records 10 bytes apart
  std::uint16_t vendorCode;           // 0: accepted
};

std::vector<std::uint8_t> AllocationPayload(
    const std::vector<std::pair<std::uint8_t, std::uint64_t>>& drives) {
  std::vector<std::uint8_t> payload(11 * drives.size(), 0);
  for (std::size_t i = 0; i < drives.size(); ++i) {
    payload[10 * i] = drives[i].first;
    payload[10 * i + 1] = static_cast<std::uint8_t>(i);
    for (int b = 0; b < 8; ++b) {
      payload[10 * i + 2 + b] = static_cast<std::uint8_t>(drives[i].second >> (56 - 8 * b));
    }
  }
  return payload;
}

TEST(AllocationTest, RefusesLayoutsAgainstTheRulesAndLeavesTheMediumAsItWas) {
  const std::uint64_t kAll = kFlashSize;
  const AllocationCase cases[] = {
      {"eleven drives",
       AllocationPayload(std::vector<std::pair<std::uint8_t, std::uint64_t>>(11, {1, 2048})),
       sim::PlayerSense::kTooManyDrives},
      {"one byte more than the flash", AllocationPayload({{1, kAll + 1}}),
       sim::PlayerSense::kLayoutTooLarge},
      {"larger once rounded to sectors",
       AllocationPayload({{1, kAll - kSystemSectorSize + 1}, {1, 1}}),
       sim::PlayerSense::kLayoutTooLarge},
      {"a size that would wrap", AllocationPayload({{1, 4096}, {1, ~std::uint64_t{0}}}),
       sim::PlayerSense::kLayoutTooLarge},
      {"drive type 2", AllocationPayload({{2, 4096}}), sim::PlayerSense::kInvalidDriveType},
      {"two data drives", AllocationPayload({{0, 0}, {0, 4096}}),
       sim::PlayerSense::kSecondDataDrive},
      {"system drives filling the flash", AllocationPayload({{1, kAll / 2}, {1, kAll / 2}}), 0},
      {"ten drives",
       AllocationPayload(std::vector<std::pair<std::uint8_t, std::uint64_t>>(10, {1, 2048})), 0},
      {"no drives", {}, 0},
  };
  for (const AllocationCase& allocation : cases) {
    SCOPED_TRACE(allocation.name);
    sim::EmulatedPlayer player(test::SmallPlayerConfig());
    const auto count = static_cast<std::uint8_t>(allocation.payload.size() / 11);
    const sim::ScsiResult result = player.ExecuteScsi(
        test::DataOutRequest(test::VendorCdb({0xC1, 0x06, count}), allocation.payload));
    if (allocation.vendorCode == 0) {
      EXPECT_EQ(result.scsiStatus, sim::ScsiResult::kGood);
      EXPECT_EQ(player.GetFlash().Drives().size(), count);
    } else {
      EXPECT_EQ(test::SenseOf(result), sim::SenseData::Vendor(allocation.vendorCode));
      EXPECT_TRUE(player.GetFlash().Drives().empty());
    }
  }
}

TEST_F(VendorCommandTest, AllocationNeedsAnErasedMedium) {
  const sim::ScsiResult again = Allocate(test::StandardLayout());
  EXPECT_EQ(test::SenseOf(again), sim::SenseData::Vendor(sim::PlayerSense::kMediaNotErased));
  EXPECT_EQ(ReadTable().entryCount, 5);
}

TEST_F(VendorCommandTest, EraseMediaRemovesTableAndContent) {
  ASSERT_EQ(WriteSectors(kBootDrive, 0, Pattern(kSystemSectorSize, 1)).scsiStatus,
            sim::ScsiResult::kGood);
  CRyEraseLogicalMedia erase;
  ASSERT_EQ(SendTo(player, erase).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(ReadTable().entryCount, 0);

  CRyReadLogicalDriveSector read(kBootDrive, kSystemSectorSize, 0, 1);
  EXPECT_EQ(test::SenseOf(SendTo(player, read)),
            sim::SenseData::Vendor(sim::PlayerSense::kDriveNotFound));

  ASSERT_EQ(Allocate(test::StandardLayout()).scsiStatus, sim::ScsiResult::kGood);
  std::vector<std::uint8_t> data;
  ASSERT_EQ(ReadSectors(kBootDrive, 0, 1, data).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(data, std::vector<std::uint8_t>(kSystemSectorSize, 0xFF));
}

TEST_F(VendorCommandTest, SectorsWrittenToADriveReadBackThereOnly) {
  const std::vector<std::uint8_t> data = Pattern(2 * kSystemSectorSize, 5);
  ASSERT_EQ(WriteSectors(kPlayerDrive, 3, data).scsiStatus, sim::ScsiResult::kGood);

  std::vector<std::uint8_t> read;
  ASSERT_EQ(ReadSectors(kPlayerDrive, 2, 4, read).scsiStatus, sim::ScsiResult::kGood);
  std::vector<std::uint8_t> expected(4 * kSystemSectorSize, 0xFF);
  std::copy(data.begin(), data.end(), expected.begin() + kSystemSectorSize);
  EXPECT_EQ(read, expected);

  ASSERT_EQ(ReadSectors(kBootDrive, 3, 2, read).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(read, std::vector<std::uint8_t>(2 * kSystemSectorSize, 0xFF));
}

TEST_F(VendorCommandTest, SectorsOutsideTheDriveAreRefused) {
  const std::uint64_t sectors = RoundedToSystemSectors(1000000) / kSystemSectorSize;
  const struct {
    const char* name;
    std::uint8_t drive;
    std::uint64_t first;
    std::uint32_t count;
    std::uint16_t vendorCode;
  } cases[] = {
      {"last sector", kPlayerDrive, sectors - 1, 1, 0},
      {"first sector beyond the end", kPlayerDrive, sectors, 1,
       sim::PlayerSense::kSectorOutOfRange},
      {"range over the end", kPlayerDrive, sectors - 1, 2, sim::PlayerSense::kSectorOutOfRange},
      {"range that would wrap", kPlayerDrive, ~std::uint64_t{0}, 2,
       sim::PlayerSense::kSectorOutOfRange},
      {"drive not in the table", 9, 0, 1, sim::PlayerSense::kDriveNotFound},
  };
  for (const auto& range : cases) {
    SCOPED_TRACE(range.name);
    CRyReadLogicalDriveSector read(range.drive, kSystemSectorSize, range.first, range.count);
    CRyWriteLogicalDriveSector write(range.drive, kSystemSectorSize, range.first, range.count);
    for (CRyScsiCommand* command :
         {static_cast<CRyScsiCommand*>(&read), static_cast<CRyScsiCommand*>(&write)}) {
      const sim::ScsiResult result = SendTo(player, *command);
      if (range.vendorCode == 0) {
        EXPECT_EQ(result.scsiStatus, sim::ScsiResult::kGood);
      } else {
        EXPECT_EQ(test::SenseOf(result), sim::SenseData::Vendor(range.vendorCode));
      }
    }
  }
}

TEST_F(VendorCommandTest, VersionRecordsAreKeptPerSystemDrive) {
  CRyVersionInfo component("CRyVersionInfo");
  component.SetMajor(1);
  component.SetMinor(2);
  component.SetRevision(3);
  CRyVersionInfo product("CRyVersionInfo");
  product.SetMajor(4);
  product.SetMinor(5);
  product.SetRevision(0xFFFF);
  CRySetLogicalDriveInfo setComponent(kPlayerDrive, RyVendor::kDriveInfoComponentVersion,
                                      component);
  CRySetLogicalDriveInfo setProduct(kPlayerDrive, RyVendor::kDriveInfoProductVersion, product);
  ASSERT_EQ(SendTo(player, setComponent).scsiStatus, sim::ScsiResult::kGood);
  ASSERT_EQ(SendTo(player, setProduct).scsiStatus, sim::ScsiResult::kGood);

  CRyGetLogicalDriveInfo getComponent(kPlayerDrive, RyVendor::kDriveInfoComponentVersion);
  CRyGetLogicalDriveInfo getProduct(kPlayerDrive, RyVendor::kDriveInfoProductVersion);
  ASSERT_EQ(SendTo(player, getComponent).dataIn.size(), 48u);
  ASSERT_EQ(SendTo(player, getProduct).dataIn.size(), 48u);
  CRyVersionInfo read("CRyVersionInfo");
  ASSERT_EQ(getComponent.GetComponentVersion(read), 0);
  EXPECT_EQ(read.ToString(), L"001.002.003");
  ASSERT_EQ(getProduct.GetProductVersion(read), 0);
  EXPECT_EQ(read.GetMinor(), 5);
  EXPECT_EQ(read.GetRevision(), 0xFFFF);

  const sim::FlashDrive* other = player.GetFlash().FindDrive(kBootDrive);
  EXPECT_EQ(other->componentVersion, sim::FirmwareVersion{});
  EXPECT_EQ(other->productVersion, sim::FirmwareVersion{});
}

TEST_F(VendorCommandTest, DataDriveKeepsNoVersionRecords) {
  CRyVersionInfo version("CRyVersionInfo");
  CRySetLogicalDriveInfo set(kDataDrive, RyVendor::kDriveInfoProductVersion, version);
  CRyGetLogicalDriveInfo get(kDataDrive, RyVendor::kDriveInfoComponentVersion);
  const sim::SenseData refusal = sim::SenseData::Vendor(sim::PlayerSense::kNoVersionRecord);
  EXPECT_EQ(test::SenseOf(SendTo(player, set)), refusal);
  EXPECT_EQ(test::SenseOf(SendTo(player, get)), refusal);
}

TEST_F(VendorCommandTest, EraseDriveLeavesFFAndBlankVersionsAndSparesTheOthers) {
  const std::vector<std::uint8_t> data = Pattern(kSystemSectorSize, 8);
  ASSERT_EQ(WriteSectors(kBootDrive, 0, data).scsiStatus, sim::ScsiResult::kGood);
  ASSERT_EQ(WriteSectors(kPlayerDrive, 0, data).scsiStatus, sim::ScsiResult::kGood);
  player.GetFlash().FindDrive(kPlayerDrive)->productVersion = sim::FirmwareVersion{2, 0, 1};

  CRyEraseLogicalDrive erase(kPlayerDrive);
  ASSERT_EQ(SendTo(player, erase).scsiStatus, sim::ScsiResult::kGood);

  std::vector<std::uint8_t> read;
  ASSERT_EQ(ReadSectors(kPlayerDrive, 0, 1, read).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(read, std::vector<std::uint8_t>(kSystemSectorSize, 0xFF));
  EXPECT_EQ(player.GetFlash().FindDrive(kPlayerDrive)->productVersion, sim::FirmwareVersion{});
  ASSERT_EQ(ReadSectors(kBootDrive, 0, 1, read).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(read, data);

  CRyEraseLogicalDrive missing(7);
  EXPECT_EQ(test::SenseOf(SendTo(player, missing)),
            sim::SenseData::Vendor(sim::PlayerSense::kDriveNotFound));
}

TEST_F(VendorCommandTest, SectorSizeDependsOnTheDriveType) {
  EXPECT_EQ(SectorSizeOf(kBootDrive), kSystemSectorSize);
  EXPECT_EQ(SectorSizeOf(kDataDrive), kDataSectorSize);
}

TEST_F(VendorCommandTest, DriveInfoOfEveryTypeHasTheLengthOmbraExpects) {
  for (std::uint32_t type = 0; type <= 11; ++type) {
    SCOPED_TRACE(type);
    CRyGetLogicalDriveInfo info(kBootDrive, type, 20);
    const sim::ScsiResult result = SendTo(player, info);
    ASSERT_EQ(result.scsiStatus, sim::ScsiResult::kGood);
    EXPECT_EQ(result.dataIn.size(), info.GetDataInLength());
    if (type != 0) {
      EXPECT_EQ(result.dataIn, std::vector<std::uint8_t>(result.dataIn.size(), 0));
    }
  }
}

TEST_F(VendorCommandTest, MediaInfoOfEveryTypeHasTheLengthOmbraExpects) {
  for (const std::uint32_t type : {0u, 1u, 5u, 6u, 7u, 8u, 9u}) {
    SCOPED_TRACE(type);
    CRyGetLogicalMediaInfo info(type, 12);
    const sim::ScsiResult result = SendTo(player, info);
    ASSERT_EQ(result.scsiStatus, sim::ScsiResult::kGood);
    EXPECT_EQ(result.dataIn.size(), info.GetDataInLength());
  }
}

TEST_F(VendorCommandTest, PlayerFlagIsWhatThePlayerIsSetTo) {
  for (const bool flag : {true, false}) {
    player.SetPlayerFlag(flag);
    CRyGetLogicalMediaInfo info(RyVendor::kMediaInfoPlayerFlag);
    ASSERT_EQ(SendTo(player, info).scsiStatus, sim::ScsiResult::kGood);
    int answered = -1;
    ASSERT_EQ(info.GetFlag(answered), 0);
    EXPECT_EQ(answered, flag ? 1 : 0);
  }
}

TEST_F(VendorCommandTest, ChipRevisionIsWhatThePlayerIsSetTo) {
  player.SetChipMajorRevision(0xA51C);
  CRyGetChipMajorRevId command;
  ASSERT_EQ(SendTo(player, command).scsiStatus, sim::ScsiResult::kGood);
  std::uint16_t revision = 0;
  ASSERT_EQ(command.GetChipMajorRevision(revision), 0);
  EXPECT_EQ(revision, 0xA51C);
}

TEST_F(VendorCommandTest, ChipResetIsCountedAndTheFlashSurvivesIt) {
  const std::vector<std::uint8_t> data = Pattern(kSystemSectorSize, 4);
  ASSERT_EQ(WriteSectors(kPlayerDrive, 1, data).scsiStatus, sim::ScsiResult::kGood);
  CRyChipReset reset;
  ASSERT_EQ(SendTo(player, reset).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(player.ResetCount(), 1u);

  EXPECT_EQ(ReadTable().entryCount, 5);
  std::vector<std::uint8_t> read;
  ASSERT_EQ(ReadSectors(kPlayerDrive, 1, 1, read).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(read, data);
}

TEST_F(VendorCommandTest, ResetCanBeReportedOnceToTheFirstCommandButInquiry) {
  player.SetReportResetAsUnitAttention(true);
  CRyChipReset reset;
  ASSERT_EQ(SendTo(player, reset).scsiStatus, sim::ScsiResult::kGood);

  CRyScsiInquiry inquiry;
  EXPECT_EQ(SendTo(player, inquiry).scsiStatus, sim::ScsiResult::kGood);
  CRyGetLogicalMediaInfo first(RyVendor::kMediaInfoPlayerFlag);
  EXPECT_EQ(test::SenseOf(SendTo(player, first)), sim::Sense::kResetOccurred);
  CRyGetLogicalMediaInfo second(RyVendor::kMediaInfoPlayerFlag);
  EXPECT_EQ(SendTo(player, second).scsiStatus, sim::ScsiResult::kGood);
}

TEST_F(VendorCommandTest, DataDriveIsTheMassStorageMedium) {
  const sim::FlashDrive* data = player.GetFlash().DataDrive();
  CRyReadCapacity capacity;
  ASSERT_EQ(SendTo(player, capacity).scsiStatus, sim::ScsiResult::kGood);
  std::uint32_t values[2] = {};
  capacity.GetCapacity(values);
  EXPECT_EQ(values[0] + std::uint64_t{1}, data->content.BlockCount());
  EXPECT_EQ(values[1], kDataSectorSize);
  EXPECT_EQ(player.GetBlockCount(), data->content.BlockCount());

  const std::vector<std::uint8_t> block = Pattern(kDataSectorSize, 21);
  CRyWrite write(6, 1, kDataSectorSize);
  write.SetPayload(*test::MakeByteArray(block));
  ASSERT_EQ(SendTo(player, write).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(data->content.ReadBytes(6 * kDataSectorSize, kDataSectorSize), block);

  std::vector<std::uint8_t> fileRead(kDataSectorSize);
  ASSERT_TRUE(player.ReadBlocks(6, 1, fileRead.data()));
  EXPECT_EQ(fileRead, block);

  CRyEraseLogicalDrive erase(kDataDrive);
  ASSERT_EQ(SendTo(player, erase).scsiStatus, sim::ScsiResult::kGood);
  CRyRead read(6, 1, kDataSectorSize);
  ASSERT_EQ(SendTo(player, read).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(test::BytesOf(*read.GetAnswerBuffer()),
            std::vector<std::uint8_t>(kDataSectorSize, 0xFF));
}

TEST_F(VendorCommandTest, TraceRecordsWhatEachCommandAddressed) {
  player.ClearTrace();
  CRyWriteLogicalDriveSector write(kPlayerDrive, kSystemSectorSize, 0x100, 2);
  CRyGetLogicalDriveInfo info(kBootDrive, RyVendor::kDriveInfoComponentVersion);
  CRyGetLogicalMediaInfo media(RyVendor::kMediaInfoPlayerFlag);
  CRyRead read(9, 3, kDataSectorSize);
  SendTo(player, write);
  SendTo(player, info);
  SendTo(player, media);
  SendTo(player, read);

  const std::vector<sim::CommandRecord> trace = player.Trace();
  ASSERT_EQ(trace.size(), 4u);
  EXPECT_EQ(trace[0].operationCode, 0xC1);
  EXPECT_EQ(trace[0].subCommand, 0x23);
  EXPECT_EQ(trace[0].driveNumber, kPlayerDrive);
  EXPECT_EQ(trace[0].firstSector, 0x100u);
  EXPECT_EQ(trace[0].sectorCount, 2u);
  EXPECT_EQ(trace[0].dataOutLength, 2 * kSystemSectorSize);
  EXPECT_EQ(trace[0].scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(trace[1].subCommand, 0x12);
  EXPECT_EQ(trace[1].infoType, 7);
  EXPECT_EQ(trace[1].dataInSent, 48u);
  EXPECT_EQ(trace[2].subCommand, 0x02);
  EXPECT_EQ(trace[2].infoType, 9);
  EXPECT_EQ(trace[3].operationCode, 0x28);
  EXPECT_EQ(trace[3].firstSector, 9u);
  EXPECT_EQ(trace[3].sectorCount, 3u);
  EXPECT_TRUE(trace[3].readsSectors);

  player.ClearTrace();
  EXPECT_TRUE(player.Trace().empty());
}

}  // namespace
