#pragma once
// What the runner is asked to do, parsed from its command line.

#include <cstdint>
#include <string>
#include <vector>

#include "runner/RyTerminalProgress.h"
#include "sim/FaultPlan.h"
#include "sim/RecoveryDriver.h"

// The player's flash at the start of a run.
enum class PlayerState {
  kCurrent,     // the system drives hold the carried images
  kOlder,       // they hold older firmware
  kBlank,       // erased flash: no table, no drives
  kUnreadable,  // a logical table the player cannot read until it is cut anew
  kSmall,       // system drives too small for the carried images
  kSaved,       // a saved flash image
  kAbsent,      // no player attached at all
};

// Which update runs: the main dialog's choice, or one forced.
enum class UpdateChoice { kAsDialog, kKeepData, kFormat };

struct RecoveryFaultOption {
  sim::RecoveryFault fault = sim::RecoveryFault::kNone;
  std::size_t writeIndex = 0;
};

struct RunnerOptions {
  std::string imageDirectory;        // the carried images
  std::string playerImageDirectory;  // what an older or current player holds
  PlayerState state = PlayerState::kOlder;
  std::string loadFlashPath;  // kSaved
  // The player starts in recovery mode; it comes back with state's flash.
  bool recovery = false;
  UpdateChoice choice = UpdateChoice::kAsDialog;
  bool fat16 = false;
  std::uint32_t flashMiB = 32;
  std::uint32_t searchRounds = 3;
  std::vector<sim::Fault> faults;
  RecoveryFaultOption recoveryFault;
  std::string saveFlashPath;
  std::string saveDataPath;
  bool showUsage = false;
  // Chosen by the program from its output when not given.
  bool progressGiven = false;
  ProgressStyle progress = ProgressStyle::kLines;
};

// 0, or 2 with a message in error.
int ParseRunnerOptions(const std::vector<std::string>& args, RunnerOptions& options,
                       std::string& error);

std::string RunnerUsage();
