#include "sim/FaultPlan.h"

#include <algorithm>

namespace sim {

namespace {

Fault MakeFault(FaultKind kind, std::uint32_t nth, const CommandFilter& filter) {
  Fault fault;
  fault.kind = kind;
  fault.nth = nth;
  fault.filter = filter;
  return fault;
}

}  // namespace

bool CommandFilter::Matches(const CommandRecord& command) const {
  return (!operationCode || *operationCode == command.operationCode) &&
         (!subCommand || *subCommand == command.subCommand);
}

void FaultPlan::Add(const Fault& fault) {
  armed.push_back(Armed{fault, std::max<std::uint32_t>(fault.nth, 1)});
}

void FaultPlan::FailCommand(std::uint32_t nth, const SenseData& sense,
                            const CommandFilter& filter) {
  Fault fault = MakeFault(FaultKind::kFail, nth, filter);
  fault.sense = sense;
  Add(fault);
}

void FaultPlan::FailVendorCommand(std::uint32_t nth, std::uint16_t vendorCode,
                                  const CommandFilter& filter) {
  FailCommand(nth, SenseData::Vendor(vendorCode), filter);
}

void FaultPlan::CorruptRead(std::uint32_t nth, std::uint32_t byteOffset) {
  Fault fault = MakeFault(FaultKind::kCorruptRead, nth, CommandFilter::Any());
  fault.corruptOffset = byteOffset;
  Add(fault);
}

void FaultPlan::AnswerShort(std::uint32_t nth, std::uint32_t answerLength,
                            const CommandFilter& filter) {
  Fault fault = MakeFault(FaultKind::kShortAnswer, nth, filter);
  fault.answerLength = answerLength;
  Add(fault);
}

void FaultPlan::Disappear(std::uint32_t nth, const CommandFilter& filter) {
  Add(MakeFault(FaultKind::kDisappear, nth, filter));
}

void FaultPlan::DelayCommand(std::uint32_t nth, std::uint32_t milliseconds,
                             const CommandFilter& filter) {
  Fault fault = MakeFault(FaultKind::kDelay, nth, filter);
  fault.delayMilliseconds = milliseconds;
  Add(fault);
}

void FaultPlan::DelayEveryCommand(std::uint32_t milliseconds) {
  Fault fault = MakeFault(FaultKind::kDelay, 1, CommandFilter::Any());
  fault.persistent = true;
  fault.delayMilliseconds = milliseconds;
  Add(fault);
}

FaultHits FaultPlan::Next(const CommandRecord& command) {
  FaultHits hits;
  for (auto it = armed.begin(); it != armed.end();) {
    const Fault& fault = it->fault;
    const bool counts = fault.filter.Matches(command) &&
                        (fault.kind != FaultKind::kCorruptRead || command.readsSectors);
    if (counts && it->remaining > 0) --it->remaining;
    if (!counts || it->remaining > 0) {
      ++it;
      continue;
    }
    Apply(fault, hits);
    it = fault.persistent ? it + 1 : armed.erase(it);
  }
  return hits;
}

void FaultPlan::Apply(const Fault& fault, FaultHits& hits) {
  switch (fault.kind) {
    case FaultKind::kFail:
      (fault.executeFirst ? hits.failAfter : hits.failBefore) = fault.sense;
      break;
    case FaultKind::kCorruptRead:
      hits.corruptOffset = fault.corruptOffset;
      break;
    case FaultKind::kShortAnswer:
      hits.answerLength = fault.answerLength;
      break;
    case FaultKind::kDisappear:
      hits.disappear = true;
      break;
    case FaultKind::kDelay:
      hits.delayMilliseconds += fault.delayMilliseconds;
      break;
  }
}

}  // namespace sim
