// Completion routines, alertable waits and CancelIo on the simulated
// machine, seen through the recovery driver's device, and what the driver
// checks of each write.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "os/Os.h"
#include "sim/Machine.h"
#include "sim/RecoveryDriver.h"

namespace {

struct Completion {
  DWORD error;
  DWORD bytes;
  std::thread::id thread;
};

std::vector<Completion>* completions = nullptr;

void WINAPI RecordCompletion(DWORD error, DWORD bytes, LPOVERLAPPED) {
  completions->push_back({error, bytes, std::this_thread::get_id()});
}

class DeviceWrites : public ::testing::Test {
 protected:
  DeviceWrites() : driver(sim::RecoveryDriver::Of(*machine)) {
    completions = &seen;
    driver.AddDevice(0);
    event = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
  ~DeviceWrites() override {
    os::CloseHandle(event);
    completions = nullptr;
  }

  HANDLE Open(DWORD access = GENERIC_READ | GENERIC_WRITE, DWORD flags = FILE_FLAG_OVERLAPPED) {
    return os::CreateFileW(L"\\\\.\\RyMp3RecDevice0", access, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, flags, nullptr);
  }
  BOOL Write(HANDLE device, DWORD bytes) {
    return os::WriteFileEx(device, block.data(), bytes, &overlapped, RecordCompletion);
  }
  DWORD WaitAlertably(DWORD milliseconds = 0) {
    return os::WaitForSingleObjectEx(event, milliseconds, TRUE);
  }

  sim::ScopedMachine machine;
  sim::RecoveryDriver& driver;
  HANDLE event = nullptr;
  std::vector<Completion> seen;
  std::vector<std::uint8_t> block = std::vector<std::uint8_t>(8192, 0x5A);
  OVERLAPPED overlapped{};
};

TEST_F(DeviceWrites, RoutineRunsOnlyInAnAlertableWaitOfTheWriter) {
  HANDLE device = Open();
  ASSERT_NE(device, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(Write(device, 4096));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_TIMEOUT);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(WaitAlertably(), WAIT_IO_COMPLETION);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(seen[0].bytes, 4096u);
  EXPECT_EQ(seen[0].thread, std::this_thread::get_id());
  EXPECT_EQ(overlapped.InternalHigh, 4096u);
  EXPECT_EQ(WaitAlertably(), WAIT_TIMEOUT);
  os::CloseHandle(device);
}

DWORD WINAPI WaitAlertablyOnce(LPVOID event) {
  return os::WaitForSingleObjectEx(static_cast<HANDLE>(event), 500, TRUE);
}

TEST_F(DeviceWrites, OtherThreadsDoNotRunTheRoutine) {
  HANDLE device = Open();
  ASSERT_TRUE(Write(device, 100));
  HANDLE thread = os::CreateThread(nullptr, 0, WaitAlertablyOnce, event, 0, nullptr);
  ASSERT_EQ(os::WaitForSingleObjectEx(thread, INFINITE, FALSE), WAIT_OBJECT_0);
  DWORD result = 0;
  ASSERT_TRUE(os::GetExitCodeThread(thread, &result));
  EXPECT_EQ(result, WAIT_TIMEOUT);
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(WaitAlertably(), WAIT_IO_COMPLETION);
  EXPECT_EQ(seen.size(), 1u);
  os::CloseHandle(thread);
  os::CloseHandle(device);
}

TEST_F(DeviceWrites, SignalledObjectWinsOverQueuedRoutines) {
  HANDLE device = Open();
  ASSERT_TRUE(Write(device, 100));
  ASSERT_TRUE(os::SetEvent(event));
  EXPECT_EQ(WaitAlertably(), WAIT_OBJECT_0);
  EXPECT_TRUE(seen.empty());
  ASSERT_TRUE(os::ResetEvent(event));
  EXPECT_EQ(WaitAlertably(), WAIT_IO_COMPLETION);
  EXPECT_EQ(seen.size(), 1u);
  os::CloseHandle(device);
}

DWORD WINAPI CancelIoOf(LPVOID handle) { return os::CancelIo(static_cast<HANDLE>(handle)); }

TEST_F(DeviceWrites, CancelIoAbortsOnlyTheCallersPendingWrite) {
  HANDLE device = Open();
  driver.SetFault(sim::RecoveryFault::kNeverComplete);
  ASSERT_TRUE(Write(device, 4096));
  const DWORD start = os::GetTickCount();
  EXPECT_EQ(WaitAlertably(1000), WAIT_TIMEOUT);
  EXPECT_EQ(os::GetTickCount() - start, 1000u);
  // Another thread's CancelIo leaves this thread's write alone.
  HANDLE thread = os::CreateThread(nullptr, 0, CancelIoOf, device, 0, nullptr);
  ASSERT_EQ(os::WaitForSingleObjectEx(thread, INFINITE, FALSE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitAlertably(), WAIT_TIMEOUT);
  ASSERT_TRUE(os::CancelIo(device));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(WaitAlertably(), WAIT_IO_COMPLETION);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].error, static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  EXPECT_EQ(seen[0].bytes, 0u);
  os::CloseHandle(thread);
  os::CloseHandle(device);
}

DWORD WINAPI CloseHandleOf(LPVOID handle) { return os::CloseHandle(static_cast<HANDLE>(handle)); }

TEST_F(DeviceWrites, RoutineQueuedFromAnotherThreadEndsAnInfiniteAlertableWait) {
  HANDLE device = Open();
  driver.SetFault(sim::RecoveryFault::kNeverComplete);
  ASSERT_TRUE(Write(device, 4096));
  // Closing the handle aborts the pending write; its routine comes to this
  // thread, which is waiting without a time-out.
  HANDLE thread = os::CreateThread(nullptr, 0, CloseHandleOf, device, 0, nullptr);
  EXPECT_EQ(os::WaitForSingleObjectEx(event, INFINITE, TRUE), WAIT_IO_COMPLETION);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].error, static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  os::WaitForSingleObjectEx(thread, INFINITE, FALSE);
  os::CloseHandle(thread);
}

TEST_F(DeviceWrites, ShortCompletionReportsTheBytesDone) {
  HANDLE device = Open();
  driver.SetFault(sim::RecoveryFault::kShortCompletion, 0, 96);
  ASSERT_TRUE(Write(device, 4096));
  EXPECT_EQ(WaitAlertably(), WAIT_IO_COMPLETION);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(seen[0].bytes, 4000u);
  os::CloseHandle(device);
}

struct RefusalCase {
  const char* name;
  DWORD bytes;
  DWORD offset;
  DWORD error;
};

class DriverChecks : public DeviceWrites, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(DriverChecks, RefusesWritesItCannotTake) {
  const RefusalCase& refusal = GetParam();
  HANDLE device = Open();
  overlapped.Offset = refusal.offset;
  os::SetLastError(0);
  EXPECT_FALSE(Write(device, refusal.bytes));
  EXPECT_EQ(os::GetLastError(), refusal.error);
  EXPECT_EQ(WaitAlertably(), WAIT_TIMEOUT);
  EXPECT_TRUE(seen.empty());
  os::CloseHandle(device);
  EXPECT_TRUE(driver.ReceivedImage().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Writes, DriverChecks,
    ::testing::Values(RefusalCase{"Empty", 0, 0, ERROR_INVALID_PARAMETER},
                      RefusalCase{"LongerThanABlock", 4097, 0, ERROR_INVALID_PARAMETER},
                      RefusalCase{"NotAtPositionZero", 512, 512, ERROR_INVALID_PARAMETER}),
    [](const ::testing::TestParamInfo<RefusalCase>& param) { return param.param.name; });

TEST_F(DeviceWrites, HandleMustBeOverlappedAndWritable) {
  HANDLE synchronous = Open(GENERIC_READ | GENERIC_WRITE, 0);
  ASSERT_NE(synchronous, INVALID_HANDLE_VALUE);
  os::SetLastError(0);
  EXPECT_FALSE(Write(synchronous, 100));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  HANDLE readOnly = Open(GENERIC_READ);
  os::SetLastError(0);
  EXPECT_FALSE(Write(readOnly, 100));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  os::CloseHandle(synchronous);
  os::CloseHandle(readOnly);
}

TEST_F(DeviceWrites, NamesTheDriverDoesNotUse) {
  for (const wchar_t* name : {L"\\\\.\\RyMp3RecDevice00", L"\\\\.\\RyMp3RecDevice1",
                              L"\\\\.\\RyMp3RecDevice-0", L"\\\\.\\RyMp3RecDevice"}) {
    os::SetLastError(0);
    EXPECT_EQ(os::CreateFileW(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                              nullptr),
              INVALID_HANDLE_VALUE)
        << name;
    EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << name;
  }
  HANDLE folded = os::CreateFileW(L"\\\\.\\rymp3recdevice0", GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  EXPECT_NE(folded, INVALID_HANDLE_VALUE);
  os::CloseHandle(folded);
}

}  // namespace
