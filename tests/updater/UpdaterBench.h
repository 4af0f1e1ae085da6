#pragma once
// The engine on a simulated Windows XP machine with the emulated player on
// E: holding older firmware in drives of 1 MiB.

#include <cstdint>
#include <vector>

#include "tests/support/PlayerBench.h"
#include "tests/updater/EngineSet.h"

namespace test {

class UpdaterBench {
 public:
  explicit UpdaterBench(const PlayerBenchOptions& options = DefaultOptions());
  static PlayerBenchOptions DefaultOptions();

  sim::EmulatedPlayer& Player() { return *bench.player; }
  sim::Flash& Flash() { return bench.player->GetFlash(); }
  CRyUpdater& Updater() { return *engine.updater; }

  bool DrivesHoldImages() const { return engine.DrivesHoldImages(bench.player->GetFlash()); }
  std::vector<std::string> CondensedTrace() const { return test::CondensedTrace(*bench.player); }
  // The whole data drive, for before-and-after comparisons.
  std::vector<std::uint8_t> DataDriveBytes() const;

  PlayerBench bench;
  EngineSet engine;
};

}  // namespace test
