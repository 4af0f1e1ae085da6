// ComputeGeometry at its worst: a sector count below the CHS limit that no
// cylinder, head and sector product meets, so nothing ends the scan early.

#include <benchmark/benchmark.h>

#include "benchmarks/Benchmarks.h"
#include "player/RyChs.h"

namespace bench {

namespace {

bool IsPrime(std::uint32_t n) {
  if (n < 2) return false;
  for (std::uint32_t divisor = 2; divisor <= n / divisor; ++divisor) {
    if (n % divisor == 0) return false;
  }
  return true;
}

void GeometryWorstCase(benchmark::State& state) {
  const std::uint32_t sectors = GeometryWorstCaseSectors();
  ChsGeometry geometry;
  if (const std::int32_t result = ComputeGeometry(sectors, geometry); result != 0) {
    state.SkipWithError("ComputeGeometry found no geometry");
    return;
  }
  for (auto _ : state) {
    std::int32_t result = ComputeGeometry(sectors, geometry);
    benchmark::DoNotOptimize(result);
    benchmark::DoNotOptimize(geometry);
  }
  state.counters["sectors"] = sectors;
  state.counters["capacity"] = geometry.Capacity();
}

}  // namespace

std::uint32_t GeometryWorstCaseSectors() {
  // Above 1024 a prime is no product of at most 1024, 256 and 63.
  std::uint32_t sectors = kChsSectorLimit - 1;
  while (!IsPrime(sectors)) --sectors;
  return sectors;
}

void RegisterGeometryBenchmark() {
  benchmark::RegisterBenchmark(kGeometryWorstCase, GeometryWorstCase)
      ->Unit(benchmark::kMillisecond);
}

}  // namespace bench
