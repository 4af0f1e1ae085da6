#include "updater/RyUsbMscDev.h"

#include <new>
#include <string>

#include "app/RyConfigInfo.h"
#include "core/RyProgress.h"
#include "core/RyStatus.h"
#include "device/RyOsClass.h"
#include "device/RyScsi9x.h"
#include "device/RyScsiNt.h"
#include "player/RyChipCommands.h"
#include "player/RyDataDrive.h"
#include "player/RyFormatter.h"
#include "player/RyLogicalMediaCommands.h"
#include "player/RySystemDrivePtrArray.h"
#include "updater/RyUpdater.h"

namespace {

// Progress texts of the update sequences.
constexpr int kPhaseOpenVolume = 2;
constexpr int kPhaseLockVolume = 3;
constexpr int kPhaseRelayout = 4;
constexpr int kPhaseVerify = 5;
constexpr int kPhaseFormatDataDrive = 28;
constexpr int kPhaseUnlockVolume = 45;
constexpr int kPhaseCloseVolume = 46;

// Step counts by kind: the volume phases, the download, the whole sequence.
constexpr int kStepsOpenKind = 4;
constexpr int kStepsCloseKind = 3;
constexpr int kStepsUpdateKind = 1;
constexpr int kStepsUpdateAndFormatKind = 0;

// The entries a table holds, never more than its records.
std::uint32_t EntryCount(const LogicalTable& table) {
  return table.entryCount < kLogicalTableMaxEntries ? table.entryCount : kLogicalTableMaxEntries;
}

const LogicalTableEntry* FindEntry(const LogicalTable& table, std::uint8_t type,
                                   const std::uint8_t* tag) {
  for (std::uint32_t i = 0; i < EntryCount(table); ++i) {
    const LogicalTableEntry& entry = table.entries[i];
    if (entry.driveType == type && (tag == nullptr || entry.tag == *tag)) return &entry;
  }
  return nullptr;
}

const LogicalTableEntry* FindDataEntry(const LogicalTable& table) {
  return FindEntry(table, kDriveTypeData, nullptr);
}

const LogicalTableEntry* FindSystemEntry(const LogicalTable& table, std::uint8_t tag) {
  return FindEntry(table, kDriveTypeSystem, &tag);
}

// Keeps the first failure of a sequence that goes on after it.
std::int32_t FirstFailure(std::int32_t first, std::int32_t later) {
  return first != RyStatus::kSuccess ? first : later;
}

}  // namespace

CRyUsbMscDev::CRyUsbMscDev(CRyUpdater* updater, const char* name)
    : CRyBase(name), updater(updater) {
  dataDrive = new (std::nothrow) CRyDataDrive("CRyDataDrive");
  if (dataDrive == nullptr) {
    status = RyStatus::kFailed;
    return;
  }
  dataDrive->SetComponentNumber(0);
  dataDrive->SetRequiredTag(kDataDriveTag);
  CRyConfigInfo* config = updater->GetConfigInfo();
  if (config == nullptr || config->GetNumComponents(systemDriveCount) != RyStatus::kSuccess) {
    status = RyStatus::kFailed;
    return;
  }
  systemDrives =
      new (std::nothrow) CRySystemDrivePtrArray(systemDriveCount, "CRySystemDrivePtrArray");
  if (systemDrives == nullptr || systemDrives->GetStatus() != RyStatus::kSuccess) {
    status = RyStatus::kFailed;
    return;
  }
  for (std::uint8_t b = 0; b < systemDriveCount; ++b) {
    CRySystemDrive* drive = GetSystemDrive(b);
    std::uint8_t tag = 0;
    if (drive == nullptr || config->GetComponentDriveTag(b + 1, tag) != RyStatus::kSuccess) {
      status = RyStatus::kFailed;
      return;
    }
    drive->SetComponentNumber(b + 1);
    drive->SetRequiredTag(tag);
  }
  status = CreateTransport();
}

