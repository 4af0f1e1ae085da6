#pragma once
// How the engine reports progress to the shell. The shell implements it (the
// main dialog, the search window); tests use their own implementations.

#include <cstdint>

class CRyProgress {
 public:
  // The name is accepted for symmetry with the object model and not kept.
  explicit CRyProgress(const char* name);
  virtual ~CRyProgress();
  CRyProgress(const CRyProgress&) = delete;
  CRyProgress& operator=(const CRyProgress&) = delete;

  virtual void SetTotalSteps(int count) = 0;
  // The per-component phases 6, 17 and 33 are shifted by the component number.
  virtual void BeginTask(int phase, int steps, std::uint8_t componentNumber);
  virtual void BeginPhase(int phase, int steps) = 0;
  // Advance(0) advances no bar; a windowed implementation pumps messages.
  virtual int Advance(int steps) = 0;
  virtual void AdvanceTotal() = 0;
  virtual void ShowSearching();
  virtual std::int32_t BeginOperation();
  virtual void EndOperation();

  int IsBusy() const { return busy; }

  // Phase numbers whose component tasks are numbered phase + component.
  static constexpr int kEraseComponentPhase = 6;
  static constexpr int kWriteComponentPhase = 17;
  static constexpr int kWriteFatCopyPhase = 33;

 protected:
  // While 0, implementations ignore range and step calls.
  int busy = 0;
};
