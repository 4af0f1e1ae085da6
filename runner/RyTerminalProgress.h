#pragma once
// Progress on a terminal, as the main dialog shows it: an overall bar that
// steps once per phase, a phase bar and the phase text. On a terminal the
// bars are redrawn in place; into a file or pipe each phase is one line.

#include <cstdint>
#include <ostream>
#include <string>

#include "core/RyProgress.h"

class CRyEnglishResource;

enum class ProgressStyle {
  kBars,   // redrawn with carriage returns; each phase text keeps its line
  kLines,  // one line per phase that has a text
  kQuiet,  // nothing
};

class CRyTerminalProgress : public CRyProgress {
 public:
  // Neither is owned; resource supplies the phase texts.
  CRyTerminalProgress(std::ostream& out, CRyEnglishResource* resource, ProgressStyle style);

  void SetTotalSteps(int count) override;
  void BeginPhase(int phase, int steps) override;
  int Advance(int steps) override;
  void AdvanceTotal() override;

  // Ends a bar line in progress, so that other output starts on its own line.
  void EndLine();

  int OverallPosition() const { return overallPosition; }
  int OverallRange() const { return overallRange; }
  int PhasePosition() const { return phasePosition; }
  int PhaseRange() const { return phaseRange; }
  const std::wstring& PhaseText() const { return phaseText; }

  static constexpr int kFailedPhase = 48;
  static constexpr int kSucceededPhase = 49;

 private:
  void Draw();
  void PrintLine();

  std::ostream& out;
  CRyEnglishResource* resource;
  ProgressStyle style;
  int overallRange = 0;
  int overallPosition = 0;
  int phaseRange = 0;
  int phasePosition = 0;
  std::wstring phaseText;
  // Characters of the bar line drawn last; 0 when no bar line is open.
  std::size_t drawnLength = 0;
};
