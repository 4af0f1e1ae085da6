// Simulated backend of the storage services: drive letters, CreateFile and
// the calls on the file objects it returns.

#include "os/Storage.h"

#include <cstdint>
#include <string>
#include <thread>

#include "AccessRights.h"
#include "FileName.h"
#include "FileObject.h"
#include "RecoveryFile.h"
#include "StorageStack.h"
#include "Vwin32File.h"
#include "os/Kernel.h"
#include "sim/Machine.h"

namespace os {

namespace {

sim::Machine& machine() { return sim::Machine::Current(); }

std::shared_ptr<sim::FileObject> FindFile(HANDLE handle) {
  return std::dynamic_pointer_cast<sim::FileObject>(machine().FindObject(handle));
}

BOOL Finish(DWORD error) {
  if (error == ERROR_SUCCESS) return TRUE;
  SetLastError(error);
  return FALSE;
}

// The drive of the current directory, which the machine keeps on C:.
constexpr wchar_t kCurrentDrive = L'C';

UINT DriveTypeOfRoot(const std::wstring& rootPath) {
  const wchar_t letter = sim::ParseDriveRoot(rootPath);
  return letter == 0 ? DRIVE_NO_ROOT_DIR : machine().Storage().DriveType(letter);
}

constexpr std::uint64_t kLowPartRange = std::uint64_t{1} << 32;

}  // namespace

DWORD GetLogicalDrives() { return machine().Storage().LogicalDrives(); }

UINT GetDriveTypeW(LPCWSTR rootPathName) {
  if (rootPathName == nullptr) return machine().Storage().DriveType(kCurrentDrive);
  return DriveTypeOfRoot(rootPathName);
}

UINT GetDriveTypeA(LPCSTR rootPathName) {
  if (rootPathName == nullptr) return machine().Storage().DriveType(kCurrentDrive);
  std::wstring wide;
  for (const char* c = rootPathName; *c != '\0'; ++c) {
    wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*c)));
  }
  return DriveTypeOfRoot(wide);
}

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE) {
  const sim::FileName name = sim::ParseFileName(fileName == nullptr ? L"" : fileName);
  const sim::OpenRequest request{desiredAccess, shareMode, creationDisposition, flagsAndAttributes};
  std::shared_ptr<sim::FileObject> file;
  DWORD error = ERROR_SUCCESS;
  if (sim::IsVwin32Name(name)) {
    // Windows 9x opens a virtual device whatever the disposition, 0 included.
    error = sim::OpenVwin32(machine(), request, file);
  } else if (creationDisposition < CREATE_NEW || creationDisposition > TRUNCATE_EXISTING) {
    error = ERROR_INVALID_PARAMETER;
  } else if (sim::IsRecoveryDeviceName(name)) {
    error = sim::OpenRecoveryDevice(machine(), name, request, file);
  } else {
    error = machine().Storage().Open(name, request, file);
  }
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  // Opening what exists with OPEN_ALWAYS says so.
  SetLastError(creationDisposition == OPEN_ALWAYS ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return machine().AddObject(std::move(file));
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
  const std::shared_ptr<sim::FileObject> target = FindFile(file);
  if (target == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  std::uint64_t size = 0;
  {
    std::lock_guard<std::mutex> call(target->CallMutex());
    if (const DWORD error = target->QueryEndOfFile(size); error != ERROR_SUCCESS) {
      SetLastError(error);
      return INVALID_FILE_SIZE;
    }
  }
  if (fileSizeHigh != nullptr) *fileSizeHigh = static_cast<DWORD>(size >> 32);
  // A size whose low part looks like the failure value.
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod) {
  const std::shared_ptr<sim::FileObject> target = FindFile(file);
  if (target == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
  }
  // Without a high part the distance is a signed 32-bit value.
  const std::int64_t distance =
      distanceToMoveHigh == nullptr
          ? std::int64_t{distanceToMove}
          : static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(static_cast<std::uint32_t>(*distanceToMoveHigh))
                 << 32) |
                static_cast<std::uint32_t>(distanceToMove));
  std::lock_guard<std::mutex> call(target->CallMutex());
  std::uint64_t base = 0;
  switch (moveMethod) {
    case FILE_BEGIN:
      break;
    case FILE_CURRENT:
      base = target->position;
      break;
    case FILE_END:
      if (const DWORD error = target->QueryEndOfFile(base); error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_SET_FILE_POINTER;
      }
      break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_SET_FILE_POINTER;
  }
  // Positions stay below 2^63, so the sum cannot wrap.
  const std::int64_t position = static_cast<std::int64_t>(base) + distance;
  if (position < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  const auto newPosition = static_cast<std::uint64_t>(position);
  // A caller without a high part cannot be told a position past 4 GiB.
  if (distanceToMoveHigh == nullptr && newPosition >= kLowPartRange) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  target->position = newPosition;
  const auto low = static_cast<DWORD>(newPosition);
  if (distanceToMoveHigh != nullptr) *distanceToMoveHigh = static_cast<LONG>(newPosition >> 32);
  // A valid position whose low part looks like the failure value.
  if (low == INVALID_SET_FILE_POINTER) SetLastError(ERROR_SUCCESS);
  return low;
}

namespace {

// What ReadFile and WriteFile share: the handle, the unmodelled
// asynchronous form, the handle's access and the buffer.
template <typename Buffer, typename Transfer>
BOOL TransferFile(HANDLE file, Buffer buffer, DWORD bytes, LPDWORD bytesDone,
                  LPOVERLAPPED overlapped, bool (*mayTransfer)(DWORD), Transfer transfer) {
  if (bytesDone != nullptr) *bytesDone = 0;
  const std::shared_ptr<sim::FileObject> target = FindFile(file);
  if (target == nullptr) return Finish(ERROR_INVALID_HANDLE);
  if (overlapped != nullptr) return Finish(ERROR_INVALID_PARAMETER);
  if (!mayTransfer(target->Access())) return Finish(ERROR_ACCESS_DENIED);
  if (buffer == nullptr && bytes != 0) return Finish(ERROR_NOACCESS);
  DWORD done = 0;
  std::lock_guard<std::mutex> call(target->CallMutex());
  const DWORD error = transfer(*target, done);
  if (error == ERROR_SUCCESS && bytesDone != nullptr) *bytesDone = done;
  return Finish(error);
}

}  // namespace

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped) {
  return TransferFile(
      file, buffer, bytesToRead, bytesRead, overlapped, sim::GrantsReadData,
      [&](sim::FileObject& target, DWORD& done) { return target.Read(buffer, bytesToRead, done); });
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped) {
  return TransferFile(file, buffer, bytesToWrite, bytesWritten, overlapped, sim::GrantsWriteData,
                      [&](sim::FileObject& target, DWORD& done) {
                        return target.Write(buffer, bytesToWrite, done);
                      });
}

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize,
                     LPVOID outBuffer, DWORD outBufferSize, LPDWORD bytesReturned,
                     LPOVERLAPPED overlapped) {
  const std::shared_ptr<sim::FileObject> target = FindFile(device);
  if (target == nullptr) return Finish(ERROR_INVALID_HANDLE);
  if (overlapped != nullptr) return Finish(ERROR_INVALID_PARAMETER);
  // The I/O manager checks the access the code demands before any driver.
  if (!sim::MayControl(target->Access(), ioControlCode)) return Finish(ERROR_ACCESS_DENIED);
  const sim::IoControl request{ioControlCode, static_cast<const std::uint8_t*>(inBuffer),
                               inBuffer == nullptr ? 0 : inBufferSize,
                               static_cast<std::uint8_t*>(outBuffer),
                               outBuffer == nullptr ? 0 : outBufferSize};
  DWORD returned = 0;
  std::lock_guard<std::mutex> call(target->CallMutex());
  const DWORD error = target->Control(request, returned);
  // On failure the count is left as it was.
  if (error == ERROR_SUCCESS && bytesReturned != nullptr) *bytesReturned = returned;
  return Finish(error);
}

