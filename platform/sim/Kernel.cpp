// Simulated backend of the kernel services.

#include "os/Kernel.h"

#include <algorithm>
#include <cwchar>

#include "KernelObjects.h"
#include "sim/Machine.h"

namespace os {

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

sim::Machine& machine() { return sim::Machine::Current(); }

template <typename Object>
std::shared_ptr<Object> Find(HANDLE handle) {
  return std::dynamic_pointer_cast<Object>(machine().FindObject(handle));
}

BOOL Fail(DWORD error) {
  lastError = error;
  return FALSE;
}

}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD errorCode) { lastError = errorCode; }

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
  constexpr UINT supportedFlags = LMEM_FIXED | LMEM_ZEROINIT;
  if ((flags & ~supportedFlags) != 0) {
    lastError = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  void* memory = machine().Allocate(bytes, (flags & LMEM_ZEROINIT) != 0);
  if (memory == nullptr) lastError = ERROR_NOT_ENOUGH_MEMORY;
  return memory;
}

HLOCAL LocalFree(HLOCAL memory) {
  if (memory == nullptr) return nullptr;
  if (machine().Free(memory)) return nullptr;
  lastError = ERROR_INVALID_HANDLE;
  return memory;
}

BOOL CloseHandle(HANDLE object) {
  // -1 is also the pseudo handle of the current process: closing it is
  // allowed and does nothing.
  if (object == INVALID_HANDLE_VALUE) return TRUE;
  return machine().RemoveObject(object) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCWSTR name) {
  if (name != nullptr) {
    // Named events are shared between processes; nothing here needs them.
    lastError = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  if (machine().TakeEventCreationFailure()) {
    lastError = ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  return machine().AddObject(
      std::make_shared<sim::Event>(manualReset != FALSE, initialState != FALSE));
}

namespace {

template <typename Change>
BOOL ChangeEvent(HANDLE handle, Change change) {
  std::shared_ptr<sim::Event> event = Find<sim::Event>(handle);
  if (event == nullptr) return Fail(ERROR_INVALID_HANDLE);
  {
    std::lock_guard<std::mutex> lock(machine().StateMutex());
    change(*event);
  }
  machine().NotifyStateChanged();
  return TRUE;
}

}  // namespace

BOOL SetEvent(HANDLE event) {
  return ChangeEvent(event, [](sim::Event& target) { target.Set(); });
}

BOOL ResetEvent(HANDLE event) {
  return ChangeEvent(event, [](sim::Event& target) { target.Reset(); });
}

DWORD WaitForSingleObjectEx(HANDLE object, DWORD milliseconds, BOOL alertable) {
  const DWORD result = machine().Wait(object, milliseconds, alertable != FALSE);
  if (result == WAIT_FAILED) lastError = ERROR_INVALID_HANDLE;
  return result;
}

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE startAddress,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId) {
  if (startAddress == nullptr || creationFlags != 0) {
    lastError = ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  return machine().StartThread(startAddress, parameter, threadId);
}

BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
  std::shared_ptr<sim::Thread> target = Find<sim::Thread>(thread);
  if (target == nullptr || exitCode == nullptr) return Fail(ERROR_INVALID_HANDLE);
  std::lock_guard<std::mutex> lock(machine().StateMutex());
  *exitCode = target->ExitCode();
  return TRUE;
}

void Sleep(DWORD milliseconds) { machine().AdvanceClock(milliseconds); }

DWORD GetTickCount() { return machine().GetTickCount(); }

BOOL GetVersionExW(LPOSVERSIONINFOW versionInfo) {
  if (versionInfo == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  const DWORD size = versionInfo->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOW) && size != sizeof(OSVERSIONINFOEXW)) {
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  if (machine().VersionQueryFails()) return Fail(ERROR_INVALID_PARAMETER);
  const sim::WindowsVersion version = machine().GetWindowsVersion();
  versionInfo->dwMajorVersion = version.major;
  versionInfo->dwMinorVersion = version.minor;
  versionInfo->dwBuildNumber = version.build;
  versionInfo->dwPlatformId = version.platformId;
  const std::size_t csdRoom = sizeof(versionInfo->szCSDVersion) / sizeof(WCHAR);
  const std::size_t csdLength = std::min(version.servicePack.size(), csdRoom - 1);
  std::wmemcpy(versionInfo->szCSDVersion, version.servicePack.c_str(), csdLength);
  versionInfo->szCSDVersion[csdLength] = L'\0';
  return TRUE;
}

}  // namespace os
