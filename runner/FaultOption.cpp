#include "runner/FaultOption.h"

#include <cstdint>
#include <vector>

#include "runner/NumberParse.h"
#include "runner/RunnerOptions.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

struct KindName {
  const char* name;
  sim::FaultKind kind;
  bool executeFirst;
};

constexpr KindName kKinds[] = {
    {"fail", sim::FaultKind::kFail, false},
    {"fail-after", sim::FaultKind::kFail, true},
    {"corrupt", sim::FaultKind::kCorruptRead, false},
    {"short", sim::FaultKind::kShortAnswer, false},
    {"vanish", sim::FaultKind::kDisappear, false},
    {"delay", sim::FaultKind::kDelay, false},
};

bool ParseKind(const std::string& text, sim::Fault& fault) {
  for (const KindName& entry : kKinds) {
    if (text == entry.name) {
      fault.kind = entry.kind;
      fault.executeFirst = entry.executeFirst;
      return true;
    }
  }
  return false;
}

bool ParseNth(std::string text, sim::Fault& fault) {
  if (!text.empty() && text.back() == '+') {
    fault.persistent = true;
    text.pop_back();
  }
  std::uint64_t nth = 0;
  if (!ParseDecimal(text, UINT32_MAX, nth) || nth == 0) return false;
  fault.nth = static_cast<std::uint32_t>(nth);
  return true;
}

bool ParseFilter(const std::string& text, sim::CommandFilter& filter) {
  filter = sim::CommandFilter::Any();
  if (text == "*") return true;
  const std::vector<std::string> parts = Split(text, '/');
  if (parts.size() > 2) return false;
  std::uint64_t value = 0;
  if (!ParseHex(parts[0], 0xFF, value)) return false;
  filter.operationCode = static_cast<std::uint8_t>(value);
  if (parts.size() == 2) {
    if (!ParseHex(parts[1], 0xFF, value)) return false;
    filter.subCommand = static_cast<std::uint8_t>(value);
  }
  return true;
}

bool ParseU32(const std::string& text, std::uint32_t& out) {
  std::uint64_t value = 0;
  if (!ParseDecimal(text, UINT32_MAX, value)) return false;
  out = static_cast<std::uint32_t>(value);
  return true;
}

bool ParseValue(const std::string& text, sim::Fault& fault) {
  std::uint64_t code = 0;
  switch (fault.kind) {
    case sim::FaultKind::kFail:
      if (!ParseHex(text, 0xFFFF, code)) return false;
      fault.sense = sim::SenseData::Vendor(static_cast<std::uint16_t>(code));
      return true;
    case sim::FaultKind::kCorruptRead:
      return ParseU32(text, fault.corruptOffset);
    case sim::FaultKind::kShortAnswer:
      return ParseU32(text, fault.answerLength);
    case sim::FaultKind::kDelay:
      return ParseU32(text, fault.delayMilliseconds);
    case sim::FaultKind::kDisappear:
      return false;
  }
  return false;
}

struct RecoveryKindName {
  const char* name;
  sim::RecoveryFault fault;
};

constexpr RecoveryKindName kRecoveryKinds[] = {
    {"short", sim::RecoveryFault::kShortCompletion},
    {"never", sim::RecoveryFault::kNeverComplete},
    {"refuse", sim::RecoveryFault::kRefuseWrite},
};

}  // namespace

bool ParseFaultOption(const std::string& text, sim::Fault& fault, std::string& error) {
  fault = sim::Fault{};
  // A short answer without a length sends nothing; a delay without a time is
  // one second.
  fault.delayMilliseconds = 1000;
  const std::vector<std::string> parts = Split(text, ':');
  error = "bad --fault '" + text + "': ";
  if (parts.size() < 2 || parts.size() > 4) {
    error += "expected KIND:N[+][:FILTER][:VALUE]";
    return false;
  }
  if (!ParseKind(parts[0], fault)) {
    error += "unknown kind '" + parts[0] + "'";
    return false;
  }
  if (!ParseNth(parts[1], fault)) {
    error += "N must be a number from 1";
    return false;
  }
  if (parts.size() >= 3 && !ParseFilter(parts[2], fault.filter)) {
    error += "FILTER must be *, OP or OP/SUB in hexadecimal";
    return false;
  }
  if (parts.size() == 4 && !ParseValue(parts[3], fault)) {
    error += "bad VALUE '" + parts[3] + "' for this kind";
    return false;
  }
  error.clear();
  return true;
}

bool ParseRecoveryFaultOption(const std::string& text, RecoveryFaultOption& option,
                              std::string& error) {
  const std::vector<std::string> parts = Split(text, ':');
  error = "bad --recovery-fault '" + text + "': expected short, never or refuse[:WRITE]";
  if (parts.size() > 2) return false;
  bool known = false;
  for (const RecoveryKindName& entry : kRecoveryKinds) {
    if (parts[0] == entry.name) {
      option.fault = entry.fault;
      known = true;
    }
  }
  if (!known) return false;
  std::uint64_t index = 0;
  if (parts.size() == 2 && !ParseDecimal(parts[1], UINT32_MAX, index)) return false;
  option.writeIndex = static_cast<std::size_t>(index);
  error.clear();
  return true;
}
