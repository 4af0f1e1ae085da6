#pragma once
// The player as a USB mass-storage disk: finds it, reads its state (chip
// revision, logical table, versions) and runs the two update sequences. It
// owns the transport, the data drive and one system drive per component.

#include <cstdint>

#include "core/RyBase.h"
#include "core/RyVersionInfo.h"
#include "device/RyOwnerProgress.h"
#include "player/RyLogicalTable.h"

class CRyDataDrive;
class CRyScsiCommand;
class CRyScsi;
class CRySystemDrive;
class CRySystemDrivePtrArray;
class CRyUpdater;

class CRyUsbMscDev : public CRyBase {
 public:
  static constexpr std::uint8_t kDataDriveTag = 0x0A;

  // The status is that of CreateTransport, or -1 when the drives cannot be
  // created.
  CRyUsbMscDev(CRyUpdater* updater, const char* name);
  ~CRyUsbMscDev() override;
  CRyUsbMscDev(const CRyUsbMscDev&) = delete;
  CRyUsbMscDev& operator=(const CRyUsbMscDev&) = delete;

  std::int32_t Connect();
  void Reset();
  // -27 when this Windows has no transport, else the transport's status.
  std::int32_t CreateTransport();
  std::int32_t CollectVersions(std::int32_t discoveryStatus, std::int32_t tableUnreadable);
  void BuildLayout(LogicalTable& layout) const;
  bool LayoutFits(const LogicalTable& layout) const;
  std::int32_t CheckLayoutFits(int& flag);
  std::int32_t AssignEntries();
  std::int32_t OpenVolumePhase();
  std::int32_t CloseVolumePhase();
  void Detach();
  std::int32_t DownloadAll();
  std::int32_t FormatUpdate();
  std::int32_t Update();
  std::int32_t UpdateAndFormat();
  int StepCount(int kind) const;

  CRyVersionInfoPtrArray* GetDeviceComponentVersions() { return deviceComponentVersions; }
  CRyVersionInfoPtrArray* GetImageComponentVersions() { return imageComponentVersions; }
  CRyVersionInfo& GetDeviceProductVersion() { return deviceProductVersion; }
  CRyVersionInfo& GetImageProductVersion() { return imageProductVersion; }
  std::uint16_t GetChipRevision() const { return chipMajorRevision; }
  wchar_t GetDriveLetter() const { return driveLetter; }
  std::int32_t IsTableUnreadable() const { return tableUnreadable; }
  const LogicalTable& GetLogicalTable() const { return logicalTable; }
  CRySystemDrive* GetSystemDrive(std::uint8_t index) const;

 private:
  std::int32_t ReadLogicalTable();
  std::int32_t SendToPlayer(CRyScsiCommand& command);
  // The system drive of the player component, else the last one.
  CRySystemDrive* FindPlayerDrive() const;
  bool IsBootManagerDrive(const CRySystemDrive& drive) const;
  // An array with every element created.
  bool IsComplete(const CRyVersionInfoPtrArray* versions) const;
  // -1 when a drive of the player is smaller than the image it is to hold.
  std::int32_t CheckDrivesHoldImages() const;
  OwnerProgress Progress() const;

  CRyUpdater* updater;                                        // not owned
  CRyScsi* transport = nullptr;                               // owned
  CRyDataDrive* dataDrive = nullptr;                          // owned
  CRySystemDrivePtrArray* systemDrives = nullptr;             // owned
  CRyVersionInfoPtrArray* deviceComponentVersions = nullptr;  // owned
  CRyVersionInfoPtrArray* imageComponentVersions = nullptr;   // owned
  CRyVersionInfo deviceProductVersion{"CRyVersionInfo"};
  CRyVersionInfo imageProductVersion{"CRyVersionInfo"};
  std::int32_t tableUnreadable = 0;
  LogicalTable logicalTable{};
  std::uint8_t systemDriveCount = 0;
  std::uint16_t chipMajorRevision = 0;
  wchar_t driveLetter = 0;
  // The drives hold the transport of a found player; cleared by Detach.
  bool attached = false;
};
