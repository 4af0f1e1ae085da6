#include "updater/RyUpdater.h"

#include <new>

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "device/RyErrorRecord.h"
#include "device/RyRecoveryDev.h"
#include "player/RyFwComponent.h"
#include "updater/RyUsbMscDev.h"

CRyUpdater::CRyUpdater(CRyConfigInfo* config, const char* name) : CRyBase(name), config(config) {
  errorRecord = new (std::nothrow) CRyErrorRecord();
  if (errorRecord == nullptr) status = RyStatus::kFailed;
}

CRyUpdater::~CRyUpdater() {
  delete errorRecord;
  delete usbDevice;
  delete recoveryDevice;
}

std::int32_t CRyUpdater::ConnectUsbDevice() {
  if (usbDevice == nullptr) {
    usbDevice = new (std::nothrow) CRyUsbMscDev(this, "CRyUsbMscDev");
    if (usbDevice == nullptr) return RyStatus::kFailed;
  }
  return usbDevice->Connect();
}

std::int32_t CRyUpdater::ConnectRecoveryDevice() {
  if (recoveryDevice == nullptr) {
    recoveryDevice = new (std::nothrow) CRyRecoveryDev(this, this, "CRyRecoveryDev");
    if (recoveryDevice == nullptr) return RyStatus::kFailed;
  }
  return recoveryDevice->OpenDevice();
}

std::int32_t CRyUpdater::RecoveryUpdate(CRyProgress* downloadProgress) {
  if (recoveryDevice == nullptr) return RyStatus::kNoRecoveryDevice;
  const std::int32_t result = recoveryDevice->DownloadImage(downloadProgress);
  delete recoveryDevice;
  recoveryDevice = nullptr;
  return result;
}

std::int32_t CRyUpdater::Update() {
  return usbDevice != nullptr ? usbDevice->Update() : RyStatus::kNoPlayerDevice;
}

std::int32_t CRyUpdater::UpdateAndFormat() {
  return usbDevice != nullptr ? usbDevice->UpdateAndFormat() : RyStatus::kNoPlayerDevice;
}

void CRyUpdater::Disconnect() {
  if (usbDevice != nullptr) usbDevice->Detach();
}

std::int32_t CRyUpdater::CheckLayoutFits(int& flag) {
  flag = 0;
  if (usbDevice != nullptr) usbDevice->CheckLayoutFits(flag);
  return RyStatus::kSuccess;
}

std::int32_t CRyUpdater::GetComponentVersions(CRyVersionInfoPtrArray*& device,
                                              CRyVersionInfoPtrArray*& image) {
  if (usbDevice == nullptr) return RyStatus::kNoPlayerDevice;
  device = usbDevice->GetDeviceComponentVersions();
  image = usbDevice->GetImageComponentVersions();
  return RyStatus::kSuccess;
}

std::int32_t CRyUpdater::GetProductVersions(CRyVersionInfo*& device, CRyVersionInfo*& image) {
  if (usbDevice == nullptr) return RyStatus::kNoPlayerDevice;
  device = &usbDevice->GetDeviceProductVersion();
  image = &usbDevice->GetImageProductVersion();
  return usbDevice->GetStatus();
}

std::int32_t CRyUpdater::GetChipRevision(std::uint16_t& out) {
  out = usbDevice != nullptr ? usbDevice->GetChipRevision() : 0;
  return RyStatus::kSuccess;
}

wchar_t CRyUpdater::GetDriveLetter() const {
  return usbDevice != nullptr ? usbDevice->GetDriveLetter() : 0;
}

std::int32_t CRyUpdater::CreateRecoveryImage(std::uint8_t componentIndex,
                                             CRyRecoveryImage*& image) {
  CRyFwComponent* component =
      new (std::nothrow) CRyFwComponent(this, componentIndex, "CRyFwComponent");
  image = component;
  if (component == nullptr) return RyStatus::kFailed;
  return component->GetStatus();
}
