#include "sim/Machine.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

#include <thread>

#include "KernelObjects.h"

namespace sim {

namespace {

std::atomic<Machine*> installedMachine{nullptr};

Machine& DefaultMachine() {
  static Machine machine;
  return machine;
}

thread_local bool onSimulatedThread = false;

}  // namespace

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

Machine::Machine() : version(WindowsVersion::WindowsXp()) {}

Machine::~Machine() {
  std::unique_lock<std::mutex> lock(stateMutex);
  stateChanged.wait(lock, [this] { return runningThreads == 0; });
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
  return tickCount;
}

void Machine::SetTickCount(DWORD ticks) {
  std::lock_guard<std::mutex> lock(stateMutex);
  tickCount = ticks;
}

void Machine::AdvanceClock(DWORD milliseconds) {
  {
    std::lock_guard<std::mutex> lock(stateMutex);
    tickCount += milliseconds;  // wraps after 49.7 days, as on Windows
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
  std::lock_guard<std::mutex> lock(stateMutex);
  return objects.erase(reinterpret_cast<std::uintptr_t>(handle)) == 1;
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
    onSimulatedThread = true;
    const DWORD code = start(parameter);
    std::lock_guard<std::mutex> finishLock(stateMutex);
    thread->Finish(code);
    --runningThreads;
    stateChanged.notify_all();
  }).detach();
  return handle;
}

DWORD Machine::Wait(HANDLE handle, DWORD milliseconds) {
  std::shared_ptr<KernelObject> object = FindObject(handle);
  if (object == nullptr) return WAIT_FAILED;
  std::unique_lock<std::mutex> lock(stateMutex);
  const DWORD start = tickCount;
  for (;;) {
    if (object->IsSignaled()) {
      object->OnWaitSatisfied();
      return WAIT_OBJECT_0;
    }
    const DWORD waited = tickCount - start;
    if (milliseconds != INFINITE && waited >= milliseconds) return WAIT_TIMEOUT;
    const int otherThreads = runningThreads - (onSimulatedThread ? 1 : 0);
    if (milliseconds != INFINITE && otherThreads == 0) {
      // Nothing else runs that could signal the object: the wait times out.
      tickCount = start + milliseconds;
      return WAIT_TIMEOUT;
    }
    stateChanged.wait(lock);
  }
}

void Machine::NotifyStateChanged() { stateChanged.notify_all(); }

ScopedMachine::ScopedMachine()
    : machine(std::make_unique<Machine>()), previous(&Machine::Current()) {
  Machine::Install(machine.get());
}

ScopedMachine::~ScopedMachine() {
  Machine::Install(previous == &DefaultMachine() ? nullptr : previous);
}

}  // namespace sim
