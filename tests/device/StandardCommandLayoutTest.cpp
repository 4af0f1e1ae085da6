// CDB bytes, data lengths and direction of the standard commands.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/RyStatus.h"
#include "device/RyReadCapacity.h"
#include "device/RyReadWrite.h"
#include "device/RyScsiInquiry.h"
#include "tests/support/CommandExchange.h"

namespace {

struct LayoutCase {
  std::function<std::unique_ptr<CRyScsiCommand>()> make;
  test::CommandLayout expected;
};

const LayoutCase kLayoutCases[] = {
    {[] { return std::make_unique<CRyScsiInquiry>(); },
     {"CRyScsiInquiry", 0, {0x12, 0, 0, 0, 0x60, 0}, 96, 0, 0}},
    {[] { return std::make_unique<CRyReadCapacity>(); },
     {"CRyReadCapacity", 0, {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 8, 0, 0}},
    {[] { return std::make_unique<CRyRead>(0x12345678, 3, 512); },
     {"CRyRead", 0, {0x28, 0, 0x12, 0x34, 0x56, 0x78, 0, 0, 0x03, 0}, 1536, 0, 0}},
    {[] { return std::make_unique<CRyWrite>(100, 1, 512); },
     {"CRyWrite", 0, {0x2A, 0, 0, 0, 0, 0x64, 0, 0, 0x01, 0}, 0, 512, 1}},
    // The CDB holds only the low 16 bits of the count; callers stay below.
    {[] { return std::make_unique<CRyRead>(0, 65536, 512); },
     {"CRyRead", 0, {0x28, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 65536u * 512, 0, 0}},
    {[] { return std::make_unique<CRyWrite>(0xFEDCBA98, 0x1234, 1); },
     {"CRyWrite", 0, {0x2A, 0, 0xFE, 0xDC, 0xBA, 0x98, 0, 0x12, 0x34, 0}, 0, 0x1234, 1}},
};

TEST(StandardCommandLayoutTest, BuildsItsCdbAndDataPhase) {
  for (const LayoutCase& layoutCase : kLayoutCases) {
    const std::unique_ptr<CRyScsiCommand> command = layoutCase.make();
    EXPECT_EQ(test::LayoutOf(*command), layoutCase.expected);
  }
}

TEST(StandardCommandLayoutTest, WriteBufferHoldsCdbAndPayload) {
  CRyWrite command(100, 1, 512);
  EXPECT_EQ(command.GetCommandBuffer().GetCount(), 522u);
}

TEST(StandardCommandLayoutTest, BlockTransferThatDoesNotFit32BitsIsRefused) {
  CRyRead read(0, 0x10000, 0x10000);
  CRyWrite write(0, 0x10000, 0x10000);
  EXPECT_EQ(read.GetStatus(), RyStatus::kFailed);
  EXPECT_EQ(read.GetDataInLength(), 0u);
  EXPECT_EQ(write.GetStatus(), RyStatus::kFailed);
  EXPECT_EQ(write.GetDataOutLength(), 0u);
}

}  // namespace
