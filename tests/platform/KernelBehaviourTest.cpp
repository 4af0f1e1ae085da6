// How the kernel services of the seam behave. The same tests run against the
// simulated machine and, in the x86_64 build under Wine, against the real
// Windows backend, so that the simulation keeps to what Windows does.

#include <gtest/gtest.h>

#include <cstring>

#include "os/Os.h"

namespace {

DWORD WINAPI ReturnParameter(LPVOID parameter) {
  return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(parameter));
}

DWORD WINAPI SetLastErrorAndReturnIt(LPVOID) {
  os::SetLastError(1234);
  return os::GetLastError();
}

DWORD WINAPI SignalEvent(LPVOID event) { return os::SetEvent(static_cast<HANDLE>(event)); }

void WaitForThread(HANDLE thread) {
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(os::WaitForSingleObjectEx(thread, INFINITE, FALSE), WAIT_OBJECT_0);
}

TEST(KernelBehaviour, LastErrorIsPerThread) {
  os::SetLastError(ERROR_ACCESS_DENIED);
  HANDLE thread = os::CreateThread(nullptr, 0, SetLastErrorAndReturnIt, nullptr, 0, nullptr);
  WaitForThread(thread);
  DWORD code = 0;
  ASSERT_TRUE(os::GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 1234u);
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_TRUE(os::CloseHandle(thread));
}

TEST(KernelBehaviour, ThreadExitCodeAndPolling) {
  HANDLE thread =
      os::CreateThread(nullptr, 0, ReturnParameter, reinterpret_cast<LPVOID>(42), 0, nullptr);
  ASSERT_NE(thread, nullptr);
  // Poll with a zero time-out, as the transports do while a command runs.
  DWORD result = WAIT_TIMEOUT;
  while ((result = os::WaitForSingleObjectEx(thread, 0, FALSE)) == WAIT_TIMEOUT) {
  }
  EXPECT_EQ(result, WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(os::GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  // A finished thread stays signalled.
  EXPECT_EQ(os::WaitForSingleObjectEx(thread, 0, FALSE), WAIT_OBJECT_0);
  EXPECT_TRUE(os::CloseHandle(thread));
}

TEST(KernelBehaviour, AutoResetEventReleasesOneWait) {
  HANDLE event = os::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_TIMEOUT);
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 10, FALSE), WAIT_TIMEOUT);
  ASSERT_TRUE(os::SetEvent(event));
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_OBJECT_0);
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_TIMEOUT);
  EXPECT_TRUE(os::CloseHandle(event));
}

TEST(KernelBehaviour, ManualResetEventStaysSetUntilReset) {
  HANDLE event = os::CreateEventW(nullptr, TRUE, TRUE, nullptr);
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_OBJECT_0);
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_OBJECT_0);
  ASSERT_TRUE(os::ResetEvent(event));
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_TIMEOUT);
  EXPECT_TRUE(os::CloseHandle(event));
}

TEST(KernelBehaviour, EventSignalledByAnotherThread) {
  HANDLE event = os::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE thread = os::CreateThread(nullptr, 0, SignalEvent, event, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(os::WaitForSingleObjectEx(event, INFINITE, FALSE), WAIT_OBJECT_0);
  WaitForThread(thread);
  os::CloseHandle(thread);
  os::CloseHandle(event);
}

TEST(KernelBehaviour, ClosedHandleIsInvalid) {
  HANDLE event = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(os::CloseHandle(event));
  os::SetLastError(0);
  EXPECT_FALSE(os::SetEvent(event));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_FAILED);
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(KernelBehaviour, ClosingThePseudoHandleOfTheProcessDoesNothing) {
  // INVALID_HANDLE_VALUE is also GetCurrentProcess()'s value.
  EXPECT_TRUE(os::CloseHandle(INVALID_HANDLE_VALUE));
  os::SetLastError(0);
  EXPECT_FALSE(os::CloseHandle(nullptr));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(KernelBehaviour, LocalAllocZeroFillsAndFrees) {
  auto* bytes = static_cast<unsigned char*>(os::LocalAlloc(LPTR, 4096));
  ASSERT_NE(bytes, nullptr);
  unsigned char zeros[4096] = {};
  EXPECT_EQ(std::memcmp(bytes, zeros, sizeof zeros), 0);
  bytes[4095] = 1;
  EXPECT_EQ(os::LocalFree(bytes), nullptr);
  // Even an empty block is a block that must be freed.
  void* empty = os::LocalAlloc(LPTR, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(os::LocalFree(empty), nullptr);
}

TEST(KernelBehaviour, VersionQueryChecksRecordSize) {
  OSVERSIONINFOEXW extended;
  std::memset(&extended, 0, sizeof extended);
  extended.dwOSVersionInfoSize = sizeof extended;
  ASSERT_TRUE(os::GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&extended)));
  EXPECT_GE(extended.dwMajorVersion, 4u);
  EXPECT_EQ(extended.dwPlatformId, VER_PLATFORM_WIN32_NT);

  OSVERSIONINFOW plain;
  std::memset(&plain, 0, sizeof plain);
  plain.dwOSVersionInfoSize = sizeof plain - 1;
  // Windows also sets ERROR_INSUFFICIENT_BUFFER here, Wine sets nothing; the
  // program never reads the error of this call.
  EXPECT_FALSE(os::GetVersionExW(&plain));
}

}  // namespace
