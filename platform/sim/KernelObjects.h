#pragma once
// Kernel objects of the simulated machine. Their state is guarded by the
// owning machine's state mutex.

#include "os/Win32Types.h"

namespace sim {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
  virtual bool IsSignaled() const = 0;
  // Called when a wait is satisfied by this object.
  virtual void OnWaitSatisfied() {}
  // Called once its handle is closed, without the machine's state mutex.
  virtual void OnClose() {}
};

class Event : public KernelObject {
 public:
  Event(bool manualReset, bool signaled) : manualReset(manualReset), signaled(signaled) {}
  bool IsSignaled() const override { return signaled; }
  void OnWaitSatisfied() override {
    if (!manualReset) signaled = false;
  }
  void Set() { signaled = true; }
  void Reset() { signaled = false; }

 private:
  bool manualReset;
  bool signaled;
};

class Thread : public KernelObject {
 public:
  bool IsSignaled() const override { return finished; }
  void Finish(DWORD code) {
    exitCode = code;
    finished = true;
  }
  DWORD ExitCode() const { return finished ? exitCode : STILL_ACTIVE; }

 private:
  bool finished = false;
  DWORD exitCode = 0;
};

}  // namespace sim
