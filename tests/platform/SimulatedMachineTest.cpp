// What only the simulated machine offers: a virtual clock, fault injection
// and a Windows version of the test's choosing.

#include <gtest/gtest.h>

#include <cstring>

#include "os/Os.h"
#include "sim/Machine.h"

namespace {

class SimulatedMachineTest : public ::testing::Test {
 protected:
  sim::ScopedMachine machine;
};

DWORD WINAPI SleepTenTimes(LPVOID) {
  for (int i = 0; i < 10; ++i) os::Sleep(100);
  return 0;
}

TEST_F(SimulatedMachineTest, TimeIsVirtual) {
  machine->SetTickCount(1000);
  os::Sleep(120000);  // two minutes pass at once
  EXPECT_EQ(os::GetTickCount(), 121000u);

  // A wait that nothing can satisfy times out at once, at its full length.
  HANDLE event = os::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 1000, TRUE), WAIT_TIMEOUT);
  EXPECT_EQ(os::GetTickCount(), 122000u);
  os::CloseHandle(event);
}

TEST_F(SimulatedMachineTest, SleepsOnWorkerThreadsShareTheClock) {
  machine->SetTickCount(0);
  HANDLE thread = os::CreateThread(nullptr, 0, SleepTenTimes, nullptr, 0, nullptr);
  ASSERT_EQ(os::WaitForSingleObjectEx(thread, INFINITE, FALSE), WAIT_OBJECT_0);
  EXPECT_EQ(os::GetTickCount(), 1000u);
  os::CloseHandle(thread);
}

struct Handshake {
  HANDLE ready;
  HANDLE go;
};

// Says it is ready, then waits up to five seconds for the go.
DWORD WINAPI WaitForTheGo(LPVOID parameter) {
  auto* handshake = static_cast<Handshake*>(parameter);
  os::SetEvent(handshake->ready);
  return os::WaitForSingleObjectEx(handshake->go, 5000, FALSE);
}

TEST_F(SimulatedMachineTest, TimedWaitOfAThreadEndsWhenTheDrivingThreadSignals) {
  machine->SetTickCount(0);
  Handshake handshake{os::CreateEventW(nullptr, FALSE, FALSE, nullptr),
                      os::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  HANDLE thread = os::CreateThread(nullptr, 0, WaitForTheGo, &handshake, 0, nullptr);
  ASSERT_EQ(os::WaitForSingleObjectEx(handshake.ready, INFINITE, FALSE), WAIT_OBJECT_0);
  // This thread runs on; its signal, not the clock, ends the other's wait.
  os::SetEvent(handshake.go);
  ASSERT_EQ(os::WaitForSingleObjectEx(thread, INFINITE, FALSE), WAIT_OBJECT_0);
  DWORD result = 0;
  os::GetExitCodeThread(thread, &result);
  EXPECT_EQ(result, WAIT_OBJECT_0);
  EXPECT_EQ(os::GetTickCount(), 0u);
  for (HANDLE handle : {thread, handshake.ready, handshake.go}) os::CloseHandle(handle);
}

// Waits the number of milliseconds given for an event that never comes and
// returns the tick count it timed out at.
DWORD WINAPI WaitInVain(LPVOID milliseconds) {
  HANDLE never = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  os::WaitForSingleObjectEx(never, static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(milliseconds)),
                            FALSE);
  os::CloseHandle(never);
  return os::GetTickCount();
}

TEST_F(SimulatedMachineTest, BlockedThreadsTimeOutInDeadlineOrder) {
  machine->SetTickCount(0);
  HANDLE late =
      os::CreateThread(nullptr, 0, WaitInVain, reinterpret_cast<LPVOID>(3000), 0, nullptr);
  HANDLE early =
      os::CreateThread(nullptr, 0, WaitInVain, reinterpret_cast<LPVOID>(1000), 0, nullptr);
  for (HANDLE thread : {late, early}) {
    ASSERT_EQ(os::WaitForSingleObjectEx(thread, INFINITE, FALSE), WAIT_OBJECT_0);
  }
  DWORD lateTick = 0;
  DWORD earlyTick = 0;
  os::GetExitCodeThread(late, &lateTick);
  os::GetExitCodeThread(early, &earlyTick);
  EXPECT_EQ(earlyTick, 1000u);
  EXPECT_EQ(lateTick, 3000u);
  os::CloseHandle(late);
  os::CloseHandle(early);
}

DWORD WINAPI WaitForever(LPVOID event) {
  return os::WaitForSingleObjectEx(static_cast<HANDLE>(event), INFINITE, FALSE);
}

