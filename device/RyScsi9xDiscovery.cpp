// Discovery on Windows 9x: every ASPI host adapter is asked; the player's
// drive letter then comes from its INT 13h unit, or failing that from the
// registry's SCSI enumeration.

#include <cwchar>
#include <vector>

#include "core/RyStatus.h"
#include "device/RyDeviceHelpers.h"
#include "device/RyScsi9x.h"
#include "device/RyScsiInquiry.h"
#include "os/Os.h"

namespace {

constexpr std::uint8_t kNoInt13Unit = 0xFF;
constexpr std::uint8_t kFirstHardDiskUnit = 0x80;
constexpr std::uint8_t kProtectedModeRemovableFlags = 0x0F;
constexpr std::uint32_t kInquiryRevisionOffset = 32;

// A string value of a registry key; false when it is missing or not text.
bool ReadStringValue(HKEY key, const wchar_t* name, std::wstring& value) {
  DWORD type = 0;
  DWORD length = 0;
  if (os::RegQueryValueExW(key, name, nullptr, &type, nullptr, &length) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  std::vector<wchar_t> text(length / sizeof(wchar_t) + 1, L'\0');
  length = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (os::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(text.data()),
                           &length) != ERROR_SUCCESS) {
    return false;
  }
  text.back() = L'\0';
  value = text.data();
  return true;
}

// The letter an instance subkey assigns, if it is logical unit 0 on a
// removable drive.
bool InstanceLetter(HKEY instance, char& letter) {
  std::wstring lun, assignment;
  if (!ReadStringValue(instance, L"SCSILUN", lun) || lun.empty() || lun[0] != L'0') return false;
  if (!ReadStringValue(instance, L"CurrentDriveLetterAssignment", assignment) ||
      assignment.empty() || assignment[0] > 0x7F) {
    return false;
  }
  letter = static_cast<char>(assignment[0]);
  const char root[] = {letter, ':', '\\', 0};
  return os::GetDriveTypeA(root) == DRIVE_REMOVABLE;
}

}  // namespace

std::int32_t CRyScsi_9x::GetHostAdapterCount(std::uint8_t& count) {
  count = 0;
  if (sendCommand == nullptr) return RyStatus::kAspiNotReady;
  aspi::SRB_HAInquiry srb;
  ZeroBytes(&srb, sizeof srb);
  srb.SRB_Cmd = aspi::SC_HA_INQUIRY;
  if (sendCommand(&srb) != aspi::SS_COMP) return RyStatus::kScsiRequestFailed;
  count = srb.HA_Count;
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi_9x::GetDiskInt13Unit(std::uint8_t adapter, std::uint8_t& unit) {
  unit = kNoInt13Unit;
  if (sendCommand == nullptr) return RyStatus::kAspiNotReady;
  aspi::SRB_GetDiskInfo srb;
  ZeroBytes(&srb, sizeof srb);
  srb.SRB_Cmd = aspi::SC_GET_DISK_INFO;
  srb.SRB_HaId = adapter;
  if (sendCommand(&srb) != aspi::SS_COMP) return RyStatus::kScsiRequestFailed;
  if (srb.SRB_Int13HDriveInfo < kFirstHardDiskUnit) return RyStatus::kNoInt13Drive;
  unit = srb.SRB_Int13HDriveInfo;
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi_9x::FindLetterByInt13Unit(std::uint8_t unit) {
  const std::int32_t opened = Open();
  if (opened != RyStatus::kSuccess) return opened;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    std::uint8_t record[kDriveMapRecordSize] = {};
    if (GetDriveMapInfo(letter, record) == RyStatus::kSuccess && record[3] == unit) {
      driveLetter = letter;
      Close();
      return RyStatus::kSuccess;
    }
  }
  Close();
  return RyStatus::kNoPlayerDrive;
}

std::int32_t CRyScsi_9x::EnumScsiRegistryLetters(const std::string& keyText, std::string& letters) {
  std::wstring path = L"ENUM\\SCSI\\";
  for (char c : keyText) path += static_cast<wchar_t>(static_cast<unsigned char>(c));
  HKEY key = nullptr;
  if (os::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return RyStatus::kDriveMapKeyMissing;
  }
  letters.clear();
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD nameLength = sizeof name / sizeof name[0];
    if (os::RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    HKEY instance = nullptr;
    if (os::RegOpenKeyExW(key, name, 0, KEY_READ, &instance) != ERROR_SUCCESS) continue;
    char letter = 0;
    if (InstanceLetter(instance, letter)) letters += letter;
    os::RegCloseKey(instance);
  }
  os::RegCloseKey(key);
  return letters.empty() ? RyStatus::kNoPlayerDrive : RyStatus::kSuccess;
}

std::int32_t CRyScsi_9x::ChooseRegistryLetter(const std::string& letters) {
  if (letters.empty()) return RyStatus::kNoPlayerDrive;
  if (letters.size() == 1) {
    driveLetter = static_cast<wchar_t>(static_cast<unsigned char>(letters[0]));
    return RyStatus::kSuccess;
  }
  const std::int32_t opened = Open();
  if (opened != RyStatus::kSuccess) return opened;
  std::int32_t result = RyStatus::kNoPlayerDrive;
  for (char c : letters) {
    const auto letter = static_cast<wchar_t>(static_cast<unsigned char>(c));
    std::uint8_t record[kDriveMapRecordSize] = {};
    if (GetDriveMapInfo(letter, record) == RyStatus::kSuccess &&
        record[2] == kProtectedModeRemovableFlags && record[3] == kNoInt13Unit) {
      driveLetter = letter;
      result = RyStatus::kSuccess;
      break;
    }
  }
  Close();
  return result;
}

std::int32_t CRyScsi_9x::FindPlayerDrive() {
  if (getSupportInfo == nullptr) return RyStatus::kAspiNotReady;
  CRyScsiInquiry inquiry;
  std::uint8_t adapters = 0;
  const std::int32_t counted = GetHostAdapterCount(adapters);
  if (counted != RyStatus::kSuccess) return counted;
  driveLetter = 0;
  std::string product, vendor;
  FetchIdentity(product, vendor);
  for (std::uint8_t adapter = 0; adapter < adapters; ++adapter) {
    std::uint8_t answer[kInquiryLength] = {};
    hostAdapterId = adapter;
    if (SendCommand(inquiry) != RyStatus::kSuccess || inquiry.CopyAnswer(answer) != 0) continue;
    if (!MatchInquiry(answer, product, vendor)) continue;
    int flag = 0;
    if (QueryPlayerMediaFlag(flag) != RyStatus::kSuccess) continue;
    if (flag == 0) {
      hostAdapterId = kNoHostAdapter;
      continue;
    }
    std::uint8_t unit = kNoInt13Unit;
    if (GetDiskInt13Unit(adapter, unit) == RyStatus::kSuccess &&
        FindLetterByInt13Unit(unit) == RyStatus::kSuccess) {
      return RyStatus::kSuccess;
    }
    std::string keyText = vendor + product + static_cast<char>(answer[kInquiryRevisionOffset]);
    ReplaceBlanksWithUnderscores(keyText);
    std::string letters;
    EnumScsiRegistryLetters(keyText, letters);  // what counts is the list it leaves
    return ChooseRegistryLetter(letters);
  }
  return RyStatus::kPlayerNotFound;
}