CRyUsbMscDev::~CRyUsbMscDev() {
  delete imageComponentVersions;
  delete deviceComponentVersions;
  delete systemDrives;
  delete dataDrive;
  delete transport;
}

CRySystemDrive* CRyUsbMscDev::GetSystemDrive(std::uint8_t index) const {
  CRySystemDrive* drive = nullptr;
  if (systemDrives == nullptr || systemDrives->GetAt(index, drive) != RyStatus::kSuccess) {
    return nullptr;
  }
  return drive;
}

std::int32_t CRyUsbMscDev::CreateTransport() {
  const OsClass osClass = GetOsClass();
  if (IsWindows9xClass(osClass)) {
    transport = new (std::nothrow) CRyScsi_9x(updater, "CRyScsi_9x");
  } else if (IsWindowsNtClass(osClass)) {
    transport = new (std::nothrow) CRyScsi_Nt(updater, "CRyScsi_Nt");
  } else {
    return RyStatus::kNoTransportForWindows;
  }
  if (transport == nullptr) return RyStatus::kFailed;
  const std::int32_t result = transport->GetStatus();
  if (result != RyStatus::kSuccess) {
    // A transport that could not be built is made again on the next Connect.
    delete transport;
    transport = nullptr;
  }
  return result;
}

void CRyUsbMscDev::Reset() {
  dataDrive->ReleaseComponent();
  // An update replaced the data drive's required entry with the player's;
  // a new layout must ask for the rest of the medium again, not for the old
  // size beside images that may have grown.
  const LogicalTableEntry restOfMedium{CRyLogicalDrive::kNoDrive, kDriveTypeData, kDataDriveTag, 0};
  dataDrive->SetRequiredEntry(&restOfMedium);
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) GetSystemDrive(i)->ReleaseComponent();
  delete deviceComponentVersions;
  deviceComponentVersions = nullptr;
  delete imageComponentVersions;
  imageComponentVersions = nullptr;
  chipMajorRevision = 0;
}

std::int32_t CRyUsbMscDev::ReadLogicalTable() {
  CRyGetLogicalTable command(kLogicalTableMaxEntries);
  std::int32_t result = SendToPlayer(command);
  if (result == RyStatus::kSuccess) result = command.GetTable(logicalTable);
  return result;
}

std::int32_t CRyUsbMscDev::SendToPlayer(CRyScsiCommand& command) {
  if (command.GetStatus() != RyStatus::kSuccess) return command.GetStatus();
  return transport->SendCommand(command);
}

std::int32_t CRyUsbMscDev::Connect() {
  Reset();
  attached = false;
  tableUnreadable = 0;
  logicalTable = LogicalTable{};
  if (transport == nullptr) {
    status = CreateTransport();
    if (status != RyStatus::kSuccess) return status;
  }
  const std::int32_t discovery = transport->FindPlayerDrive();
  status = discovery;
  const bool found = discovery == RyStatus::kSuccess;
  if (found) {
    driveLetter = transport->GetDriveLetter();
    CRyGetChipMajorRevId chip;
    std::int32_t result = SendToPlayer(chip);
    if (result == RyStatus::kSuccess) result = chip.GetChipMajorRevision(chipMajorRevision);
    if (result != RyStatus::kSuccess) return result;
    if (ReadLogicalTable() != RyStatus::kSuccess) {
      logicalTable = LogicalTable{};
      tableUnreadable = 1;
    }
  }
  CRyScsi* reachable = found ? transport : nullptr;
  std::int32_t result = dataDrive->Attach(reachable, updater, FindDataEntry(logicalTable));
  if (result != RyStatus::kSuccess) return result;
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) {
    CRySystemDrive* drive = GetSystemDrive(i);
    result =
        drive->Attach(reachable, updater, FindSystemEntry(logicalTable, drive->GetRequiredTag()));
    if (result != RyStatus::kSuccess) return result;
  }
  attached = found;
  result = CollectVersions(discovery, tableUnreadable);
  if (discovery != RyStatus::kSuccess) return discovery;
  if (tableUnreadable != 0) return RyStatus::kLogicalTableUnreadable;
  return result;
}

