#include "device/RyReadCapacity.h"

namespace {

constexpr std::uint32_t kCdbLength = 10;
constexpr std::uint8_t kOperationCode = 0x25;
constexpr std::uint32_t kAnswerLength = 8;

}  // namespace

CRyReadCapacity::CRyReadCapacity()
    : CRyScsiCommand("CRyReadCapacity", kCdbLength, kAnswerLength, 0) {}

std::int32_t CRyReadCapacity::BuildCdb() { return commandBuffer.SetAt(0, kOperationCode); }

std::int32_t CRyReadCapacity::GetCapacity(std::uint32_t (&out)[2]) const {
  return ReadAnswer([&](const CRyByteArray& answer) {
    answer.ReadU32BE(out[0], 0);
    return answer.ReadU32BE(out[1], 4);
  });
}
