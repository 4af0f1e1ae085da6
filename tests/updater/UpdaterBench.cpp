#include "tests/updater/UpdaterBench.h"

namespace test {

PlayerBenchOptions UpdaterBench::DefaultOptions() {
  constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
  PlayerBenchOptions options;
  options.systemDriveSize = kMiB;
  options.player.flashSizeInBytes = 32 * kMiB;
  return options;
}

UpdaterBench::UpdaterBench(const PlayerBenchOptions& options)
    : bench(options), engine(*bench.machine) {}

std::vector<std::uint8_t> UpdaterBench::DataDriveBytes() const {
  const sim::FlashDrive* drive = bench.player->GetFlash().DataDrive();
  return drive != nullptr ? drive->content.ReadBytes(0, drive->SizeInBytes())
                          : std::vector<std::uint8_t>{};
}

}  // namespace test
