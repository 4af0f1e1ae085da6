// SCSI requests through ASPI: a request block with event notification,
// polled without blocking so the shell stays alive.

#include "core/RyProgress.h"
#include "core/RyStatus.h"
#include "device/RyDeviceHelpers.h"
#include "device/RyDeviceOwner.h"
#include "device/RyScsi9x.h"
#include "os/Os.h"

namespace {

// The data buffer of one request, from the local heap.
class AspiBuffer {
 public:
  explicit AspiBuffer(std::uint32_t length)
      : bytes(static_cast<std::uint8_t*>(os::LocalAlloc(LPTR, length == 0 ? 1 : length))) {}
  ~AspiBuffer() {
    if (bytes != nullptr) os::LocalFree(bytes);
  }
  AspiBuffer(const AspiBuffer&) = delete;
  AspiBuffer& operator=(const AspiBuffer&) = delete;
  std::uint8_t* bytes;
};

}  // namespace

DWORD CRyScsi_9x::SendAndWait(aspi::SRB_ExecSCSICmd& srb, HANDLE event) {
  os::ResetEvent(event);
  DWORD result = sendCommand(&srb);
  if (result == aspi::SS_PENDING) {
    CRyProgress* progress = owner != nullptr ? owner->GetProgress() : nullptr;
    DWORD wait = WAIT_TIMEOUT;
    while ((wait = os::WaitForSingleObjectEx(event, 0, FALSE)) == WAIT_TIMEOUT) {
      if (progress != nullptr) progress->Advance(0);
    }
    result = wait == WAIT_OBJECT_0 ? aspi::SS_COMP : wait;
  }
  return result;
}

std::int32_t CRyScsi_9x::Execute(const CRyByteArray& request, std::int32_t cdbLength,
                                 std::int32_t dataOut, CRyByteArray& answer) {
  if (sendCommand == nullptr) return RyStatus::kAspiNotReady;
  const auto n = static_cast<std::uint32_t>(cdbLength) & 0xFF;
  if (n > sizeof(aspi::SRB_ExecSCSICmd{}.CDBByte) || n > request.GetCount()) {
    return RyStatus::kFailed;
  }
  const std::uint32_t payloadLength = request.GetCount() - n;
  const std::uint32_t transferLength = MaxU32(answer.GetCount(), payloadLength);
  AspiBuffer buffer(transferLength);
  if (buffer.bytes == nullptr) return RyStatus::kFailed;
  request.ReadBytes(buffer.bytes, payloadLength, n);

  HANDLE event = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (event == nullptr) return Report(RyStatus::kEventCreateFailed, os::GetLastError());

  aspi::SRB_ExecSCSICmd srb;
  ZeroBytes(&srb, sizeof srb);
  srb.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = hostAdapterId;
  srb.SRB_Flags = (dataOut != 0 ? aspi::SRB_DIR_OUT : aspi::SRB_DIR_IN) | aspi::SRB_EVENT_NOTIFY;
  srb.SRB_BufLen = transferLength;
  srb.SRB_BufPointer = buffer.bytes;
  srb.SRB_SenseLen = aspi::kSenseLength;
  srb.SRB_CDBLen = static_cast<BYTE>(n);
  srb.SRB_PostProc = event;
  request.ReadBytes(srb.CDBByte, n, 0);

  // A request that completes at once (SS_COMP without pending) is as good
  // as one that completes later.
  const DWORD sent = SendAndWait(srb, event);
  std::int32_t result = RyStatus::kSuccess;
  if (srb.SRB_Status != aspi::SS_COMP) {
    StoreSenseData(srb.SenseArea, aspi::kSenseLength);
    result = ReportWithText(RyStatus::kScsiRequestFailed, srb.SRB_Status, SenseText());
  } else if (sent != aspi::SS_COMP) {
    result = RyStatus::kScsiRequestFailed;
  } else {
    answer.WriteBytes(buffer.bytes, answer.GetCount(), 0);
  }
  os::CloseHandle(event);
  return result;
}
