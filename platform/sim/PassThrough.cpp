#include "PassThrough.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sim {

namespace {

constexpr std::uint64_t kHeaderSize = sizeof(SCSI_PASS_THROUGH);

bool Fits(std::uint64_t offset, std::uint64_t length, std::uint64_t bufferSize) {
  return offset <= bufferSize && length <= bufferSize - offset;
}

// The checks the port driver makes before it builds a request block.
bool IsWellFormed(const SCSI_PASS_THROUGH& header, const IoControl& request) {
  if (header.Length != kHeaderSize || header.CdbLength > sizeof header.Cdb) return false;
  if (header.SenseInfoLength != 0 &&
      !Fits(header.SenseInfoOffset, header.SenseInfoLength, request.outSize)) {
    return false;
  }
  if (header.DataTransferLength == 0) return header.DataIn <= SCSI_IOCTL_DATA_UNSPECIFIED;
  const bool fitsIn = Fits(header.DataBufferOffset, header.DataTransferLength, request.inSize);
  const bool fitsOut = Fits(header.DataBufferOffset, header.DataTransferLength, request.outSize);
  switch (header.DataIn) {
    case SCSI_IOCTL_DATA_OUT:
      return fitsIn;
    case SCSI_IOCTL_DATA_IN:
      return fitsOut;
    case SCSI_IOCTL_DATA_UNSPECIFIED:
      return fitsIn && fitsOut;
    default:
      return false;
  }
}

// A transfer of no bytes has no data phase, whatever the direction says.
// An unspecified direction with data is delivered as data in.
ScsiRequest BuildRequest(const SCSI_PASS_THROUGH& header, const std::vector<std::uint8_t>& buffer) {
  ScsiRequest scsi;
  scsi.cdb.assign(header.Cdb, header.Cdb + header.CdbLength);
  if (header.DataTransferLength == 0) return scsi;
  if (header.DataIn == SCSI_IOCTL_DATA_OUT) {
    scsi.direction = ScsiDirection::kOut;
    const auto data = buffer.begin() + static_cast<std::ptrdiff_t>(header.DataBufferOffset);
    scsi.dataOut.assign(data, data + header.DataTransferLength);
  } else {
    scsi.direction = ScsiDirection::kIn;
    scsi.dataInLength = header.DataTransferLength;
  }
  return scsi;
}

}  // namespace

DWORD ServePassThrough(StorageDevice& device, const IoControl& request, DWORD& returned) {
  if (request.in == nullptr || request.inSize < kHeaderSize || request.out == nullptr ||
      request.outSize < kHeaderSize) {
    return ERROR_INVALID_PARAMETER;
  }
  SCSI_PASS_THROUGH header;
  std::memcpy(&header, request.in, sizeof header);
  if (!IsWellFormed(header, request)) return ERROR_INVALID_PARAMETER;

  // METHOD_BUFFERED: one system buffer holds the input and receives the output.
  std::vector<std::uint8_t> buffer(std::max(request.inSize, request.outSize));
  std::memcpy(buffer.data(), request.in, request.inSize);

  const ScsiResult result = device.ExecuteScsi(BuildRequest(header, buffer));

  header.ScsiStatus = result.scsiStatus;
  // Sense data come back only with a check condition (auto-sense).
  const std::size_t senseLength =
      result.scsiStatus == ScsiResult::kCheckCondition
          ? std::min<std::size_t>(result.sense.size(), header.SenseInfoLength)
          : 0;
  if (senseLength != 0) {
    std::copy_n(result.sense.begin(), senseLength, buffer.begin() + header.SenseInfoOffset);
  }
  header.SenseInfoLength = static_cast<UCHAR>(senseLength);
  const bool dataIn = header.DataTransferLength != 0 && header.DataIn != SCSI_IOCTL_DATA_OUT;
  if (dataIn) {
    const std::size_t received =
        std::min<std::size_t>(result.dataIn.size(), header.DataTransferLength);
    std::copy_n(result.dataIn.begin(), received, buffer.begin() + header.DataBufferOffset);
    header.DataTransferLength = static_cast<ULONG>(received);
  }
  std::memcpy(buffer.data(), &header, sizeof header);

  // The driver reports the buffer up to the end of the data it returned,
  // or of the sense bytes when no data came in, never less than the record.
  const std::uint64_t end = dataIn ? header.DataBufferOffset + header.DataTransferLength
                                   : std::uint64_t{header.SenseInfoOffset} + senseLength;
  returned =
      static_cast<DWORD>(std::min<std::uint64_t>(std::max(end, kHeaderSize), request.outSize));
  std::memcpy(request.out, buffer.data(), returned);
  return ERROR_SUCCESS;
}

}  // namespace sim
