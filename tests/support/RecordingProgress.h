#pragma once
// A progress interface that records every call, for tests of the engine.

#include <string>
#include <vector>

#include "core/RyProgress.h"

namespace test {

class RecordingProgress : public CRyProgress {
 public:
  RecordingProgress() : CRyProgress("CRyProgress") {}

  void SetTotalSteps(int count) override;
  void BeginPhase(int phase, int steps) override;
  int Advance(int steps) override;
  void AdvanceTotal() override;

  // Calls in order, e.g. "SetTotalSteps(4)", "BeginPhase(20,5)", "Advance(1)".
  std::vector<std::string> calls;
  // Advance(0) is how transports keep the shell alive; counted, not listed.
  int keepAliveCount = 0;
};

}  // namespace test
