#pragma once
// The program's build-time identity: the player it serves, its own file
// name, the firmware component table and the compiled-in defaults. Nothing
// here is read from or written to the registry or a file.

#include <cstdint>
#include <string>

#include "core/RyBase.h"

class CRyResource;

struct ComponentEntry {
  char fileName[260];        // firmware image file, without a directory
  wchar_t displayName[260];  // the name shown to the user
  std::uint8_t present;      // 1: a downloadable component
  std::uint8_t driveTag;     // tag of the logical drive that holds it
  std::uint8_t encrypted;    // 1: the image file must be decoded before use
  std::int32_t sizeReserve;  // bytes added to the image length for the drive size
};

class CRyConfigInfo : public CRyBase {
 public:
  static constexpr std::uint8_t kComponentRows = 5;

  CRyConfigInfo();

  void SetResource(CRyResource* newResource) { resource = newResource; }

  std::int32_t GetNumComponents(std::uint8_t& out) const;
  std::int32_t GetComponentDriveTag(std::uint8_t index, std::uint8_t& out) const;
  std::int32_t IsComponentEncrypted(std::uint8_t index, int& out) const;
  std::int32_t GetComponentSizeReserve(std::uint8_t index, std::int32_t& out) const;
  std::int32_t GetComponentFileName(std::uint8_t index, std::string& out) const;
  std::int32_t GetComponentDisplayName(std::uint8_t index, std::wstring& out) const;
  std::int32_t GetRecoveryComponentIndex(std::uint8_t& out) const;
  std::int32_t GetPlayerComponentIndex(std::uint8_t& out) const;
  std::int32_t GetBootManagerDriveTag(std::uint8_t& out) const;
  std::int32_t GetFormatDataAreaDefault(int& out) const;
  std::int32_t GetShowChipVersion(int& out) const;
  std::int32_t GetExeName(std::wstring& out) const;
  std::int32_t GetScsiVendorId(std::string& out) const;
  std::int32_t GetScsiProductId(std::string& out) const;
  // 0: the whole product identification is compared; 1: its first word is
  // searched for inside the device's product field.
  int UseProductPrefixMatch() const;
  // 1: the data area is formatted FAT16 whatever its size.
  int UseFat16() const;
  std::int32_t GetVolumeLabel(std::string& out) const;

  // Product texts from the language resource. The language id is ignored:
  // the resource always uses the language chosen at start-up.
  std::int32_t GetNoticeText(std::wstring& out, std::uint16_t languageId) const;
  std::int32_t GetAppTitle(std::wstring& out, std::uint16_t languageId) const;
  std::int32_t GetAboutCaption(std::wstring& out, std::uint16_t languageId) const;
  std::int32_t GetAppDescription(std::wstring& out, std::uint16_t languageId) const;

  // The component table, shared by all instances.
  static const ComponentEntry kComponentTable[kComponentRows];

 private:
  // -9 for a row beyond the table; -4 for a row that is not a component
  // when the operation asks for one.
  static std::int32_t CheckRow(std::uint8_t index, bool mustBePresent);
  // Copies one field of a row after CheckRow; the out value stays untouched
  // on failure.
  template <typename Out, typename Field>
  static std::int32_t ReadRow(std::uint8_t index, bool mustBePresent, Out& out,
                              Field ComponentEntry::*field);
  std::int32_t GetResourceText(int textNumber, std::wstring& out) const;

  CRyResource* resource = nullptr;  // not owned
};
