#pragma once
// The player's vendor command set over its flash (EmulatedPlayer.h lists
// the commands and their refusals).

#include <functional>
#include <optional>

#include "sim/CommandRecord.h"
#include "sim/Flash.h"
#include "sim/StorageDevice.h"

namespace sim {

struct PlayerConfig;

struct VendorContext {
  Flash& flash;
  const PlayerConfig& config;
  std::function<void()> chipReset;
};

// nullopt when the operation code is not a vendor one.
std::optional<ScsiResult> ExecuteVendorCommand(const ScsiRequest& request, VendorContext& context);

// The trace fields of a vendor command: sub-command, drive, info type,
// sectors.
void DescribeVendorCommand(const ScsiRequest& request, CommandRecord& record);

}  // namespace sim
