#include "player/RyScsiCommand.h"

#include <algorithm>
#include <limits>
#include <new>

namespace {

constexpr std::uint64_t kMaxLength = std::numeric_limits<std::uint32_t>::max();

bool LengthsFit(std::uint32_t cdbLength, std::uint64_t dataInLength, std::uint64_t dataOutLength) {
  return dataInLength <= kMaxLength && dataOutLength <= kMaxLength - cdbLength;
}

std::uint32_t LengthIf(bool fits, std::uint64_t length) {
  return fits ? static_cast<std::uint32_t>(length) : 0;
}

}  // namespace

CRyScsiCommand::CRyScsiCommand(const char* name, std::uint32_t cdbLength,
                               std::uint64_t dataInLength, std::uint64_t dataOutLength)
    : CRyScsiCommand(name, cdbLength, dataInLength, dataOutLength,
                     LengthsFit(cdbLength, dataInLength, dataOutLength)) {}

CRyScsiCommand::CRyScsiCommand(const char* name, std::uint32_t cdbLength,
                               std::uint64_t dataInLength, std::uint64_t dataOutLength,
                               bool lengthsFit)
    : CRyBase(name),
      commandBuffer(cdbLength + LengthIf(lengthsFit, dataOutLength), "CRyByteArray"),
      cdbLength(cdbLength),
      dataInLength(LengthIf(lengthsFit, dataInLength)),
      dataOutLength(LengthIf(lengthsFit, dataOutLength)) {
  if (!lengthsFit || commandBuffer.GetStatus() != RyStatus::kSuccess) status = RyStatus::kFailed;
}

CRyScsiCommand::~CRyScsiCommand() = default;

std::int32_t CRyScsiCommand::StoreAnswer(const CRyByteArray& data) {
  // A failed copy must not leave an earlier answer to be read as this one.
  answerBuffer.reset(new (std::nothrow) CRyByteArray(data.GetCount(), "CRyByteArray"));
  if (answerBuffer == nullptr || answerBuffer->GetStatus() != RyStatus::kSuccess) {
    answerBuffer.reset();
    status = RyStatus::kFailed;
    return RyStatus::kFailed;
  }
  return answerBuffer->WriteBytes(data.GetData(), data.GetCount(), 0);
}

int CRyScsiCommand::IsDataOut() const { return dataInLength > 0 ? 0 : 1; }

std::int32_t CRyScsiCommand::FirstFailure(std::initializer_list<std::int32_t> results) {
  for (const std::int32_t result : results) {
    if (result != RyStatus::kSuccess) return result;
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyScsiCommand::SetPayload(const CRyByteArray& source) {
  const std::uint32_t length = source.GetCount();
  if (length > dataOutLength) return RyStatus::kPayloadTooLong;
  for (std::uint32_t i = length; i < dataOutLength; ++i) commandBuffer.SetAt(cdbLength + i, 0);
  return commandBuffer.WriteBytes(source.GetData(), length, cdbLength);
}

std::int32_t CRyScsiCommand::CopyData(CRyByteArray& destination) const {
  if (answerBuffer == nullptr) return RyStatus::kSuccess;
  const std::uint32_t length = std::min(answerBuffer->GetCount(), destination.GetCount());
  destination.WriteBytes(answerBuffer->GetData(), length, 0);
  return RyStatus::kSuccess;
}
