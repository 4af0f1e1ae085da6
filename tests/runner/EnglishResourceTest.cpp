#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "runner/RyEnglishResource.h"
#include "runner/SenseTexts.h"
#include "runner/StatusReport.h"

namespace {

class EnglishResourceTest : public ::testing::Test {
 protected:
  CRyConfigInfo config;
  CRyEnglishResource resource{&config};
};

TEST_F(EnglishResourceTest, EveryStatusFromZeroToMinus59HasItsOwnText) {
  std::set<std::wstring> seen;
  for (std::int32_t code = 0; code >= -59; --code) {
    std::wstring text;
    ASSERT_EQ(resource.GetStatusText(code, text), RyStatus::kSuccess) << code;
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_TRUE(seen.insert(text).second) << "status " << code << " shares its text";
  }
}

struct StatusCase {
  std::int32_t code;
  const char* described;
};

class StatusTextTest : public EnglishResourceTest,
                       public ::testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTextTest, DescribesTheStatusByNumberAndMeaning) {
  EXPECT_EQ(DescribeStatus(resource, GetParam().code), GetParam().described);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, StatusTextTest,
    ::testing::Values(
        StatusCase{-57, "status -57: data read back from the player differs from the data written"},
        StatusCase{-43, "status -43: the player's logical table could not be read"},
        StatusCase{-22, "status -22: no player was found"},
        StatusCase{-31, "status -31: the player's volume could not be locked"},
        StatusCase{-32, "status -32: the player's volume could not be unlocked"},
        StatusCase{-59, "status -59: the player's settings file could not be deleted"},
        StatusCase{-60, "status -60: no message text exists for this status"},
        StatusCase{1, "status 1: no message text exists for this status"},
        StatusCase{-64, "status -64: no message text exists for this status"}));

TEST_F(EnglishResourceTest, CodesWithoutEntryAnswerMinus60) {
  std::wstring text;
  EXPECT_EQ(resource.GetStatusText(-60, text), RyStatus::kNoMessageEntry);
  EXPECT_EQ(resource.GetStatusText(1, text), RyStatus::kNoMessageEntry);
}

struct SenseCase {
  std::uint16_t code;
  int textNumber;  // 0: no text of its own
};

class SenseCodeTest : public EnglishResourceTest,
                      public ::testing::WithParamInterface<SenseCase> {};

TEST_P(SenseCodeTest, DeliversTheTextOfItsNumber) {
  const SenseCase& c = GetParam();
  std::wstring text;
  const std::int32_t result = resource.GetSenseCodeText(c.code, text, 0);
  std::wstring expected;
  resource.GetText(c.textNumber == 0 ? CRyResource::kUnknownSenseCodeText : c.textNumber, expected);
  EXPECT_EQ(result, c.textNumber == 0 ? RyStatus::kUnknownSenseCode : RyStatus::kSuccess);
  EXPECT_EQ(text, expected);
  EXPECT_FALSE(text.empty());
}

INSTANTIATE_TEST_SUITE_P(Codes, SenseCodeTest,
                         ::testing::Values(SenseCase{0x0101, 223}, SenseCase{0x010F, 237},
                                           SenseCase{0x0210, 252}, SenseCase{0x0401, 256},
                                           SenseCase{0x0515, 317}, SenseCase{0x0000, 318},
                                           SenseCase{0x0516, 319}, SenseCase{0x0885, 421},
                                           SenseCase{0x1234, 0}, SenseCase{0x0100, 0},
                                           SenseCase{0x020E, 0}, SenseCase{0x0886, 0}));

TEST_F(EnglishResourceTest, SenseCodesNumberTheirTextsWithoutGapOrOverlap) {
  std::set<int> numbers;
  for (std::uint32_t code = 0; code <= 0xFFFF; ++code) {
    const int number = english::SenseTextNumber(static_cast<std::uint16_t>(code));
    if (number != 0) {
      EXPECT_TRUE(numbers.insert(number).second) << std::hex << code;
    }
  }
  ASSERT_EQ(numbers.size(), 199u);
  EXPECT_EQ(*numbers.begin(), english::kFirstSenseText);
  EXPECT_EQ(*numbers.rbegin(), english::kLastSenseText);
}

TEST_F(EnglishResourceTest, KnownSenseCodesSayWhatHappenedOthersGiveTheirCode) {
  std::wstring text;
  resource.GetSenseCodeText(0x0402, text, 0);
  EXPECT_EQ(text, L"The sectors lie beyond the end of the logical drive");
  resource.GetSenseCodeText(0x0428, text, 0);
  EXPECT_EQ(text, L"The player reported a logical drive error (code 0428h)");
}

TEST_F(EnglishResourceTest, MissingTextNumbersFailWithMinus28) {
  std::wstring text = L"kept";
  EXPECT_EQ(resource.GetText(9999, text), RyStatus::kTextLoadFailed);
  EXPECT_EQ(resource.GetStatus(), RyStatus::kTextLoadFailed);
}

struct PhaseCase {
  int phase;
  const wchar_t* text;
};

class PhaseTextTest : public EnglishResourceTest,
                      public ::testing::WithParamInterface<PhaseCase> {};

TEST_P(PhaseTextTest, TurnsThePhaseIntoItsText) {
  std::wstring text = L"stale";
  resource.GetPhaseText(GetParam().phase, text);
  EXPECT_EQ(text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Phases, PhaseTextTest,
                         ::testing::Values(PhaseCase{0, L""}, PhaseCase{1, L""}, PhaseCase{6, L""},
                                           PhaseCase{7, L"Erasing Boot Manager"},
                                           PhaseCase{10, L"Erasing Resource Manager"},
                                           PhaseCase{11, L""}, PhaseCase{17, L""},
                                           PhaseCase{20, L"Writing Player"}, PhaseCase{27, L""},
                                           PhaseCase{33, L""}, PhaseCase{34, L"Writing FAT copy 1"},
                                           PhaseCase{37, L"Writing FAT copy 4"},
                                           PhaseCase{44, L"Writing the root directory"},
                                           PhaseCase{2, L"Opening the player's volume"},
                                           PhaseCase{46, L"Closing the player's volume"},
                                           PhaseCase{48, L"Update failed"},
                                           PhaseCase{49, L"Update complete"}, PhaseCase{50, L""}));

}  // namespace
