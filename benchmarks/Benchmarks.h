#pragma once
// The benchmarks of the program, by the names they are reported under.

#include <cstdint>

namespace bench {

inline constexpr char kEngineUpdate[] = "engine_update_with_verify";
inline constexpr char kCopyCompare[] = "copy_and_compare";
inline constexpr char kGeometryWorstCase[] = "compute_geometry_worst_case";

// A decimal rate counter (10^6 bytes per second) beside Google Benchmark's
// own binary one.
inline constexpr char kMegabytesPerSecond[] = "MB";

void RegisterUpdateBenchmarks();
void RegisterGeometryBenchmark();

// The largest prime below the CHS limit: no cylinder, head and sector
// product equals it, so the geometry scan visits every candidate.
std::uint32_t GeometryWorstCaseSectors();

}  // namespace bench
