// The answer accessors of the vendor commands.

#include <gtest/gtest.h>

#include <vector>

#include "core/RyStatus.h"
#include "player/RyChipCommands.h"
#include "player/RyLogicalDriveCommands.h"
#include "player/RyLogicalMediaCommands.h"
#include "tests/support/CommandExchange.h"

namespace {

// Stores answer as received (null: none at all), then reads through the
// accessor; the answer may be shorter than the command's data-in length.
template <typename Command, typename Read>
std::int32_t StoreAndRead(Command&& command, const std::vector<std::uint8_t>* answer, Read read) {
  if (answer != nullptr) {
    const std::unique_ptr<CRyByteArray> bytes = test::MakeByteArray(*answer);
    command.StoreAnswer(*bytes);
  }
  return read(command);
}

struct AccessorCase {
  const char* name;
  // One byte too short for the field.
  std::vector<std::uint8_t> shortAnswer;
  std::int32_t (*run)(const std::vector<std::uint8_t>* answer);
};

const AccessorCase kAccessorCases[] = {
    {"GetFlag",
     {},
     [](const std::vector<std::uint8_t>* answer) {
       int flag = 0;
       return StoreAndRead(CRyGetLogicalMediaInfo(9), answer,
                           [&](const auto& command) { return command.GetFlag(flag); });
     }},
    {"GetValue",
     {0, 0, 2},
     [](const std::vector<std::uint8_t>* answer) {
       std::uint32_t value = 0;
       return StoreAndRead(CRyGetLogicalDriveInfo(1, 0), answer,
                           [&](const auto& command) { return command.GetValue(value); });
     }},
    {"GetComponentVersion",
     {0, 1, 0, 2, 0},
     [](const std::vector<std::uint8_t>* answer) {
       CRyVersionInfo version("CRyVersionInfo");
       return StoreAndRead(CRyGetLogicalDriveInfo(1, 7), answer, [&](const auto& command) {
         return command.GetComponentVersion(version);
       });
     }},
    {"GetProductVersion",
     {0, 1, 0, 2, 0},
     [](const std::vector<std::uint8_t>* answer) {
       CRyVersionInfo version("CRyVersionInfo");
       return StoreAndRead(CRyGetLogicalDriveInfo(1, 8), answer,
                           [&](const auto& command) { return command.GetProductVersion(version); });
     }},
    {"GetChipMajorRevision",
     {0x12},
     [](const std::vector<std::uint8_t>* answer) {
       std::uint16_t revision = 0;
       return StoreAndRead(CRyGetChipMajorRevId(), answer, [&](const auto& command) {
         return command.GetChipMajorRevision(revision);
       });
     }},
};

TEST(VendorAnswerTest, AccessorFailsBeforeAnyAnswer) {
  for (const AccessorCase& accessor : kAccessorCases) {
    SCOPED_TRACE(accessor.name);
    EXPECT_EQ(accessor.run(nullptr), RyStatus::kFieldOutOfRange);
  }
}

TEST(VendorAnswerTest, AccessorFailsOnAnswerShorterThanItsField) {
  for (const AccessorCase& accessor : kAccessorCases) {
    SCOPED_TRACE(accessor.name);
    EXPECT_EQ(accessor.run(&accessor.shortAnswer), RyStatus::kFieldOutOfRange);
  }
}

// Each drive-info accessor answers only for the type it belongs to.
enum class DriveInfoField { kValue, kComponentVersion, kProductVersion };

std::int32_t ReadDriveInfo(const CRyGetLogicalDriveInfo& command, DriveInfoField field) {
  std::uint32_t value = 0;
  CRyVersionInfo version("CRyVersionInfo");
  switch (field) {
    case DriveInfoField::kValue:
      return command.GetValue(value);
    case DriveInfoField::kComponentVersion:
      return command.GetComponentVersion(version);
    case DriveInfoField::kProductVersion:
      return command.GetProductVersion(version);
  }
  return RyStatus::kFailed;
}

TEST(VendorAnswerTest, DriveInfoAccessorOfAnotherTypeFails) {
  const struct {
    std::uint32_t infoType;
    DriveInfoField field;
  } owners[] = {{0, DriveInfoField::kValue},
                {7, DriveInfoField::kComponentVersion},
                {8, DriveInfoField::kProductVersion}};
  for (const auto& built : owners) {
    CRyGetLogicalDriveInfo command(1, built.infoType);
    ASSERT_EQ(test::Exchange(command, std::vector<std::uint8_t>(48, 0x01)), 0);
    for (const auto& asked : owners) {
      SCOPED_TRACE(testing::Message()
                   << "type " << built.infoType << " asked as type " << asked.infoType);
      EXPECT_EQ(ReadDriveInfo(command, asked.field),
                asked.infoType == built.infoType ? 0 : RyStatus::kUnsupportedInfoType);
    }
  }
}

TEST(VendorAnswerTest, MediaFlagOfAnotherTypeFails) {
  CRyGetLogicalMediaInfo command(8, 1);
  ASSERT_EQ(test::Exchange(command, {0x01}), 0);
  int flag = 0;
  EXPECT_EQ(command.GetFlag(flag), RyStatus::kUnsupportedInfoType);
}

TEST(VendorAnswerTest, PlayerFlagIsAnyNonzeroByte) {
  const std::uint8_t answers[] = {0x80, 0x01, 0x00};
  for (const std::uint8_t answer : answers) {
    CRyGetLogicalMediaInfo command(9);
    ASSERT_EQ(test::Exchange(command, {answer}), 0);
    int flag = -1;
    EXPECT_EQ(command.GetFlag(flag), 0);
    EXPECT_EQ(flag, answer != 0 ? 1 : 0) << int{answer};
  }
}

TEST(VendorAnswerTest, SectorSizeIsBigEndian) {
  CRyGetLogicalDriveInfo command(1, 0);
  ASSERT_EQ(test::Exchange(command, {0x00, 0x01, 0x02, 0x00}), 0);
  std::uint32_t value = 0;
  EXPECT_EQ(command.GetValue(value), 0);
  EXPECT_EQ(value, 0x00010200u);
}

TEST(VendorAnswerTest, VersionsAreReadFromTheStartOfTheAnswer) {
  CRyGetLogicalDriveInfo component(1, 7);
  CRyGetLogicalDriveInfo product(1, 8);
  ASSERT_EQ(test::Exchange(component, {0x00, 0x01, 0x00, 0x02, 0x01, 0x00, 0xFF}), 0);
  ASSERT_EQ(test::Exchange(product, {0x12, 0x34, 0x00, 0x07, 0xFF, 0xFE}), 0);

  CRyVersionInfo version("CRyVersionInfo");
  EXPECT_EQ(component.GetComponentVersion(version), 0);
  EXPECT_EQ(version.ToString(), L"001.002.256");
  EXPECT_EQ(product.GetProductVersion(version), 0);
  EXPECT_EQ(version.ToString(), L"4660.007.65534");
}

TEST(VendorAnswerTest, ChipRevisionIsBigEndian) {
  CRyGetChipMajorRevId command;
  ASSERT_EQ(test::Exchange(command, {0x12, 0x34}), 0);
  std::uint16_t revision = 0;
  EXPECT_EQ(command.GetChipMajorRevision(revision), 0);
  EXPECT_EQ(revision, 0x1234);
}

}  // namespace
