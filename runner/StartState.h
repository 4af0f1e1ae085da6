#pragma once
// Puts the emulated player's flash into the start state of a run.
//
// - current: the system drives hold the carried images (or the player
//   images, when given) with their versions;
// - older: they hold the player images, or, without them, the carried
//   images' bytes inverted with version 0.0.1 everywhere;
// - unreadable: as older, but the player cannot read its logical table
//   until the medium is erased;
// - small: every system drive half as large as its carried image, erased,
//   version 0.0.1, so the carried layout does not fit;
// - blank: no table and no drives;
// - saved: a flash image saved by an earlier run;
// - absent: blank, and never plugged in.
// The system drives of current, older and unreadable are as large as the
// larger of the carried and the held image plus 64 KiB, so the carried
// layout fits them; the data drive takes the rest of the flash.

#include <string>
#include <vector>

#include "runner/ComponentImages.h"
#include "runner/RunnerOptions.h"

class DamagedTablePlayer;

struct StartStateInput {
  PlayerState state = PlayerState::kOlder;
  std::vector<ComponentImage> carried;
  // Empty when no player image directory was given.
  std::vector<ComponentImage> held;
  std::string flashImagePath;
};

// Empty on success, else what went wrong.
std::string InstallStartState(const StartStateInput& input, DamagedTablePlayer& player);

inline constexpr sim::FirmwareVersion kDefaultOlderVersion{0, 0, 1};
