#pragma once
// The simulated machine a run happens on: Windows XP with the emulated
// player on E: (or, in recovery mode, the player's recovery device, after
// which the player comes back on E:), and the carried images in the
// program's directory.

#include <memory>
#include <string>
#include <vector>

#include "runner/DamagedTablePlayer.h"
#include "runner/RunnerOptions.h"
#include "sim/Machine.h"

class CRyConfigInfo;
class CRyDeviceOwner;
struct StartStateInput;

class RunnerWorld {
 public:
  static constexpr wchar_t kPlayerDriveLetter = L'E';
  // Where the program runs, and where the images an older player holds wait.
  static constexpr const wchar_t* kProgramDirectory = L"C:\\ombra\\";
  static constexpr const wchar_t* kHeldImageDirectory = L"C:\\held\\";

  // Installs a fresh machine for the lifetime of the object.
  explicit RunnerWorld(const RunnerOptions& options);

  // Copies the image directories into the machine; names the host files
  // that were missing.
  void CopyImages(const CRyConfigInfo& config, std::vector<std::string>& missing);
  // Puts the flash into the start state, arms the faults and plugs the
  // player in (or its recovery device). Empty on success, else the reason.
  std::string Prepare(CRyDeviceOwner* owner);

  DamagedTablePlayer& Player() { return *player; }
  sim::Machine& Machine() { return *machine; }
  // The bytes the player took in recovery mode.
  std::size_t RecoveryImageBytes();

 private:
  std::string LoadStartInput(CRyDeviceOwner* owner, StartStateInput& input);
  void PlugIn();

  RunnerOptions options;
  sim::ScopedMachine machine;
  std::shared_ptr<DamagedTablePlayer> player;
};
