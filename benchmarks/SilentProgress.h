#pragma once
// A progress interface that shows nothing: the benchmark measures the
// engine, not a display.

#include "core/RyProgress.h"

namespace bench {

class SilentProgress : public CRyProgress {
 public:
  SilentProgress() : CRyProgress("CRyProgress") {}

  void SetTotalSteps(int) override {}
  void BeginPhase(int, int) override {}
  int Advance(int) override { return 0; }
  void AdvanceTotal() override {}
};

}  // namespace bench
