#pragma once
// One logical drive of the player's flash as the update sees it: the entry
// the player last reported for it and the entry the update needs.

#include <cstdint>

#include "core/RyBase.h"
#include "player/RyLogicalTable.h"

class CRyDeviceOwner;
class CRyScsi;
class CRyScsiCommand;

class CRyLogicalDrive : public CRyBase {
 public:
  static constexpr std::uint8_t kNoComponent = 255;
  static constexpr std::uint8_t kNoDrive = 255;

  explicit CRyLogicalDrive(const char* name);

  virtual void ReleaseComponent() {}
  // A null entry leaves the current entry as it is.
  virtual std::int32_t Attach(CRyScsi* transport, CRyDeviceOwner* updater,
                              const LogicalTableEntry* entry);
  virtual std::int32_t GetRequiredEntry(LogicalTableEntry* out) const;
  virtual std::int32_t SetComponentNumber(std::uint8_t number);
  virtual std::uint8_t GetComponentNumber() const { return componentNumber; }
  // flag 1 when the required size is not larger than the current size.
  virtual std::int32_t Fits(int& flag) const;
  virtual std::int32_t GetSectorSize(std::uint32_t& out);
  virtual std::int32_t Erase();
  virtual std::uint8_t GetRequiredTag() const { return requiredEntry.tag; }
  virtual void SetRequiredTag(std::uint8_t tag) { requiredEntry.tag = tag; }

  std::int32_t SetRequiredEntry(const LogicalTableEntry* entry);
  std::int32_t SetCurrentEntry(const LogicalTableEntry* entry);
  int FitsEntry(const LogicalTableEntry& entry) const;
  // The player's volume was closed: no command may reach it until the next
  // Attach.
  void DetachTransport() { transport = nullptr; }
  const LogicalTableEntry& GetCurrentEntry() const { return currentEntry; }

 protected:
  // Sends a command built for this drive: its construction status first.
  std::int32_t Send(CRyScsiCommand& command);

  std::uint8_t componentNumber = kNoComponent;
  CRyScsi* transport = nullptr;
  CRyDeviceOwner* updater = nullptr;
  std::uint32_t sectorSize = 0;
  LogicalTableEntry currentEntry{kNoDrive, kDriveTypeSystem, 0, 0};
  LogicalTableEntry requiredEntry{kNoDrive, kDriveTypeSystem, 0, 0};
};
