// Pass-through on NT: the blocking I/O control runs on a worker thread of
// its own, so that the user-interface thread can keep polling it and pumping
// window messages through Advance(0).

#include "core/RyProgress.h"
#include "core/RyStatus.h"
#include "device/RyDeviceHelpers.h"
#include "device/RyDeviceOwner.h"
#include "device/RyPassThroughBuffer.h"
#include "device/RyScsiNt.h"
#include "os/Os.h"

DWORD WINAPI CRyScsi_Nt::PassThroughWorker(LPVOID parameter) {
  auto* transport = static_cast<CRyScsi_Nt*>(parameter);
  PassThroughBuffer& buffer = *transport->pendingRequest;
  DWORD returned = 0;
  const BOOL done = os::DeviceIoControl(transport->handle, IOCTL_SCSI_PASS_THROUGH,
                                        buffer.GetBlock(), buffer.GetBlockSize(), buffer.GetBlock(),
                                        buffer.GetBlockSize(), &returned, nullptr);
  // Read by the caller only after this thread has ended.
  transport->systemError = done ? ERROR_SUCCESS : os::GetLastError();
  return 0;
}

bool CRyScsi_Nt::RunPassThrough(PassThroughBuffer& buffer) {
  pendingRequest = &buffer;
  HANDLE worker = os::CreateThread(nullptr, 0, PassThroughWorker, this, 0, nullptr);
  if (worker == nullptr) {
    pendingRequest = nullptr;
    systemError = os::GetLastError();
    return false;
  }
  CRyProgress* progress = owner != nullptr ? owner->GetProgress() : nullptr;
  DWORD wait = WAIT_TIMEOUT;
  while ((wait = os::WaitForSingleObjectEx(worker, 0, FALSE)) == WAIT_TIMEOUT) {
    if (progress != nullptr) progress->Advance(0);
  }
  // The buffer must not be touched again while the worker might still use it.
  if (wait != WAIT_OBJECT_0) os::WaitForSingleObjectEx(worker, INFINITE, FALSE);
  os::CloseHandle(worker);
  pendingRequest = nullptr;
  return true;
}

std::int32_t CRyScsi_Nt::Execute(const CRyByteArray& request, std::int32_t cdbLength,
                                 std::int32_t dataOut, CRyByteArray& answer) {
  if (handle == INVALID_HANDLE_VALUE) {
    const std::int32_t opened = Open();
    if (opened != RyStatus::kSuccess) return opened;
  }
  const auto n = static_cast<std::uint32_t>(cdbLength) & 0xFF;
  if (n > request.GetCount()) return RyStatus::kFailed;
  const std::uint32_t transferLength = MaxU32(answer.GetCount(), request.GetCount() - n);
  PassThroughBuffer buffer(request, n, dataOut != 0, transferLength);
  if (!buffer.IsValid()) return RyStatus::kFailed;

  if (!RunPassThrough(buffer)) return Report(RyStatus::kDiskControlFailed, systemError);
  if (systemError != ERROR_SUCCESS) return Report(RyStatus::kDiskControlFailed, systemError);
  if (buffer.GetScsiStatus() != 0) {
    StoreSenseData(buffer.GetSense(), buffer.GetSenseLength());
    return ReportWithText(RyStatus::kScsiRequestFailed, 0, SenseText());
  }
  buffer.CopyDataTo(answer);
  return RyStatus::kSuccess;
}
