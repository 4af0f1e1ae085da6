#include "runner/StartState.h"

#include <algorithm>

#include "runner/DamagedTablePlayer.h"
#include "sim/FlashImage.h"
#include "sim/PlayerPresets.h"

namespace {

constexpr std::uint64_t kHeadroom = 64 * 1024;

std::uint64_t RoundUp(std::uint64_t value, std::uint64_t unit) {
  return (value + unit - 1) / unit * unit;
}

const ComponentImage* FindByNumber(const std::vector<ComponentImage>& images,
                                   std::uint8_t componentNumber) {
  for (const ComponentImage& image : images) {
    if (image.componentNumber == componentNumber) return &image;
  }
  return nullptr;
}

sim::SystemDriveImage OlderDefault(const ComponentImage& carried) {
  sim::SystemDriveImage drive;
  drive.tag = carried.driveTag;
  drive.componentVersion = kDefaultOlderVersion;
  drive.productVersion = kDefaultOlderVersion;
  drive.content = carried.bytes;
  for (std::uint8_t& byte : drive.content) byte = static_cast<std::uint8_t>(~byte);
  return drive;
}

sim::SystemDriveImage Holding(const ComponentImage& image) {
  sim::SystemDriveImage drive;
  drive.tag = image.driveTag;
  drive.componentVersion = image.componentVersion;
  drive.productVersion = image.productVersion;
  drive.content = image.bytes;
  return drive;
}

// The drives of a player that holds firmware in a layout the carried
// images fit.
std::vector<sim::SystemDriveImage> FittingDrives(const StartStateInput& input, bool older) {
  std::vector<sim::SystemDriveImage> drives;
  for (const ComponentImage& carried : input.carried) {
    const ComponentImage* held = FindByNumber(input.held, carried.componentNumber);
    sim::SystemDriveImage drive = held != nullptr ? Holding(*held)
                                  : older         ? OlderDefault(carried)
                                                  : Holding(carried);
    const std::uint64_t largest =
        std::max<std::uint64_t>(carried.bytes.size(), drive.content.size());
    drive.sizeInBytes = RoundUp(largest, kHeadroom) + kHeadroom;
    drives.push_back(std::move(drive));
  }
  return drives;
}

std::vector<sim::SystemDriveImage> SmallDrives(const StartStateInput& input, std::uint32_t sector) {
  std::vector<sim::SystemDriveImage> drives;
  for (const ComponentImage& carried : input.carried) {
    sim::SystemDriveImage drive;
    drive.tag = carried.driveTag;
    drive.componentVersion = kDefaultOlderVersion;
    drive.productVersion = kDefaultOlderVersion;
    drive.sizeInBytes = std::max<std::uint64_t>(carried.bytes.size() / 2 / sector * sector, sector);
    drives.push_back(std::move(drive));
  }
  return drives;
}

std::string Install(sim::Flash& flash, const std::vector<sim::SystemDriveImage>& drives) {
  if (sim::InstallFirmware(flash, drives) != 0) {
    return "the start state does not fit into the player's flash; give a larger --flash-mib";
  }
  return std::string();
}

}  // namespace

std::string InstallStartState(const StartStateInput& input, DamagedTablePlayer& player) {
  sim::Flash& flash = player.GetFlash();
  switch (input.state) {
    case PlayerState::kCurrent:
      return Install(flash, FittingDrives(input, false));
    case PlayerState::kOlder:
      return Install(flash, FittingDrives(input, true));
    case PlayerState::kUnreadable:
      player.SetTableDamaged(true);
      return Install(flash, FittingDrives(input, true));
    case PlayerState::kSmall:
      return Install(flash, SmallDrives(input, flash.SectorSizeOf(sim::kFlashDriveTypeSystem)));
    case PlayerState::kBlank:
    case PlayerState::kAbsent:
      flash.EraseAll();
      return std::string();
    case PlayerState::kSaved:
      if (!sim::LoadFlashImage(flash, input.flashImagePath)) {
        return "cannot load the flash image " + input.flashImagePath;
      }
      return std::string();
  }
  return "unknown start state";
}
