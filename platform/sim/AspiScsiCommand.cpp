// SC_EXEC_SCSI_CMD: the request block is checked at once, then carried to
// the adapter's disk and completed as the test chose: on a worker thread,
// inside the call, or when the test releases it.

#include <algorithm>
#include <cstring>

#include "AspiExecution.h"
#include "os/Kernel.h"
#include "sim/Machine.h"

namespace sim {

namespace {

constexpr BYTE kDirectionMask = aspi::SRB_DIR_IN | aspi::SRB_DIR_OUT;
constexpr std::size_t kMaximumCdbLength = sizeof(aspi::SRB_ExecSCSICmd{}.CDBByte);

using PostProcedure = void (*)(aspi::SRB_ExecSCSICmd*);

}  // namespace

BYTE AspiLayer::CheckScsiCommand(const aspi::SRB_ExecSCSICmd& srb,
                                 std::shared_ptr<StorageDevice>& device,
                                 ScsiDirection& direction) const {
  if (srb.SRB_HaId >= adapters.size()) return aspi::SS_INVALID_HA;
  const AspiHostAdapter& adapter = adapters[srb.SRB_HaId];
  if (srb.SRB_Target != 0 || srb.SRB_Lun != 0 || adapter.device == nullptr) {
    return aspi::SS_NO_DEVICE;
  }
  if (srb.SRB_CDBLen == 0 || srb.SRB_CDBLen > kMaximumCdbLength) return kAspiInvalidSrb;
  const bool posting = (srb.SRB_Flags & kAspiPosting) != 0;
  const bool notifying = (srb.SRB_Flags & aspi::SRB_EVENT_NOTIFY) != 0;
  if (posting && notifying) return kAspiInvalidSrb;
  if ((posting || notifying) && srb.SRB_PostProc == nullptr) return kAspiInvalidSrb;
  switch (srb.SRB_Flags & kDirectionMask) {
    case aspi::SRB_DIR_IN:
      direction = ScsiDirection::kIn;
      break;
    case aspi::SRB_DIR_OUT:
      direction = ScsiDirection::kOut;
      break;
    case kDirectionMask:
      direction = ScsiDirection::kNone;  // no data phase
      break;
    default:
      // Leaving the direction to the command is not supported for a
      // transfer under Win32.
      if (srb.SRB_BufLen != 0) return kAspiInvalidSrb;
      direction = ScsiDirection::kNone;
      break;
  }
  if (direction != ScsiDirection::kNone && srb.SRB_BufLen != 0) {
    if (srb.SRB_BufPointer == nullptr) return kAspiInvalidSrb;
    if (srb.SRB_BufLen > adapter.maximumTransferLength) return kAspiBufferTooBig;
  }
  device = adapter.device;
  return aspi::SS_PENDING;
}

DWORD AspiLayer::StartScsiCommand(aspi::SRB_ExecSCSICmd& srb) {
  Execution execution;
  execution.srb = &srb;
  AspiCompletion mode;
  {
    std::lock_guard<std::mutex> lock(mutex);
    const BYTE refused = CheckScsiCommand(srb, execution.device, execution.direction);
    if (refused != aspi::SS_PENDING) return srb.SRB_Status = refused;
    mode = completion;
  }
  srb.SRB_Status = aspi::SS_PENDING;
  switch (mode) {
    case AspiCompletion::kImmediate:
      Complete(execution);
      return srb.SRB_Status;
    case AspiCompletion::kHeld: {
      std::lock_guard<std::mutex> lock(mutex);
      held.push_back(std::move(execution));
      break;
    }
    case AspiCompletion::kWorkerThread: {
      HANDLE worker =
          machine.StartThread(CompleteOnWorker, new Execution(std::move(execution)), nullptr);
      machine.RemoveObject(worker);
      break;
    }
  }
  // From here on the block may already be complete: it is not touched again.
  return aspi::SS_PENDING;
}

DWORD WINAPI AspiLayer::CompleteOnWorker(LPVOID parameter) {
  std::unique_ptr<Execution> execution(static_cast<Execution*>(parameter));
  Complete(*execution);
  return 0;
}

std::size_t AspiLayer::HeldRequestCount() const {
  std::lock_guard<std::mutex> lock(mutex);
  return held.size();
}

void AspiLayer::CompleteHeldRequests() {
  std::vector<Execution> released;
  {
    std::lock_guard<std::mutex> lock(mutex);
    released.swap(held);
  }
  for (const Execution& execution : released) Complete(execution);
}

void AspiLayer::Complete(const Execution& execution) {
  aspi::SRB_ExecSCSICmd& srb = *execution.srb;
  ScsiRequest request;
  request.cdb.assign(srb.CDBByte, srb.CDBByte + srb.SRB_CDBLen);
  request.direction = execution.direction;
  if (execution.direction == ScsiDirection::kOut) {
    request.dataOut.assign(srb.SRB_BufPointer, srb.SRB_BufPointer + srb.SRB_BufLen);
  } else if (execution.direction == ScsiDirection::kIn) {
    request.dataInLength = srb.SRB_BufLen;
  }

  BYTE status = aspi::SS_ERR;
  DWORD transferred = 0;
  if (!execution.device->IsPresent()) {
    // An unplugged disk does not answer its selection.
    srb.SRB_HaStat = kHostAdapterSelectionTimeout;
    srb.SRB_TargStat = 0;
  } else {
    const ScsiResult result = execution.device->ExecuteScsi(request);
    srb.SRB_HaStat = kHostAdapterOk;
    srb.SRB_TargStat = result.scsiStatus;
    if (execution.direction == ScsiDirection::kIn) {
      transferred =
          static_cast<DWORD>(std::min<std::size_t>(result.dataIn.size(), request.dataInLength));
      std::copy(result.dataIn.begin(), result.dataIn.begin() + transferred, srb.SRB_BufPointer);
    } else if (execution.direction == ScsiDirection::kOut) {
      transferred = srb.SRB_BufLen;
    }
    if (result.scsiStatus == ScsiResult::kGood) {
      status = aspi::SS_COMP;
    } else if (result.scsiStatus == ScsiResult::kCheckCondition) {
      // Automatic request sense: SRB_SenseLen bytes at SenseArea, which the
      // caller sizes, as ASPI lets it.
      std::memset(srb.SenseArea, 0, srb.SRB_SenseLen);
      std::memcpy(srb.SenseArea, result.sense.data(),
                  std::min<std::size_t>(result.sense.size(), srb.SRB_SenseLen));
    }
  }
  if ((srb.SRB_Flags & kAspiResidualCount) != 0) srb.SRB_BufLen -= transferred;

  // The status is the last write to the block; the notification follows it,
  // after which the block is the caller's.
  const BYTE flags = srb.SRB_Flags;
  void* const postProc = srb.SRB_PostProc;
  *static_cast<volatile BYTE*>(&srb.SRB_Status) = status;
  if ((flags & aspi::SRB_EVENT_NOTIFY) != 0) {
    os::SetEvent(static_cast<HANDLE>(postProc));
  } else if ((flags & kAspiPosting) != 0) {
    reinterpret_cast<PostProcedure>(reinterpret_cast<void (*)()>(postProc))(&srb);
  }
}

}  // namespace sim