TEST_F(SimulatedMachineTest, TimedWaitRunsOutWhileAnotherThreadWaitsForIt) {
  machine->SetTickCount(0);
  HANDLE afterwards = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE never = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE thread = os::CreateThread(nullptr, 0, WaitForever, afterwards, 0, nullptr);
  // The other thread waits for this one: only time can end this wait.
  EXPECT_EQ(os::WaitForSingleObjectEx(never, 1000, FALSE), WAIT_TIMEOUT);
  EXPECT_EQ(os::GetTickCount(), 1000u);
  os::SetEvent(afterwards);
  EXPECT_EQ(os::WaitForSingleObjectEx(thread, INFINITE, FALSE), WAIT_OBJECT_0);
  for (HANDLE handle : {thread, afterwards, never}) os::CloseHandle(handle);
}

TEST_F(SimulatedMachineTest, TickCountWrapsLikeWindows) {
  machine->SetTickCount(0xFFFFFFF0);
  os::Sleep(0x20);
  EXPECT_EQ(os::GetTickCount(), 0x10u);
}

TEST_F(SimulatedMachineTest, AllocationsCanBeMadeToFail) {
  machine->FailAllocationsAfter(1);
  void* first = os::LocalAlloc(LPTR, 16);
  ASSERT_NE(first, nullptr);
  os::SetLastError(0);
  EXPECT_EQ(os::LocalAlloc(LPTR, 16), nullptr);
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  machine->AllowAllAllocations();
  void* third = os::LocalAlloc(LPTR, 16);
  EXPECT_NE(third, nullptr);
  EXPECT_EQ(machine->LiveAllocationCount(), 2u);
  os::LocalFree(first);
  os::LocalFree(third);
  EXPECT_EQ(machine->LiveAllocationCount(), 0u);
}

TEST_F(SimulatedMachineTest, HeapLimitBoundsLiveBytes) {
  machine->SetHeapLimit(1024);
  void* block = os::LocalAlloc(LPTR, 1000);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(os::LocalAlloc(LPTR, 100), nullptr);
  os::LocalFree(block);
  void* again = os::LocalAlloc(LPTR, 1024);
  EXPECT_NE(again, nullptr);
  os::LocalFree(again);
}

TEST_F(SimulatedMachineTest, FreeingForeignMemoryFails) {
  int notFromTheHeap = 0;
  os::SetLastError(0);
  EXPECT_EQ(os::LocalFree(&notFromTheHeap), &notFromTheHeap);
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SimulatedMachineTest, HandlesAreCountedAndReleased) {
  HANDLE a = os::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  HANDLE b = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(machine->OpenHandleCount(), 2u);
  os::CloseHandle(a);
  os::CloseHandle(b);
  EXPECT_EQ(machine->OpenHandleCount(), 0u);
}

TEST_F(SimulatedMachineTest, ReportsTheWindowsVersionSet) {
  struct Case {
    sim::WindowsVersion version;
    DWORD major, minor, platform;
  };
  const Case cases[] = {
      {sim::WindowsVersion::Windows95(), 4, 0, VER_PLATFORM_WIN32_WINDOWS},
      {sim::WindowsVersion::Windows98(), 4, 10, VER_PLATFORM_WIN32_WINDOWS},
      {sim::WindowsVersion::WindowsMe(), 4, 90, VER_PLATFORM_WIN32_WINDOWS},
      {sim::WindowsVersion::WindowsNt4(), 4, 0, VER_PLATFORM_WIN32_NT},
      {sim::WindowsVersion::Windows2000(), 5, 0, VER_PLATFORM_WIN32_NT},
      {sim::WindowsVersion::WindowsXp(), 5, 1, VER_PLATFORM_WIN32_NT},
      {sim::WindowsVersion::Windows2003(), 5, 2, VER_PLATFORM_WIN32_NT},
      {sim::WindowsVersion::WindowsVista(), 6, 0, VER_PLATFORM_WIN32_NT},
  };
  for (const Case& c : cases) {
    machine->SetWindowsVersion(c.version);
    OSVERSIONINFOEXW info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(os::GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info)));
    EXPECT_EQ(info.dwMajorVersion, c.major);
    EXPECT_EQ(info.dwMinorVersion, c.minor);
    EXPECT_EQ(info.dwPlatformId, c.platform);
  }
}

TEST_F(SimulatedMachineTest, VersionQueryCanFail) {
  machine->SetVersionQueryFails(true);
  OSVERSIONINFOEXW info;
  std::memset(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  EXPECT_FALSE(os::GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info)));
  EXPECT_EQ(info.dwMajorVersion, 0u);
}

}  // namespace
