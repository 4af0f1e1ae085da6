// Every device command of an update, and every read-back, failing in turn.
// Whatever fails, the engine reports success only when the player's drives
// hold exactly the images, and it always releases the volume it opened.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/RyStatus.h"
#include "tests/updater/UpdaterBench.h"

namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

struct Sequence {
  const char* name;
  std::int32_t (CRyUpdater::*run)();
  bool keepsDataArea;
};

const Sequence kSequences[] = {{"Update", &CRyUpdater::Update, true},
                               {"UpdateAndFormat", &CRyUpdater::UpdateAndFormat, false}};

// A small player, so that hundreds of runs stay quick: 1 MiB system
// drives and 8 MiB of data drive (enough for FAT16).
test::PlayerBenchOptions SmallPlayer() {
  test::PlayerBenchOptions options = test::UpdaterBench::DefaultOptions();
  options.player.flashSizeInBytes = 12 * kMiB;
  return options;
}

struct Outcome {
  std::int32_t result = 0;
  std::size_t commands = 0;
  // Numbers (from 1, among all sector reads) of the reads that check what
  // the engine wrote: the verify pass of the system drives and the sector
  // read straight after a write of the same sectors. The system's own
  // read-modify-write of the partition table (a read, then a write of the
  // same sectors) checks nothing.
  std::vector<std::uint32_t> readBacks;
  std::size_t openHandles = 0;
};

bool IsWrite(const sim::CommandRecord& command) {
  return command.operationCode == 0x2A || command.source == sim::CommandSource::kFileWrite;
}

bool SameSectors(const sim::CommandRecord& a, const sim::CommandRecord& b) {
  return a.firstSector == b.firstSector && a.sectorCount == b.sectorCount;
}

std::vector<std::uint32_t> ReadBacks(const std::vector<sim::CommandRecord>& trace) {
  std::vector<std::uint32_t> readBacks;
  std::uint32_t reads = 0;
  for (std::size_t i = 0; i < trace.size(); ++i) {
    if (!trace[i].readsSectors) continue;
    ++reads;
    const bool verifyPass = trace[i].operationCode == 0xC0;
    const bool afterItsWrite =
        i > 0 && IsWrite(trace[i - 1]) && SameSectors(trace[i - 1], trace[i]);
    const bool writeWasModifyWrite =
        i > 1 && trace[i - 2].readsSectors && SameSectors(trace[i - 2], trace[i - 1]);
    if (afterItsWrite && writeWasModifyWrite) continue;
    if (verifyPass || afterItsWrite) readBacks.push_back(reads);
  }
  return readBacks;
}

class FaultMatrixTest : public ::testing::TestWithParam<Sequence> {
 protected:
  // Connects, arms the fault, runs the sequence and checks what must hold
  // in every run.
  Outcome Run(const std::function<void(sim::FaultPlan&)>& arm) {
    test::UpdaterBench bench(SmallPlayer());
    Outcome outcome;
    EXPECT_EQ(bench.Updater().ConnectUsbDevice(), 0);
    const std::vector<std::uint8_t> dataBefore = bench.DataDriveBytes();
    bench.Player().ClearTrace();
    arm(bench.Player().Faults());
    outcome.result = (bench.Updater().*GetParam().run)();
    if (outcome.result == RyStatus::kSuccess) {
      EXPECT_TRUE(bench.DrivesHoldImages()) << "success reported over wrong drive contents";
    }
    EXPECT_FALSE(bench.bench.machine->IsVolumeLocked(L'E'));
    if (GetParam().keepsDataArea) {
      EXPECT_EQ(bench.DataDriveBytes(), dataBefore) << "the data area changed";
    }
    const std::vector<sim::CommandRecord> trace = bench.Player().Trace();
    outcome.readBacks = ReadBacks(trace);
    outcome.commands = trace.size();
    outcome.openHandles = bench.bench.machine->OpenHandleCount();
    return outcome;
  }
};

TEST_P(FaultMatrixTest, AFailedCommandAnywhereIsNeverReportedAsSuccess) {
  const Outcome clean = Run([](sim::FaultPlan&) {});
  ASSERT_EQ(clean.result, 0);
  for (std::uint32_t nth = 1; nth <= clean.commands; ++nth) {
    SCOPED_TRACE("command " + std::to_string(nth) + " of " + std::to_string(clean.commands));
    const Outcome outcome = Run(
        [nth](sim::FaultPlan& faults) { faults.FailCommand(nth, sim::Sense::kDataPhaseError); });
    // Every handle the sequence opened is closed again.
    EXPECT_EQ(outcome.openHandles, clean.openHandles);
  }
}

TEST_P(FaultMatrixTest, ACorruptedReadBackAnywhereGivesMismatch) {
  const Outcome clean = Run([](sim::FaultPlan&) {});
  ASSERT_FALSE(clean.readBacks.empty());
  for (const std::uint32_t nth : clean.readBacks) {
    SCOPED_TRACE("sector read " + std::to_string(nth));
    const Outcome outcome =
        Run([nth](sim::FaultPlan& faults) { faults.CorruptRead(nth, nth * 977); });
    EXPECT_EQ(outcome.result, RyStatus::kVerifyMismatch);
    EXPECT_EQ(outcome.openHandles, clean.openHandles);
  }
}

INSTANTIATE_TEST_SUITE_P(Sequences, FaultMatrixTest, ::testing::ValuesIn(kSequences),
                         [](const ::testing::TestParamInfo<Sequence>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
