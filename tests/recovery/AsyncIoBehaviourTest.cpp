// Alertable waits, WriteFileEx and CancelIo where the simulated machine and
// a real system (Wine in the x86_64 build) can be held to the same answers
// without a device of the player.

#include <gtest/gtest.h>

#include "os/Os.h"

namespace {

void WINAPI NeverCalled(DWORD, DWORD, LPOVERLAPPED) { ADD_FAILURE() << "routine ran"; }

TEST(AsyncIoBehaviour, AlertableWaitWithNothingQueuedIsAPlainWait) {
  HANDLE event = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  for (const DWORD timeout : {DWORD{0}, DWORD{10}}) {
    EXPECT_EQ(os::WaitForSingleObjectEx(event, timeout, TRUE), WAIT_TIMEOUT) << timeout;
  }
  ASSERT_TRUE(os::SetEvent(event));
  EXPECT_EQ(os::WaitForSingleObjectEx(event, INFINITE, TRUE), WAIT_OBJECT_0);
  os::CloseHandle(event);
}

TEST(AsyncIoBehaviour, WriteFileExNeedsAFileHandle) {
  HANDLE event = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  std::uint8_t block[512] = {};
  OVERLAPPED overlapped{};
  os::SetLastError(0);
  EXPECT_FALSE(os::WriteFileEx(event, block, sizeof block, &overlapped, NeverCalled));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  // CancelIo on an event: Wine accepts it, so it is not held to an answer.
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, TRUE), WAIT_TIMEOUT);
  os::CloseHandle(event);
}

TEST(AsyncIoBehaviour, NoRecoveryDeviceWithoutThePlayer) {
  os::SetLastError(0);
  EXPECT_EQ(os::CreateFileW(L"\\\\.\\RyMp3RecDevice0", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