std::int32_t CRyUsbMscDev::CollectVersions(std::int32_t discoveryStatus, std::int32_t unreadable) {
  delete deviceComponentVersions;
  delete imageComponentVersions;
  deviceComponentVersions =
      new (std::nothrow) CRyVersionInfoPtrArray(systemDriveCount, "CRyVersionInfoPtrArray");
  imageComponentVersions =
      new (std::nothrow) CRyVersionInfoPtrArray(systemDriveCount, "CRyVersionInfoPtrArray");
  if (!IsComplete(deviceComponentVersions) || !IsComplete(imageComponentVersions)) {
    return RyStatus::kFailed;
  }
  const bool readable = discoveryStatus == RyStatus::kSuccess && unreadable == 0;
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) {
    CRySystemDrive* drive = GetSystemDrive(i);
    CRyVersionInfo* device = nullptr;
    CRyVersionInfo* image = nullptr;
    deviceComponentVersions->GetAt(i, device);
    imageComponentVersions->GetAt(i, image);
    if (readable && drive->GetCurrentEntry().driveNumber != CRyLogicalDrive::kNoDrive) {
      const std::int32_t result = drive->GetDeviceComponentVersion(*device);
      if (result != RyStatus::kSuccess) return result;
    }
    const std::int32_t result = drive->GetImageComponentVersion(*image);
    if (result != RyStatus::kSuccess) return result;
  }
  CRySystemDrive* playerDrive = FindPlayerDrive();
  if (playerDrive == nullptr) return RyStatus::kSuccess;
  if (readable && playerDrive->GetCurrentEntry().driveNumber != CRyLogicalDrive::kNoDrive) {
    const std::int32_t result = playerDrive->GetDeviceProductVersion(deviceProductVersion);
    if (result != RyStatus::kSuccess) return result;
  }
  return playerDrive->GetImageProductVersion(imageProductVersion);
}

bool CRyUsbMscDev::IsComplete(const CRyVersionInfoPtrArray* versions) const {
  if (versions == nullptr || versions->GetStatus() != RyStatus::kSuccess) return false;
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) {
    CRyVersionInfo* version = nullptr;
    if (versions->GetAt(i, version) != RyStatus::kSuccess || version == nullptr) return false;
  }
  return true;
}

CRySystemDrive* CRyUsbMscDev::FindPlayerDrive() const {
  if (systemDriveCount == 0) return nullptr;
  std::uint8_t playerIndex = 0;
  updater->GetConfigInfo()->GetPlayerComponentIndex(playerIndex);
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) {
    if (GetSystemDrive(i)->GetComponentNumber() == playerIndex) return GetSystemDrive(i);
  }
  return GetSystemDrive(systemDriveCount - 1);
}

bool CRyUsbMscDev::IsBootManagerDrive(const CRySystemDrive& drive) const {
  std::uint8_t bootManagerTag = 0;
  updater->GetConfigInfo()->GetBootManagerDriveTag(bootManagerTag);
  return drive.GetRequiredTag() == bootManagerTag;
}

void CRyUsbMscDev::BuildLayout(LogicalTable& layout) const {
  layout = LogicalTable{};
  layout.entryCount = static_cast<std::uint16_t>(systemDriveCount + 1);
  dataDrive->GetRequiredEntry(&layout.entries[1]);
  std::uint32_t next = 2;
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) {
    const CRySystemDrive* drive = GetSystemDrive(i);
    // The layout holds at most ten drives: the boot manager, the data drive
    // and eight more.
    if (IsBootManagerDrive(*drive)) {
      drive->GetRequiredEntry(&layout.entries[0]);
    } else if (next < kLogicalTableMaxEntries) {
      drive->GetRequiredEntry(&layout.entries[next++]);
    }
  }
}

