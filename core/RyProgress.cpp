#include "core/RyProgress.h"

#include "core/RyStatus.h"

CRyProgress::CRyProgress(const char* /*name*/) {}

CRyProgress::~CRyProgress() = default;

void CRyProgress::BeginTask(int phase, int steps, std::uint8_t componentNumber) {
  if (phase == kEraseComponentPhase || phase == kWriteComponentPhase ||
      phase == kWriteFatCopyPhase) {
    phase += componentNumber;
  }
  BeginPhase(phase, steps);
}

void CRyProgress::ShowSearching() {}

std::int32_t CRyProgress::BeginOperation() {
  busy = 1;
  return RyStatus::kSuccess;
}

void CRyProgress::EndOperation() { busy = 0; }
