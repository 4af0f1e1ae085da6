// Whether the carried layout fits the player's drives, and a player whose
// logical table cannot be read.

#include <gtest/gtest.h>

#include <vector>

#include "core/RyStatus.h"
#include "player/RySystemDrive.h"
#include "sim/PlayerSenseCodes.h"
#include "tests/updater/UpdaterBench.h"
#include "updater/RyUsbMscDev.h"

namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr std::uint64_t kSector = 2048;

struct LayoutCase {
  const char* name;
  // Drive sizes in component order (boot manager, mass storage, player,
  // resources); 0: the player has no such drive.
  std::uint64_t sizes[4];
  bool extraDrive;  // one more system drive with a tag of its own
  int fits;
};

// The images hold 300,000, 131,072, 700,001 and 1,000 bytes.
const LayoutCase kLayouts[] = {
    {"RoomyDrives", {kMiB, kMiB, kMiB, kMiB}, false, 1},
    {"DrivesJustLargeEnough", {147 * kSector, 131072, 342 * kSector, kSector}, false, 1},
    {"PlayerDriveOneSectorShort", {kMiB, kMiB, 341 * kSector, kMiB}, false, 0},
    {"MassStorageDriveOneSectorShort", {kMiB, 63 * kSector, kMiB, kMiB}, false, 0},
    {"ResourceDriveMissing", {kMiB, kMiB, kMiB, 0}, false, 0},
    {"OneDriveMoreThanTheLayout", {kMiB, kMiB, kMiB, kMiB}, true, 0},
};

class LayoutFitsTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutFitsTest, FlagFollowsTheDriveSizes) {
  const LayoutCase& c = GetParam();
  test::UpdaterBench bench;
  const std::uint8_t tags[] = {0x50, 0x01, 0x00, 0x02};
  std::vector<sim::SystemDriveImage> drives;
  for (int i = 0; i < 4; ++i) {
    if (c.sizes[i] != 0) drives.push_back({tags[i], c.sizes[i], {1, 2, 3}, {1, 0, 0}, {}});
  }
  if (c.extraDrive) drives.push_back({0x33, kMiB, {}, {}, {}});
  ASSERT_EQ(sim::InstallFirmware(bench.Flash(), drives), 0);
  ASSERT_EQ(bench.Updater().ConnectUsbDevice(), 0);
  int fits = -1;
  EXPECT_EQ(bench.Updater().CheckLayoutFits(fits), 0);
  EXPECT_EQ(fits, c.fits);
  if (c.fits == 1) {
    EXPECT_EQ(bench.Updater().Update(), 0);
    EXPECT_TRUE(bench.DrivesHoldImages());
  }
}

INSTANTIATE_TEST_SUITE_P(Players, LayoutFitsTest, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<LayoutCase>& param) {
                           return std::string(param.param.name);
                         });

TEST(LayoutTest, UpdateRefusesDrivesTooSmallForTheirImages) {
  test::UpdaterBench bench;
  ASSERT_EQ(sim::InstallFirmware(bench.Flash(),
                                 sim::CurrentFirmwareDrives(64 * kSector, {1, 2, 3}, {1, 0, 0})),
            0);
  ASSERT_EQ(bench.Updater().ConnectUsbDevice(), 0);
  const std::vector<std::uint8_t> before = bench.DataDriveBytes();
  bench.Player().ClearTrace();
  // Writing 300,000 bytes into 131,072 would verify only what fitted.
  EXPECT_EQ(bench.Updater().Update(), RyStatus::kFailed);
  for (const std::string& command : bench.CondensedTrace()) {
    EXPECT_EQ(command.rfind("C1", 0), std::string::npos) << command << " changed the player";
  }
  EXPECT_EQ(bench.DataDriveBytes(), before);
  EXPECT_FALSE(bench.bench.machine->IsVolumeLocked(L'E'));
  // Re-cutting the medium gives every image its room; the data drive asks
  // for the rest of the medium, not for the size the update read.
  ASSERT_EQ(bench.Updater().ConnectUsbDevice(), 0);
  EXPECT_EQ(bench.Updater().UpdateAndFormat(), 0);
  EXPECT_TRUE(bench.DrivesHoldImages());
}

TEST(LayoutTest, ADriveMissingFromTheTableGetsNoDeviceVersion) {
  test::UpdaterBench bench;
  std::vector<sim::SystemDriveImage> drives =
      sim::CurrentFirmwareDrives(kMiB, {1, 2, 3}, {1, 0, 0});
  drives.pop_back();  // no resource drive
  ASSERT_EQ(sim::InstallFirmware(bench.Flash(), drives), 0);
  ASSERT_EQ(bench.Updater().ConnectUsbDevice(), 0);
  const CRySystemDrive* resources = bench.Updater().GetUsbDevice()->GetSystemDrive(3);
  EXPECT_EQ(resources->GetCurrentEntry().driveNumber, CRyLogicalDrive::kNoDrive);
  CRyVersionInfoPtrArray* device = nullptr;
  CRyVersionInfoPtrArray* image = nullptr;
  ASSERT_EQ(bench.Updater().GetComponentVersions(device, image), 0);
  CRyVersionInfo* version = nullptr;
  ASSERT_EQ(device->GetAt(3, version), 0);
  EXPECT_EQ(version->ToString(), L"000.000.000");
  ASSERT_EQ(device->GetAt(2, version), 0);
  EXPECT_EQ(version->ToString(), L"001.002.003");
}

class UnreadableTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The table read of the connection fails.
    FailTableRead(1);
  }
  void FailTableRead(std::uint32_t nth) {
    bench.Player().Faults().FailVendorCommand(nth, sim::PlayerSense::kMediaNotErased,
                                              sim::CommandFilter::Vendor(0xC0, 0x05));
  }

  test::UpdaterBench bench;
};

TEST_F(UnreadableTableTest, ConnectionReportsItAndReadsNoDeviceVersion) {
  FailTableRead(2);  // and the layout check's
  EXPECT_EQ(bench.Updater().ConnectUsbDevice(), RyStatus::kLogicalTableUnreadable);
  const CRyUsbMscDev* device = bench.Updater().GetUsbDevice();
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->IsTableUnreadable(), 1);
  EXPECT_EQ(device->GetLogicalTable().entryCount, 0u);
  for (const std::string& command : bench.CondensedTrace()) {
    EXPECT_EQ(command.rfind("C0 12", 0), std::string::npos) << command;
  }
  CRyVersionInfo* current = nullptr;
  CRyVersionInfo* carried = nullptr;
  // The device's status is that of discovery, which found the player.
  EXPECT_EQ(bench.Updater().GetProductVersions(current, carried), 0);
  EXPECT_EQ(current->ToString(), L"000.000.000");
  EXPECT_EQ(carried->ToString(), L"002.000.000");
  int fits = -1;
  EXPECT_EQ(bench.Updater().CheckLayoutFits(fits), 0);
  EXPECT_EQ(fits, 0);
}

TEST_F(UnreadableTableTest, UpdateAndFormatGivesThePlayerANewLayout) {
  ASSERT_EQ(bench.Updater().ConnectUsbDevice(), RyStatus::kLogicalTableUnreadable);
  EXPECT_EQ(bench.Updater().UpdateAndFormat(), 0);
  EXPECT_TRUE(bench.DrivesHoldImages());
  EXPECT_EQ(bench.Updater().ConnectUsbDevice(), 0);
}

}  // namespace
