// The road of one update, as the emulated player saw it, and what the
// shell is shown before and after.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RyStatus.h"
#include "tests/updater/UpdaterBench.h"

namespace {

// Drive numbers of the installed layout: boot manager 0, data 1, then the
// mass-storage firmware, the player firmware and the resources.
constexpr unsigned kSystemDriveNumbers[] = {0, 2, 3, 4};
constexpr unsigned kPlayerDriveNumber = 3;

std::string Drive(const char* command, unsigned drive, const char* rest = "") {
  return std::string(command) + " d" + std::to_string(drive) + rest;
}

class UpdateRoadTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(bench.Updater().ConnectUsbDevice(), 0); }

  test::UpdaterBench bench;
};

TEST_F(UpdateRoadTest, ConnectionShowsBothVersions) {
  CRyVersionInfo* device = nullptr;
  CRyVersionInfo* image = nullptr;
  ASSERT_EQ(bench.Updater().GetProductVersions(device, image), 0);
  EXPECT_EQ(device->ToString(), L"001.000.000");
  EXPECT_EQ(image->ToString(), L"002.000.000");
  CRyVersionInfoPtrArray* deviceComponents = nullptr;
  CRyVersionInfoPtrArray* imageComponents = nullptr;
  ASSERT_EQ(bench.Updater().GetComponentVersions(deviceComponents, imageComponents), 0);
  ASSERT_EQ(deviceComponents->GetCount(), 4u);
  for (std::uint32_t i = 0; i < 4; ++i) {
    CRyVersionInfo* version = nullptr;
    ASSERT_EQ(deviceComponents->GetAt(i, version), 0);
    EXPECT_EQ(version->ToString(), L"001.002.003") << i;
    ASSERT_EQ(imageComponents->GetAt(i, version), 0);
    EXPECT_EQ(version->ToString(), L"002.001.000") << i;
  }
  std::uint16_t chip = 0;
  EXPECT_EQ(bench.Updater().GetChipRevision(chip), 0);
  EXPECT_EQ(chip, 3);
  EXPECT_EQ(bench.Updater().GetDriveLetter(), L'E');
}

TEST_F(UpdateRoadTest, UpdateWritesEveryDriveThenReadsItBack) {
  const std::vector<std::uint8_t> dataBefore = bench.DataDriveBytes();
  bench.Player().ClearTrace();
  const std::size_t operationsBefore =
      bench.bench.machine->DiskOperations(bench.bench.physicalDrive).size();
  // The dialog reconnects and asks whether the layout fits before it starts.
  ASSERT_EQ(bench.Updater().ConnectUsbDevice(), 0);
  int fits = 0;
  ASSERT_EQ(bench.Updater().CheckLayoutFits(fits), 0);
  ASSERT_EQ(fits, 1);
  ASSERT_EQ(bench.Updater().Update(), 0);

  // Discovery, chip revision, table, versions; the table again for the
  // layout check and once more when the update begins.
  std::vector<std::string> expected = {"12", "C0 02 t9", "C0 30", "C0 05"};
  const auto versions = [&expected]() {
    for (unsigned drive : kSystemDriveNumbers) expected.push_back(Drive("C0 12", drive, " t7"));
    expected.push_back(Drive("C0 12", kPlayerDriveNumber, " t8"));
  };
  versions();
  expected.push_back("C0 05 x2");
  // Drives of 1 MiB in 2048-byte sectors: 16 chunks of 32 sectors each.
  for (unsigned drive : kSystemDriveNumbers) {
    expected.insert(expected.end(), {Drive("C1 2F", drive), Drive("C1 20", drive, " t8"),
                                     Drive("C1 20", drive, " t7"), Drive("C0 12", drive, " t0"),
                                     Drive("C1 23", drive, " x16")});
  }
  versions();
  for (unsigned drive : kSystemDriveNumbers) expected.push_back(Drive("C0 13", drive, " x16"));
  EXPECT_EQ(bench.CondensedTrace(), expected);

  // The volume was locked before the first command of the update and
  // unlocked after the last.
  std::vector<DWORD> volumeControls;
  const std::vector<sim::DiskOperation> operations =
      bench.bench.machine->DiskOperations(bench.bench.physicalDrive);
  for (std::size_t i = operationsBefore; i < operations.size(); ++i) {
    const DWORD code = operations[i].ioControlCode;
    if (code == FSCTL_LOCK_VOLUME || code == FSCTL_UNLOCK_VOLUME) volumeControls.push_back(code);
  }
  EXPECT_EQ(volumeControls, (std::vector<DWORD>{FSCTL_LOCK_VOLUME, FSCTL_UNLOCK_VOLUME}));
  EXPECT_FALSE(bench.bench.machine->IsVolumeLocked(L'E'));

  EXPECT_TRUE(bench.DrivesHoldImages());
  EXPECT_EQ(bench.DataDriveBytes(), dataBefore);
  EXPECT_EQ(bench.engine.progress.calls.front(), "SetTotalSteps(14)");
}

