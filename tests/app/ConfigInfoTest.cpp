#include <gtest/gtest.h>

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "tests/support/TableResource.h"

namespace {

TEST(ConfigInfo, ComponentRows) {
  struct Row {
    std::uint8_t index;
    const char* fileName;
    const wchar_t* displayName;
    std::uint8_t tag;
  };
  const Row rows[] = {{1, "bootmanager.sb", L"Boot Manager", 0x50},
                      {2, "usbmsc.sb", L"USB Mass Storage", 0x01},
                      {3, "rdmxsys.sb", L"Player", 0x00},
                      {4, "resource.bin", L"Resource Manager", 0x02}};
  const CRyConfigInfo config;
  for (const Row& row : rows) {
    std::string fileName;
    std::wstring displayName;
    std::uint8_t tag = 0xFF;
    int encrypted = -1;
    std::int32_t reserve = -1;
    EXPECT_EQ(config.GetComponentFileName(row.index, fileName), 0);
    EXPECT_EQ(fileName, row.fileName);
    EXPECT_EQ(config.GetComponentDisplayName(row.index, displayName), 0);
    EXPECT_EQ(displayName, row.displayName);
    EXPECT_EQ(config.GetComponentDriveTag(row.index, tag), 0);
    EXPECT_EQ(tag, row.tag);
    EXPECT_EQ(config.IsComponentEncrypted(row.index, encrypted), 0);
    EXPECT_EQ(encrypted, 1);
    EXPECT_EQ(config.GetComponentSizeReserve(row.index, reserve), 0);
    EXPECT_EQ(reserve, 0);
  }
  std::uint8_t count = 0;
  EXPECT_EQ(config.GetNumComponents(count), 0);
  EXPECT_EQ(count, 4);
}

TEST(ConfigInfo, DataDriveRowIsNotAComponent) {
  const CRyConfigInfo config;
  std::uint8_t tag = 0;
  EXPECT_EQ(config.GetComponentDriveTag(0, tag), 0);
  EXPECT_EQ(tag, 0x0A);
  std::int32_t reserve = -1;
  EXPECT_EQ(config.GetComponentSizeReserve(0, reserve), 0);
  std::string fileName = "kept";
  std::wstring displayName = L"kept";
  int encrypted = -1;
  EXPECT_EQ(config.GetComponentFileName(0, fileName), RyStatus::kComponentNotPresent);
  EXPECT_EQ(config.GetComponentDisplayName(0, displayName), RyStatus::kComponentNotPresent);
  EXPECT_EQ(config.IsComponentEncrypted(0, encrypted), RyStatus::kComponentNotPresent);
  EXPECT_EQ(fileName, "kept");
  EXPECT_EQ(displayName, L"kept");
  EXPECT_EQ(encrypted, -1);
}

TEST(ConfigInfo, RowsBeyondTableAreRefusedUntouched) {
  const CRyConfigInfo config;
  for (std::uint8_t index : {std::uint8_t{5}, std::uint8_t{255}}) {
    std::uint8_t tag = 0x77;
    int encrypted = 0x77;
    std::int32_t reserve = 0x77;
    std::string fileName = "kept";
    std::wstring displayName = L"kept";
    EXPECT_EQ(config.GetComponentDriveTag(index, tag), RyStatus::kArgumentOutOfRange);
    EXPECT_EQ(config.IsComponentEncrypted(index, encrypted), RyStatus::kArgumentOutOfRange);
    EXPECT_EQ(config.GetComponentSizeReserve(index, reserve), RyStatus::kArgumentOutOfRange);
    EXPECT_EQ(config.GetComponentFileName(index, fileName), RyStatus::kArgumentOutOfRange);
    EXPECT_EQ(config.GetComponentDisplayName(index, displayName), RyStatus::kArgumentOutOfRange);
    EXPECT_EQ(tag, 0x77);
    EXPECT_EQ(encrypted, 0x77);
    EXPECT_EQ(reserve, 0x77);
    EXPECT_EQ(fileName, "kept");
    EXPECT_EQ(displayName, L"kept");
  }
}

TEST(ConfigInfo, Identity) {
  const CRyConfigInfo config;
  std::string vendor, product, label;
  std::wstring exe;
  EXPECT_EQ(config.GetScsiVendorId(vendor), 0);
  EXPECT_EQ(config.GetScsiProductId(product), 0);
  EXPECT_EQ(config.GetExeName(exe), 0);
  EXPECT_EQ(config.GetVolumeLabel(label), 0);
  EXPECT_EQ(vendor, std::string("norvik  "));
  EXPECT_EQ(vendor.size(), 8u);
  EXPECT_EQ(product, std::string("K520            "));
  EXPECT_EQ(product.size(), 16u);
  EXPECT_EQ(label, "K520");
  // The single-instance mutex is named from these three, joined as they are.
  std::wstring mutexName = exe;
  for (char c : vendor + product) mutexName += static_cast<wchar_t>(c);
  EXPECT_EQ(mutexName, L"ombra.exenorvik  K520            ");
  EXPECT_EQ(config.GetObjectName(), "CRyConfigInfo");
}

TEST(ConfigInfo, Defaults) {
  const CRyConfigInfo config;
  std::uint8_t recovery = 0, player = 0, bootTag = 0;
  int formatDefault = -1, showChip = -1;
  EXPECT_EQ(config.GetRecoveryComponentIndex(recovery), 0);
  EXPECT_EQ(config.GetPlayerComponentIndex(player), 0);
  EXPECT_EQ(config.GetBootManagerDriveTag(bootTag), 0);
  EXPECT_EQ(config.GetFormatDataAreaDefault(formatDefault), 0);
  EXPECT_EQ(config.GetShowChipVersion(showChip), 0);
  EXPECT_EQ(recovery, 2);
  EXPECT_EQ(player, 3);
  EXPECT_EQ(bootTag, 0x50);
  EXPECT_EQ(formatDefault, 0);
  EXPECT_EQ(showChip, 1);
  EXPECT_EQ(config.UseProductPrefixMatch(), 0);
  EXPECT_EQ(config.UseFat16(), 1);
}

TEST(ConfigInfo, ProductTextsComeFromTheResource) {
  using Getter = std::int32_t (CRyConfigInfo::*)(std::wstring&, std::uint16_t) const;
  struct Case {
    Getter get;
    int textNumber;
  };
  const Case cases[] = {{&CRyConfigInfo::GetNoticeText, 52},
                        {&CRyConfigInfo::GetAppTitle, 53},
                        {&CRyConfigInfo::GetAboutCaption, 54},
                        {&CRyConfigInfo::GetAppDescription, 55}};
  CRyConfigInfo config;
  test::TableResource resource;
  for (const Case& c : cases)
    resource.texts[c.textNumber] = L"text " + std::to_wstring(c.textNumber);

  for (const Case& c : cases) {
    std::wstring text;
    EXPECT_EQ((config.*c.get)(text, 0x0409), RyStatus::kTextLoadFailed) << "before SetResource";
  }
  config.SetResource(&resource);
  for (const Case& c : cases) {
    std::wstring text;
    EXPECT_EQ((config.*c.get)(text, 0x0407), 0);  // the language id is ignored
    EXPECT_EQ(text, L"text " + std::to_wstring(c.textNumber));
  }
  resource.texts.erase(53);
  std::wstring text;
  EXPECT_EQ(config.GetAppTitle(text, 0), RyStatus::kTextLoadFailed);
}

}  // namespace
