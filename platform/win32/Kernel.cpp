// Windows backend of the kernel services: one-line forwards to the real API.

#include "os/Kernel.h"

namespace os {

DWORD GetLastError() { return ::GetLastError(); }
void SetLastError(DWORD errorCode) { ::SetLastError(errorCode); }

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) { return ::LocalAlloc(flags, bytes); }
HLOCAL LocalFree(HLOCAL memory) { return ::LocalFree(memory); }

BOOL CloseHandle(HANDLE object) { return ::CloseHandle(object); }
HANDLE CreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                    LPCWSTR name) {
  return ::CreateEventW(attributes, manualReset, initialState, name);
}
BOOL SetEvent(HANDLE event) { return ::SetEvent(event); }
BOOL ResetEvent(HANDLE event) { return ::ResetEvent(event); }
DWORD WaitForSingleObjectEx(HANDLE object, DWORD milliseconds, BOOL alertable) {
  return ::WaitForSingleObjectEx(object, milliseconds, alertable);
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize,
                    LPTHREAD_START_ROUTINE startAddress, LPVOID parameter, DWORD creationFlags,
                    LPDWORD threadId) {
  return ::CreateThread(attributes, stackSize, startAddress, parameter, creationFlags, threadId);
}
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
  return ::GetExitCodeThread(thread, exitCode);
}

void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }
DWORD GetTickCount() { return ::GetTickCount(); }

BOOL GetVersionExW(LPOSVERSIONINFOW versionInfo) { return ::GetVersionExW(versionInfo); }

}  // namespace os
