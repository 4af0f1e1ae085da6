// A player set up with current firmware, as ombra finds it.

#include <gtest/gtest.h>

#include <vector>

#include "player/RyLogicalDriveCommands.h"
#include "sim/PlayerPresets.h"
#include "sim/PlayerSenseCodes.h"
#include "tests/sim_devices/DeviceExchange.h"
#include "tests/sim_devices/PlayerFixture.h"

namespace {

using test::kSystemSectorSize;
using test::Pattern;

class PlayerPresetTest : public test::PlayerTest {};

TEST_F(PlayerPresetTest, FirmwareIsLaidOutAsOmbraCutsTheMedia) {
  // The boot manager comes first wherever it stands in the list.
  std::vector<sim::SystemDriveImage> drives =
      sim::CurrentFirmwareDrives(8192, {1, 1, 1}, {2, 0, 7});
  std::swap(drives[0], drives[3]);
  ASSERT_EQ(sim::InstallFirmware(player.GetFlash(), drives), 0);

  const LogicalTable table = ReadTable();
  ASSERT_EQ(table.entryCount, 5);
  const std::uint8_t tags[] = {0x50, 0x0A, 0x02, 0x01, 0x00};
  for (std::uint8_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(table.entries[i].driveNumber, i);
    EXPECT_EQ(table.entries[i].tag, tags[i]);
    EXPECT_EQ(table.entries[i].driveType, i == 1 ? kDriveTypeData : kDriveTypeSystem);
  }
  EXPECT_GT(player.GetFlash().AllocatedBytes() + test::kDataSectorSize, test::kFlashSize)
      << "the data drive takes the rest";
}

TEST_F(PlayerPresetTest, VersionsAndContentAreWhereOmbraReadsThem) {
  std::vector<sim::SystemDriveImage> drives =
      sim::CurrentFirmwareDrives(3 * kSystemSectorSize, {1, 2, 3}, {4, 5, 6});
  drives[2].content = Pattern(kSystemSectorSize + 10, 6);
  drives[2].productVersion = {9, 8, 7};
  ASSERT_EQ(sim::InstallFirmware(player.GetFlash(), drives), 0);
  const std::uint8_t playerDrive = player.GetFlash().FindDrive(kDriveTypeSystem, 0x00)->number;

  CRyGetLogicalDriveInfo product(playerDrive, RyVendor::kDriveInfoProductVersion);
  ASSERT_EQ(test::SendTo(player, product).scsiStatus, sim::ScsiResult::kGood);
  CRyVersionInfo version("CRyVersionInfo");
  ASSERT_EQ(product.GetProductVersion(version), 0);
  EXPECT_EQ(version.ToString(), L"009.008.007");

  std::vector<std::uint8_t> read;
  ASSERT_EQ(ReadSectors(playerDrive, 0, 3, read).scsiStatus, sim::ScsiResult::kGood);
  std::vector<std::uint8_t> expected = drives[2].content;
  expected.resize(3 * kSystemSectorSize, 0xFF);
  EXPECT_EQ(read, expected);
}

TEST_F(PlayerPresetTest, FirmwareThatDoesNotFitIsRefusedAndLeavesTheMediumErased) {
  std::vector<sim::SystemDriveImage> drives = sim::CurrentFirmwareDrives(4096, {}, {});
  drives[1].content.assign(4097, 0);
  EXPECT_EQ(sim::InstallFirmware(player.GetFlash(), drives), sim::PlayerSense::kSectorOutOfRange);
  EXPECT_TRUE(player.GetFlash().Drives().empty());

  EXPECT_EQ(sim::InstallFirmware(player.GetFlash(),
                                 sim::CurrentFirmwareDrives(test::kFlashSize / 4 + 1, {}, {})),
            sim::PlayerSense::kLayoutTooLarge);
  EXPECT_TRUE(player.GetFlash().Drives().empty());
}

}  // namespace
