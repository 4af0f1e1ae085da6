#include "device/RyRecoveryDev.h"

#include <cstring>
#include <cwchar>

#include "app/RyConfigInfo.h"
#include "core/RyProgress.h"
#include "core/RyStatus.h"
#include "device/RyDeviceOwner.h"
#include "os/Os.h"

HANDLE CRyRecoveryDev::writeDoneEvent = nullptr;

namespace {

HANDLE ByteCountAsEvent(std::uint32_t count) {
  return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(count));
}

DWORD ByteCountOf(const OVERLAPPED& record) {
  return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(record.hEvent));
}

bool IsOpenHandle(HANDLE handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }

}  // namespace

CRyRecoveryDev::CRyRecoveryDev(CRyDeviceOwner* deviceOwner, CRyRecoveryImageFactory* factory,
                               const char* name)
    : CRyBase(name), owner(deviceOwner), imageFactory(factory) {}

CRyRecoveryDev::~CRyRecoveryDev() { CloseDevice(); }

std::int32_t CRyRecoveryDev::OpenDevice() {
  CloseDevice();
  if (const std::int32_t result = OpenFirstDevice(); result != RyStatus::kSuccess) return result;
  if (const std::int32_t result = LoadImage(); result != RyStatus::kSuccess) return result;
  writeDoneEvent = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (writeDoneEvent == nullptr) {
    systemError = os::GetLastError();
    return RyStatus::kEventCreateFailed;
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyRecoveryDev::OpenFirstDevice() {
  for (int number = 0; number < kDeviceNumberCount; ++number) {
    wchar_t path[32];
    std::swprintf(path, sizeof path / sizeof path[0], L"\\\\.\\RyMp3RecDevice%d", number);
    handle = os::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      devicePath = path;
      return RyStatus::kSuccess;
    }
    systemError = os::GetLastError();
  }
  return RyStatus::kNoRecoveryDevice;
}

std::int32_t CRyRecoveryDev::LoadImage() {
  CRyConfigInfo* config = owner != nullptr ? owner->GetConfigInfo() : nullptr;
  if (config == nullptr || imageFactory == nullptr) return RyStatus::kFailed;
  std::uint8_t componentIndex = 0;
  if (const std::int32_t result = config->GetRecoveryComponentIndex(componentIndex);
      result != RyStatus::kSuccess) {
    return result;
  }
  return imageFactory->CreateRecoveryImage(componentIndex, firmware);
}

std::int32_t CRyRecoveryDev::DownloadImage(CRyProgress* progress) {
  if (!IsOpenHandle(handle) || firmware == nullptr || writeDoneEvent == nullptr) {
    return RyStatus::kNoRecoveryDevice;
  }
  const std::uint64_t size = firmware->GetImageLength();
  // Nothing to send: the block arithmetic below would start before the
  // image, and the player cannot restart from nothing.
  if (size == 0) return RyStatus::kRecoveryWriteFailed;
  const std::uint64_t blocks = (size + kBlockSize - 1) / kBlockSize;
  const auto lastLength = static_cast<std::uint32_t>(size - (blocks - 1) * kBlockSize);
  if (progress != nullptr) progress->BeginPhase(kDownloadPhase, static_cast<int>(blocks));
  std::uint8_t buffer[kBlockSize];
  for (std::uint64_t block = 0; block + 1 < blocks; ++block) {
    firmware->GetImageBytes(block * kBlockSize, kBlockSize, buffer);
    if (const std::int32_t result = WriteBlock(buffer, kBlockSize); result != RyStatus::kSuccess) {
      return result;
    }
    if (progress != nullptr) progress->Advance(1);
  }
  std::memset(buffer, 0, sizeof buffer);
  firmware->GetImageBytes((blocks - 1) * kBlockSize, kBlockSize, buffer);
  const std::int32_t result = WriteBlock(buffer, lastLength);
  if (progress != nullptr) progress->Advance(1);
  CloseHandleIfOpen();
  return result;
}

std::int32_t CRyRecoveryDev::WriteBlock(const std::uint8_t* data, std::uint32_t count) {
  overlapped.Offset = 0;
  overlapped.OffsetHigh = 0;
  overlapped.hEvent = ByteCountAsEvent(count);
  os::ResetEvent(writeDoneEvent);
  if (!os::WriteFileEx(handle, data, count, &overlapped, OnWriteComplete)) {
    systemError = os::GetLastError();
    return RyStatus::kRecoveryWriteFailed;
  }
  if (os::WaitForSingleObjectEx(writeDoneEvent, kBlockTimeoutMs, TRUE) == WAIT_TIMEOUT) {
    os::CancelIo(handle);
    AwaitCancelledWrite();
    return RyStatus::kRecoveryWriteTimedOut;
  }
  return overlapped.Offset != 0 ? RyStatus::kSuccess : RyStatus::kRecoveryWriteFailed;
}

void CRyRecoveryDev::AwaitCancelledWrite() {
  // A cancelled write still completes, as aborted, through its routine on
  // this thread. Left queued it would run in some later alertable wait and
  // write into a record that may be gone by then.
  os::WaitForSingleObjectEx(writeDoneEvent, kBlockTimeoutMs, TRUE);
}

void WINAPI CRyRecoveryDev::OnWriteComplete(DWORD errorCode, DWORD bytesTransferred,
                                            LPOVERLAPPED completed) {
  const bool whole = errorCode == ERROR_SUCCESS && bytesTransferred == ByteCountOf(*completed);
  completed->Offset = whole ? bytesTransferred : 0;
  os::SetEvent(writeDoneEvent);
}

std::int32_t CRyRecoveryDev::CloseDevice() {
  delete firmware;
  firmware = nullptr;
  if (writeDoneEvent != nullptr) {
    os::CloseHandle(writeDoneEvent);
    writeDoneEvent = nullptr;
  }
  CloseHandleIfOpen();
  return RyStatus::kSuccess;
}

void CRyRecoveryDev::CloseHandleIfOpen() {
  if (IsOpenHandle(handle)) os::CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}
