// The payload of a sector write: where it goes and what is refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/RyStatus.h"
#include "player/RyLogicalDriveCommands.h"
#include "tests/support/CommandExchange.h"

namespace {

constexpr std::uint32_t kSectorSize = 512;

std::vector<std::uint8_t> Pattern(std::size_t length, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(seed + i);
  return bytes;
}

std::int32_t SetPayload(CRyWriteLogicalDriveSector& command,
                        const std::vector<std::uint8_t>& source) {
  return command.SetPayload(*test::MakeByteArray(source));
}

TEST(WritePayloadTest, PayloadFollowsTheCdbAndShortOnesAreZeroPadded) {
  const struct {
    std::size_t sourceLength;
    std::int32_t status;
    std::size_t copiedLength;
  } cases[] = {
      {kSectorSize, 0, kSectorSize},
      {256, 0, 256},
      {0, 0, 0},
      {kSectorSize + 1, RyStatus::kPayloadTooLong, 0},
  };
  for (const auto& payloadCase : cases) {
    SCOPED_TRACE(payloadCase.sourceLength);
    CRyWriteLogicalDriveSector command(2, kSectorSize, 0x100, 1);
    const std::vector<std::uint8_t> source = Pattern(payloadCase.sourceLength, 1);
    EXPECT_EQ(SetPayload(command, source), payloadCase.status);
    ASSERT_EQ(test::Exchange(command), 0);

    std::vector<std::uint8_t> expected(kSectorSize, 0);
    std::copy(source.begin(), source.begin() + payloadCase.copiedLength, expected.begin());
    EXPECT_EQ(test::PayloadBytes(command), expected);
  }
}

TEST(WritePayloadTest, ShorterPayloadClearsWhatAnEarlierOneLeft) {
  CRyWriteLogicalDriveSector command(2, kSectorSize, 0, 1);
  ASSERT_EQ(SetPayload(command, Pattern(kSectorSize, 0x80)), 0);
  ASSERT_EQ(SetPayload(command, Pattern(16, 1)), 0);

  std::vector<std::uint8_t> expected = Pattern(16, 1);
  expected.resize(kSectorSize, 0);
  EXPECT_EQ(test::PayloadBytes(command), expected);
}

}  // namespace