BOOL WriteFileEx(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPOVERLAPPED overlapped,
                 LPOVERLAPPED_COMPLETION_ROUTINE completionRoutine) {
  const std::shared_ptr<sim::FileObject> target = FindFile(file);
  if (target == nullptr) return Finish(ERROR_INVALID_HANDLE);
  // Windows would fault on a missing record or routine.
  if (overlapped == nullptr || completionRoutine == nullptr) return Finish(ERROR_NOACCESS);
  if (!sim::GrantsWriteData(target->Access())) return Finish(ERROR_ACCESS_DENIED);
  if (buffer == nullptr && bytesToWrite != 0) return Finish(ERROR_NOACCESS);
  constexpr ULONG_PTR kStatusPending = 0x00000103;
  overlapped->Internal = kStatusPending;
  overlapped->InternalHigh = 0;
  const sim::OverlappedWrite write{std::this_thread::get_id(),
                                   static_cast<const std::uint8_t*>(buffer), bytesToWrite,
                                   overlapped, completionRoutine};
  std::lock_guard<std::mutex> call(target->CallMutex());
  return Finish(target->StartOverlappedWrite(machine(), write));
}

BOOL CancelIo(HANDLE file) {
  const std::shared_ptr<sim::FileObject> target = FindFile(file);
  if (target == nullptr) return Finish(ERROR_INVALID_HANDLE);
  std::vector<sim::OverlappedWrite> cancelled;
  {
    std::lock_guard<std::mutex> call(target->CallMutex());
    cancelled = target->TakePendingWrites(std::this_thread::get_id());
  }
  for (const sim::OverlappedWrite& write : cancelled) {
    sim::CompleteOverlapped(machine(), write, ERROR_OPERATION_ABORTED, 0);
  }
  return TRUE;
}

}  // namespace os
