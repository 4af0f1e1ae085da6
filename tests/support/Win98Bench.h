#pragma once
// A simulated Windows 98 machine: ASPI installed with an empty IDE adapter
// first, the emulated player as a USB host adapter of its own, its volume
// E: known to vwin32 and to the drive-letter list.

#include <memory>

#include "sim/AspiLayer.h"
#include "sim/EmulatedPlayer.h"
#include "sim/Machine.h"
#include "sim/PlayerPresets.h"
#include "sim/RegistryTree.h"
#include "sim/Vwin32Device.h"
#include "tests/support/TestDeviceOwner.h"

namespace test {

class Win98Bench {
 public:
  // The player's registry instance key, as the system enumerates it.
  static constexpr const wchar_t* kScsiKey = L"HKLM\\Enum\\SCSI\\norvik__K520____________1";

  Win98Bench();

  sim::AspiLayer& Aspi() { return sim::AspiLayer::Of(*machine); }
  sim::Vwin32Device& Vwin32() { return sim::Vwin32Device::Of(*machine); }
  sim::RegistryTree& Registry() { return sim::RegistryTree::Of(*machine); }

  // Attaches the player as the next host adapter.
  BYTE AttachPlayerAdapter(BYTE int13Unit = 0x00);
  // The player as the system sees it once its driver is loaded: a host
  // adapter with that INT 13h unit, and a removable volume vwin32 knows.
  void AttachPlayerVolume(wchar_t letter = L'E', BYTE int13Unit = 0x81);
  // A registry instance of the player naming a drive letter; the letter
  // also becomes a removable drive of the machine.
  void AddRegistryInstance(const wchar_t* instance, const wchar_t* lun, wchar_t letter);

  sim::ScopedMachine machine;
  std::shared_ptr<sim::EmulatedPlayer> player;
  BYTE playerAdapter = 0;
  TestDeviceOwner owner;
};

}  // namespace test
