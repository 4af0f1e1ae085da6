#pragma once
// The engine as the shell sets it up, on a simulated Windows XP machine with
// the emulated player on E: and no device latency. The player's system
// drives are sized to the carried images, so an update writes and reads
// back exactly the image bytes in whole sectors, and they are filled with
// older content, so that the emulated flash already holds every page an
// update writes and does not grow while one runs.

#include <cstdint>
#include <memory>
#include <vector>

#include "app/RyConfigInfo.h"
#include "benchmarks/SilentProgress.h"
#include "sim/EmulatedPlayer.h"
#include "sim/Machine.h"
#include "tests/support/FixedCmdLineProcessor.h"
#include "tests/support/TableResource.h"
#include "updater/RyUpdater.h"

namespace bench {

class UpdateScene {
 public:
  UpdateScene();

  // The status of ConnectUsbDevice and of Update, as the main dialog calls them.
  std::int32_t Connect() { return updater->ConnectUsbDevice(); }
  std::int32_t Update() { return updater->Update(); }
  // The player's command trace grows with every update.
  void ClearTrace() { player->ClearTrace(); }

  // Each image as the engine writes it: padded with FFh to whole sectors.
  const std::vector<std::vector<std::uint8_t>>& SectorImages() const { return sectorImages; }
  // Bytes one update writes; it reads as many back.
  std::uint64_t WrittenBytes() const;
  std::uint64_t TotalImageBytes() const { return totalImageBytes; }
  std::uint64_t LargestImageBytes() const { return largestImageBytes; }

 private:
  void PutImageFiles(const std::vector<std::vector<std::uint8_t>>& payloads);
  void InstallOlderFirmware();

  // Declared first: the updater's handles must close before the machine goes.
  sim::ScopedMachine machine;
  std::shared_ptr<sim::EmulatedPlayer> player;
  std::vector<std::vector<std::uint8_t>> sectorImages;
  std::uint64_t totalImageBytes = 0;
  std::uint64_t largestImageBytes = 0;

  CRyConfigInfo config;
  test::TableResource resource;
  SilentProgress progress;
  test::FixedCmdLineProcessor commandLine{0};
  std::unique_ptr<CRyUpdater> updater;
};

}  // namespace bench
