// The engine on the other Windows families, and a player in recovery mode.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RyStatus.h"
#include "sim/RecoveryDriver.h"
#include "tests/support/Win98Bench.h"
#include "tests/updater/UpdaterBench.h"

namespace {

class Windows98Test : public ::testing::Test {
 protected:
  void SetUp() override {
    bench.AttachPlayerVolume();
    ASSERT_EQ(engine.updater->ConnectUsbDevice(), 0);
    bench.player->ClearTrace();
  }

  test::Win98Bench bench;
  test::EngineSet engine{*bench.machine};
};

TEST_F(Windows98Test, UpdateAndFormatEndsWithAChipResetBeforeTheVolumeIsReleased) {
  ASSERT_EQ(engine.updater->UpdateAndFormat(), 0);
  EXPECT_EQ(bench.player->ResetCount(), 1u);
  EXPECT_EQ(test::CondensedTrace(*bench.player).back(), "C1 31");
  EXPECT_TRUE(bench.Vwin32().LogicalLocks(L'E').empty());
  EXPECT_TRUE(engine.DrivesHoldImages(bench.player->GetFlash()));
}

TEST_F(Windows98Test, UpdateSendsNoReset) {
  ASSERT_EQ(engine.updater->Update(), 0);
  EXPECT_EQ(bench.player->ResetCount(), 0u);
  EXPECT_TRUE(bench.Vwin32().LogicalLocks(L'E').empty());
  EXPECT_TRUE(engine.DrivesHoldImages(bench.player->GetFlash()));
}

TEST_F(Windows98Test, AFailedFormatIsNotHiddenByTheReset) {
  bench.player->Faults().CorruptRead(1);
  EXPECT_EQ(engine.updater->UpdateAndFormat(), RyStatus::kVerifyMismatch);
  EXPECT_EQ(bench.player->ResetCount(), 1u);
  EXPECT_TRUE(bench.Vwin32().LogicalLocks(L'E').empty());
}

TEST(UnsupportedWindowsTest, NoTransportButTheDeviceObjectExists) {
  test::UpdaterBench bench;
  bench.bench.machine->SetWindowsVersion(sim::WindowsVersion::WindowsVista());
  bench.Player().ClearTrace();
  EXPECT_EQ(bench.Updater().ConnectUsbDevice(), RyStatus::kNoTransportForWindows);
  EXPECT_NE(bench.Updater().GetUsbDevice(), nullptr);
  EXPECT_EQ(bench.Updater().Update(), RyStatus::kNoPlayerDevice);
  EXPECT_TRUE(bench.Player().Trace().empty());
}

TEST(NoUsbDeviceTest, QueriesBeforeTheFirstConnection) {
  test::UpdaterBench bench;
  CRyVersionInfoPtrArray* device = nullptr;
  CRyVersionInfoPtrArray* image = nullptr;
  EXPECT_EQ(bench.Updater().GetComponentVersions(device, image), RyStatus::kNoPlayerDevice);
  CRyVersionInfo* current = nullptr;
  CRyVersionInfo* carried = nullptr;
  EXPECT_EQ(bench.Updater().GetProductVersions(current, carried), RyStatus::kNoPlayerDevice);
  EXPECT_EQ(bench.Updater().Update(), RyStatus::kNoPlayerDevice);
  EXPECT_EQ(bench.Updater().RecoveryUpdate(nullptr), RyStatus::kNoRecoveryDevice);
}

TEST(NoPlayerTest, ImageVersionsAreShownWithoutAPlayer) {
  test::UpdaterBench bench;
  bench.bench.machine->DetachDisk(bench.bench.physicalDrive);
  EXPECT_LT(bench.Updater().ConnectUsbDevice(), 0);
  CRyVersionInfo* current = nullptr;
  CRyVersionInfo* carried = nullptr;
  bench.Updater().GetProductVersions(current, carried);
  EXPECT_EQ(current->ToString(), L"000.000.000");
  EXPECT_EQ(carried->ToString(), L"002.000.000");
  EXPECT_EQ(bench.Updater().Update(), RyStatus::kNoPlayerDevice);
  EXPECT_EQ(bench.Updater().UpdateAndFormat(), RyStatus::kNoPlayerDevice);
}

TEST(RecoveryModeTest, ThePushedImageBringsThePlayerBackForTheUpdate) {
  test::UpdaterBench bench;
  // In recovery mode the player is no disk, only the driver's device.
  bench.bench.machine->DetachDisk(bench.bench.physicalDrive);
  sim::RecoveryDriver& driver = sim::RecoveryDriver::Of(*bench.bench.machine);
  driver.AddDevice(0);
  driver.SetRestartDisk(bench.bench.player, sim::DiskAttachment{L'E', DRIVE_REMOVABLE, -1});

  EXPECT_LT(bench.Updater().ConnectUsbDevice(), 0);
  ASSERT_EQ(bench.Updater().ConnectRecoveryDevice(), 0);
  ASSERT_EQ(bench.Updater().RecoveryUpdate(&bench.engine.progress), 0);
  // The mass-storage firmware, row 2, went through the channel.
  EXPECT_EQ(driver.ReceivedImage(), bench.engine.images[1].payload);
  ASSERT_EQ(bench.Updater().ConnectUsbDevice(), 0);
  ASSERT_EQ(bench.Updater().Update(), 0);
  EXPECT_TRUE(bench.DrivesHoldImages());
}

TEST(RecoveryModeTest, NoRecoveryDeviceIsReported) {
  test::UpdaterBench bench;
  bench.bench.machine->DetachDisk(bench.bench.physicalDrive);
  EXPECT_EQ(bench.Updater().ConnectRecoveryDevice(), RyStatus::kNoRecoveryDevice);
}

}  // namespace
