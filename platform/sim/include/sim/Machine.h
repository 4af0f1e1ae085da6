#pragma once
// The simulated Windows machine that serves the operating-system seam in the
// host build and in the tests of every build.
//
// A test creates a ScopedMachine, configures it (Windows version, clock,
// memory limits; later disks, registry, services, ...) and then runs program
// code, whose os:: calls land here. Without a ScopedMachine the calls go to a
// default machine that behaves like a plain Windows XP computer.

#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "os/Win32Types.h"
#include "sim/StorageDevice.h"

namespace sim {

// Where a disk appears on the machine.
struct DiskAttachment {
  wchar_t driveLetter = 0;         // 'A' to 'Z'; 0: the disk has no volume letter
  UINT driveType = DRIVE_REMOVABLE;  // what GetDriveType reports for the letter
  int physicalDriveNumber = -1;    // N of "\\.\PhysicalDriveN"; -1: the lowest free
};

struct WindowsVersion {
  DWORD major = 0;
  DWORD minor = 0;
  DWORD build = 0;
  DWORD platformId = 0;
  std::wstring servicePack;

  static WindowsVersion Windows95();
  static WindowsVersion Windows98();
  static WindowsVersion WindowsMe();
  static WindowsVersion WindowsNt4();
  static WindowsVersion Windows2000();
  static WindowsVersion WindowsXp();
  static WindowsVersion Windows2003();
  static WindowsVersion WindowsVista();
};

class KernelObject;

class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // The machine that os:: calls are served by right now.
  static Machine& Current();

  // Version query.
  void SetWindowsVersion(const WindowsVersion& version);
  WindowsVersion GetWindowsVersion() const;
  // Makes GetVersionExW fail, as it does on systems that lack it.
  void SetVersionQueryFails(bool fails);
  bool VersionQueryFails() const;

  // Virtual clock: Sleep and timed-out waits advance it; nothing real waits.
  DWORD GetTickCount() const;
  void SetTickCount(DWORD ticks);
  void AdvanceClock(DWORD milliseconds);

  // Local heap. The limit bounds the bytes live at once; the countdown lets
  // a test make the n-th allocation from now fail.
  void SetHeapLimit(std::size_t bytes);
  void FailAllocationsAfter(std::size_t successfulAllocations);
  void AllowAllAllocations();
  std::size_t LiveAllocationCount() const;
  void* Allocate(std::size_t bytes, bool zeroFill);
  bool Free(void* memory);

  // Disks. AttachDisk returns the physical drive number the disk got; a
  // drive letter without a disk (a fixed C:, an empty CD drive) is added
  // with AddDriveLetter.
  int AttachDisk(std::shared_ptr<StorageDevice> device, const DiskAttachment& attachment);
  void DetachDisk(int physicalDriveNumber);
  void AddDriveLetter(wchar_t driveLetter, UINT driveType);

  // Kernel object handles.
  HANDLE AddObject(std::shared_ptr<KernelObject> object);
  std::shared_ptr<KernelObject> FindObject(HANDLE handle) const;
  bool RemoveObject(HANDLE handle);
  std::size_t OpenHandleCount() const;

  // Threads run for real; the machine waits for them when it is destroyed.
  HANDLE StartThread(LPTHREAD_START_ROUTINE start, LPVOID parameter, LPDWORD threadId);

  // Waits until the object is signalled. A finite wait that nothing can end,
  // because no other simulated thread is running, times out at once on the
  // virtual clock.
  DWORD Wait(HANDLE handle, DWORD milliseconds);
  // Called by objects whose signal state changed.
  void NotifyStateChanged();
  std::mutex& StateMutex() const { return stateMutex; }

 private:
  friend class ScopedMachine;
  static void Install(Machine* machine);

  mutable std::mutex stateMutex;
  std::condition_variable stateChanged;

  WindowsVersion version;
  bool versionQueryFails = false;

  DWORD tickCount = 0x00100000;

  std::size_t heapLimit = std::size_t{512} * 1024 * 1024;
  std::size_t heapInUse = 0;
  std::optional<std::size_t> allocationsLeft;
  std::unordered_map<void*, std::size_t> allocations;

  std::uintptr_t nextHandle = 0x100;
  std::map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;

  DWORD nextThreadId = 0x400;
  int runningThreads = 0;
};

// Installs a fresh machine for the lifetime of a test and restores the
// previous one afterwards.
class ScopedMachine {
 public:
  ScopedMachine();
  ~ScopedMachine();
  ScopedMachine(const ScopedMachine&) = delete;
  ScopedMachine& operator=(const ScopedMachine&) = delete;

  Machine& operator*() { return *machine; }
  Machine* operator->() { return machine.get(); }

 private:
  std::unique_ptr<Machine> machine;
  Machine* previous;
};

}  // namespace sim
