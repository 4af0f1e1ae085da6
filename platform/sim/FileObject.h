#pragma once
// The objects behind file handles: what ReadFile, WriteFile, SetFilePointer
// and DeviceIoControl reach. Every operation returns a Win32 error code
// (ERROR_SUCCESS when it succeeded); the os:: layer turns it into the
// thread's last error, so the objects never touch it themselves.

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "KernelObjects.h"
#include "OverlappedIo.h"
#include "os/Win32Types.h"

namespace sim {

// What CreateFile asked for.
struct OpenRequest {
  DWORD access = 0;
  DWORD shareMode = 0;
  DWORD creationDisposition = OPEN_EXISTING;
  DWORD flagsAndAttributes = 0;
};

// What every device open demands of the request: a device exists already,
// so it cannot be created, replaced or truncated; and asynchronous device
// handles are not modelled.
inline DWORD CheckDeviceOpen(const OpenRequest& request) {
  if ((request.flagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0) return ERROR_INVALID_PARAMETER;
  const bool opensExisting =
      request.creationDisposition == OPEN_EXISTING || request.creationDisposition == OPEN_ALWAYS;
  return opensExisting ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// A METHOD_BUFFERED control request.
struct IoControl {
  DWORD code = 0;
  const std::uint8_t* in = nullptr;
  DWORD inSize = 0;
  std::uint8_t* out = nullptr;
  DWORD outSize = 0;
};

class FileObject : public KernelObject {
 public:
  explicit FileObject(const OpenRequest& request)
      : access(request.access), shareMode(request.shareMode) {}

  // Calls are served one at a time, as the I/O manager does for handles
  // opened for synchronous I/O; the lock also guards the position.
  std::mutex& CallMutex() { return callMutex; }
  std::uint64_t position = 0;

  // No I/O is ever left pending, so a wait on the handle ends at once.
  bool IsSignaled() const override { return true; }

  DWORD Access() const { return access; }
  DWORD ShareMode() const { return shareMode; }

  virtual DWORD Read(void* buffer, DWORD bytes, DWORD& done) = 0;
  virtual DWORD Write(const void* buffer, DWORD bytes, DWORD& done) = 0;
  virtual DWORD Control(const IoControl& request, DWORD& returned) = 0;
  // Where FILE_END moves from.
  virtual DWORD QueryEndOfFile(std::uint64_t& end) = 0;

  // WriteFileEx: an object that serves it takes the write and completes it
  // through CompleteOverlapped, at once or later. Objects without
  // overlapped I/O refuse it.
  virtual DWORD StartOverlappedWrite(Machine&, const OverlappedWrite&) {
    return ERROR_INVALID_FUNCTION;
  }
  // CancelIo: hands back the thread's writes still pending on this handle;
  // the caller completes them as aborted.
  virtual std::vector<OverlappedWrite> TakePendingWrites(std::thread::id) { return {}; }

 private:
  std::mutex callMutex;
  const DWORD access;
  const DWORD shareMode;
};

}  // namespace sim
