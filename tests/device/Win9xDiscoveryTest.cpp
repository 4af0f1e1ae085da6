// Finding the player's host adapter and drive letter on Windows 98: the
// INT 13h unit first, the registry's SCSI enumeration as the fallback.

#include <gtest/gtest.h>

#include "core/RyStatus.h"
#include "device/RyScsi9x.h"
#include "tests/support/Win98Bench.h"

namespace {

class Win9xDiscoveryTest : public ::testing::Test {
 protected:
  std::int32_t Find() {
    CRyScsi_9x transport(&bench.owner, "CRyScsi_9x");
    if (transport.GetStatus() != 0) return transport.GetStatus();
    const std::int32_t result = transport.FindPlayerDrive();
    letter = transport.GetDriveLetter();
    adapter = transport.GetHostAdapterId();
    return result;
  }

  test::Win98Bench bench;
  wchar_t letter = 0;
  BYTE adapter = 0;
};

TEST_F(Win9xDiscoveryTest, LetterOfTheInt13Unit) {
  bench.AttachPlayerAdapter(0x81);
  sim::Vwin32Drive mapped;
  mapped.int13Unit = 0x81;
  bench.Vwin32().AddDrive(L'G', mapped);
  EXPECT_EQ(Find(), 0);
  EXPECT_EQ(letter, L'G');
  EXPECT_EQ(adapter, bench.playerAdapter);
}

TEST_F(Win9xDiscoveryTest, SingleRegistryInstanceNeedsNoDriveMapCheck) {
  bench.AttachPlayerAdapter(0x00);  // no INT 13h unit
  bench.AddRegistryInstance(L"MF&CHILD0000", L"0", L'F');
  EXPECT_EQ(Find(), 0);
  EXPECT_EQ(letter, L'F');
  EXPECT_TRUE(bench.Vwin32().Calls().empty());
}

TEST_F(Win9xDiscoveryTest, OfSeveralInstancesTheProtectedModeDriveIsChosen) {
  bench.AttachPlayerAdapter(0x00);
  bench.AddRegistryInstance(L"A0", L"0", L'F');
  bench.AddRegistryInstance(L"B0", L"0", L'H');
  bench.AddRegistryInstance(L"C1", L"1", L'J');  // not logical unit 0
  sim::Vwin32Drive realMode;
  realMode.driveMapFlags = 0x0F;
  realMode.int13Unit = 0x80;
  bench.Vwin32().AddDrive(L'F', realMode);
  sim::Vwin32Drive protectedMode;
  protectedMode.driveMapFlags = 0x0F;
  protectedMode.int13Unit = 0xFF;
  bench.Vwin32().AddDrive(L'H', protectedMode);
  EXPECT_EQ(Find(), 0);
  EXPECT_EQ(letter, L'H');
}

TEST_F(Win9xDiscoveryTest, NoneOfSeveralQualifies) {
  bench.AttachPlayerAdapter(0x00);
  bench.AddRegistryInstance(L"A0", L"0", L'F');
  bench.AddRegistryInstance(L"B0", L"0", L'H');
  EXPECT_EQ(Find(), RyStatus::kNoPlayerDrive);
}

TEST_F(Win9xDiscoveryTest, NoRegistryKeyEndsTheScanEvenWithLaterAdapters) {
  bench.AttachPlayerAdapter(0x00);
  auto second = std::make_shared<sim::EmulatedPlayer>();
  bench.Aspi().AddHostAdapter(second, 0x82);
  sim::Vwin32Drive mapped;
  mapped.int13Unit = 0x82;
  bench.Vwin32().AddDrive(L'K', mapped);
  EXPECT_EQ(Find(), RyStatus::kNoPlayerDrive);
}

TEST_F(Win9xDiscoveryTest, InstanceOnANonRemovableDriveIsNotTaken) {
  bench.AttachPlayerAdapter(0x00);
  bench.Registry().SetStringValue(std::wstring(test::Win98Bench::kScsiKey) + L"\\X", L"SCSILUN",
                                  L"0");
  bench.Registry().SetStringValue(std::wstring(test::Win98Bench::kScsiKey) + L"\\X",
                                  L"CurrentDriveLetterAssignment", L"C");
  EXPECT_EQ(Find(), RyStatus::kNoPlayerDrive);
}

TEST_F(Win9xDiscoveryTest, MediaFlagZeroLeavesNoAdapter) {
  bench.player->SetPlayerFlag(false);
  bench.AttachPlayerAdapter(0x81);
  EXPECT_EQ(Find(), RyStatus::kPlayerNotFound);
  EXPECT_EQ(adapter, CRyScsi_9x::kNoHostAdapter);
  EXPECT_EQ(letter, 0);
}

TEST_F(Win9xDiscoveryTest, NoPlayerAmongTheAdapters) {
  EXPECT_EQ(Find(), RyStatus::kPlayerNotFound);
}

}  // namespace
