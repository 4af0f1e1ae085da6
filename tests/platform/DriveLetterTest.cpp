// Drive letters of the simulated machine: which exist, what type each
// reports, and how attaching, detaching and vanishing disks change them.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RamDisk.h"
#include "os/Os.h"
#include "sim/Machine.h"

namespace {

using testing_disk::RamDisk;

DWORD Bit(wchar_t letter) { return 1u << (letter - L'A'); }

class DriveLetterTest : public ::testing::Test {
 protected:
  DriveLetterTest() {
    machine->AddDriveLetter(L'C', DRIVE_FIXED);
    machine->AddDriveLetter(L'D', DRIVE_CDROM);
    player = std::make_shared<RamDisk>(1000);
    sim::DiskAttachment removable;
    removable.driveLetter = L'E';
    playerNumber = machine->AttachDisk(player, removable);
    sim::DiskAttachment lowerCase;
    lowerCase.driveLetter = L'g';
    lowerCase.driveType = DRIVE_FIXED;
    machine->AttachDisk(std::make_shared<RamDisk>(1000), lowerCase);
    // A disk reached only as a physical drive.
    machine->AttachDisk(std::make_shared<RamDisk>(1000), sim::DiskAttachment{});
  }

  sim::ScopedMachine machine;
  std::shared_ptr<RamDisk> player;
  int playerNumber = -1;
};

TEST_F(DriveLetterTest, LogicalDrivesHoldEveryLetterInUse) {
  EXPECT_EQ(os::GetLogicalDrives(), Bit(L'C') | Bit(L'D') | Bit(L'E') | Bit(L'G'));
}

TEST_F(DriveLetterTest, DriveTypeOfRootPaths) {
  struct Case {
    const wchar_t* root;
    UINT type;
  };
  const Case cases[] = {
      {L"C:\\", DRIVE_FIXED},
      {L"c:", DRIVE_FIXED},
      {L"D:/", DRIVE_CDROM},
      {L"E:\\", DRIVE_REMOVABLE},
      {L"g:\\", DRIVE_FIXED},
      {L"F:\\", DRIVE_NO_ROOT_DIR},
      {L"E:\\DIR\\", DRIVE_NO_ROOT_DIR},
      {L"E", DRIVE_NO_ROOT_DIR},
      {L"", DRIVE_NO_ROOT_DIR},
      {L"EE:\\", DRIVE_NO_ROOT_DIR},
      {L"1:\\", DRIVE_NO_ROOT_DIR},
      {L"\\\\.\\E:", DRIVE_NO_ROOT_DIR},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(os::GetDriveTypeW(c.root), c.type) << std::wstring(c.root).c_str();
    const std::wstring wide(c.root);
    const std::string narrow(wide.begin(), wide.end());
    EXPECT_EQ(os::GetDriveTypeA(narrow.c_str()), c.type) << narrow;
  }
  // No root: the drive of the current directory, C:.
  EXPECT_EQ(os::GetDriveTypeW(nullptr), DRIVE_FIXED);
  EXPECT_EQ(os::GetDriveTypeA(nullptr), DRIVE_FIXED);
}

TEST_F(DriveLetterTest, TakenLettersAndNumbersAreRefused) {
  sim::DiskAttachment onC;
  onC.driveLetter = L'C';
  EXPECT_EQ(machine->AttachDisk(std::make_shared<RamDisk>(10), onC), -1);
  EXPECT_FALSE(machine->AddDriveLetter(L'e', DRIVE_FIXED));
  EXPECT_FALSE(machine->AddDriveLetter(L'?', DRIVE_FIXED));
  sim::DiskAttachment sameNumber;
  sameNumber.physicalDriveNumber = playerNumber;
  EXPECT_EQ(machine->AttachDisk(std::make_shared<RamDisk>(10), sameNumber), -1);
}

TEST_F(DriveLetterTest, DisksGetTheLowestFreeNumberUnlessTheyAskForOne) {
  EXPECT_EQ(playerNumber, 0);
  sim::DiskAttachment five;
  five.physicalDriveNumber = 5;
  EXPECT_EQ(machine->AttachDisk(std::make_shared<RamDisk>(10), five), 5);
  EXPECT_EQ(machine->AttachDisk(std::make_shared<RamDisk>(10), sim::DiskAttachment{}), 3);
}

TEST_F(DriveLetterTest, VanishedDiskTakesItsLetterUntilItReturns) {
  player->SetPresent(false);
  EXPECT_EQ(os::GetLogicalDrives() & Bit(L'E'), 0u);
  EXPECT_EQ(os::GetDriveTypeW(L"E:\\"), DRIVE_NO_ROOT_DIR);
  player->SetPresent(true);
  EXPECT_NE(os::GetLogicalDrives() & Bit(L'E'), 0u);
  EXPECT_EQ(os::GetDriveTypeW(L"E:\\"), DRIVE_REMOVABLE);
}

TEST_F(DriveLetterTest, DetachedDiskFreesItsLetterAndNumber) {
  EXPECT_TRUE(machine->DetachDisk(playerNumber));
  EXPECT_FALSE(machine->DetachDisk(playerNumber));
  EXPECT_EQ(os::GetLogicalDrives() & Bit(L'E'), 0u);
  sim::DiskAttachment again;
  again.driveLetter = L'E';
  EXPECT_EQ(machine->AttachDisk(std::make_shared<RamDisk>(10), again), playerNumber);
}

}  // namespace
