#pragma once
// The progress interface of an object's owner, for the engine's objects that
// report steps. The owner may show no progress (tests, a shell without a
// window), so every call checks for the interface first.

#include <cstdint>

#include "core/RyProgress.h"
#include "device/RyDeviceOwner.h"

class OwnerProgress {
 public:
  explicit OwnerProgress(CRyDeviceOwner* owner) : owner(owner) {}

  void SetTotalSteps(int count) const {
    if (CRyProgress* progress = Get()) progress->SetTotalSteps(count);
  }
  void BeginTask(int phase, int steps, std::uint8_t componentNumber) const {
    if (CRyProgress* progress = Get()) progress->BeginTask(phase, steps, componentNumber);
  }
  void BeginPhase(int phase, int steps) const {
    if (CRyProgress* progress = Get()) progress->BeginPhase(phase, steps);
  }
  void Advance(int steps) const {
    if (CRyProgress* progress = Get()) progress->Advance(steps);
  }

 private:
  CRyProgress* Get() const { return owner != nullptr ? owner->GetProgress() : nullptr; }

  CRyDeviceOwner* owner;  // not owned
};
