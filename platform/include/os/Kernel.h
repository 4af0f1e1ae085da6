#pragma once
// Kernel services of the operating-system seam: last error, memory, handles,
// events, threads, waits, the clock and the version query.
//
// Every function has the Win32 name and signature. Windows builds forward
// each one to the real API (platform/win32); the host build and the tests
// link the simulated machine instead (platform/sim).

#include "os/Win32Types.h"

namespace os {

// Per-thread last error, as on Windows.
DWORD GetLastError();
void SetLastError(DWORD errorCode);

// Local heap: the program's raw storage for buffers handed to the system.
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalFree(HLOCAL memory);

// Handles, events and waits.
BOOL CloseHandle(HANDLE object);
HANDLE CreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                    LPCWSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
DWORD WaitForSingleObjectEx(HANDLE object, DWORD milliseconds, BOOL alertable);

// Threads.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                    LPTHREAD_START_ROUTINE startAddress, LPVOID parameter, DWORD creationFlags,
                    LPDWORD threadId);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);

// Clock.
void Sleep(DWORD milliseconds);
DWORD GetTickCount();

// Version query.
BOOL GetVersionExW(LPOSVERSIONINFOW versionInfo);

}  // namespace os
