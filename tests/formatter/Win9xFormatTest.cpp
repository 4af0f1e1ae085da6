// The format sequence on Windows 98: the volume is locked for formatting
// through vwin32, the sectors travel through ASPI, the lock is released.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/RyStatus.h"
#include "device/RyScsi9x.h"
#include "player/RyDataDrive.h"
#include "player/RyFormatter.h"
#include "tests/support/FixedCmdLineProcessor.h"
#include "tests/support/Win98Bench.h"

namespace {

constexpr std::uint8_t kLabel[] = {'K', '5', '2', '0'};

class Win9xFormatTest : public ::testing::TestWithParam<std::int32_t> {
 protected:
  void SetUp() override {
    bench.AttachPlayerVolume();
    transport = std::make_unique<CRyScsi_9x>(&bench.owner, "CRyScsi_9x");
    ASSERT_EQ(transport->FindPlayerDrive(), 0);
    ASSERT_EQ(transport->Open(), 0);
    dataDrive.Attach(transport.get(), &bench.owner, nullptr);
    bench.Vwin32().ClearCalls();
  }

  std::int32_t Format(std::int32_t physical) {
    test::FixedCmdLineProcessor commandLine(0);
    CRyFormatter formatter(&bench.owner, &dataDrive, transport.get(), &commandLine, "CRyFormatter");
    return formatter.Format(physical, kLabel, sizeof kLabel);
  }

  test::Win98Bench bench;
  std::unique_ptr<CRyScsi_9x> transport;
  CRyDataDrive dataDrive{"CRyDataDrive"};
};

TEST_P(Win9xFormatTest, LocksForFormattingWritesThroughAspiAndReleases) {
  const std::int32_t physical = GetParam();
  ASSERT_EQ(Format(physical), 0);
  const std::vector<sim::Vwin32Call> calls = bench.Vwin32().Calls();
  ASSERT_GE(calls.size(), 2u);
  // Lock (4Ah logical, 4Bh physical) with format permission, then unlock.
  const DWORD lock = physical != 0 ? 0x4B : 0x4A;
  EXPECT_EQ(calls.front().in.reg_ECX & 0xFF, lock);
  EXPECT_EQ(calls.front().in.reg_EDX, 4u);
  EXPECT_EQ(calls.back().in.reg_ECX & 0xFF, lock + 0x20);
  EXPECT_TRUE(bench.Vwin32().LogicalLocks(L'E').empty());
  const std::vector<std::uint8_t> mbr = bench.player->GetMedium()->ReadBytes(0, 512);
  EXPECT_EQ(mbr[0x1C2], 0x06);
  EXPECT_EQ(mbr[510], 0x55);
  EXPECT_EQ(mbr[511], 0xAA);
}

INSTANTIATE_TEST_SUITE_P(PhysicalFlag, Win9xFormatTest, ::testing::Values(0, 1));

TEST_F(Win9xFormatTest, ALogicalLockRefusedEndsBeforeAnyWrite) {
  sim::Vwin32Drive busy;
  busy.int13Unit = 0x81;
  busy.refusesLock = true;
  bench.Vwin32().AddDrive(L'E', busy);
  EXPECT_EQ(Format(0), RyStatus::kLockFailed);
  EXPECT_EQ(bench.player->GetMedium()->ReadBytes(0, 512), std::vector<std::uint8_t>(512, 0xFF));
}

}  // namespace
