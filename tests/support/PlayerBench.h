#pragma once
// A simulated Windows XP machine with an emulated player attached as a
// removable USB disk, and the owner a transport reports to.

#include <memory>

#include "sim/EmulatedPlayer.h"
#include "sim/Machine.h"
#include "sim/PlayerPresets.h"
#include "tests/support/TestDeviceOwner.h"

namespace test {

struct PlayerBenchOptions {
  wchar_t driveLetter = L'E';
  UINT driveType = DRIVE_REMOVABLE;
  sim::PlayerConfig player;
  std::uint64_t systemDriveSize = std::uint64_t{1} << 20;
};

class PlayerBench {
 public:
  explicit PlayerBench(const PlayerBenchOptions& options = PlayerBenchOptions());

  sim::ScopedMachine machine;
  std::shared_ptr<sim::EmulatedPlayer> player;
  int physicalDrive = -1;
  TestDeviceOwner owner;
};

}  // namespace test