bool CRyUsbMscDev::LayoutFits(const LogicalTable& layout) const {
  std::uint32_t used = 0;
  for (std::uint32_t i = 0; i < EntryCount(logicalTable); ++i) {
    const std::uint8_t type = logicalTable.entries[i].driveType;
    if (type == kDriveTypeData || type == kDriveTypeSystem) ++used;
  }
  if (used != layout.entryCount || layout.entryCount == 0) return false;
  const std::uint8_t dataTag = dataDrive->GetRequiredTag();
  const LogicalTableEntry* dataEntry = FindEntry(layout, kDriveTypeData, &dataTag);
  if (dataEntry == nullptr || dataDrive->FitsEntry(*dataEntry) == 0) return false;
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) {
    const CRySystemDrive* drive = GetSystemDrive(i);
    const LogicalTableEntry* entry = FindSystemEntry(layout, drive->GetRequiredTag());
    if (entry == nullptr || drive->FitsEntry(*entry) == 0) return false;
  }
  return true;
}

std::int32_t CRyUsbMscDev::CheckLayoutFits(int& flag) {
  flag = 0;
  if (!attached || ReadLogicalTable() != RyStatus::kSuccess) return RyStatus::kSuccess;
  LogicalTable layout;
  BuildLayout(layout);
  flag = LayoutFits(layout) ? 1 : 0;
  return RyStatus::kSuccess;
}

