#include <gtest/gtest.h>

#include "core/RyBaseToCmdLineProcessor.h"
#include "tests/support/RecordingProgress.h"

namespace {

TEST(Progress, ComponentTasksAreShiftedByComponentNumber) {
  struct Case {
    int phase;
    std::uint8_t component;
    const char* expected;
  };
  const Case cases[] = {
      {17, 3, "BeginPhase(20,5)"}, {6, 4, "BeginPhase(10,5)"},  {33, 1, "BeginPhase(34,5)"},
      {4, 3, "BeginPhase(4,5)"},   {28, 2, "BeginPhase(28,5)"}, {16, 1, "BeginPhase(16,5)"},
  };
  for (const Case& c : cases) {
    test::RecordingProgress progress;
    progress.BeginTask(c.phase, 5, c.component);
    EXPECT_EQ(progress.calls, std::vector<std::string>{c.expected}) << "phase " << c.phase;
  }
}

TEST(Progress, OperationSetsAndClearsBusy) {
  test::RecordingProgress progress;
  EXPECT_EQ(progress.IsBusy(), 0);
  EXPECT_EQ(progress.BeginOperation(), 0);
  EXPECT_EQ(progress.IsBusy(), 1);
  progress.EndOperation();
  EXPECT_EQ(progress.IsBusy(), 0);
}

TEST(CmdLineInterface, BaseNeverRequestsFat16) {
  CRyBaseToCmdLineProcessor processor;
  EXPECT_EQ(processor.IsFat16Requested(), 0);
  EXPECT_EQ(processor.GetObjectName(), "CRyBaseToCmdLineProcessor");
}

}  // namespace
