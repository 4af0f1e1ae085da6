#include "tests/support/PlayerBench.h"

namespace test {

PlayerBench::PlayerBench(const PlayerBenchOptions& options)
    : player(std::make_shared<sim::EmulatedPlayer>(options.player)) {
  sim::InstallFirmware(player->GetFlash(),
                       sim::CurrentFirmwareDrives(options.systemDriveSize, {1, 2, 3}, {1, 0, 0}));
  sim::DiskAttachment attachment;
  attachment.driveLetter = options.driveLetter;
  attachment.driveType = options.driveType;
  physicalDrive = machine->AttachDisk(player, attachment);
}

}  // namespace test
