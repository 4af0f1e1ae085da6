#include "runner/RyTerminalProgress.h"

#include <algorithm>
#include <cstdio>

#include "runner/RyEnglishResource.h"
#include "runner/TextEncoding.h"

namespace {

constexpr int kOverallBarWidth = 24;
constexpr int kPhaseBarWidth = 12;

std::string Bar(int position, int range, int width) {
  const int filled = range > 0 ? std::min(width, position * width / range) : 0;
  return "[" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(width - filled), '-') + "]";
}

std::string Counter(int position, int range) {
  char text[32];
  std::snprintf(text, sizeof text, "[%2d/%2d]", position, range);
  return text;
}

}  // namespace

CRyTerminalProgress::CRyTerminalProgress(std::ostream& out, CRyEnglishResource* resource,
                                         ProgressStyle style)
    : CRyProgress("CRyProgress"), out(out), resource(resource), style(style) {}

void CRyTerminalProgress::SetTotalSteps(int count) {
  if (!busy) return;
  overallRange = std::max(count, 0);
  overallPosition = 0;
}

void CRyTerminalProgress::BeginPhase(int phase, int steps) {
  if (!busy) return;
  phaseRange = std::max(steps, 0);
  phasePosition = 0;
  std::wstring text;
  if (resource != nullptr) resource->GetPhaseText(phase, text);
  AdvanceTotal();
  if (phase == kFailedPhase || phase == kSucceededPhase) overallPosition = overallRange;
  if (text.empty()) {
    Draw();
    return;
  }
  // A new text: the finished phase keeps its line.
  EndLine();
  phaseText = text;
  if (style == ProgressStyle::kLines) PrintLine();
  Draw();
}

int CRyTerminalProgress::Advance(int steps) {
  if (busy && steps != 0) {
    phasePosition = std::min(phasePosition + 1, phaseRange);
    Draw();
  }
  return 1;
}

void CRyTerminalProgress::AdvanceTotal() {
  if (busy) overallPosition = std::min(overallPosition + 1, overallRange);
}

void CRyTerminalProgress::EndLine() {
  if (drawnLength == 0) return;
  out << '\n';
  out.flush();
  drawnLength = 0;
}

void CRyTerminalProgress::PrintLine() {
  out << Counter(overallPosition, overallRange) << ' ' << ToUtf8(phaseText) << '\n';
  out.flush();
}

void CRyTerminalProgress::Draw() {
  if (style != ProgressStyle::kBars) return;
  std::string line = Bar(overallPosition, overallRange, kOverallBarWidth) + ' ' +
                     Bar(phasePosition, phaseRange, kPhaseBarWidth) + ' ' + ToUtf8(phaseText);
  const std::size_t length = line.size();
  // Blanks over what is left of a longer line drawn before.
  if (length < drawnLength) line += std::string(drawnLength - length, ' ');
  out << '\r' << line;
  out.flush();
  drawnLength = std::max<std::size_t>(length, 1);
}
