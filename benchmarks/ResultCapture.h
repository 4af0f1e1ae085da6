#pragma once
// The console reporter that also keeps each benchmark's figures, for the
// summary printed after the runs.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace bench {

struct BenchmarkFigures {
  double secondsPerIteration = 0;
  double megabytesPerSecond = 0;  // 0 when the benchmark moves no bytes
};

class ResultCapture : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;

  // False when the benchmark did not run or failed.
  bool Find(const std::string& name, BenchmarkFigures& figures) const;

 private:
  std::map<std::string, BenchmarkFigures> figuresByName;
};

}  // namespace bench
