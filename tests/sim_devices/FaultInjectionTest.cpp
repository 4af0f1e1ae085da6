// Faults armed on the emulated player: which command each hits and what it
// does to it.

#include <gtest/gtest.h>

#include <vector>

#include "device/RyReadWrite.h"
#include "player/RyLogicalDriveCommands.h"
#include "player/RyLogicalMediaCommands.h"
#include "sim/Machine.h"
#include "tests/sim_devices/DeviceExchange.h"
#include "tests/sim_devices/PlayerFixture.h"
#include "tests/support/CommandExchange.h"

namespace {

using test::kDataSectorSize;
using test::kSystemSectorSize;
using test::Pattern;
using test::SendTo;

constexpr std::uint8_t kSystemDrive = 0;
const sim::CommandFilter kWriteSectors = sim::CommandFilter::Vendor(0xC1, 0x23);
const sim::SenseData kInjected = sim::SenseData::Vendor(0x0815);

class FaultInjectionTest : public test::PlayerTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Allocate(test::StandardLayout()).scsiStatus, sim::ScsiResult::kGood);
  }

  std::uint8_t SendTableQuery() {
    CRyGetLogicalTable command;
    return SendTo(player, command).scsiStatus;
  }
  sim::ScsiResult WriteOneSector(std::uint64_t sector, std::uint8_t seed) {
    CRyWriteLogicalDriveSector command(kSystemDrive, kSystemSectorSize, sector, 1);
    command.SetPayload(*test::MakeByteArray(Pattern(kSystemSectorSize, seed)));
    return SendTo(player, command);
  }
  std::vector<std::uint8_t> StoredSector(std::uint64_t sector) {
    return player.GetFlash()
        .FindDrive(kSystemDrive)
        ->content.ReadBytes(sector * kSystemSectorSize, kSystemSectorSize);
  }
  std::vector<std::uint8_t> SystemSectorRead(std::uint64_t sector) {
    CRyReadLogicalDriveSector command(kSystemDrive, kSystemSectorSize, sector, 1);
    const sim::ScsiResult result = SendTo(player, command);
    return result.dataIn;
  }
  std::vector<std::uint8_t> DataBlockRead(std::uint32_t block) {
    CRyRead command(block, 1, kDataSectorSize);
    return SendTo(player, command).dataIn;
  }
  std::vector<std::uint8_t> DataBlockFileRead(std::uint32_t block) {
    std::vector<std::uint8_t> data(kDataSectorSize);
    if (!player.ReadBlocks(block, 1, data.data())) data.clear();
    return data;
  }
};

TEST_F(FaultInjectionTest, FailureHitsTheNthCommandFromNowOnce) {
  SendTableQuery();
  player.Faults().FailCommand(3, kInjected);
  player.ClearTrace();
  std::vector<std::uint8_t> statuses;
  for (int i = 0; i < 4; ++i) statuses.push_back(SendTableQuery());
  EXPECT_EQ(statuses, (std::vector<std::uint8_t>{0, 0, 2, 0}));
  EXPECT_EQ(player.Trace()[2].sense, kInjected);
  EXPECT_EQ(player.Faults().ArmedCount(), 0u);
}

