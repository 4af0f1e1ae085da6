// The engine's update with verify against the emulated player, and a plain
// copy-and-compare of the same bytes in the same chunks, as its yardstick.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "benchmarks/Benchmarks.h"
#include "benchmarks/UpdateScene.h"
#include "player/RyDriveChunks.h"

namespace bench {

namespace {

void ReportTransferred(benchmark::State& state, std::uint64_t bytesPerIteration) {
  const auto total =
      static_cast<double>(bytesPerIteration) * static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(total));
  state.counters[kMegabytesPerSecond] =
      benchmark::Counter(total / 1e6, benchmark::Counter::kIsRate);
  state.counters["bytes_per_iteration"] = static_cast<double>(bytesPerIteration);
}

void Fail(benchmark::State& state, const char* step, std::int32_t status) {
  const std::string message = std::string(step) + " returned status " + std::to_string(status);
  state.SkipWithError(message.c_str());
}

void EngineUpdate(benchmark::State& state) {
  UpdateScene scene;
  for (auto _ : state) {
    // The dialog reconnects before every update; only the update is timed.
    scene.ClearTrace();
    if (const std::int32_t connected = scene.Connect(); connected != 0) {
      Fail(state, "ConnectUsbDevice", connected);
      break;
    }
    const auto start = std::chrono::steady_clock::now();
    const std::int32_t updated = scene.Update();
    const auto stop = std::chrono::steady_clock::now();
    if (updated != 0) {
      Fail(state, "Update", updated);
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
  }
  ReportTransferred(state, 2 * scene.WrittenBytes());
}

// Calls visit(offset, length) for each chunk of an image, as the engine cuts it.
template <typename Visit>
void ForEachChunk(std::size_t size, Visit visit) {
  for (std::size_t offset = 0; offset < size; offset += DriveChunks::kChunkBytes) {
    visit(offset, std::min<std::size_t>(DriveChunks::kChunkBytes, size - offset));
  }
}

void CopyCompare(benchmark::State& state) {
  const UpdateScene scene;
  const std::vector<std::vector<std::uint8_t>>& images = scene.SectorImages();
  std::vector<std::vector<std::uint8_t>> drives;
  for (const std::vector<std::uint8_t>& image : images) drives.emplace_back(image.size());
  for (auto _ : state) {
    bool same = true;
    for (std::size_t i = 0; i < images.size(); ++i) {
      const std::uint8_t* source = images[i].data();
      std::uint8_t* target = drives[i].data();
      ForEachChunk(images[i].size(), [&](std::size_t offset, std::size_t length) {
        std::memcpy(target + offset, source + offset, length);
      });
      benchmark::ClobberMemory();
      ForEachChunk(images[i].size(), [&](std::size_t offset, std::size_t length) {
        same = same && std::memcmp(target + offset, source + offset, length) == 0;
      });
    }
    benchmark::DoNotOptimize(same);
    if (!same) {
      state.SkipWithError("the copy differs from its source");
      break;
    }
  }
  ReportTransferred(state, 2 * scene.WrittenBytes());
}

}  // namespace

void RegisterUpdateBenchmarks() {
  benchmark::RegisterBenchmark(kEngineUpdate, EngineUpdate)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark(kCopyCompare, CopyCompare)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
}

}  // namespace bench
