#include "tests/support/RecordingProgress.h"

namespace test {

void RecordingProgress::SetTotalSteps(int count) {
  calls.push_back("SetTotalSteps(" + std::to_string(count) + ")");
}

void RecordingProgress::BeginPhase(int phase, int steps) {
  calls.push_back("BeginPhase(" + std::to_string(phase) + "," + std::to_string(steps) + ")");
}

int RecordingProgress::Advance(int steps) {
  if (steps == 0) {
    ++keepAliveCount;
  } else {
    calls.push_back("Advance(" + std::to_string(steps) + ")");
  }
  return 0;
}

void RecordingProgress::AdvanceTotal() { calls.push_back("AdvanceTotal()"); }

}  // namespace test
