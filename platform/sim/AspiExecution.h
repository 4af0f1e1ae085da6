#pragma once
// A SCSI request block accepted by the ASPI layer and not yet completed.
// The block and its buffer belong to the caller; they are written only by
// the completion, which signals the caller last.

#include <memory>

#include "sim/AspiLayer.h"

namespace sim {

struct AspiLayer::Execution {
  aspi::SRB_ExecSCSICmd* srb = nullptr;
  std::shared_ptr<StorageDevice> device;
  ScsiDirection direction = ScsiDirection::kNone;
};

}  // namespace sim
