#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/RyConfigInfo.h"
#include "runner/RyEnglishResource.h"
#include "runner/RyTerminalProgress.h"

namespace {

class TerminalProgressTest : public ::testing::Test {
 protected:
  explicit TerminalProgressTest(ProgressStyle style = ProgressStyle::kLines)
      : progress(out, &resource, style) {
    config.SetResource(&resource);
  }

  // A short update: open, write the player component in three chunks, close.
  void RunSequence() {
    progress.BeginOperation();
    progress.SetTotalSteps(4);
    progress.BeginPhase(2, 1);
    progress.Advance(1);
    progress.BeginTask(CRyProgress::kWriteComponentPhase, 3, 3);
    progress.Advance(0);
    progress.Advance(1);
    progress.Advance(1);
    progress.Advance(1);
    progress.BeginPhase(1, 1);
    progress.BeginPhase(CRyTerminalProgress::kSucceededPhase, 1);
    progress.Advance(1);
  }

  CRyConfigInfo config;
  CRyEnglishResource resource{&config};
  std::ostringstream out;
  CRyTerminalProgress progress;
};

TEST_F(TerminalProgressTest, LinesModeWritesOneLinePerPhaseWithAText) {
  RunSequence();
  EXPECT_EQ(out.str(),
            "[ 1/ 4] Opening the player's volume\n"
            "[ 2/ 4] Writing Player\n"
            "[ 4/ 4] Update complete\n");
}

TEST_F(TerminalProgressTest, BarsFollowPhasesAndSteps) {
  RunSequence();
  EXPECT_EQ(progress.OverallRange(), 4);
  EXPECT_EQ(progress.OverallPosition(), 4);
  EXPECT_EQ(progress.PhaseRange(), 1);
  EXPECT_EQ(progress.PhasePosition(), 1);
}

TEST_F(TerminalProgressTest, PhaseBarStopsAtItsRangeAndKeepAliveDoesNotStep) {
  progress.BeginOperation();
  progress.SetTotalSteps(2);
  progress.BeginPhase(5, 2);
  progress.Advance(0);
  EXPECT_EQ(progress.PhasePosition(), 0);
  for (int i = 0; i < 5; ++i) progress.Advance(1);
  EXPECT_EQ(progress.PhasePosition(), 2);
  progress.BeginPhase(45, 1);
  progress.BeginPhase(46, 1);
  EXPECT_EQ(progress.OverallPosition(), 2) << "the overall bar stops at its range";
}

TEST_F(TerminalProgressTest, NothingHappensWhileNotBusy) {
  progress.SetTotalSteps(4);
  progress.BeginPhase(2, 1);
  progress.Advance(1);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(progress.OverallRange(), 0);
  EXPECT_EQ(progress.PhaseRange(), 0);
}

TEST_F(TerminalProgressTest, ComponentsWithoutARowShowNoText) {
  progress.BeginOperation();
  progress.SetTotalSteps(2);
  progress.BeginTask(CRyProgress::kEraseComponentPhase, 1, 5);
  progress.BeginPhase(33, 1);
  EXPECT_EQ(out.str(), "");
}

class QuietProgressTest : public TerminalProgressTest {
 protected:
  QuietProgressTest() : TerminalProgressTest(ProgressStyle::kQuiet) {}
};

TEST_F(QuietProgressTest, PrintsNothingButKeepsCount) {
  RunSequence();
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(progress.OverallPosition(), 4);
}

class BarsProgressTest : public TerminalProgressTest {
 protected:
  BarsProgressTest() : TerminalProgressTest(ProgressStyle::kBars) {}
};

TEST_F(BarsProgressTest, RedrawsInPlaceAndGivesEachPhaseTextItsLine) {
  RunSequence();
  progress.EndLine();
  const std::string text = out.str();
  // Three phase texts, three finished lines; every drawing starts with \r.
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
  EXPECT_EQ(text.front(), '\r');
  EXPECT_NE(text.find("Writing Player"), std::string::npos);
  const std::string last = text.substr(text.rfind('\r'));
  EXPECT_NE(last.find("[########################] [############] Update complete"),
            std::string::npos)
      << last;
}

TEST_F(BarsProgressTest, EndLineOnlyEndsAnOpenLine) {
  progress.EndLine();
  EXPECT_EQ(out.str(), "");
}

}  // namespace
