// Finding the player among the removable volumes and physical drives of a
// simulated Windows XP machine.

#include <gtest/gtest.h>

#include <memory>

#include "core/RyStatus.h"
#include "device/RyScsiNt.h"
#include "sim/EmulatedPlayer.h"
#include "sim/Machine.h"
#include "tests/support/TestDeviceOwner.h"

namespace {

struct Drive {
  wchar_t letter;
  UINT type;
  sim::ScsiIdentity identity;
  bool playerFlag;
  int physicalNumber;
};

const sim::ScsiIdentity kPlayer{"norvik  ", "K520            ", "1.00"};
const sim::ScsiIdentity kOtherStick{"Generic ", "Flash Disk      ", "8.07"};

class NtDiscoveryTest : public ::testing::Test {
 protected:
  // Attaches to the machine installed now (a test may install a fresh one).
  static void Attach(const Drive& drive) {
    sim::PlayerConfig config;
    config.identity = drive.identity;
    config.playerFlag = drive.playerFlag;
    auto device = std::make_shared<sim::EmulatedPlayer>(config);
    sim::DiskAttachment attachment;
    attachment.driveLetter = drive.letter;
    attachment.driveType = drive.type;
    attachment.physicalDriveNumber = drive.physicalNumber;
    ASSERT_GE(sim::Machine::Current().AttachDisk(device, attachment), 0);
  }

  sim::ScopedMachine machine;
  test::TestDeviceOwner owner;
  CRyScsi_Nt transport{&owner, "CRyScsi_Nt"};
};

TEST_F(NtDiscoveryTest, FindsThePlayerAmongTheRemovableVolumes) {
  struct Case {
    const char* what;
    std::vector<Drive> drives;
    std::int32_t result;
    wchar_t letter;
  };
  const sim::ScsiIdentity shouting{"NORVIK  ", "k520            ", "1.00"};
  const sim::ScsiIdentity longerProduct{"norvik  ", "K520X           ", "1.00"};
  const Case cases[] = {
      {"no drives at all", {}, RyStatus::kPlayerNotFound, 0},
      {"behind another stick",
       {{L'E', DRIVE_REMOVABLE, kOtherStick, true, -1}, {L'G', DRIVE_REMOVABLE, kPlayer, true, -1}},
       0,
       L'G'},
      {"first of two players",
       {{L'F', DRIVE_REMOVABLE, kPlayer, true, -1}, {L'H', DRIVE_REMOVABLE, kPlayer, true, -1}},
       0,
       L'F'},
      {"on A: it is never asked",
       {{L'A', DRIVE_REMOVABLE, kPlayer, true, -1}},
       RyStatus::kPlayerNotFound,
       0},
      {"as a fixed disk", {{L'E', DRIVE_FIXED, kPlayer, true, -1}}, RyStatus::kPlayerNotFound, 0},
      {"case is ignored", {{L'E', DRIVE_REMOVABLE, shouting, true, -1}}, 0, L'E'},
      {"the blanks of the product count",
       {{L'E', DRIVE_REMOVABLE, longerProduct, true, -1}},
       RyStatus::kPlayerNotFound,
       0},
      {"media flag 0", {{L'E', DRIVE_REMOVABLE, kPlayer, false, -1}}, RyStatus::kPlayerNotFound, 0},
      {"media flag 0, then a real one",
       {{L'E', DRIVE_REMOVABLE, kPlayer, false, -1}, {L'K', DRIVE_REMOVABLE, kPlayer, true, -1}},
       0,
       L'K'},
  };
  for (const Case& c : cases) {
    sim::ScopedMachine fresh;
    fresh->AddDriveLetter(L'C', DRIVE_FIXED);
    for (const Drive& drive : c.drives) Attach(drive);
    CRyScsi_Nt scan(&owner, "CRyScsi_Nt");
    EXPECT_EQ(scan.FindPlayerDrive(), c.result) << c.what;
    EXPECT_EQ(scan.GetDriveLetter(), c.letter) << c.what;
    EXPECT_EQ(scan.GetHandle(), INVALID_HANDLE_VALUE) << c.what;
    EXPECT_EQ(fresh->OpenHandleCount(), 0u) << c.what << ": every volume was closed";
  }
}

TEST_F(NtDiscoveryTest, PhysicalDriveScanSkipsMissingNumbersAndStopsAfter99) {
  Attach({L'E', DRIVE_REMOVABLE, kOtherStick, true, 0});
  Attach({0, DRIVE_REMOVABLE, kPlayer, true, 7});
  ASSERT_EQ(transport.FindPhysicalDrive(), 0);
  EXPECT_NE(transport.GetHandle(), INVALID_HANDLE_VALUE) << "left open on the player";

  sim::ScopedMachine beyond;
  Attach({0, DRIVE_REMOVABLE, kPlayer, true, 100});
  CRyScsi_Nt scan(&owner, "CRyScsi_Nt");
  EXPECT_EQ(scan.FindPhysicalDrive(), RyStatus::kPlayerNotFound);
  EXPECT_EQ(scan.GetHandle(), INVALID_HANDLE_VALUE);
}

}  // namespace
