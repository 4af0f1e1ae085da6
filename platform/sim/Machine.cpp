#include "sim/Machine.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <thread>

#include "KernelObjects.h"
#include "StorageStack.h"

namespace sim {

namespace {

std::atomic<Machine*> installedMachine{nullptr};

Machine& DefaultMachine() {
  static Machine machine;
  return machine;
}

constexpr std::uint64_t kNoDeadline = std::numeric_limits<std::uint64_t>::max();

}  // namespace

// A thread blocked in Wait: what it waits for and until when.
struct Machine::Waiter {
  const KernelObject* object;  // null: the machine's end waiting for its threads
  std::uint64_t deadline;      // kNoDeadline for an infinite wait
  std::thread::id thread;
  bool alertable;
};

WindowsVersion WindowsVersion::Windows95() { return {4, 0, 950, VER_PLATFORM_WIN32_WINDOWS, L""}; }
WindowsVersion WindowsVersion::Windows98() {
  return {4, 10, 1998, VER_PLATFORM_WIN32_WINDOWS, L""};
}
WindowsVersion WindowsVersion::WindowsMe() {
  return {4, 90, 3000, VER_PLATFORM_WIN32_WINDOWS, L""};
}
WindowsVersion WindowsVersion::WindowsNt4() {
  return {4, 0, 1381, VER_PLATFORM_WIN32_NT, L"Service Pack 6"};
}
WindowsVersion WindowsVersion::Windows2000() {
  return {5, 0, 2195, VER_PLATFORM_WIN32_NT, L"Service Pack 4"};
}
WindowsVersion WindowsVersion::WindowsXp() {
  return {5, 1, 2600, VER_PLATFORM_WIN32_NT, L"Service Pack 2"};
}
WindowsVersion WindowsVersion::Windows2003() {
  return {5, 2, 3790, VER_PLATFORM_WIN32_NT, L"Service Pack 1"};
}
WindowsVersion WindowsVersion::WindowsVista() { return {6, 0, 6000, VER_PLATFORM_WIN32_NT, L""}; }

Machine::Machine()
    : version(WindowsVersion::WindowsXp()), storage(std::make_unique<StorageStack>()) {}

Machine::~Machine() {
  std::unique_lock<std::mutex> lock(stateMutex);
  // The driving thread blocks here like in a wait, so that the threads'
  // own timed waits can still run out.
  const Waiter self{nullptr, kNoDeadline, std::this_thread::get_id(), false};
  waiters.push_back(&self);
  stateChanged.notify_all();
  stateChanged.wait(lock, [this] { return runningThreads == 0; });
  waiters.erase(std::find(waiters.begin(), waiters.end(), &self));
  lock.unlock();
  // Handles still open are closed before the machine's parts go.
  objects.clear();
  for (auto& allocation : allocations) std::free(allocation.first);
}

Machine& Machine::Current() {
  Machine* machine = installedMachine.load();
  return machine != nullptr ? *machine : DefaultMachine();
}

void Machine::Install(Machine* machine) { installedMachine.store(machine); }

void Machine::SetWindowsVersion(const WindowsVersion& newVersion) {
  std::lock_guard<std::mutex> lock(stateMutex);
  version = newVersion;
}

WindowsVersion Machine::GetWindowsVersion() const {
  std::lock_guard<std::mutex> lock(stateMutex);
  return version;
}

void Machine::SetVersionQueryFails(bool fails) {
  std::lock_guard<std::mutex> lock(stateMutex);
  versionQueryFails = fails;
}

bool Machine::VersionQueryFails() const {
  std::lock_guard<std::mutex> lock(stateMutex);
  return versionQueryFails;
}

DWORD Machine::GetTickCount() const {
  std::lock_guard<std::mutex> lock(stateMutex);
  // Wraps after 49.7 days, as on Windows.
  return tickBase + static_cast<DWORD>(virtualTime);
}

void Machine::SetTickCount(DWORD ticks) {
  std::lock_guard<std::mutex> lock(stateMutex);
  tickBase = ticks - static_cast<DWORD>(virtualTime);
}

void Machine::AdvanceClock(DWORD milliseconds) {
  {
    std::lock_guard<std::mutex> lock(stateMutex);
    virtualTime += milliseconds;
  }
  stateChanged.notify_all();
}

void Machine::SetHeapLimit(std::size_t bytes) {
  std::lock_guard<std::mutex> lock(stateMutex);
  heapLimit = bytes;
}

void Machine::FailAllocationsAfter(std::size_t successfulAllocations) {
  std::lock_guard<std::mutex> lock(stateMutex);
  allocationsLeft = successfulAllocations;
}

void Machine::AllowAllAllocations() {
  std::lock_guard<std::mutex> lock(stateMutex);
  allocationsLeft.reset();
}

std::size_t Machine::LiveAllocationCount() const {
  std::lock_guard<std::mutex> lock(stateMutex);
  return allocations.size();
}

void* Machine::Allocate(std::size_t bytes, bool zeroFill) {
  std::lock_guard<std::mutex> lock(stateMutex);
  if (allocationsLeft) {
    if (*allocationsLeft == 0) return nullptr;
    --*allocationsLeft;
  }
  if (bytes > heapLimit - heapInUse) return nullptr;
  const std::size_t obtained = bytes == 0 ? 1 : bytes;
  void* memory = zeroFill ? std::calloc(1, obtained) : std::malloc(obtained);
  if (memory == nullptr) return nullptr;
  allocations.emplace(memory, bytes);
  heapInUse += bytes;
  return memory;
}

bool Machine::Free(void* memory) {
  std::lock_guard<std::mutex> lock(stateMutex);
  auto found = allocations.find(memory);
  if (found == allocations.end()) return false;
  heapInUse -= found->second;
  allocations.erase(found);
  std::free(memory);
  return true;
}

int Machine::AttachDisk(std::shared_ptr<StorageDevice> device, const DiskAttachment& attachment) {
  return storage->AttachDisk(std::move(device), attachment);
}

bool Machine::DetachDisk(int physicalDriveNumber) {
  return storage->DetachDisk(physicalDriveNumber);
}

bool Machine::AddDriveLetter(wchar_t driveLetter, UINT driveType) {
  return storage->AddDriveLetter(driveLetter, driveType);
}

std::vector<DiskOperation> Machine::DiskOperations(int physicalDriveNumber) const {
  return storage->DiskOperations(physicalDriveNumber);
}

bool Machine::IsVolumeLocked(wchar_t driveLetter) const {
  return storage->IsVolumeLocked(driveLetter);
}

FileStore& Machine::Files() { return storage->Files(); }

HANDLE Machine::AddObject(std::shared_ptr<KernelObject> object) {
  std::lock_guard<std::mutex> lock(stateMutex);
  const std::uintptr_t value = nextHandle;
  nextHandle += 4;
  objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> Machine::FindObject(HANDLE handle) const {
  std::lock_guard<std::mutex> lock(stateMutex);
  auto found = objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return found == objects.end() ? nullptr : found->second;
}

bool Machine::RemoveObject(HANDLE handle) {
  std::shared_ptr<KernelObject> object;
  {
    std::lock_guard<std::mutex> lock(stateMutex);
    auto found = objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (found == objects.end()) return false;
    object = std::move(found->second);
    objects.erase(found);
  }
  // Outside the lock: closing a file reaches its device's state.
  object->OnClose();
  return true;
}

std::size_t Machine::OpenHandleCount() const {
  std::lock_guard<std::mutex> lock(stateMutex);
  return objects.size();
}

HANDLE Machine::StartThread(LPTHREAD_START_ROUTINE start, LPVOID parameter, LPDWORD threadId) {
  auto thread = std::make_shared<Thread>();
  HANDLE handle = AddObject(thread);
  std::lock_guard<std::mutex> lock(stateMutex);
  const DWORD id = nextThreadId;
  nextThreadId += 4;
  if (threadId != nullptr) *threadId = id;
  ++runningThreads;
  // Detached: a finished thread must not keep its stack until the machine
  // ends. The destructor waits for every thread instead.
  std::thread([this, thread, start, parameter] {
    const DWORD code = start(parameter);
    std::lock_guard<std::mutex> finishLock(stateMutex);
    thread->Finish(code);
    --runningThreads;
    stateChanged.notify_all();
  }).detach();
  return handle;
}

DWORD Machine::Wait(HANDLE handle, DWORD milliseconds, bool alertable) {
  std::shared_ptr<KernelObject> object = FindObject(handle);
  if (object == nullptr) return WAIT_FAILED;
  std::unique_lock<std::mutex> lock(stateMutex);
  const Waiter self{object.get(),
                    milliseconds == INFINITE ? kNoDeadline : virtualTime + milliseconds,
                    std::this_thread::get_id(), alertable};
  for (;;) {
    if (object->IsSignaled()) {
      object->OnWaitSatisfied();
      return WAIT_OBJECT_0;
    }
    if (alertable && HasApcs(self.thread)) {
      RunApcs(lock);
      return WAIT_IO_COMPLETION;
    }
    if (virtualTime >= self.deadline) {
      // A poll gives the other threads the processor, as the system call
      // of a real poll does; spinning on the machine's lock would starve
      // the thread being polled.
      if (milliseconds == 0) {
        lock.unlock();
        std::this_thread::yield();
      }
      return WAIT_TIMEOUT;
    }
    if (OthersAllBlocked()) {
      // Nothing can change until time passes: jump to the first deadline.
      const std::uint64_t next = EarliestDeadline(self.deadline);
      if (next != kNoDeadline && next > virtualTime) {
        virtualTime = next;
        stateChanged.notify_all();
        continue;
      }
      // Either a waiter whose time is up has not woken yet, or every
      // thread waits forever: a deadlock, as it would be on Windows.
    }
    waiters.push_back(&self);
    stateChanged.wait(lock);
    waiters.erase(std::find(waiters.begin(), waiters.end(), &self));
  }
}

bool Machine::OthersAllBlocked() const {
  // The machine's threads and the one thread that drives it.
  const int threads = runningThreads + 1;
  if (static_cast<int>(waiters.size()) + 1 < threads) return false;
  for (const Waiter* waiter : waiters) {
    const bool canEnd = (waiter->object != nullptr && waiter->object->IsSignaled()) ||
                        (waiter->alertable && HasApcs(waiter->thread));
    if (canEnd || waiter->deadline <= virtualTime) return false;
  }
  return true;
}

std::uint64_t Machine::EarliestDeadline(std::uint64_t ownDeadline) const {
  std::uint64_t earliest = ownDeadline;
  for (const Waiter* waiter : waiters) earliest = std::min(earliest, waiter->deadline);
  return earliest;
}

void Machine::NotifyStateChanged() { stateChanged.notify_all(); }

void Machine::QueueApc(std::thread::id thread, std::function<void()> call) {
  {
    std::lock_guard<std::mutex> lock(stateMutex);
    apcQueues[thread].push_back(std::move(call));
  }
  stateChanged.notify_all();
}

bool Machine::HasApcs(std::thread::id thread) const {
  auto found = apcQueues.find(thread);
  return found != apcQueues.end() && !found->second.empty();
}

void Machine::RunApcs(std::unique_lock<std::mutex>& lock) {
  const std::thread::id self = std::this_thread::get_id();
  // A routine may queue more calls or reach the machine: take one at a time
  // and run it unlocked.
  while (HasApcs(self)) {
    std::deque<std::function<void()>>& queue = apcQueues[self];
    std::function<void()> call = std::move(queue.front());
    queue.pop_front();
    lock.unlock();
    call();
    lock.lock();
  }
  apcQueues.erase(self);
}

void Machine::FailNextEventCreation() {
  std::lock_guard<std::mutex> lock(stateMutex);
  eventCreationFails = true;
}

bool Machine::TakeEventCreationFailure() {
  std::lock_guard<std::mutex> lock(stateMutex);
  const bool fails = eventCreationFails;
  eventCreationFails = false;
  return fails;
}

ScopedMachine::ScopedMachine()
    : machine(std::make_unique<Machine>()), previous(&Machine::Current()) {
  Machine::Install(machine.get());
}

ScopedMachine::~ScopedMachine() {
  Machine::Install(previous == &DefaultMachine() ? nullptr : previous);
}

}  // namespace sim
