#include "device/RyPassThroughBuffer.h"

#include <cstring>
#include <limits>

#include "os/Os.h"

PassThroughBuffer::PassThroughBuffer(const CRyByteArray& request, std::uint32_t cdbLength,
                                     bool dataOut, std::uint32_t transferLength) {
  const std::uint32_t requestLength = request.GetCount();
  if (cdbLength > kMaxCdbLength || cdbLength > requestLength) return;
  if (requestLength - cdbLength > transferLength) return;
  if (transferLength > std::numeric_limits<DWORD>::max() - kDataOffset - 1) return;
  const DWORD size = kDataOffset + transferLength + 1;
  block = os::LocalAlloc(LPTR, size);
  if (block == nullptr) return;
  blockSize = size;

  SCSI_PASS_THROUGH& header = Header();
  header.Length = sizeof(SCSI_PASS_THROUGH);
  header.CdbLength = static_cast<UCHAR>(cdbLength);
  header.SenseInfoLength = kSenseLength;
  header.DataIn = dataOut ? SCSI_IOCTL_DATA_OUT : SCSI_IOCTL_DATA_IN;
  header.DataTransferLength = transferLength;
  header.TimeOutValue = kTimeOutSeconds;
  header.DataBufferOffset = kDataOffset;
  header.SenseInfoOffset = kSenseOffset;
  std::memcpy(header.Cdb, request.GetData(), cdbLength);
  const DWORD sizeField = size;
  std::memcpy(Bytes() + sizeof(SCSI_PASS_THROUGH), &sizeField, sizeof sizeField);
  std::memcpy(Bytes() + kDataOffset, request.GetData() + cdbLength, requestLength - cdbLength);
}

PassThroughBuffer::~PassThroughBuffer() {
  if (block != nullptr) os::LocalFree(block);
}

UCHAR PassThroughBuffer::GetScsiStatus() const { return Header().ScsiStatus; }

std::uint32_t PassThroughBuffer::GetSenseLength() const {
  const std::uint32_t length = Header().SenseInfoLength;
  return length < kSenseLength ? length : kSenseLength;
}

const std::uint8_t* PassThroughBuffer::GetSense() const { return Bytes() + kSenseOffset; }

void PassThroughBuffer::CopyDataTo(CRyByteArray& answer) const {
  const std::uint32_t length = answer.GetCount();
  const std::uint32_t room = blockSize - kDataOffset;
  answer.WriteBytes(Bytes() + kDataOffset, length < room ? length : room, 0);
}
