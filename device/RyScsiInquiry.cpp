#include "device/RyScsiInquiry.h"

namespace {

constexpr std::uint32_t kCdbLength = 6;
constexpr std::uint8_t kOperationCode = 0x12;
constexpr std::uint32_t kAllocationLengthOffset = 4;

}  // namespace

CRyScsiInquiry::CRyScsiInquiry() : CRyScsiCommand("CRyScsiInquiry", kCdbLength, kAnswerLength, 0) {}

std::int32_t CRyScsiInquiry::BuildCdb() {
  return FirstFailure(
      {commandBuffer.SetAt(0, kOperationCode),
       commandBuffer.SetAt(kAllocationLengthOffset, static_cast<std::uint8_t>(kAnswerLength))});
}

std::int32_t CRyScsiInquiry::CopyAnswer(std::uint8_t (&out)[kAnswerLength]) const {
  return ReadAnswer(
      [&](const CRyByteArray& answer) { return answer.ReadBytes(out, kAnswerLength, 0); });
}
