#pragma once
// The one object through which the shell reaches the player: it owns the
// USB mass-storage device object and, while recovery runs, the recovery
// device object, and it is the owner every device object reports to.

#include <cstdint>

#include "core/RyBase.h"
#include "core/RyVersionInfo.h"
#include "device/RyDeviceOwner.h"
#include "device/RyRecoveryImage.h"

class CRyBaseToCmdLineProcessor;
class CRyConfigInfo;
class CRyErrorRecord;
class CRyProgress;
class CRyRecoveryDev;
class CRyResource;
class CRyUsbMscDev;

class CRyUpdater : public CRyBase, public CRyDeviceOwner, public CRyRecoveryImageFactory {
 public:
  // config is not owned. -1 when the error record cannot be created.
  CRyUpdater(CRyConfigInfo* config, const char* name);
  ~CRyUpdater() override;
  CRyUpdater(const CRyUpdater&) = delete;
  CRyUpdater& operator=(const CRyUpdater&) = delete;

  // Set by start-up; none of them is owned.
  void SetCommandLine(CRyBaseToCmdLineProcessor* processor) { commandLine = processor; }
  void SetResource(CRyResource* newResource) { resource = newResource; }
  void SetProgress(CRyProgress* newProgress) { progress = newProgress; }
  CRyBaseToCmdLineProcessor* GetCommandLine() { return commandLine; }

  // What device objects reach through their owner.
  CRyErrorRecord* GetErrorRecord() override { return errorRecord; }
  CRyProgress* GetProgress() override { return progress; }
  CRyResource* GetResource() override { return resource; }
  CRyConfigInfo* GetConfigInfo() override { return config; }

  // 0, -43 (player found, table unreadable), -27 (no transport for this
  // Windows), -1, or a discovery or transport status.
  std::int32_t ConnectUsbDevice();
  // The recovery channel's open status (-14 no device, ...), -1.
  std::int32_t ConnectRecoveryDevice();
  // Streams the recovery image, then deletes the recovery device.
  std::int32_t RecoveryUpdate(CRyProgress* downloadProgress);
  // The firmware update that keeps the data area.
  std::int32_t Update();
  // The firmware update that re-cuts the medium and formats the data drive.
  std::int32_t UpdateAndFormat();
  void Disconnect();

  // flag 1 when the player's table was read and the carried layout fits it.
  std::int32_t CheckLayoutFits(int& flag);
  // -26 before the first ConnectUsbDevice.
  std::int32_t GetComponentVersions(CRyVersionInfoPtrArray*& device,
                                    CRyVersionInfoPtrArray*& image);
  std::int32_t GetProductVersions(CRyVersionInfo*& device, CRyVersionInfo*& image);
  std::int32_t GetChipRevision(std::uint16_t& out);
  wchar_t GetDriveLetter() const;

  // The USB device object, null before the first ConnectUsbDevice.
  CRyUsbMscDev* GetUsbDevice() { return usbDevice; }

  // The recovery channel's image: the firmware component of that row.
  std::int32_t CreateRecoveryImage(std::uint8_t componentIndex, CRyRecoveryImage*& image) override;

 private:
  CRyBaseToCmdLineProcessor* commandLine = nullptr;  // not owned
  CRyResource* resource = nullptr;                   // not owned
  CRyConfigInfo* config;                             // not owned
  CRyUsbMscDev* usbDevice = nullptr;                 // owned
  CRyRecoveryDev* recoveryDevice = nullptr;          // owned
  CRyProgress* progress = nullptr;                   // not owned
  CRyErrorRecord* errorRecord = nullptr;             // owned
};
