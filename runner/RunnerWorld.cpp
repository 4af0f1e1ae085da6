#include "runner/RunnerWorld.h"

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "runner/StartState.h"
#include "sim/FileStore.h"
#include "sim/RecoveryDriver.h"

namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;

sim::PlayerConfig PlayerConfigFor(const RunnerOptions& options) {
  sim::PlayerConfig config;
  config.flashSizeInBytes = options.flashMiB * kMiB;
  return config;
}

sim::DiskAttachment PlayerAttachment() {
  sim::DiskAttachment attachment;
  attachment.driveLetter = RunnerWorld::kPlayerDriveLetter;
  attachment.driveType = DRIVE_REMOVABLE;
  return attachment;
}

}  // namespace

RunnerWorld::RunnerWorld(const RunnerOptions& options)
    : options(options), player(std::make_shared<DamagedTablePlayer>(PlayerConfigFor(options))) {
  machine->SetWindowsVersion(sim::WindowsVersion::WindowsXp());
  machine->AddDriveLetter(L'C', DRIVE_FIXED);
  machine->Files().SetCurrentDirectory(kProgramDirectory);
}

void RunnerWorld::CopyImages(const CRyConfigInfo& config, std::vector<std::string>& missing) {
  CopyImageFiles(config, options.imageDirectory, machine->Files(), kProgramDirectory, missing);
  if (!options.playerImageDirectory.empty()) {
    CopyImageFiles(config, options.playerImageDirectory, machine->Files(), kHeldImageDirectory,
                   missing);
  }
}

std::string RunnerWorld::LoadStartInput(CRyDeviceOwner* owner, StartStateInput& input) {
  input.state = options.state;
  input.flashImagePath = options.loadFlashPath;
  if (options.state == PlayerState::kBlank || options.state == PlayerState::kSaved ||
      options.state == PlayerState::kAbsent) {
    return {};
  }
  if (LoadComponentImages(owner, input.carried) != RyStatus::kSuccess) {
    return "the carried images cannot be read, so the player's start state cannot be built";
  }
  if (options.playerImageDirectory.empty()) return {};
  // The engine reads images from the current directory only.
  machine->Files().SetCurrentDirectory(kHeldImageDirectory);
  const std::int32_t held = LoadComponentImages(owner, input.held);
  machine->Files().SetCurrentDirectory(kProgramDirectory);
  if (held != RyStatus::kSuccess) return "the images of --player-images cannot be read";
  return {};
}

std::string RunnerWorld::Prepare(CRyDeviceOwner* owner) {
  StartStateInput input;
  std::string problem = LoadStartInput(owner, input);
  if (problem.empty()) problem = InstallStartState(input, *player);
  if (!problem.empty()) return problem;
  for (const sim::Fault& fault : options.faults) player->Faults().Add(fault);
  PlugIn();
  return {};
}

void RunnerWorld::PlugIn() {
  if (options.state == PlayerState::kAbsent) return;
  if (!options.recovery) {
    machine->AttachDisk(player, PlayerAttachment());
    return;
  }
  sim::RecoveryDriver& driver = sim::RecoveryDriver::Of(*machine);
  driver.AddDevice(0);
  driver.SetRestartDisk(player, PlayerAttachment());
  if (options.recoveryFault.fault != sim::RecoveryFault::kNone) {
    driver.SetFault(options.recoveryFault.fault, options.recoveryFault.writeIndex);
  }
}

std::size_t RunnerWorld::RecoveryImageBytes() {
  return sim::RecoveryDriver::Of(*machine).ReceivedImage().size();
}
