// The pass-through block: header fields, sense and data where the driver
// looks for them, in the platform's own record layout.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "device/RyPassThroughBuffer.h"
#include "device/RyReadWrite.h"
#include "device/RyScsiInquiry.h"
#include "sim/Machine.h"
#include "tests/support/CommandExchange.h"

namespace {

#if defined(_WIN32) && !defined(_WIN64)
// The layout of 32-bit Windows, byte for byte.
static_assert(offsetof(SCSI_PASS_THROUGH, DataTransferLength) == 12, "");
static_assert(offsetof(SCSI_PASS_THROUGH, TimeOutValue) == 16, "");
static_assert(offsetof(SCSI_PASS_THROUGH, DataBufferOffset) == 20, "");
static_assert(offsetof(SCSI_PASS_THROUGH, SenseInfoOffset) == 24, "");
static_assert(offsetof(SCSI_PASS_THROUGH, Cdb) == 28, "");
static_assert(PassThroughBuffer::kSenseOffset == 52, "");
static_assert(PassThroughBuffer::kDataOffset == 70, "");
#endif

const SCSI_PASS_THROUGH& HeaderOf(const PassThroughBuffer& buffer) {
  return *static_cast<const SCSI_PASS_THROUGH*>(buffer.GetBlock());
}

DWORD SizeFieldOf(const PassThroughBuffer& buffer) {
  DWORD size = 0;
  std::memcpy(&size,
              static_cast<const std::uint8_t*>(buffer.GetBlock()) + sizeof(SCSI_PASS_THROUGH),
              sizeof size);
  return size;
}

class PassThroughBufferTest : public ::testing::Test {
 protected:
  sim::ScopedMachine machine;
};

TEST_F(PassThroughBufferTest, InquiryBlock) {
  CRyScsiInquiry inquiry;
  inquiry.BuildCdb();
  PassThroughBuffer buffer(inquiry.GetCommandBuffer(), 6, false, 96);
  ASSERT_TRUE(buffer.IsValid());
  const DWORD expectedSize = PassThroughBuffer::kDataOffset + 96 + 1;  // 167 on 32-bit Windows
  EXPECT_EQ(buffer.GetBlockSize(), expectedSize);
  EXPECT_EQ(SizeFieldOf(buffer), expectedSize);
  const SCSI_PASS_THROUGH& header = HeaderOf(buffer);
  EXPECT_EQ(header.Length, sizeof(SCSI_PASS_THROUGH));
  EXPECT_EQ(header.CdbLength, 6);
  EXPECT_EQ(header.SenseInfoLength, 18);
  EXPECT_EQ(header.DataIn, SCSI_IOCTL_DATA_IN);
  EXPECT_EQ(header.DataTransferLength, 96u);
  EXPECT_EQ(header.TimeOutValue, 120u);
  EXPECT_EQ(header.DataBufferOffset, PassThroughBuffer::kDataOffset);
  EXPECT_EQ(header.SenseInfoOffset, PassThroughBuffer::kSenseOffset);
  const std::uint8_t cdb[16] = {0x12, 0, 0, 0, 0x60, 0};
  EXPECT_EQ(std::memcmp(header.Cdb, cdb, 16), 0);
}

TEST_F(PassThroughBufferTest, WriteBlockCarriesThePayloadAfterTheSense) {
  CRyWrite write(100, 1, 512);
  auto payload = test::MakeByteArray(std::vector<std::uint8_t>(512, 0xC3));
  ASSERT_EQ(write.SetPayload(*payload), 0);
  write.BuildCdb();
  PassThroughBuffer buffer(write.GetCommandBuffer(), 10, true, 512);
  ASSERT_TRUE(buffer.IsValid());
  EXPECT_EQ(buffer.GetBlockSize(), PassThroughBuffer::kDataOffset + 513);  // 583 on 32-bit
  EXPECT_EQ(HeaderOf(buffer).DataIn, SCSI_IOCTL_DATA_OUT);
  EXPECT_EQ(HeaderOf(buffer).Cdb[0], 0x2A);
  EXPECT_EQ(HeaderOf(buffer).Cdb[5], 100);
  const auto* bytes = static_cast<const std::uint8_t*>(buffer.GetBlock());
  EXPECT_EQ(bytes[PassThroughBuffer::kDataOffset], 0xC3);
  EXPECT_EQ(bytes[PassThroughBuffer::kDataOffset + 511], 0xC3);
  EXPECT_EQ(bytes[PassThroughBuffer::kDataOffset + 512], 0);  // the spare byte
}

TEST_F(PassThroughBufferTest, RequestsThatDoNotFitAreRefused) {
  auto seventeen = test::MakeByteArray(std::vector<std::uint8_t>(17, 0));
  EXPECT_FALSE(PassThroughBuffer(*seventeen, 17, false, 0).IsValid());
  auto six = test::MakeByteArray(std::vector<std::uint8_t>(6, 0));
  EXPECT_FALSE(PassThroughBuffer(*six, 10, false, 0).IsValid());
  auto withPayload = test::MakeByteArray(std::vector<std::uint8_t>(10 + 512, 0));
  EXPECT_FALSE(PassThroughBuffer(*withPayload, 10, true, 256).IsValid());
  machine->FailAllocationsAfter(0);
  EXPECT_FALSE(PassThroughBuffer(*six, 6, false, 96).IsValid());
}

TEST_F(PassThroughBufferTest, BlockIsReleased) {
  CRyScsiInquiry inquiry;
  const std::size_t before = machine->LiveAllocationCount();
  { PassThroughBuffer buffer(inquiry.GetCommandBuffer(), 6, false, 96); }
  EXPECT_EQ(machine->LiveAllocationCount(), before);
}

}  // namespace
