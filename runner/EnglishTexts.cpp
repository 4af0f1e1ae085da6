#include "runner/EnglishTexts.h"

#include "runner/KeyedText.h"

namespace english {

namespace {

// The program's own texts, the search and update states, the status texts
// and the phase texts.
constexpr KeyedText<int> kTexts[] = {
    {50, L"norvik K520"},
    {51, L"norvik"},
    {52, L"Copyright norvik. All rights reserved."},
    {53, L"Firmware Update"},
    {54, L"About Firmware Update"},
    {55, L"norvik K520 Firmware Download Application"},
    {56, L"norvik K520 Uninstaller"},
    {57, L"norvik K520 Installer"},
    {58, L"norvik K520 Resources"},
    {59, L"USB Mass Storage"},
    {60, L"Recovery Mode Driver"},
    {61, L"Unable to load resource dll: %s"},
    {62, L"&Details \u00AB"},
    {63, L"&Details \u00BB"},
    {64, L"&Yes"},
    {65, L"&No"},
    {66, L"&OK"},
    {67, L"Error"},
    {68, L"Warning"},
    {69, L"Information"},
    {70, L"Option"},
    {102, L"Searching for the player"},
    {103, L"Pushing the recovery image into the player"},
    {104, L"Waiting for the player to come back as a disk"},
    {159, L"no message text exists for this status"},
    {161, L"The new firmware needs a new layout of the player's flash; the data area is formatted"},
    {168, L"Update failed"},
    {169, L"Update complete"},
    // Status texts.
    {108, L"the operation completed successfully"},
    {109, L"out of memory, an object could not be created, or an operation failed"},
    {110, L"an element index is beyond the element count"},
    {111, L"a field does not fit into the byte buffer at that offset"},
    {112, L"the component row of the configuration is not in use"},
    {113, L"the configuration's volume label is empty"},
    {114, L"reserved status -6"},
    {115, L"reserved status -7"},
    {116, L"the information type is not one this command provides"},
    {117, L"an index or type argument is out of range"},
    {118, L"the payload is longer than the command's data area"},
    {119, L"a file could not be opened"},
    {120, L"reading a firmware component file failed before its end"},
    {121, L"a write to the recovery device failed"},
    {122, L"no recovery device could be opened"},
    {123, L"an event object could not be created"},
    {124, L"a write to the recovery device did not complete in time"},
    {125, L"a registry key needed to map the player's drives is missing"},
    {126, L"no drive of the player was found among the drives of the system"},
    {127, L"the ASPI library could not be loaded"},
    {128, L"an entry point of the ASPI library is missing"},
    {129, L"ASPI is not usable"},
    {130, L"no player was found"},
    {131, L"a SCSI request to the player failed"},
    {132, L"the player's drive could not be opened"},
    {133, L"a disk control request failed"},
    {134, L"the updater has no player device"},
    {135, L"this version of Windows has no way to reach the player"},
    {136, L"a text could not be loaded from the resources"},
    {137, L"reserved status -29"},
    {170, L"reserved status -30"},
    {150, L"the player's volume could not be locked"},
    {149, L"the player's volume could not be unlocked"},
    {174, L"no disk geometry fits the data area"},
    {175, L"a sector address lies outside the disk geometry"},
    {176, L"reserved status -35"},
    {178, L"reading sectors from the player failed"},
    {179, L"writing sectors to the player failed"},
    {177, L"reserved status -38"},
    {180, L"the requested file system cannot be formatted"},
    {195, L"the player's volume could not be dismounted"},
    {100, L"an icon could not be loaded"},
    {197, L"a command-line option lacks its value"},
    {210, L"the player's logical table could not be read"},
    {211, L"reserved status -44"},
    {212, L"reserved status -45"},
    {213, L"reserved status -46"},
    {214, L"reserved status -47"},
    {215, L"reserved status -48"},
    {216, L"reserved status -49"},
    {217, L"reserved status -50"},
    {219, L"the single-instance lock could not be created"},
    {220, L"another instance is running and could not be brought to the front"},
    {221, L"no player was found when the update was started"},
    {222, L"no player was found when the details were requested"},
    {622, L"the Windows 9x drive-map request was refused"},
    {623, L"the disk has no INT 13h drive number"},
    {624, L"data read back from the player differs from the data written"},
    {629, L"administrator rights are required"},
    {634, L"the player's settings file could not be deleted"},
    {621, L"The player reported an error that has no text of its own"},
    // Phase texts.
    {163, L"Opening the player's volume"},
    {164, L"Locking the player's volume"},
    {173, L"Cutting the player's flash into logical drives"},
    {166, L"Verifying the firmware"},
    {171, L"Erasing %s"},
    {196, L"Writing %s"},
    {138, L"Erasing the data drive"},
    {167, L"Writing the boot records"},
    {181, L"Writing the master boot record"},
    {182, L"Clearing the reserved sectors"},
    {183, L"Writing the boot sector"},
    {184, L"Writing FAT copy 1"},
    {185, L"Writing FAT copy 2"},
    {186, L"Writing FAT copy 3"},
    {187, L"Writing FAT copy 4"},
    {188, L"Writing FAT copy 5"},
    {189, L"Writing FAT copy 6"},
    {190, L"Writing FAT copy 7"},
    {191, L"Writing FAT copy 8"},
    {192, L"Writing FAT copy 9"},
    {193, L"Writing FAT copy 10"},
    {194, L"Writing the root directory"},
    {165, L"Unlocking the player's volume"},
    {172, L"Closing the player's volume"},
    {218, L"Deleting the player's settings file"},
};

// Status codes 0 down to -59 in order.
constexpr int kStatusTextNumbers[] = {
    108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122,
    123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136, 137,
    170, 150, 149, 174, 175, 176, 178, 179, 177, 180, 195, 100, 197, 210, 211,
    212, 213, 214, 215, 216, 217, 219, 220, 221, 222, 622, 623, 624, 629, 634,
};

struct PhaseText {
  int phase;
  int textNumber;
};

constexpr PhaseText kPhaseTexts[] = {
    {2, 163},  {3, 164},  {4, 173},  {5, 166},  {28, 138}, {29, 167},
    {30, 181}, {31, 182}, {32, 183}, {34, 184}, {35, 185}, {36, 186},
    {45, 165}, {46, 172}, {47, 218}, {48, 168}, {49, 169},
};

// FAT copies 4 to 10 and the root directory: first phase, last phase, first
// text.
constexpr int kFormatPhases[] = {37, 44, 187};
constexpr int kEraseComponentPhases[] = {7, 16};
constexpr int kWriteComponentPhases[] = {18, 27};

bool InRange(int value, const int (&range)[2]) { return value >= range[0] && value <= range[1]; }

}  // namespace

const wchar_t* FindNumberedText(int textNumber) { return FindKeyedText(kTexts, textNumber); }

int StatusTextNumber(std::int32_t code) {
  constexpr std::int32_t kLowest =
      -static_cast<std::int32_t>(sizeof kStatusTextNumbers / sizeof kStatusTextNumbers[0]) + 1;
  if (code > 0 || code < kLowest) return 0;
  return kStatusTextNumbers[-code];
}

int PhaseTextNumber(int phase) {
  if (InRange(phase, kEraseComponentPhases)) return kEraseComponentText;
  if (InRange(phase, kWriteComponentPhases)) return kWriteComponentText;
  if (phase >= kFormatPhases[0] && phase <= kFormatPhases[1]) {
    return phase - kFormatPhases[0] + kFormatPhases[2];
  }
  for (const PhaseText& entry : kPhaseTexts) {
    if (entry.phase == phase) return entry.textNumber;
  }
  return 0;
}

std::uint8_t PhaseComponent(int phase) {
  if (InRange(phase, kEraseComponentPhases)) return static_cast<std::uint8_t>(phase - 6);
  if (InRange(phase, kWriteComponentPhases)) return static_cast<std::uint8_t>(phase - 17);
  return 0;
}

}  // namespace english
