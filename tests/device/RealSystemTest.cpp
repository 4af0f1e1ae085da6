// The device layer on the real system (Wine set to report Windows XP x64,
// version 5.2): the forwards reach Windows and the results are read the way
// Windows lays them out. There is no player attached.

#include <gtest/gtest.h>

#include "core/RyStatus.h"
#include "device/RyOsClass.h"
#include "device/RyScsiNt.h"
#include "tests/support/TestDeviceOwner.h"

namespace {

TEST(RealSystem, VersionIsClassifiedAsXp) { EXPECT_EQ(GetOsClass(), kOsClassWindowsXp); }

TEST(RealSystem, NoPlayerIsFound) {
  test::TestDeviceOwner owner;
  CRyScsi_Nt transport(&owner, "CRyScsi_Nt");
  EXPECT_EQ(transport.FindPlayerDrive(), RyStatus::kPlayerNotFound);
  EXPECT_EQ(transport.GetDriveLetter(), 0);
  EXPECT_EQ(transport.GetHandle(), INVALID_HANDLE_VALUE);
}

TEST(RealSystem, OpeningWithoutALetterFails) {
  test::TestDeviceOwner owner;
  CRyScsi_Nt transport(&owner, "CRyScsi_Nt");
  EXPECT_EQ(transport.Open(), RyStatus::kDeviceOpenFailed);
}

}  // namespace
