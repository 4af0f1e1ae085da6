// Windows backend of the storage services: one-line forwards to the real API.

#include "os/Storage.h"

namespace os {

DWORD GetLogicalDrives() { return ::GetLogicalDrives(); }
UINT GetDriveTypeW(LPCWSTR rootPathName) { return ::GetDriveTypeW(rootPathName); }
UINT GetDriveTypeA(LPCSTR rootPathName) { return ::GetDriveTypeA(rootPathName); }

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile) {
  return ::CreateFileW(fileName, desiredAccess, shareMode, securityAttributes, creationDisposition,
                       flagsAndAttributes, templateFile);
}
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) { return ::GetFileSize(file, fileSizeHigh); }
DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod) {
  return ::SetFilePointer(file, distanceToMove, distanceToMoveHigh, moveMethod);
}
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped) {
  return ::ReadFile(file, buffer, bytesToRead, bytesRead, overlapped);
}
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped) {
  return ::WriteFile(file, buffer, bytesToWrite, bytesWritten, overlapped);
}
BOOL WriteFileEx(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPOVERLAPPED overlapped,
                 LPOVERLAPPED_COMPLETION_ROUTINE completionRoutine) {
  return ::WriteFileEx(file, buffer, bytesToWrite, overlapped, completionRoutine);
}
BOOL CancelIo(HANDLE file) { return ::CancelIo(file); }

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize,
                     LPVOID outBuffer, DWORD outBufferSize, LPDWORD bytesReturned,
                     LPOVERLAPPED overlapped) {
  return ::DeviceIoControl(device, ioControlCode, inBuffer, inBufferSize, outBuffer, outBufferSize,
                           bytesReturned, overlapped);
}

}  // namespace os
