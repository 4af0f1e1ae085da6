// Answers and payloads of the standard commands.

#include <gtest/gtest.h>

#include <vector>

#include "core/RyStatus.h"
#include "device/RyReadCapacity.h"
#include "device/RyReadWrite.h"
#include "device/RyScsiInquiry.h"
#include "tests/support/CommandExchange.h"

namespace {

std::vector<std::uint8_t> Counting(std::size_t length) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i + 1);
  return bytes;
}

TEST(InquiryTest, ShortDeviceAnswerIsZeroPaddedTo96Bytes) {
  CRyScsiInquiry command;
  ASSERT_EQ(test::Exchange(command, Counting(36)), 0);
  std::uint8_t answer[CRyScsiInquiry::kAnswerLength];
  std::fill(std::begin(answer), std::end(answer), 0xEE);
  EXPECT_EQ(command.CopyAnswer(answer), 0);

  std::vector<std::uint8_t> expected = Counting(36);
  expected.resize(96, 0);
  EXPECT_EQ(std::vector<std::uint8_t>(std::begin(answer), std::end(answer)), expected);
}

TEST(InquiryTest, StoredAnswerShorterThan96BytesFails) {
  CRyScsiInquiry command;
  std::uint8_t answer[CRyScsiInquiry::kAnswerLength] = {};
  EXPECT_EQ(command.CopyAnswer(answer), RyStatus::kFieldOutOfRange);
  ASSERT_EQ(command.StoreAnswer(*test::MakeByteArray(Counting(95))), 0);
  EXPECT_EQ(command.CopyAnswer(answer), RyStatus::kFieldOutOfRange);
}

TEST(ReadCapacityTest, GivesLastBlockAndBlockLength) {
  CRyReadCapacity command;
  ASSERT_EQ(test::Exchange(command, {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x02, 0x00}), 0);
  std::uint32_t capacity[2] = {};
  EXPECT_EQ(command.GetCapacity(capacity), 0);
  EXPECT_EQ(capacity[0], 65535u);
  EXPECT_EQ(capacity[1], 512u);
}

TEST(ReadCapacityTest, ShortAnswerStillGivesWhatItHolds) {
  const struct {
    std::vector<std::uint8_t> answer;
    std::int32_t status;
    std::uint32_t lastBlock;
  } cases[] = {
      {{0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x02}, RyStatus::kFieldOutOfRange, 0x00010000},
      {{0x00, 0x01, 0x00}, RyStatus::kFieldOutOfRange, 0xEEEEEEEE},
  };
  for (const auto& shortCase : cases) {
    SCOPED_TRACE(shortCase.answer.size());
    CRyReadCapacity command;
    ASSERT_EQ(command.StoreAnswer(*test::MakeByteArray(shortCase.answer)), 0);
    std::uint32_t capacity[2] = {0xEEEEEEEE, 0xEEEEEEEE};
    EXPECT_EQ(command.GetCapacity(capacity), shortCase.status);
    EXPECT_EQ(capacity[0], shortCase.lastBlock);
    EXPECT_EQ(capacity[1], 0xEEEEEEEEu);
  }
}

TEST(ReadCapacityTest, FailsBeforeAnyAnswer) {
  CRyReadCapacity command;
  std::uint32_t capacity[2] = {};
  EXPECT_EQ(command.GetCapacity(capacity), RyStatus::kFieldOutOfRange);
}

TEST(ReadTest, CopiesTheBlocksRead) {
  CRyRead command(7, 2, 4);
  ASSERT_EQ(test::Exchange(command, Counting(8)), 0);
  const std::unique_ptr<CRyByteArray> data = test::MakeByteArray(std::vector<std::uint8_t>(8));
  EXPECT_EQ(command.CopyData(*data), 0);
  EXPECT_EQ(test::BytesOf(*data), Counting(8));
}

TEST(WriteTest, PayloadIsRefusedWhenLongerAndZeroPaddedWhenShorter) {
  CRyWrite tooLong(100, 1, 512);
  EXPECT_EQ(tooLong.SetPayload(*test::MakeByteArray(Counting(600))), RyStatus::kPayloadTooLong);
  EXPECT_EQ(test::PayloadBytes(tooLong), std::vector<std::uint8_t>(512, 0));

  CRyWrite shorter(100, 1, 512);
  EXPECT_EQ(shorter.SetPayload(*test::MakeByteArray(Counting(256))), 0);
  ASSERT_EQ(test::Exchange(shorter), 0);
  std::vector<std::uint8_t> expected = Counting(256);
  expected.resize(512, 0);
  EXPECT_EQ(test::PayloadBytes(shorter), expected);
}

}  // namespace
