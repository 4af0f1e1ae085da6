#pragma once
// Faults a test arms on an emulated disk. Each fault counts the commands it
// matches from the moment it is added; the nth of them is hit. A fault is
// one-shot unless it is persistent, in which case it hits the nth matching
// command and every matching command after it.

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/CommandRecord.h"
#include "sim/ScsiSense.h"

namespace sim {

// Which commands a fault counts; an unset field matches anything.
struct CommandFilter {
  std::optional<std::uint8_t> operationCode;
  std::optional<std::uint8_t> subCommand;

  static CommandFilter Any() { return {}; }
  static CommandFilter Operation(std::uint8_t operationCode) { return {operationCode, {}}; }
  static CommandFilter Vendor(std::uint8_t operationCode, std::uint8_t subCommand) {
    return {operationCode, subCommand};
  }
  bool Matches(const CommandRecord& command) const;
};

enum class FaultKind {
  kFail,         // CHECK CONDITION with the fault's sense
  kCorruptRead,  // one byte of the sector data flipped (sector reads only)
  kShortAnswer,  // fewer data-in bytes than the command answers
  kDisappear,    // the device vanishes during the command and stays gone
  kDelay,        // the command takes time on the machine's virtual clock
};

struct Fault {
  FaultKind kind = FaultKind::kFail;
  std::uint32_t nth = 1;  // 1: the next matching command
  CommandFilter filter;
  bool persistent = false;

  // kFail. With executeFirst the command takes effect before it fails (a
  // write that lands but whose status is lost).
  SenseData sense = Sense::kDataPhaseError;
  bool executeFirst = false;
  // kShortAnswer: the number of bytes sent, when fewer than the answer.
  std::uint32_t answerLength = 0;
  // kCorruptRead: the byte flipped (all eight bits), modulo the data length.
  std::uint32_t corruptOffset = 0;
  // kDelay.
  std::uint32_t delayMilliseconds = 0;
};

// What the armed faults do to one command.
struct FaultHits {
  bool disappear = false;
  std::uint32_t delayMilliseconds = 0;
  std::optional<SenseData> failBefore;
  std::optional<SenseData> failAfter;
  std::optional<std::uint32_t> answerLength;
  std::optional<std::uint32_t> corruptOffset;
};

class FaultPlan {
 public:
  void Add(const Fault& fault);

  // The common ones. nth counts matching commands from now; 1 is the next.
  void FailCommand(std::uint32_t nth, const SenseData& sense,
                   const CommandFilter& filter = CommandFilter::Any());
  void FailVendorCommand(std::uint32_t nth, std::uint16_t vendorCode,
                         const CommandFilter& filter = CommandFilter::Any());
  void CorruptRead(std::uint32_t nth, std::uint32_t byteOffset = 0);
  void AnswerShort(std::uint32_t nth, std::uint32_t answerLength,
                   const CommandFilter& filter = CommandFilter::Any());
  void Disappear(std::uint32_t nth, const CommandFilter& filter = CommandFilter::Any());
  void DelayCommand(std::uint32_t nth, std::uint32_t milliseconds,
                    const CommandFilter& filter = CommandFilter::Any());
  void DelayEveryCommand(std::uint32_t milliseconds);

  void Clear() { armed.clear(); }
  std::size_t ArmedCount() const { return armed.size(); }

  // Counts the command against every armed fault and says what hits it;
  // one-shot faults that hit are removed.
  FaultHits Next(const CommandRecord& command);

 private:
  struct Armed {
    Fault fault;
    std::uint32_t remaining;  // matching commands until the hit; 0: hitting
  };
  static void Apply(const Fault& fault, FaultHits& hits);

  std::vector<Armed> armed;
};

}  // namespace sim
