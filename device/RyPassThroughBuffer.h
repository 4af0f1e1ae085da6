#pragma once
// One pass-through request as the NT storage stack takes it: the
// SCSI_PASS_THROUGH header, the block size and a reserved word, 18 sense
// bytes, the data and one spare byte, in a single local-heap block. On
// 32-bit Windows the header is 44 bytes, so sense starts at 52 and data at
// 70; the 64-bit header is longer and everything after it moves with it.

#include <cstdint>

#include "core/RyByteArray.h"
#include "os/Win32Types.h"

class PassThroughBuffer {
 public:
  static constexpr std::uint32_t kSenseLength = 18;
  static constexpr std::uint32_t kTimeOutSeconds = 120;
  static constexpr std::uint32_t kMaxCdbLength = 16;
  static constexpr std::uint32_t kSenseOffset = sizeof(SCSI_PASS_THROUGH) + 8;
  static constexpr std::uint32_t kDataOffset = kSenseOffset + kSenseLength;

  // Builds the block for a request (CDB then data-out bytes) expecting
  // transferLength bytes either way. IsValid() is false when the block could
  // not be allocated or the request does not fit.
  PassThroughBuffer(const CRyByteArray& request, std::uint32_t cdbLength, bool dataOut,
                    std::uint32_t transferLength);
  ~PassThroughBuffer();
  PassThroughBuffer(const PassThroughBuffer&) = delete;
  PassThroughBuffer& operator=(const PassThroughBuffer&) = delete;

  bool IsValid() const { return block != nullptr; }
  void* GetBlock() const { return block; }
  DWORD GetBlockSize() const { return blockSize; }

  UCHAR GetScsiStatus() const;
  // The sense bytes the driver returned, at most the 18 asked for.
  std::uint32_t GetSenseLength() const;
  const std::uint8_t* GetSense() const;
  // Copies the first answer.GetCount() data bytes into the answer.
  void CopyDataTo(CRyByteArray& answer) const;

 private:
  SCSI_PASS_THROUGH& Header() const { return *static_cast<SCSI_PASS_THROUGH*>(block); }
  std::uint8_t* Bytes() const { return static_cast<std::uint8_t*>(block); }

  void* block = nullptr;
  DWORD blockSize = 0;
};
