#pragma once
// The recovery-mode channel: a player without working firmware is reached
// through its recovery driver's device, and the boot image is streamed into
// it as consecutive overlapped writes of at most one block, each completed
// through a completion routine during an alertable wait.

#include <cstdint>
#include <string>

#include "core/RyBase.h"
#include "device/RyRecoveryImage.h"
#include "os/Win32Types.h"

class CRyDeviceOwner;
class CRyProgress;

class CRyRecoveryDev : public CRyBase {
 public:
  static constexpr std::uint32_t kBlockSize = 4096;
  static constexpr DWORD kBlockTimeoutMs = 1000;
  static constexpr int kDeviceNumberCount = 100;
  static constexpr int kDownloadPhase = 1;

  // Neither pointer is owned; the owner gives the configuration, the
  // factory the image of the configured recovery component.
  CRyRecoveryDev(CRyDeviceOwner* owner, CRyRecoveryImageFactory* imageFactory, const char* name);
  ~CRyRecoveryDev() override;
  CRyRecoveryDev(const CRyRecoveryDev&) = delete;
  CRyRecoveryDev& operator=(const CRyRecoveryDev&) = delete;

  // 0; -14 no device; -15 event not created; -1 no image object; or the
  // image's load status.
  std::int32_t OpenDevice();
  // 0; -13 a write failed or the image is empty; -16 a write did not
  // complete in time; -14 when the device is not open.
  std::int32_t DownloadImage(CRyProgress* progress);
  std::int32_t CloseDevice();

  const std::wstring& GetDevicePath() const { return devicePath; }

 private:
  std::int32_t OpenFirstDevice();
  std::int32_t LoadImage();
  std::int32_t WriteBlock(const std::uint8_t* data, std::uint32_t count);
  // Lets the cancelled write's routine run while the record still exists.
  void AwaitCancelledWrite();
  static void WINAPI OnWriteComplete(DWORD errorCode, DWORD bytesTransferred,
                                     LPOVERLAPPED completed);
  void CloseHandleIfOpen();

  // One for the process: the completion routine has no other way to it, and
  // only one channel is ever open.
  static HANDLE writeDoneEvent;

  CRyDeviceOwner* owner;
  CRyRecoveryImageFactory* imageFactory;
  HANDLE handle = INVALID_HANDLE_VALUE;
  CRyRecoveryImage* firmware = nullptr;  // owned
  // Reused for every block. hEvent carries the byte count asked for, Offset
  // on completion the bytes completed in full, or 0.
  OVERLAPPED overlapped{};
  std::wstring devicePath;
};