TEST_F(UpdateRoadTest, UpdateReportsItsPhasesInOrder) {
  ASSERT_EQ(bench.Updater().Update(), 0);
  std::vector<std::string> phases;
  for (const std::string& call : bench.engine.progress.calls) {
    if (call.rfind("BeginPhase", 0) == 0) phases.push_back(call);
  }
  // Open and lock; per component erase (6 + n) and write (17 + n) in 16
  // chunks; verify of all 64 chunks; unlock and close.
  std::vector<std::string> expected = {"BeginPhase(2,1)", "BeginPhase(3,1)"};
  for (int component = 1; component <= 4; ++component) {
    expected.push_back("BeginPhase(" + std::to_string(6 + component) + ",1)");
    expected.push_back("BeginPhase(" + std::to_string(17 + component) + ",16)");
  }
  expected.insert(expected.end(), {"BeginPhase(5,64)", "BeginPhase(45,1)", "BeginPhase(46,1)"});
  EXPECT_EQ(phases, expected);
}

TEST_F(UpdateRoadTest, UpdateShowsTheCarriedVersionsAfterwards) {
  ASSERT_EQ(bench.Updater().Update(), 0);
  ASSERT_EQ(bench.Updater().ConnectUsbDevice(), 0);
  CRyVersionInfo* device = nullptr;
  CRyVersionInfo* image = nullptr;
  ASSERT_EQ(bench.Updater().GetProductVersions(device, image), 0);
  EXPECT_EQ(device->ToString(), image->ToString());
}

TEST_F(UpdateRoadTest, UpdateAndFormatCutsTheMediumAnewAndFormatsTheDataDrive) {
  bench.Player().ClearTrace();
  ASSERT_EQ(bench.Updater().UpdateAndFormat(), 0);
  const std::vector<std::string> trace = bench.CondensedTrace();
  ASSERT_GE(trace.size(), 3u);
  EXPECT_EQ(trace[0], "C1 07");
  EXPECT_EQ(trace[1], "C1 06");
  EXPECT_EQ(trace[2], "C0 05");
  // The layout in the order it was sent: boot manager, data drive, then
  // the other components in table order, each as large as its image.
  struct Expected {
    std::uint8_t type, tag;
    std::uint64_t size;
  };
  const std::uint64_t sector = 2048;
  const auto rounded = [sector](std::uint64_t bytes) {
    return (bytes + sector - 1) / sector * sector;
  };
  const Expected layout[] = {{1, 0x50, rounded(300000)},
                             {0, 0x0A, 0},
                             {1, 0x01, rounded(131072)},
                             {1, 0x00, rounded(700001)},
                             {1, 0x02, rounded(1000)}};
  const std::vector<sim::FlashDrive>& drives = bench.Flash().Drives();
  ASSERT_EQ(drives.size(), std::size(layout));
  for (std::size_t i = 0; i < drives.size(); ++i) {
    EXPECT_EQ(drives[i].type, layout[i].type) << i;
    EXPECT_EQ(drives[i].tag, layout[i].tag) << i;
    if (layout[i].size != 0) {
      EXPECT_EQ(drives[i].SizeInBytes(), layout[i].size) << i;
    }
  }
  EXPECT_TRUE(bench.DrivesHoldImages());
  // The data drive took the rest and carries a FAT16 partition.
  const std::vector<std::uint8_t> mbr = bench.Player().GetMedium()->ReadBytes(0, 512);
  EXPECT_EQ(mbr[0x1C2], 0x06);
  EXPECT_EQ(mbr[510], 0x55);
  EXPECT_FALSE(bench.bench.machine->IsVolumeLocked(L'E'));
  EXPECT_EQ(bench.engine.progress.calls.front(), "SetTotalSteps(29)");
  EXPECT_EQ(bench.Player().ResetCount(), 0u) << "only Windows 9x resets the chip";
}

}  // namespace
