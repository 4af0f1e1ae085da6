#include "OverlappedIo.h"

#include "sim/Machine.h"

namespace sim {

namespace {

// The NTSTATUS values Windows leaves in OVERLAPPED.Internal.
constexpr ULONG_PTR kStatusSuccess = 0x00000000;
constexpr ULONG_PTR kStatusCancelled = 0xC0000120;
constexpr ULONG_PTR kStatusUnsuccessful = 0xC0000001;

ULONG_PTR StatusOf(DWORD error) {
  if (error == ERROR_SUCCESS) return kStatusSuccess;
  return error == ERROR_OPERATION_ABORTED ? kStatusCancelled : kStatusUnsuccessful;
}

}  // namespace

void CompleteOverlapped(Machine& machine, const OverlappedWrite& write, DWORD error, DWORD bytes) {
  write.overlapped->Internal = StatusOf(error);
  write.overlapped->InternalHigh = bytes;
  const LPOVERLAPPED_COMPLETION_ROUTINE routine = write.routine;
  const LPOVERLAPPED overlapped = write.overlapped;
  machine.QueueApc(write.thread,
                   [routine, overlapped, error, bytes] { routine(error, bytes, overlapped); });
}

}  // namespace sim
