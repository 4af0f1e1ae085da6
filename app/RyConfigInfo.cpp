#include "app/RyConfigInfo.h"

#include "core/RyResource.h"
#include "core/RyStatus.h"

namespace {

constexpr char kScsiVendorId[] = "norvik  ";
constexpr char kScsiProductId[] = "K520            ";
constexpr char kVolumeLabel[] = "K520";
constexpr wchar_t kExeName[] = L"ombra.exe";

static_assert(sizeof kScsiVendorId - 1 == 8, "INQUIRY vendor field is 8 characters");
static_assert(sizeof kScsiProductId - 1 == 16, "INQUIRY product field is 16 characters");

constexpr std::uint8_t kRecoveryComponentIndex = 2;  // usbmsc.sb
constexpr std::uint8_t kPlayerComponentIndex = 3;    // rdmxsys.sb
constexpr std::uint8_t kBootManagerComponentIndex = 1;
constexpr int kFormatDataAreaDefault = 0;
constexpr int kShowChipVersion = 1;
constexpr int kProductPrefixMatch = 0;
constexpr int kForceFat16 = 1;

constexpr int kNoticeText = 52;
constexpr int kAppTitleText = 53;
constexpr int kAboutCaptionText = 54;
constexpr int kAppDescriptionText = 55;

}  // namespace

// Row 0 is not a component: it carries the tag of the data drive.
const ComponentEntry CRyConfigInfo::kComponentTable[kComponentRows] = {
    {"", L"", 0, 0x0A, 0, 0},
    {"bootmanager.sb", L"Boot Manager", 1, 0x50, 1, 0},
    {"usbmsc.sb", L"USB Mass Storage", 1, 0x01, 1, 0},
    {"rdmxsys.sb", L"Player", 1, 0x00, 1, 0},
    {"resource.bin", L"Resource Manager", 1, 0x02, 1, 0},
};

CRyConfigInfo::CRyConfigInfo() : CRyBase("CRyConfigInfo") {}

std::int32_t CRyConfigInfo::CheckRow(std::uint8_t index, bool mustBePresent) {
  if (index >= kComponentRows) return RyStatus::kArgumentOutOfRange;
  if (mustBePresent && kComponentTable[index].present != 1) return RyStatus::kComponentNotPresent;
  return RyStatus::kSuccess;
}

template <typename Out, typename Field>
std::int32_t CRyConfigInfo::ReadRow(std::uint8_t index, bool mustBePresent, Out& out,
                                    Field ComponentEntry::*field) {
  const std::int32_t result = CheckRow(index, mustBePresent);
  if (result == RyStatus::kSuccess) out = kComponentTable[index].*field;
  return result;
}

std::int32_t CRyConfigInfo::GetNumComponents(std::uint8_t& out) const {
  std::uint8_t present = 0;
  for (const ComponentEntry& entry : kComponentTable) {
    if (entry.present == 1) ++present;
  }
  out = present;
  return RyStatus::kSuccess;
}

std::int32_t CRyConfigInfo::GetComponentDriveTag(std::uint8_t index, std::uint8_t& out) const {
  return ReadRow(index, false, out, &ComponentEntry::driveTag);
}

std::int32_t CRyConfigInfo::IsComponentEncrypted(std::uint8_t index, int& out) const {
  return ReadRow(index, true, out, &ComponentEntry::encrypted);
}

std::int32_t CRyConfigInfo::GetComponentSizeReserve(std::uint8_t index, std::int32_t& out) const {
  return ReadRow(index, false, out, &ComponentEntry::sizeReserve);
}

std::int32_t CRyConfigInfo::GetComponentFileName(std::uint8_t index, std::string& out) const {
  return ReadRow(index, true, out, &ComponentEntry::fileName);
}

std::int32_t CRyConfigInfo::GetComponentDisplayName(std::uint8_t index, std::wstring& out) const {
  return ReadRow(index, true, out, &ComponentEntry::displayName);
}

std::int32_t CRyConfigInfo::GetRecoveryComponentIndex(std::uint8_t& out) const {
  out = kRecoveryComponentIndex;
  return RyStatus::kSuccess;
}

std::int32_t CRyConfigInfo::GetPlayerComponentIndex(std::uint8_t& out) const {
  out = kPlayerComponentIndex;
  return RyStatus::kSuccess;
}

std::int32_t CRyConfigInfo::GetBootManagerDriveTag(std::uint8_t& out) const {
  out = kComponentTable[kBootManagerComponentIndex].driveTag;
  return RyStatus::kSuccess;
}

std::int32_t CRyConfigInfo::GetFormatDataAreaDefault(int& out) const {
  out = kFormatDataAreaDefault;
  return RyStatus::kSuccess;
}

std::int32_t CRyConfigInfo::GetShowChipVersion(int& out) const {
  out = kShowChipVersion;
  return RyStatus::kSuccess;
}

std::int32_t CRyConfigInfo::GetExeName(std::wstring& out) const {
  out = kExeName;
  return RyStatus::kSuccess;
}

std::int32_t CRyConfigInfo::GetScsiVendorId(std::string& out) const {
  out.assign(kScsiVendorId, sizeof kScsiVendorId - 1);
  return RyStatus::kSuccess;
}

std::int32_t CRyConfigInfo::GetScsiProductId(std::string& out) const {
  out.assign(kScsiProductId, sizeof kScsiProductId - 1);
  return RyStatus::kSuccess;
}

int CRyConfigInfo::UseProductPrefixMatch() const { return kProductPrefixMatch; }

int CRyConfigInfo::UseFat16() const { return kForceFat16; }

std::int32_t CRyConfigInfo::GetVolumeLabel(std::string& out) const {
  out = kVolumeLabel;
  return out.empty() ? RyStatus::kVolumeLabelEmpty : RyStatus::kSuccess;
}

std::int32_t CRyConfigInfo::GetResourceText(int textNumber, std::wstring& out) const {
  if (resource == nullptr) return RyStatus::kTextLoadFailed;
  return resource->GetText(textNumber, out);
}

std::int32_t CRyConfigInfo::GetNoticeText(std::wstring& out, std::uint16_t) const {
  return GetResourceText(kNoticeText, out);
}

std::int32_t CRyConfigInfo::GetAppTitle(std::wstring& out, std::uint16_t) const {
  return GetResourceText(kAppTitleText, out);
}

std::int32_t CRyConfigInfo::GetAboutCaption(std::wstring& out, std::uint16_t) const {
  return GetResourceText(kAboutCaptionText, out);
}

std::int32_t CRyConfigInfo::GetAppDescription(std::wstring& out, std::uint16_t) const {
  return GetResourceText(kAppDescriptionText, out);
}
