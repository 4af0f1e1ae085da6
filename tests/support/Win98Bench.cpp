#include "tests/support/Win98Bench.h"

#include <string>

namespace test {

Win98Bench::Win98Bench() : player(std::make_shared<sim::EmulatedPlayer>()) {
  machine->SetWindowsVersion(sim::WindowsVersion::Windows98());
  sim::InstallFirmware(player->GetFlash(),
                       sim::CurrentFirmwareDrives(std::uint64_t{1} << 20, {1, 2, 3}, {1, 0, 0}));
  Aspi().InstallLibrary();
  Aspi().AddHostAdapter(nullptr, 0x80);
  machine->AddDriveLetter(L'C', DRIVE_FIXED);
  sim::Vwin32Drive fixed;
  fixed.int13Unit = 0x80;
  Vwin32().AddDrive(L'C', fixed);
}

BYTE Win98Bench::AttachPlayerAdapter(BYTE int13Unit) {
  playerAdapter = Aspi().AddHostAdapter(player, int13Unit);
  return playerAdapter;
}

void Win98Bench::AttachPlayerVolume(wchar_t letter, BYTE int13Unit) {
  AttachPlayerAdapter(int13Unit);
  sim::Vwin32Drive volume;
  volume.int13Unit = int13Unit;
  Vwin32().AddDrive(letter, volume);
  machine->AddDriveLetter(letter, DRIVE_REMOVABLE);
}

void Win98Bench::AddRegistryInstance(const wchar_t* instance, const wchar_t* lun, wchar_t letter) {
  const std::wstring key = std::wstring(kScsiKey) + L"\\" + instance;
  Registry().SetStringValue(key, L"SCSILUN", lun);
  Registry().SetStringValue(key, L"CurrentDriveLetterAssignment", std::wstring(1, letter));
  machine->AddDriveLetter(letter, DRIVE_REMOVABLE);
}

}  // namespace test