TEST_F(FaultInjectionTest, FilteredFailureCountsOnlyMatchingCommandsAndStopsThem) {
  player.Faults().FailCommand(2, kInjected, kWriteSectors);
  ASSERT_EQ(WriteOneSector(0, 1).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(SendTableQuery(), sim::ScsiResult::kGood);
  const sim::ScsiResult failed = WriteOneSector(1, 2);
  EXPECT_EQ(test::SenseOf(failed), kInjected);
  EXPECT_EQ(StoredSector(1), std::vector<std::uint8_t>(kSystemSectorSize, 0xFF))
      << "the failed write did not land";
  EXPECT_EQ(WriteOneSector(1, 3).scsiStatus, sim::ScsiResult::kGood);
}

TEST_F(FaultInjectionTest, FailureAfterExecutingLetsTheCommandLand) {
  sim::Fault fault;
  fault.filter = kWriteSectors;
  fault.sense = kInjected;
  fault.executeFirst = true;
  player.Faults().Add(fault);
  EXPECT_EQ(test::SenseOf(WriteOneSector(4, 9)), kInjected);
  EXPECT_EQ(StoredSector(4), Pattern(kSystemSectorSize, 9));
}

TEST_F(FaultInjectionTest, PersistentFailureHitsEveryMatchingCommandFromTheNthOn) {
  sim::Fault fault;
  fault.nth = 2;
  fault.filter = kWriteSectors;
  fault.sense = kInjected;
  fault.persistent = true;
  player.Faults().Add(fault);
  std::vector<std::uint8_t> statuses;
  for (int i = 0; i < 4; ++i) {
    statuses.push_back(WriteOneSector(static_cast<std::uint64_t>(i), 1).scsiStatus);
    statuses.push_back(SendTableQuery());
  }
  EXPECT_EQ(statuses, (std::vector<std::uint8_t>{0, 0, 2, 0, 2, 0, 2, 0}));
  player.Faults().Clear();
  EXPECT_EQ(WriteOneSector(0, 1).scsiStatus, sim::ScsiResult::kGood);
}

TEST_F(FaultInjectionTest, CorruptionCountsSectorReadsOfEveryKind) {
  player.Faults().CorruptRead(3, kDataSectorSize + 5);
  const std::vector<std::uint8_t> erasedData(kDataSectorSize, 0xFF);
  const std::vector<std::uint8_t> erasedSystem(kSystemSectorSize, 0xFF);
  EXPECT_EQ(DataBlockRead(0), erasedData);
  EXPECT_EQ(SendTableQuery(), sim::ScsiResult::kGood);
  EXPECT_EQ(DataBlockFileRead(0), erasedData);

  std::vector<std::uint8_t> corrupted = erasedSystem;
  corrupted[(kDataSectorSize + 5) % kSystemSectorSize] = 0x00;
  EXPECT_EQ(SystemSectorRead(0), corrupted);
  EXPECT_EQ(SystemSectorRead(0), erasedSystem) << "one-shot";
  EXPECT_EQ(StoredSector(0), erasedSystem) << "the flash itself is intact";
}

TEST_F(FaultInjectionTest, CorruptedFileReadFlipsTheByte) {
  player.Faults().CorruptRead(1, 7);
  std::vector<std::uint8_t> expected(kDataSectorSize, 0xFF);
  expected[7] = 0x00;
  EXPECT_EQ(DataBlockFileRead(3), expected);
}

TEST_F(FaultInjectionTest, ShortAnswerSendsFewerBytesWithGoodStatus) {
  player.Faults().AnswerShort(1, 10, sim::CommandFilter::Vendor(0xC0, 0x05));
  CRyGetLogicalTable table;
  const sim::ScsiResult result = SendTo(player, table);
  EXPECT_EQ(result.scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(result.dataIn.size(), 10u);
  EXPECT_EQ(player.Trace().back().dataInSent, 10u);

  player.Faults().AnswerShort(1, 100);
  EXPECT_TRUE(DataBlockFileRead(0).empty()) << "a short file read fails";
}

TEST_F(FaultInjectionTest, DisappearedDeviceStaysGoneUntilPluggedBack) {
  player.Faults().Disappear(2);
  player.Faults().FailCommand(3, kInjected);
  EXPECT_EQ(SendTableQuery(), sim::ScsiResult::kGood);
  EXPECT_TRUE(player.IsPresent());

  EXPECT_EQ(SendTableQuery(), sim::ScsiResult::kCheckCondition);
  EXPECT_FALSE(player.IsPresent());
  EXPECT_TRUE(player.Trace().back().deviceGone);
  EXPECT_NE(WriteOneSector(0, 1).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_TRUE(DataBlockFileRead(0).empty());
  std::vector<std::uint8_t> block(kDataSectorSize, 0);
  EXPECT_FALSE(player.WriteBlocks(0, 1, block.data()));
  EXPECT_EQ(StoredSector(0), std::vector<std::uint8_t>(kSystemSectorSize, 0xFF));

  player.SetPresent(true);
  EXPECT_EQ(SendTableQuery(), sim::ScsiResult::kCheckCondition)
      << "commands sent while gone did not count";
  EXPECT_EQ(SendTableQuery(), sim::ScsiResult::kGood);
}

TEST_F(FaultInjectionTest, DelaysAdvanceTheMachinesVirtualClock) {
  sim::ScopedMachine machine;
  const DWORD start = machine->GetTickCount();
  player.Faults().DelayCommand(2, 1500);
  SendTableQuery();
  EXPECT_EQ(machine->GetTickCount(), start);
  SendTableQuery();
  EXPECT_EQ(machine->GetTickCount(), start + 1500);
  EXPECT_EQ(player.Trace().back().delayMilliseconds, 1500u);

  player.Faults().DelayEveryCommand(10);
  SendTableQuery();
  DataBlockFileRead(0);
  EXPECT_EQ(machine->GetTickCount(), start + 1520);
}

TEST_F(FaultInjectionTest, FailedFileWriteDoesNotLand) {
  player.Faults().FailCommand(1, sim::Sense::kDataPhaseError, sim::CommandFilter::Operation(0x2A));
  const std::vector<std::uint8_t> block = Pattern(kDataSectorSize, 40);
  EXPECT_FALSE(player.WriteBlocks(2, 1, block.data()));
  EXPECT_EQ(player.Trace().back().source, sim::CommandSource::kFileWrite);
  EXPECT_EQ(DataBlockFileRead(2), std::vector<std::uint8_t>(kDataSectorSize, 0xFF));
  EXPECT_TRUE(player.WriteBlocks(2, 1, block.data()));
  EXPECT_EQ(DataBlockFileRead(2), block);
}

}  // namespace
