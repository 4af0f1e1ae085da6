#include "benchmarks/ResultCapture.h"

#include "benchmarks/Benchmarks.h"

namespace bench {

void ResultCapture::ReportRuns(const std::vector<Run>& runs) {
  benchmark::ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
    BenchmarkFigures figures;
    figures.secondsPerIteration = run.real_accumulated_time / static_cast<double>(run.iterations);
    const auto rate = run.counters.find(kMegabytesPerSecond);
    if (rate != run.counters.end()) figures.megabytesPerSecond = rate->second.value;
    // With repetitions, the last one stands.
    figuresByName[run.run_name.function_name] = figures;
  }
}

bool ResultCapture::Find(const std::string& name, BenchmarkFigures& figures) const {
  const auto found = figuresByName.find(name);
  if (found == figuresByName.end()) return false;
  figures = found->second;
  return true;
}

}  // namespace bench
