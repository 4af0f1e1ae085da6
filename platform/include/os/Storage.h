#pragma once
// Storage services of the operating-system seam: drive letters, files on
// volumes and physical drives, and device I/O controls.

#include "os/Win32Types.h"

namespace os {

DWORD GetLogicalDrives();
UINT GetDriveTypeW(LPCWSTR rootPathName);
UINT GetDriveTypeA(LPCSTR rootPathName);

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                   LPSECURITY_ATTRIBUTES securityAttributes, DWORD creationDisposition,
                   DWORD flagsAndAttributes, HANDLE templateFile);
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               LPOVERLAPPED overlapped);
// Overlapped write on a handle opened with FILE_FLAG_OVERLAPPED; the routine
// runs on the calling thread during one of its alertable waits.
BOOL WriteFileEx(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPOVERLAPPED overlapped,
                 LPOVERLAPPED_COMPLETION_ROUTINE completionRoutine);
// Cancels the calling thread's pending I/O on the handle.
BOOL CancelIo(HANDLE file);

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize,
                     LPVOID outBuffer, DWORD outBufferSize, LPDWORD bytesReturned,
                     LPOVERLAPPED overlapped);

}  // namespace os
