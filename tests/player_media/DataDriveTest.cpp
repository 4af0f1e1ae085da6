// The data drive through the transport's own sector I/O, and the array of
// system drives.

#include <gtest/gtest.h>

#include <vector>

#include "device/RyScsiNt.h"
#include "player/RyDataDrive.h"
#include "player/RySystemDrivePtrArray.h"
#include "tests/support/CommandExchange.h"
#include "tests/support/PlayerBench.h"

namespace {

TEST(DataDriveTest, CapacityAndBlocksGoThroughTheTransport) {
  test::PlayerBench bench;
  CRyScsi_Nt transport{&bench.owner, "CRyScsi_Nt"};
  ASSERT_EQ(transport.FindPlayerDrive(), 0);
  CRyDataDrive drive("CRyDataDrive");
  EXPECT_EQ(drive.GetComponentNumber(), 0);
  LogicalTableEntry required{};
  drive.GetRequiredEntry(&required);
  EXPECT_EQ(required.driveType, 0);
  EXPECT_EQ(std::uint64_t{required.sizeInBytes}, 0u);
  const LogicalTableEntry entry{4, 0, 0x0A, 1 << 20};
  ASSERT_EQ(drive.Attach(&transport, &bench.owner, &entry), 0);
  EXPECT_EQ(drive.GetCurrentEntry().driveNumber, 4);

  std::uint32_t lastBlock = 0;
  std::uint32_t blockLength = 0;
  ASSERT_EQ(drive.ReadCapacity(lastBlock, blockLength), 0);
  EXPECT_EQ(std::uint64_t{lastBlock} + 1, bench.player->GetMedium()->BlockCount());
  EXPECT_EQ(blockLength, 512u);

  const std::vector<std::uint8_t> bytes(1024, 0x6B);
  ASSERT_EQ(drive.WriteBlocks(*test::MakeByteArray(bytes), 2, 9, 512), 0);
  EXPECT_EQ(bench.player->GetMedium()->ReadBytes(9 * 512, 1024), bytes);
  CRyByteArray back(1024, "CRyByteArray");
  ASSERT_EQ(drive.ReadBlocks(back, 2, 9, 512), 0);
  EXPECT_EQ(test::BytesOf(back), bytes);
}

TEST(SystemDrivePtrArrayTest, CreatesEveryDriveAndOwnsThem) {
  sim::ScopedMachine machine;
  CRySystemDrivePtrArray drives(4, "CRySystemDrivePtrArray");
  ASSERT_EQ(drives.GetStatus(), 0);
  ASSERT_EQ(drives.GetCount(), 4u);
  for (std::uint32_t i = 0; i < 4; ++i) {
    CRySystemDrive* drive = nullptr;
    ASSERT_EQ(drives.GetAt(i, drive), 0);
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->GetObjectName(), "CRySystemDrive");
    EXPECT_EQ(drive->GetCurrentEntry().driveNumber, 255);
  }
}

}  // namespace
