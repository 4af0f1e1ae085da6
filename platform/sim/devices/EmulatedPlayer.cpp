#include "sim/EmulatedPlayer.h"

#include "VendorCommands.h"

namespace sim {

EmulatedPlayer::EmulatedPlayer(const PlayerConfig& config)
    : ScsiDisk(config.identity, config.dataSectorSize),
      config(config),
      flash(config.flashSizeInBytes, config.systemSectorSize, config.dataSectorSize) {}

SparseBlockStore* EmulatedPlayer::Medium() {
  FlashDrive* drive = flash.DataDrive();
  if (drive == nullptr || drive->content.BlockCount() == 0) return nullptr;
  return &drive->content;
}

const SparseBlockStore* EmulatedPlayer::Medium() const {
  return const_cast<EmulatedPlayer*>(this)->Medium();
}

std::optional<ScsiResult> EmulatedPlayer::ExecuteOther(const ScsiRequest& request) {
  VendorContext context{flash, config, [this] { ChipReset(); }};
  return ExecuteVendorCommand(request, context);
}

void EmulatedPlayer::DescribeOther(const ScsiRequest& request, CommandRecord& record) const {
  DescribeVendorCommand(request, record);
}

void EmulatedPlayer::ChipReset() {
  ++resetCount;
  if (config.reportResetAsUnitAttention) RaiseUnitAttention(Sense::kResetOccurred);
}

}  // namespace sim