std::int32_t CRyUsbMscDev::AssignEntries() {
  if (const std::int32_t result = ReadLogicalTable(); result != RyStatus::kSuccess) return result;
  if (const LogicalTableEntry* entry = FindDataEntry(logicalTable)) {
    dataDrive->SetRequiredEntry(entry);
    dataDrive->SetCurrentEntry(entry);
  }
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) {
    CRySystemDrive* drive = GetSystemDrive(i);
    if (const LogicalTableEntry* entry = FindSystemEntry(logicalTable, drive->GetRequiredTag())) {
      drive->SetRequiredEntry(entry);
      drive->SetCurrentEntry(entry);
    }
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyUsbMscDev::CheckDrivesHoldImages() const {
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) {
    const CRySystemDrive* drive = GetSystemDrive(i);
    if (drive->GetCurrentEntry().driveNumber == CRyLogicalDrive::kNoDrive) continue;
    // Writing an image into a drive smaller than the image would verify
    // only the part that was written.
    if (!drive->HoldsImage()) return RyStatus::kFailed;
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyUsbMscDev::OpenVolumePhase() {
  Progress().BeginPhase(kPhaseOpenVolume, 1);
  const std::int32_t opened = transport->Open();
  Progress().Advance(1);
  if (opened != RyStatus::kSuccess) return opened;
  Progress().BeginPhase(kPhaseLockVolume, 1);
  const std::int32_t locked = transport->LockVolume(tableUnreadable);
  Progress().Advance(1);
  // The volume is closed again after every successful open.
  if (locked != RyStatus::kSuccess) Detach();
  return locked;
}

std::int32_t CRyUsbMscDev::CloseVolumePhase() {
  Progress().BeginPhase(kPhaseUnlockVolume, 1);
  const std::int32_t unlocked = transport->UnlockVolume(tableUnreadable);
  Progress().Advance(1);
  Progress().BeginPhase(kPhaseCloseVolume, 1);
  const std::int32_t closed = transport->Close();
  Progress().Advance(1);
  Detach();
  return FirstFailure(unlocked, closed);
}

void CRyUsbMscDev::Detach() {
  if (transport != nullptr) transport->Close();
  dataDrive->DetachTransport();
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) GetSystemDrive(i)->DetachTransport();
  attached = false;
}

std::int32_t CRyUsbMscDev::DownloadAll() {
  std::int32_t result = AssignEntries();
  Progress().Advance(1);
  if (result != RyStatus::kSuccess) return result;
  if (result = CheckDrivesHoldImages(); result != RyStatus::kSuccess) return result;
  std::uint32_t totalChunks = 0;
  for (std::uint8_t i = 0; i < systemDriveCount && result == RyStatus::kSuccess; ++i) {
    CRySystemDrive* drive = GetSystemDrive(i);
    Progress().BeginTask(CRyProgress::kEraseComponentPhase, 1, drive->GetComponentNumber());
    result = drive->Erase();
    Progress().Advance(1);
    if (result != RyStatus::kSuccess) break;
    std::uint32_t chunks = 0;
    result = drive->Download(chunks);
    totalChunks += chunks;
  }
  // The versions on the player changed with the first version record.
  CollectVersions(RyStatus::kSuccess, 0);
  if (result != RyStatus::kSuccess) return result;
  Progress().BeginPhase(kPhaseVerify, static_cast<int>(totalChunks));
  for (std::uint8_t i = 0; i < systemDriveCount; ++i) {
    if (result = GetSystemDrive(i)->Verify(); result != RyStatus::kSuccess) return result;
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyUsbMscDev::FormatUpdate() {
  CRyFormatter formatter(updater, dataDrive, transport, updater->GetCommandLine(), "CRyFormatter");
  Progress().BeginPhase(kPhaseRelayout, 4);
  LogicalTable layout;
  BuildLayout(layout);
  Progress().Advance(1);
  CRyEraseLogicalMedia erase;
  std::int32_t result = SendToPlayer(erase);
  Progress().Advance(1);
  if (result != RyStatus::kSuccess) return result;
  CRyAllocateLogicalMedia allocate(layout);
  result = SendToPlayer(allocate);
  Progress().Advance(1);
  if (result != RyStatus::kSuccess) return result;
  if (result = DownloadAll(); result != RyStatus::kSuccess) return result;
  Progress().BeginPhase(kPhaseFormatDataDrive, 2);
  Progress().Advance(1);
  result = dataDrive->Erase();
  Progress().Advance(1);
  if (result != RyStatus::kSuccess) return result;
  std::string label;
  if (result = updater->GetConfigInfo()->GetVolumeLabel(label); result != RyStatus::kSuccess) {
    return result;
  }
  return formatter.Format(tableUnreadable, reinterpret_cast<const std::uint8_t*>(label.data()),
                          static_cast<std::uint32_t>(label.size()));
}

std::int32_t CRyUsbMscDev::Update() {
  if (!attached) return RyStatus::kNoPlayerDevice;
  Progress().SetTotalSteps(StepCount(kStepsUpdateKind));
  if (const std::int32_t result = OpenVolumePhase(); result != RyStatus::kSuccess) return result;
  const std::int32_t result = DownloadAll();
  return FirstFailure(result, CloseVolumePhase());
}

std::int32_t CRyUsbMscDev::UpdateAndFormat() {
  if (!attached) return RyStatus::kNoPlayerDevice;
  const OsClass osClass = GetOsClass();
  Progress().SetTotalSteps(StepCount(kStepsUpdateAndFormatKind));
  if (const std::int32_t result = OpenVolumePhase(); result != RyStatus::kSuccess) return result;
  std::int32_t result = FormatUpdate();
  if (osClass == kOsClassWindows9x) {
    // Windows 95 and 98 see the new layout only after the chip restarts;
    // the reset does not hide a failure before it.
    CRyChipReset reset;
    result = FirstFailure(result, SendToPlayer(reset));
  }
  return FirstFailure(result, CloseVolumePhase());
}

int CRyUsbMscDev::StepCount(int kind) const {
  switch (kind) {
    case kStepsOpenKind:
      return 3;
    case kStepsCloseKind:
      return 2;
    case kStepsUpdateKind:
      return StepCount(kStepsOpenKind) + StepCount(kStepsCloseKind) + 2 * systemDriveCount + 1;
    case kStepsUpdateAndFormatKind:
      return StepCount(kStepsOpenKind) + StepCount(kStepsCloseKind) + StepCount(kStepsUpdateKind) +
             CRyFormatter::kStepCount + 2;
    default:
      return 0;
  }
}

OwnerProgress CRyUsbMscDev::Progress() const { return OwnerProgress(updater); }
