// The format sequence on the emulated player under Windows XP: what it
// writes where, the progress it reports, and how it stops.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/RyStatus.h"
#include "sim/ScsiSense.h"
#include "tests/formatter/FormatBench.h"

namespace {

constexpr std::uint64_t kDriveBytes = 64 * test::FormatBench::kMiB;

class FormatterTest : public ::testing::Test {
 protected:
  sim::SparseBlockStore& Drive() { return *bench.bench->player->GetMedium(); }
  std::vector<std::uint8_t> Sector(std::uint64_t number) {
    return Drive().ReadBytes(number * 512, 512);
  }
  const std::vector<std::string>& Calls() { return bench.bench->owner.progress.calls; }
  bool Called(const std::string& call) {
    return std::find(Calls().begin(), Calls().end(), call) != Calls().end();
  }

  test::FormatBench bench{kDriveBytes};
};

TEST_F(FormatterTest, WritesTheLayoutWhereTheMbrSaysAndZeroesAroundIt) {
  ASSERT_EQ(bench.Format(true), 0);
  const std::vector<std::uint8_t> mbr = Sector(0);
  EXPECT_EQ(mbr[0x1C2], 0x06);
  EXPECT_EQ(mbr[510], 0x55);
  EXPECT_EQ(Sector(1), std::vector<std::uint8_t>(512, 0));  // hidden sectors
  EXPECT_EQ(Sector(31), std::vector<std::uint8_t>(512, 0));
  const std::vector<std::uint8_t> boot = Sector(32);
  EXPECT_EQ(std::string(boot.begin() + 3, boot.begin() + 11), "MSWIN4.1");
  // Reserved 1, two FATs of 255 sectors: the root directory at 32 + 511.
  const std::vector<std::uint8_t> root = Sector(32 + 511);
  EXPECT_EQ(std::string(root.begin(), root.begin() + 11), "K520       ");
  EXPECT_EQ(root[11], 0x08);
  const std::vector<std::uint8_t> fat = Sector(33);
  EXPECT_EQ(std::vector<std::uint8_t>(fat.begin(), fat.begin() + 5),
            (std::vector<std::uint8_t>{0xF8, 0xFF, 0xFF, 0xFF, 0x00}));
}

TEST_F(FormatterTest, ReportsEveryPhaseWithItsChunkSteps) {
  ASSERT_EQ(bench.Format(true), 0);
  // 31 hidden zero sectors, FATs of 255 sectors (128 + 127), 32 root sectors.
  for (const char* call :
       {"BeginPhase(30,2)", "BeginPhase(31,2)", "BeginPhase(29,2)", "BeginPhase(32,2)",
        "BeginPhase(34,4)", "BeginPhase(35,4)", "BeginPhase(44,2)"}) {
    EXPECT_TRUE(Called(call)) << call;
  }
}

TEST_F(FormatterTest, RefusesLabelsBeforeWritingAnything) {
  const std::uint8_t longLabel[12] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L'};
  EXPECT_EQ(bench.Format(true, longLabel, 12), RyStatus::kArgumentOutOfRange);
  EXPECT_EQ(bench.Format(true, longLabel, 0), RyStatus::kVolumeLabelEmpty);
  EXPECT_EQ(Sector(0), std::vector<std::uint8_t>(512, 0xFF));
}

TEST_F(FormatterTest, AReadBackThatDiffersEndsTheFormat) {
  bench.bench->player->Faults().CorruptRead(3, 17);
  EXPECT_EQ(bench.Format(true), RyStatus::kVerifyMismatch);
}

TEST_F(FormatterTest, AFailedCapacityReadEndsBeforeAnyWrite) {
  bench.bench->player->Faults().FailCommand(1, sim::Sense::kDataPhaseError,
                                            sim::CommandFilter::Operation(0x25));
  EXPECT_LT(bench.Format(true), 0);
  EXPECT_EQ(Sector(0), std::vector<std::uint8_t>(512, 0xFF));
}

TEST(FormatterRefusalTest, ADriveTheClusterTableCannotServeIsLeftUnwritten) {
  test::FormatBench small(4 * test::FormatBench::kMiB);
  EXPECT_EQ(small.Format(true), RyStatus::kFileSystemUnsupported);
  EXPECT_EQ(small.bench->player->GetMedium()->ReadBytes(0, 512),
            std::vector<std::uint8_t>(512, 0xFF));
}

}  // namespace
