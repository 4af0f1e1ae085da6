#pragma once
// Checks every emulated command makes of the host's request before it acts.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "sim/ScsiSense.h"
#include "sim/StorageDevice.h"

namespace sim {

// The data phase a command needs. A length of 0 is no data phase.
struct Transfer {
  ScsiDirection direction = ScsiDirection::kNone;
  std::uint64_t length = 0;

  static Transfer None() { return {}; }
  static Transfer In(std::uint64_t length) { return {ScsiDirection::kIn, length}; }
  static Transfer Out(std::uint64_t length) { return {ScsiDirection::kOut, length}; }
};

// A data-in command needs direction in and room for its whole answer; a
// data-out command direction out and exactly its payload; a command without
// data takes no bytes.
inline std::optional<SenseData> CheckTransfer(const ScsiRequest& request, const Transfer& needed) {
  const ScsiDirection direction = needed.length == 0 ? ScsiDirection::kNone : needed.direction;
  bool fits = false;
  switch (direction) {
    case ScsiDirection::kNone:
      fits = request.dataOut.empty();
      break;
    case ScsiDirection::kIn:
      fits = request.direction == ScsiDirection::kIn && request.dataOut.empty() &&
             request.dataInLength >= needed.length;
      break;
    case ScsiDirection::kOut:
      fits = request.direction == ScsiDirection::kOut && request.dataOut.size() == needed.length;
      break;
  }
  if (fits) return std::nullopt;
  return Sense::kDataPhaseError;
}

inline std::optional<SenseData> CheckCdbLength(const ScsiRequest& request, std::size_t length) {
  if (request.cdb.size() >= length) return std::nullopt;
  return Sense::kInvalidFieldInCdb;
}

}  // namespace sim
