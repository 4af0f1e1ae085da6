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
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <typeindex>
#include <unordered_map>
#include <vector>

#include "os/Win32Types.h"
#include "sim/StorageDevice.h"

namespace sim {

// Where a disk appears on the machine.
struct DiskAttachment {
  wchar_t driveLetter = 0;           // 'A' to 'Z'; 0: the disk has no volume letter
  UINT driveType = DRIVE_REMOVABLE;  // what GetDriveType reports for the letter
  int physicalDriveNumber = -1;      // N of "\\.\PhysicalDriveN"; -1: the lowest free
};

// The two kinds of handle a disk is reached through.
enum class DiskHandleKind { kVolume, kPhysicalDrive };

// One request that reached a disk through a handle, kept in arrival order so
// that tests can check sequences (a lock before the writes, ...).
struct DiskOperation {
  enum class Kind { kRead, kWrite, kIoControl };
  Kind kind = Kind::kIoControl;
  DiskHandleKind handleKind = DiskHandleKind::kVolume;
  DWORD ioControlCode = 0;       // kIoControl
  std::uint64_t diskOffset = 0;  // kRead, kWrite: byte position on the disk
  DWORD length = 0;              // kRead, kWrite: bytes asked for
  DWORD error = ERROR_SUCCESS;   // the call's last error when it failed
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
class FileStore;
class StorageStack;

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

  // Disks. AttachDisk returns the physical drive number the disk got, or -1
  // when its letter or number is taken. A drive letter without a disk (a
  // fixed C:, an empty CD drive) is added with AddDriveLetter. Detaching is
  // unplugging: the letter goes and the disk's open handles stop working.
  int AttachDisk(std::shared_ptr<StorageDevice> device, const DiskAttachment& attachment);
  bool DetachDisk(int physicalDriveNumber);
  bool AddDriveLetter(wchar_t driveLetter, UINT driveType);
  // What reached the disk so far; empty for a number without a disk.
  std::vector<DiskOperation> DiskOperations(int physicalDriveNumber) const;
  bool IsVolumeLocked(wchar_t driveLetter) const;
  StorageStack& Storage() { return *storage; }
  // Ordinary files and the current directory.
  FileStore& Files();

  // Services kept outside this class (modules, registry, ASPI, vwin32):
  // created on first use with the machine as argument, destroyed with it
  // after its threads have ended. A part's constructor must not ask for
  // another part.
  template <typename Part>
  Part& GetPart() {
    std::lock_guard<std::mutex> lock(partsMutex);
    std::shared_ptr<void>& slot = parts[std::type_index(typeid(Part))];
    if (slot == nullptr) slot = std::make_shared<Part>(*this);
    return *static_cast<Part*>(slot.get());
  }

  // Kernel object handles.
  HANDLE AddObject(std::shared_ptr<KernelObject> object);
  std::shared_ptr<KernelObject> FindObject(HANDLE handle) const;
  bool RemoveObject(HANDLE handle);
  std::size_t OpenHandleCount() const;

  // Threads run for real; the machine waits for them when it is destroyed.
  HANDLE StartThread(LPTHREAD_START_ROUTINE start, LPVOID parameter, LPDWORD threadId);

  // Waits until the object is signalled. Time passes only on the virtual
  // clock: when every thread of the machine (its threads and the one that
  // drives it) is blocked in a wait, the clock jumps to the earliest
  // deadline and that wait times out; a 120-second wait costs nothing.
  // An alertable wait also ends, with WAIT_IO_COMPLETION, once the calling
  // thread has asynchronous procedure calls queued: it runs all of them
  // first. A signalled object wins over queued calls, as on Windows.
  DWORD Wait(HANDLE handle, DWORD milliseconds, bool alertable = false);
  // Asynchronous procedure calls (I/O completion routines): queued for one
  // thread and run only by that thread inside an alertable wait.
  void QueueApc(std::thread::id thread, std::function<void()> call);
  // Makes the next CreateEvent fail, as it does when the system is out of
  // resources.
  void FailNextEventCreation();
  bool TakeEventCreationFailure();
  // Called by objects whose signal state changed.
  void NotifyStateChanged();
  std::mutex& StateMutex() const { return stateMutex; }

 private:
  friend class ScopedMachine;
  static void Install(Machine* machine);
  // Caller holds stateMutex. True when every thread but the caller is
  // blocked in a wait that cannot end without time passing.
  bool OthersAllBlocked() const;
  std::uint64_t EarliestDeadline(std::uint64_t ownDeadline) const;
  // Caller holds stateMutex.
  bool HasApcs(std::thread::id thread) const;
  // Runs the calling thread's queued calls without the state mutex held.
  void RunApcs(std::unique_lock<std::mutex>& lock);

  mutable std::mutex stateMutex;
  std::condition_variable stateChanged;

  WindowsVersion version;
  bool versionQueryFails = false;

  // Virtual milliseconds since the machine started; GetTickCount adds the
  // base, so that a test can place the tick count anywhere.
  std::uint64_t virtualTime = 0;
  DWORD tickBase = 0x00100000;
  // The threads blocked in Wait right now.
  struct Waiter;
  std::vector<const Waiter*> waiters;
  std::map<std::thread::id, std::deque<std::function<void()>>> apcQueues;
  bool eventCreationFails = false;

  std::size_t heapLimit = std::size_t{512} * 1024 * 1024;
  std::size_t heapInUse = 0;
  std::optional<std::size_t> allocationsLeft;
  std::unordered_map<void*, std::size_t> allocations;

  std::uintptr_t nextHandle = 0x100;
  std::map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;

  DWORD nextThreadId = 0x400;
  int runningThreads = 0;

  std::unique_ptr<StorageStack> storage;

  std::mutex partsMutex;
  std::map<std::type_index, std::shared_ptr<void>> parts;
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
