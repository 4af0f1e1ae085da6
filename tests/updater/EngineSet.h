#pragma once
// The engine as the shell sets it up: configuration, English test texts,
// a recording progress, the command line, the updater, and the carried
// image files put into the program's directory of a simulated machine.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/RyConfigInfo.h"
#include "sim/EmulatedPlayer.h"
#include "sim/Machine.h"
#include "tests/support/FixedCmdLineProcessor.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TableResource.h"
#include "updater/RyUpdater.h"

namespace test {

// What the carried images hold, in component order (rows 1 to 4).
struct CarriedImage {
  const wchar_t* fileName;
  std::uint8_t tag;
  std::vector<std::uint8_t> payload;
};

class EngineSet {
 public:
  static constexpr sim::FirmwareVersion kCarriedProduct{2, 0, 0};
  static constexpr sim::FirmwareVersion kCarriedComponent{2, 1, 0};

  explicit EngineSet(sim::Machine& machine);

  // Every system drive of the player holds its image, FFh after it, and the
  // carried versions.
  bool DrivesHoldImages(const sim::Flash& flash) const;

  std::vector<CarriedImage> images;
  CRyConfigInfo config;
  TableResource resource;
  RecordingProgress progress;
  FixedCmdLineProcessor commandLine{0};
  std::unique_ptr<CRyUpdater> updater;
};

// The player's trace as text, one entry per run of equal commands:
// "C1 23 d2 x16" is sixteen sector writes of drive 2; vendor commands name
// their drive and info type where they have one ("C0 12 d0 t7"), other
// commands only their operation code ("12").
std::vector<std::string> CondensedTrace(const sim::EmulatedPlayer& player);

}  // namespace test
