// The plain emulated disk: identity, capacity, block I/O and how it refuses
// what does not fit.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/RyReadCapacity.h"
#include "device/RyReadWrite.h"
#include "device/RyScsiInquiry.h"
#include "sim/ScsiDisk.h"
#include "tests/sim_devices/DeviceExchange.h"
#include "tests/support/CommandExchange.h"

namespace {

constexpr std::uint32_t kBlockSize = 512;
constexpr std::uint64_t kBlockCount = 1024;
constexpr std::uint8_t kFill = 0x5A;

using test::Pattern;

class ScsiDiskTest : public ::testing::Test {
 protected:
  sim::ScsiDisk disk{sim::ScsiIdentity{"Acme", "Flash Disk", "2.1"}, kBlockSize, kBlockCount,
                     kFill};

  sim::ScsiResult WriteBlocks(std::uint32_t first, const std::vector<std::uint8_t>& data) {
    CRyWrite command(first, static_cast<std::uint32_t>(data.size() / kBlockSize), kBlockSize);
    command.SetPayload(*test::MakeByteArray(data));
    return test::SendTo(disk, command);
  }
  std::vector<std::uint8_t> ReadBlocks(std::uint32_t first, std::uint32_t count) {
    CRyRead command(first, count, kBlockSize);
    EXPECT_EQ(test::SendTo(disk, command).scsiStatus, sim::ScsiResult::kGood);
    return test::BytesOf(*command.GetAnswerBuffer());
  }
};

TEST_F(ScsiDiskTest, InquiryIdentifiesARemovableDirectAccessDisk) {
  CRyScsiInquiry inquiry;
  const sim::ScsiResult result = test::SendTo(disk, inquiry);
  ASSERT_EQ(result.scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(result.dataIn.size(), sim::ScsiDisk::kInquiryLength);

  std::uint8_t answer[CRyScsiInquiry::kAnswerLength];
  ASSERT_EQ(inquiry.CopyAnswer(answer), 0);
  EXPECT_EQ(answer[0], 0x00) << "peripheral type 0";
  EXPECT_EQ(answer[1], 0x80) << "removable";
  EXPECT_EQ(answer[4], 31) << "additional length of a 36-byte answer";
  EXPECT_EQ(std::string(answer + 8, answer + 16), "Acme    ");
  EXPECT_EQ(std::string(answer + 16, answer + 32), "Flash Disk      ");
  EXPECT_EQ(std::string(answer + 32, answer + 36), "2.1 ");
  EXPECT_EQ(std::vector<std::uint8_t>(answer + 36, answer + 96), std::vector<std::uint8_t>(60, 0));
}

TEST_F(ScsiDiskTest, IdentityLongerThanItsFieldIsCut) {
  sim::ScsiDisk named{sim::ScsiIdentity{"VendorTooLong", "ProductNameThatIsLong", "12345"},
                      kBlockSize, 1, 0};
  const sim::ScsiResult result = named.ExecuteScsi(test::DataInRequest({0x12, 0, 0, 0, 96, 0}, 96));
  ASSERT_EQ(result.dataIn.size(), 36u);
  EXPECT_EQ(std::string(result.dataIn.begin() + 8, result.dataIn.end()),
            "VendorToProductNameThatI1234");
}

TEST_F(ScsiDiskTest, InquiryAnswersNoMoreThanTheAllocationLength) {
  const sim::ScsiResult result = disk.ExecuteScsi(test::DataInRequest({0x12, 0, 0, 0, 5, 0}, 96));
  ASSERT_EQ(result.scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(result.dataIn, (std::vector<std::uint8_t>{0x00, 0x80, 0x02, 0x02, 31}));
}

TEST_F(ScsiDiskTest, ReadCapacityGivesLastBlockAndBlockLength) {
  CRyReadCapacity command;
  ASSERT_EQ(test::SendTo(disk, command).scsiStatus, sim::ScsiResult::kGood);
  std::uint32_t capacity[2] = {};
  ASSERT_EQ(command.GetCapacity(capacity), 0);
  EXPECT_EQ(capacity[0], kBlockCount - 1);
  EXPECT_EQ(capacity[1], kBlockSize);
}

TEST_F(ScsiDiskTest, WrittenBlocksReadBackAndUnwrittenOnesReadAsTheFill) {
  const std::vector<std::uint8_t> data = Pattern(3 * kBlockSize, 1);
  ASSERT_EQ(WriteBlocks(10, data).scsiStatus, sim::ScsiResult::kGood);

  EXPECT_EQ(ReadBlocks(10, 3), data);
  std::vector<std::uint8_t> around = ReadBlocks(9, 5);
  EXPECT_EQ(std::vector<std::uint8_t>(around.begin(), around.begin() + kBlockSize),
            std::vector<std::uint8_t>(kBlockSize, kFill));
  EXPECT_EQ(std::vector<std::uint8_t>(around.end() - kBlockSize, around.end()),
            std::vector<std::uint8_t>(kBlockSize, kFill));
}

TEST_F(ScsiDiskTest, ZeroBlocksMoveNothing) {
  const sim::ScsiResult read =
      disk.ExecuteScsi(test::DataInRequest(test::Cdb10(sim::ScsiOp::kRead10, 5, 0), 0));
  EXPECT_EQ(read.scsiStatus, sim::ScsiResult::kGood);
  EXPECT_TRUE(read.dataIn.empty());
  const sim::ScsiResult write =
      disk.ExecuteScsi(test::DataOutRequest(test::Cdb10(sim::ScsiOp::kWrite10, 5, 0), {}));
  EXPECT_EQ(write.scsiStatus, sim::ScsiResult::kGood);
}

TEST_F(ScsiDiskTest, SenseDataIsFixedFormatWithKeyAndAdditionalCode) {
  const sim::ScsiResult result = disk.ExecuteScsi(
      test::DataInRequest(test::Cdb10(sim::ScsiOp::kRead10, kBlockCount, 1), kBlockSize));
  EXPECT_EQ(result.scsiStatus, sim::ScsiResult::kCheckCondition);
  EXPECT_TRUE(result.dataIn.empty());
  EXPECT_EQ(result.sense, (std::vector<std::uint8_t>{0x70, 0, 0x05, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0,
                                                     0x21, 0x00, 0, 0, 0, 0}));
}

sim::ScsiRequest ReadRequest(std::uint32_t first, std::uint16_t count, std::uint32_t room) {
  return test::DataInRequest(test::Cdb10(sim::ScsiOp::kRead10, first, count), room);
}
sim::ScsiRequest WriteRequest(std::uint32_t first, std::uint16_t count, std::size_t bytes) {
  return test::DataOutRequest(test::Cdb10(sim::ScsiOp::kWrite10, first, count),
                              std::vector<std::uint8_t>(bytes, 0xEE));
}

TEST_F(ScsiDiskTest, RefusesWhatDoesNotFitWithTheMatchingSense) {
  sim::ScsiRequest readWithPayload = ReadRequest(0, 1, kBlockSize);
  readWithPayload.direction = sim::ScsiDirection::kOut;
  readWithPayload.dataOut.assign(kBlockSize, 0);
  sim::ScsiRequest writeAsDataIn = WriteRequest(0, 1, 0);
  writeAsDataIn.direction = sim::ScsiDirection::kIn;
  writeAsDataIn.dataInLength = kBlockSize;

  test::ExpectRefused(
      disk,
      {
          {"read past the end", ReadRequest(kBlockCount - 1, 2, 2 * kBlockSize),
           sim::Sense::kLbaOutOfRange},
          {"read at the end", ReadRequest(kBlockCount, 1, kBlockSize), sim::Sense::kLbaOutOfRange},
          {"read at the last address", ReadRequest(0xFFFFFFFF, 1, kBlockSize),
           sim::Sense::kLbaOutOfRange},
          {"write past the end", WriteRequest(kBlockCount - 4, 8, 8 * kBlockSize),
           sim::Sense::kLbaOutOfRange},
          {"unknown operation code", test::DataInRequest({0x5A, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8),
           sim::Sense::kInvalidOperationCode},
          {"empty CDB", test::NoDataRequest({}), sim::Sense::kInvalidOperationCode},
          {"READ(10) in six bytes", test::DataInRequest({0x28, 0, 0, 0, 1, 0}, kBlockSize),
           sim::Sense::kInvalidFieldInCdb},
          {"INQUIRY for vital product data", test::DataInRequest({0x12, 0x01, 0x80, 0, 96, 0}, 96),
           sim::Sense::kInvalidFieldInCdb},
          {"read with room for less", ReadRequest(0, 2, 2 * kBlockSize - 1),
           sim::Sense::kDataPhaseError},
          {"read sending a payload", readWithPayload, sim::Sense::kDataPhaseError},
          {"write of a short payload", WriteRequest(0, 2, 2 * kBlockSize - 1),
           sim::Sense::kDataPhaseError},
          {"write of a long payload", WriteRequest(0, 1, kBlockSize + 1),
           sim::Sense::kDataPhaseError},
          {"write as data-in", writeAsDataIn, sim::Sense::kDataPhaseError},
          {"TEST UNIT READY with a payload", test::DataOutRequest({0, 0, 0, 0, 0, 0}, {1}),
           sim::Sense::kDataPhaseError},
          {"READ CAPACITY with room for less", test::DataInRequest(test::Cdb10(0x25, 0, 0), 7),
           sim::Sense::kDataPhaseError},
      });
  EXPECT_EQ(disk.GetMedium()->StoredPageCount(), 0u) << "no refused write landed";
}

TEST_F(ScsiDiskTest, ReadWithMoreRoomThanNeededSendsOnlyTheBlocks) {
  const sim::ScsiResult result = disk.ExecuteScsi(ReadRequest(0, 1, 4 * kBlockSize));
  EXPECT_EQ(result.scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(result.dataIn.size(), kBlockSize);
}

TEST_F(ScsiDiskTest, NoDataCommandTakesAnyDirectionWithoutBytes) {
  sim::ScsiRequest request = test::NoDataRequest({0, 0, 0, 0, 0, 0});
  for (const sim::ScsiDirection direction :
       {sim::ScsiDirection::kNone, sim::ScsiDirection::kIn, sim::ScsiDirection::kOut}) {
    request.direction = direction;
    EXPECT_EQ(disk.ExecuteScsi(request).scsiStatus, sim::ScsiResult::kGood);
  }
}

TEST_F(ScsiDiskTest, FileIoReachesTheSameBlocksAsReadAndWrite) {
  EXPECT_EQ(disk.GetBlockSize(), kBlockSize);
  EXPECT_EQ(disk.GetBlockCount(), kBlockCount);
  const std::vector<std::uint8_t> data = Pattern(2 * kBlockSize, 9);
  ASSERT_TRUE(disk.WriteBlocks(kBlockCount - 2, 2, data.data()));
  EXPECT_EQ(ReadBlocks(kBlockCount - 2, 2), data);

  const std::vector<std::uint8_t> written = Pattern(kBlockSize, 3);
  ASSERT_EQ(WriteBlocks(7, written).scsiStatus, sim::ScsiResult::kGood);
  std::vector<std::uint8_t> read(kBlockSize);
  ASSERT_TRUE(disk.ReadBlocks(7, 1, read.data()));
  EXPECT_EQ(read, written);
}

TEST_F(ScsiDiskTest, FileIoBeyondTheMediumFails) {
  std::vector<std::uint8_t> buffer(2 * kBlockSize, 0);
  EXPECT_FALSE(disk.ReadBlocks(kBlockCount - 1, 2, buffer.data()));
  EXPECT_FALSE(disk.WriteBlocks(kBlockCount, 1, buffer.data()));
  EXPECT_EQ(disk.GetMedium()->StoredPageCount(), 0u);
}

TEST(ScsiDiskLargeMediumTest, FourGibibytesCostOnlyWhatIsWritten) {
  constexpr std::uint64_t kBlocks = (std::uint64_t{4} << 30) / kBlockSize;
  sim::ScsiDisk disk{sim::ScsiIdentity{"Acme", "Big", "1"}, kBlockSize, kBlocks, 0};
  const std::vector<std::uint8_t> data = Pattern(kBlockSize, 77);
  ASSERT_TRUE(disk.WriteBlocks(kBlocks - 1, 1, data.data()));
  EXPECT_LE(disk.GetMedium()->StoredBytes(), sim::SparseBlockStore::kPageSize);

  CRyReadCapacity capacity;
  ASSERT_EQ(test::SendTo(disk, capacity).scsiStatus, sim::ScsiResult::kGood);
  std::uint32_t values[2] = {};
  capacity.GetCapacity(values);
  EXPECT_EQ(values[0], kBlocks - 1);

  CRyRead read(static_cast<std::uint32_t>(kBlocks - 1), 1, kBlockSize);
  ASSERT_EQ(test::SendTo(disk, read).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(test::BytesOf(*read.GetAnswerBuffer()), data);
}

TEST(ScsiDiskLargeMediumTest, CapacityBeyondThirtyTwoBitAddressesReportsTheLargestAddress) {
  sim::ScsiDisk disk{sim::ScsiIdentity{"Acme", "Huge", "1"}, kBlockSize, std::uint64_t{1} << 33, 0};
  const sim::ScsiResult result =
      disk.ExecuteScsi(test::DataInRequest({0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8));
  EXPECT_EQ(result.dataIn, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0x02, 0}));
}

}  // namespace
