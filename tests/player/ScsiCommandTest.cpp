// What every command object shares: its buffers, their limits and their
// failures.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/RyStatus.h"
#include "player/RyLogicalDriveCommands.h"
#include "sim/Machine.h"
#include "tests/support/CommandExchange.h"

namespace {

TEST(ScsiCommandTest, TransferThatDoesNotFit32BitsIsRefused) {
  const struct {
    const char* name;
    std::function<std::unique_ptr<CRyScsiCommand>()> make;
  } cases[] = {
      {"read of 2^32 bytes",
       [] { return std::make_unique<CRyReadLogicalDriveSector>(1, 0x10000, 0, 0x10000); }},
      {"write of 2^32 bytes",
       [] { return std::make_unique<CRyWriteLogicalDriveSector>(1, 0x10000, 0, 0x10000); }},
      {"write that fits 32 bits only without its CDB",
       [] { return std::make_unique<CRyWriteLogicalDriveSector>(1, 1, 0, 0xFFFFFFF0); }},
  };
  for (const auto& oversized : cases) {
    SCOPED_TRACE(oversized.name);
    const std::unique_ptr<CRyScsiCommand> command = oversized.make();
    EXPECT_EQ(command->GetStatus(), RyStatus::kFailed);
    EXPECT_EQ(command->GetDataInLength(), 0u);
    EXPECT_EQ(command->GetDataOutLength(), 0u);
  }
}

TEST(ScsiCommandTest, LargestDataInLengthIsKept) {
  CRyReadLogicalDriveSector command(1, 1, 0, 0xFFFFFFFF);
  EXPECT_EQ(command.GetStatus(), 0);
  EXPECT_EQ(command.GetDataInLength(), 0xFFFFFFFFu);
}

TEST(ScsiCommandTest, CommandWithoutItsBufferFails) {
  sim::ScopedMachine machine;
  machine->FailAllocationsAfter(0);
  CRyEraseLogicalDrive command(1);
  EXPECT_EQ(command.GetStatus(), RyStatus::kFailed);
}

TEST(ScsiCommandTest, AnswerHoldsExactlyTheBytesReceived) {
  CRyReadLogicalDriveSector command(1, 512, 0, 1);
  const std::vector<std::uint8_t> received = {1, 2, 3, 4, 5};
  ASSERT_EQ(command.StoreAnswer(*test::MakeByteArray(received)), 0);
  ASSERT_NE(command.GetAnswerBuffer(), nullptr);
  EXPECT_EQ(test::BytesOf(*command.GetAnswerBuffer()), received);
}

TEST(ScsiCommandTest, AnswerThatCannotBeKeptFailsAndLeavesNoAnswer) {
  sim::ScopedMachine machine;
  CRyReadLogicalDriveSector command(1, 4, 0, 1);
  ASSERT_EQ(test::Exchange(command, {1, 2, 3, 4}), 0);
  const std::unique_ptr<CRyByteArray> second = test::MakeByteArray({5, 6, 7, 8});

  machine->FailAllocationsAfter(0);
  EXPECT_EQ(command.StoreAnswer(*second), RyStatus::kFailed);
  EXPECT_EQ(command.GetStatus(), RyStatus::kFailed);
  EXPECT_EQ(command.GetAnswerBuffer(), nullptr);
}

TEST(ScsiCommandTest, CopyDataCopiesAsFarAsBothSizesAllow) {
  const struct {
    std::vector<std::uint8_t> answer;
    std::uint32_t destinationLength;
    std::vector<std::uint8_t> expected;
  } cases[] = {
      {{1, 2, 3, 4}, 4, {1, 2, 3, 4}},
      {{1, 2, 3, 4, 5, 6}, 4, {1, 2, 3, 4}},
      {{1, 2, 3}, 5, {1, 2, 3, 0xEE, 0xEE}},
  };
  for (const auto& copyCase : cases) {
    CRyReadLogicalDriveSector command(1, 4, 0, 1);
    ASSERT_EQ(command.StoreAnswer(*test::MakeByteArray(copyCase.answer)), 0);
    const std::unique_ptr<CRyByteArray> destination =
        test::MakeByteArray(std::vector<std::uint8_t>(copyCase.destinationLength, 0xEE));
    EXPECT_EQ(command.CopyData(*destination), 0);
    EXPECT_EQ(test::BytesOf(*destination), copyCase.expected);
  }
}

TEST(ScsiCommandTest, CopyDataBeforeAnyAnswerLeavesTheDestination) {
  CRyReadLogicalDriveSector command(1, 4, 0, 1);
  const std::unique_ptr<CRyByteArray> destination = test::MakeByteArray({9, 9});
  EXPECT_EQ(command.CopyData(*destination), 0);
  EXPECT_EQ(test::BytesOf(*destination), (std::vector<std::uint8_t>{9, 9}));
}

}  // namespace
