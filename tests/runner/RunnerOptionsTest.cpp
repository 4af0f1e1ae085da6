#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner/FaultOption.h"
#include "runner/RunnerOptions.h"

namespace {

struct BadArgs {
  std::vector<std::string> args;
  const char* messagePart;
};

class RunnerOptionsRejectTest : public ::testing::TestWithParam<BadArgs> {};

TEST_P(RunnerOptionsRejectTest, RefusesWithAMessageThatNamesTheProblem) {
  RunnerOptions options;
  std::string error;
  EXPECT_EQ(ParseRunnerOptions(GetParam().args, options, error), 2);
  EXPECT_NE(error.find(GetParam().messagePart), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Options, RunnerOptionsRejectTest,
    ::testing::Values(
        BadArgs{{}, "--images DIR is required"},
        BadArgs{{"--images", "d", "--frobnicate"}, "unknown option '--frobnicate'"},
        BadArgs{{"--images"}, "--images needs a value"},
        BadArgs{{"--images", "d", "--state", "broken"}, "unknown --state 'broken'"},
        BadArgs{{"--images", "d", "--mode", "maybe"}, "unknown --mode"},
        BadArgs{{"--images", "d", "--rounds", "0"}, "--rounds needs a number from 1 to 100"},
        BadArgs{{"--images", "d", "--rounds", "101"}, "--rounds"},
        BadArgs{{"--images", "d", "--rounds", "-3"}, "--rounds"},
        BadArgs{{"--images", "d", "--flash-mib", "3"}, "--flash-mib"},
        BadArgs{{"--images", "d", "--flash-mib", "12x"}, "--flash-mib"},
        BadArgs{{"--images", "d", "--flash-mib", "99999999999999999999999"}, "--flash-mib"},
        BadArgs{{"--images", "d", "--progress", "fancy"}, "unknown --progress"},
        BadArgs{{"--images", "d", "--state", "older", "--load-flash", "f"},
                "--load-flash and --state exclude each other"},
        BadArgs{{"--images", "d", "--fault", "fail"}, "expected KIND:N"},
        BadArgs{{"--images", "d", "--fault", "melt:1"}, "unknown kind 'melt'"},
        BadArgs{{"--images", "d", "--fault", "fail:0"}, "N must be a number from 1"},
        BadArgs{{"--images", "d", "--fault", "fail:x"}, "N must be"},
        BadArgs{{"--images", "d", "--fault", "fail:1:C1/2F/3"}, "FILTER"},
        BadArgs{{"--images", "d", "--fault", "fail:1:1FF"}, "FILTER"},
        BadArgs{{"--images", "d", "--fault", "fail:1:*:10000"}, "bad VALUE"},
        BadArgs{{"--images", "d", "--fault", "vanish:1:*:5"}, "bad VALUE"},
        BadArgs{{"--images", "d", "--fault", "fail:1:*:0:9"}, "expected KIND:N"},
        BadArgs{{"--images", "d", "--recovery-fault", "late"}, "--recovery-fault"},
        BadArgs{{"--images", "d", "--recovery-fault", "never:x"}, "--recovery-fault"}));

TEST(RunnerOptionsTest, HelpNeedsNoImageDirectory) {
  RunnerOptions options;
  std::string error;
  EXPECT_EQ(ParseRunnerOptions({"--help"}, options, error), 0);
  EXPECT_TRUE(options.showUsage);
}

TEST(RunnerOptionsTest, TakesEveryValueAndFlag) {
  RunnerOptions options;
  std::string error;
  ASSERT_EQ(
      ParseRunnerOptions(
          {"--images", "img",          "--player-images", "old",         "--state", "small",
           "--mode",   "keep-data",    "--fat16",         "--flash-mib", "64",      "--rounds",
           "5",        "--save-flash", "f.bin",           "--save-data", "d.img",   "--quiet",
           "--fault",  "corrupt:2",    "--fault",         "delay:1"},
          options, error),
      0)
      << error;
  EXPECT_EQ(options.imageDirectory, "img");
  EXPECT_EQ(options.playerImageDirectory, "old");
  EXPECT_EQ(options.state, PlayerState::kSmall);
  EXPECT_EQ(options.choice, UpdateChoice::kKeepData);
  EXPECT_TRUE(options.fat16);
  EXPECT_EQ(options.flashMiB, 64u);
  EXPECT_EQ(options.searchRounds, 5u);
  EXPECT_EQ(options.saveFlashPath, "f.bin");
  EXPECT_EQ(options.saveDataPath, "d.img");
  EXPECT_TRUE(options.progressGiven);
  EXPECT_EQ(options.progress, ProgressStyle::kQuiet);
  EXPECT_EQ(options.faults.size(), 2u);
}

TEST(RunnerOptionsTest, RecoveryStateIsABlankPlayerInRecoveryMode) {
  RunnerOptions options;
  std::string error;
  ASSERT_EQ(ParseRunnerOptions({"--images", "d", "--state", "recovery"}, options, error), 0);
  EXPECT_TRUE(options.recovery);
  EXPECT_EQ(options.state, PlayerState::kBlank);
}

TEST(RunnerOptionsTest, LoadFlashMakesTheSavedState) {
  RunnerOptions options;
  std::string error;
  ASSERT_EQ(ParseRunnerOptions({"--images", "d", "--load-flash", "f"}, options, error), 0);
  EXPECT_EQ(options.state, PlayerState::kSaved);
  EXPECT_EQ(options.loadFlashPath, "f");
}

struct FaultCase {
  const char* text;
  sim::FaultKind kind;
  std::uint32_t nth;
  bool persistent;
  int operationCode;  // -1: any
  int subCommand;     // -1: any
  bool executeFirst;
};

class FaultOptionTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultOptionTest, ParsesKindCountAndFilter) {
  const FaultCase& c = GetParam();
  sim::Fault fault;
  std::string error;
  ASSERT_TRUE(ParseFaultOption(c.text, fault, error)) << error;
  EXPECT_EQ(fault.kind, c.kind);
  EXPECT_EQ(fault.nth, c.nth);
  EXPECT_EQ(fault.persistent, c.persistent);
  EXPECT_EQ(fault.executeFirst, c.executeFirst);
  EXPECT_EQ(fault.filter.operationCode.has_value(), c.operationCode >= 0);
  if (c.operationCode >= 0) {
    EXPECT_EQ(*fault.filter.operationCode, c.operationCode);
  }
  EXPECT_EQ(fault.filter.subCommand.has_value(), c.subCommand >= 0);
  if (c.subCommand >= 0) {
    EXPECT_EQ(*fault.filter.subCommand, c.subCommand);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultOptionTest,
    ::testing::Values(
        FaultCase{"fail:3", sim::FaultKind::kFail, 3, false, -1, -1, false},
        FaultCase{"fail-after:1:c1/23", sim::FaultKind::kFail, 1, false, 0xC1, 0x23, true},
        FaultCase{"corrupt:2+", sim::FaultKind::kCorruptRead, 2, true, -1, -1, false},
        FaultCase{"short:4:C0", sim::FaultKind::kShortAnswer, 4, false, 0xC0, -1, false},
        FaultCase{"vanish:40:*", sim::FaultKind::kDisappear, 40, false, -1, -1, false},
        FaultCase{"delay:7:28", sim::FaultKind::kDelay, 7, false, 0x28, -1, false}));

TEST(FaultOptionTest, ValuesGoWhereTheKindNeedsThem) {
  sim::Fault fault;
  std::string error;
  ASSERT_TRUE(ParseFaultOption("fail:1:C1/2F:0402", fault, error));
  EXPECT_EQ(fault.sense, sim::SenseData::Vendor(0x0402));
  ASSERT_TRUE(ParseFaultOption("corrupt:1:*:513", fault, error));
  EXPECT_EQ(fault.corruptOffset, 513u);
  ASSERT_TRUE(ParseFaultOption("short:1:*:6", fault, error));
  EXPECT_EQ(fault.answerLength, 6u);
  ASSERT_TRUE(ParseFaultOption("delay:1:*:2500", fault, error));
  EXPECT_EQ(fault.delayMilliseconds, 2500u);
}

TEST(FaultOptionTest, RecoveryFaultTakesItsWriteIndex) {
  RecoveryFaultOption option;
  std::string error;
  ASSERT_TRUE(ParseRecoveryFaultOption("never:3", option, error));
  EXPECT_EQ(option.fault, sim::RecoveryFault::kNeverComplete);
  EXPECT_EQ(option.writeIndex, 3u);
  ASSERT_TRUE(ParseRecoveryFaultOption("refuse", option, error));
  EXPECT_EQ(option.fault, sim::RecoveryFault::kRefuseWrite);
  EXPECT_EQ(option.writeIndex, 0u);
}

}  // namespace
