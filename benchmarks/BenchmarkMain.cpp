// ombra_benchmark: the engine's update throughput beside a plain copy and
// compare, the worst case of the geometry scan, and the heap an update
// needs; a summary against the goals follows Google Benchmark's table.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "benchmarks/Benchmarks.h"
#include "benchmarks/ResultCapture.h"
#include "benchmarks/UpdateMemory.h"

namespace {

// A USB 2.0 high-speed link moves about 40 MB/s; the engine must keep up
// twenty times over.
constexpr double kLinkMegabytesPerSecond = 40.0;
constexpr double kLinkHeadroom = 20.0;
constexpr double kMiB = 1024.0 * 1024.0;
// Peak heap goal: three times the largest image plus 4 MiB.
constexpr double kLargestImageFactor = 3.0;
constexpr double kHeapAllowanceBytes = 4 * kMiB;

const char* Verdict(bool met) { return met ? "met" : "NOT met"; }

bool PrintThroughput(const bench::ResultCapture& results) {
  bench::BenchmarkFigures engine;
  bench::BenchmarkFigures copy;
  if (!results.Find(bench::kEngineUpdate, engine) || !results.Find(bench::kCopyCompare, copy)) {
    std::printf("throughput: not measured (filtered out or failed)\n");
    return false;
  }
  const double goal = kLinkMegabytesPerSecond * kLinkHeadroom;
  std::printf("engine update with verify : %10.1f MB/s (image bytes written and read back)\n",
              engine.megabytesPerSecond);
  std::printf("plain copy and compare    : %10.1f MB/s (the same bytes, 64 KiB chunks)\n",
              copy.megabytesPerSecond);
  std::printf(
      "ratio engine / copy       : %10.4f\n",
      copy.megabytesPerSecond > 0 ? engine.megabytesPerSecond / copy.megabytesPerSecond : 0.0);
  std::printf("goal engine >= %.0f MB/s  : %s\n", goal, Verdict(engine.megabytesPerSecond >= goal));
  return engine.megabytesPerSecond >= goal;
}

void PrintGeometry(const bench::ResultCapture& results) {
  bench::BenchmarkFigures geometry;
  if (!results.Find(bench::kGeometryWorstCase, geometry)) {
    std::printf("ComputeGeometry: not measured (filtered out or failed)\n");
    return;
  }
  std::printf("ComputeGeometry worst case: %10.3f ms (%u sectors)\n",
              geometry.secondsPerIteration * 1e3, bench::GeometryWorstCaseSectors());
}

void PrintPeak(const char* label, double bytes, const bench::UpdateMemory& memory) {
  std::printf("%s: %10.2f MiB = %.3f x largest image, %.3f x all images\n", label, bytes / kMiB,
              bytes / static_cast<double>(memory.largestImage),
              bytes / static_cast<double>(memory.totalImage));
}

bool PrintMemory() {
  const bench::UpdateMemory memory = bench::MeasureUpdateMemory();
  if (memory.connectStatus != 0 || memory.updateStatus != 0) {
    std::printf("peak heap: not measured (connect %d, update %d)\n", memory.connectStatus,
                memory.updateStatus);
    return false;
  }
  const double goal =
      kLargestImageFactor * static_cast<double>(memory.largestImage) + kHeapAllowanceBytes;
  std::printf("images                    : %10.2f MiB in all, largest %.2f MiB\n",
              static_cast<double>(memory.totalImage) / kMiB,
              static_cast<double>(memory.largestImage) / kMiB);
  PrintPeak("peak heap of Update       ", static_cast<double>(memory.updatePeak), memory);
  std::printf("  (above the connected engine, which holds %.2f MiB)\n",
              static_cast<double>(memory.heldAfterConnect) / kMiB);
  PrintPeak("peak heap, connect+Update ", static_cast<double>(memory.SessionPeak()), memory);
  std::printf("goal peak < %.2f MiB    : Update %s, connect+Update %s\n", goal / kMiB,
              Verdict(static_cast<double>(memory.updatePeak) < goal),
              Verdict(static_cast<double>(memory.SessionPeak()) < goal));
  return static_cast<double>(memory.updatePeak) < goal;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::RegisterUpdateBenchmarks();
  bench::RegisterGeometryBenchmark();
  bench::ResultCapture results;
  benchmark::RunSpecifiedBenchmarks(&results);
  benchmark::Shutdown();

  std::printf("\n=== summary (MB = 10^6 bytes, MiB = 2^20 bytes)\n");
  const bool fastEnough = PrintThroughput(results);
  PrintGeometry(results);
  const bool smallEnough = PrintMemory();
  // The figures are the result; a missed goal is reported, not an error.
  std::printf("goals: throughput %s, peak heap %s\n", Verdict(fastEnough), Verdict(smallEnough));
  return 0;
}
