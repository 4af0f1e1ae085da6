#include "sim/ScsiSense.h"

#include <utility>

namespace sim {

namespace {

constexpr std::uint8_t kFixedFormatCurrent = 0x70;
constexpr std::size_t kKeyOffset = 2;
constexpr std::size_t kAdditionalLengthOffset = 7;
constexpr std::size_t kAscOffset = 12;
constexpr std::size_t kAscqOffset = 13;

}  // namespace

std::vector<std::uint8_t> SenseData::Bytes() const {
  std::vector<std::uint8_t> bytes(kLength, 0);
  bytes[0] = kFixedFormatCurrent;
  bytes[kKeyOffset] = key;
  bytes[kAdditionalLengthOffset] = static_cast<std::uint8_t>(kLength - 8);
  bytes[kAscOffset] = asc;
  bytes[kAscqOffset] = ascq;
  return bytes;
}

SenseData SenseData::FromBytes(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() <= kAscqOffset) return SenseData{};
  return SenseData{static_cast<std::uint8_t>(bytes[kKeyOffset] & 0x0F), bytes[kAscOffset],
                   bytes[kAscqOffset]};
}

ScsiResult Good(std::vector<std::uint8_t> dataIn) {
  ScsiResult result;
  result.scsiStatus = ScsiResult::kGood;
  result.dataIn = std::move(dataIn);
  return result;
}

ScsiResult CheckCondition(const SenseData& sense) {
  ScsiResult result;
  result.scsiStatus = ScsiResult::kCheckCondition;
  result.sense = sense.Bytes();
  return result;
}

}  // namespace sim
