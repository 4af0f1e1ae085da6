#pragma once
// Base of every SCSI command object. A command lays out its CDB and its
// data-out payload in one buffer, says how many bytes it expects back and
// reads its fields out of the answer; a transport's SendCommand moves the
// bytes. A command is built for one exchange and then destroyed.

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "core/RyBase.h"
#include "core/RyByteArray.h"

class CRyScsiCommand : public CRyBase {
 public:
  ~CRyScsiCommand() override;
  CRyScsiCommand(const CRyScsiCommand&) = delete;
  CRyScsiCommand& operator=(const CRyScsiCommand&) = delete;

  // Writes the CDB (and any payload that comes from the constructor's
  // parameters) into the command buffer.
  virtual std::int32_t BuildCdb() = 0;
  // Keeps a copy of the data-in bytes the transport received.
  virtual std::int32_t StoreAnswer(const CRyByteArray& data);
  // 0 when the device sends data, 1 when it receives a payload or nothing.
  virtual int IsDataOut() const;

  // The CDB in its first GetCdbLength() bytes, the payload after them.
  const CRyByteArray& GetCommandBuffer() const { return commandBuffer; }
  std::uint32_t GetCdbLength() const { return cdbLength; }
  std::uint32_t GetDataInLength() const { return dataInLength; }
  std::uint32_t GetDataOutLength() const { return dataOutLength; }
  // The bytes received, or null until an answer was stored.
  const CRyByteArray* GetAnswerBuffer() const { return answerBuffer.get(); }

 protected:
  // The data lengths come in 64 bits so that a size × count product cannot
  // wrap first: a length that does not fit 32 bits, alone or with the CDB,
  // would otherwise give a short buffer for a long transfer. Such a command
  // gets status -1 and no data phase, and is never sent.
  CRyScsiCommand(const char* name, std::uint32_t cdbLength, std::uint64_t dataInLength,
                 std::uint64_t dataOutLength);

  static std::uint64_t TransferLength(std::uint32_t unitSize, std::uint32_t unitCount) {
    return std::uint64_t{unitSize} * unitCount;
  }

  // The first nonzero result, else 0; the results are evaluated in order.
  static std::int32_t FirstFailure(std::initializer_list<std::int32_t> results);

  // Runs read on the answer; without one every field lies beyond the bytes
  // received.
  template <typename Read>
  std::int32_t ReadAnswer(Read&& read) const {
    if (answerBuffer == nullptr) return RyStatus::kFieldOutOfRange;
    return read(static_cast<const CRyByteArray&>(*answerBuffer));
  }

  // Copies the payload after the CDB: -10 and nothing copied when it is
  // longer than the data-out length; the rest of a shorter one is zero.
  std::int32_t SetPayload(const CRyByteArray& source);
  // Copies the answer from index 0 on, as far as both sizes allow; always 0.
  std::int32_t CopyData(CRyByteArray& destination) const;

  CRyByteArray commandBuffer;
  std::unique_ptr<CRyByteArray> answerBuffer;
  std::uint32_t cdbLength;
  std::uint32_t dataInLength;
  std::uint32_t dataOutLength;

 private:
  CRyScsiCommand(const char* name, std::uint32_t cdbLength, std::uint64_t dataInLength,
                 std::uint64_t dataOutLength, bool lengthsFit);
};
