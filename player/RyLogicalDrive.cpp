#include "player/RyLogicalDrive.h"

#include "core/RyStatus.h"
#include "device/RyScsi.h"
#include "player/RyLogicalDriveCommands.h"

namespace {

constexpr std::uint32_t kSectorSizeInfo = 0;

void CopyEntry(LogicalTableEntry& target, const LogicalTableEntry* source) {
  if (source != nullptr) target = *source;
}

}  // namespace

CRyLogicalDrive::CRyLogicalDrive(const char* name) : CRyBase(name) {}

std::int32_t CRyLogicalDrive::Attach(CRyScsi* transport, CRyDeviceOwner* updater,
                                     const LogicalTableEntry* entry) {
  this->transport = transport;
  this->updater = updater;
  CopyEntry(currentEntry, entry);
  return RyStatus::kSuccess;
}

std::int32_t CRyLogicalDrive::GetRequiredEntry(LogicalTableEntry* out) const {
  if (out != nullptr) *out = requiredEntry;
  return RyStatus::kSuccess;
}

std::int32_t CRyLogicalDrive::SetComponentNumber(std::uint8_t number) {
  componentNumber = number;
  return RyStatus::kSuccess;
}

std::int32_t CRyLogicalDrive::Fits(int& flag) const {
  flag = FitsEntry(requiredEntry);
  return RyStatus::kSuccess;
}

std::int32_t CRyLogicalDrive::GetSectorSize(std::uint32_t& out) {
  CRyGetLogicalDriveInfo info(currentEntry.driveNumber, kSectorSizeInfo);
  if (const std::int32_t result = Send(info); result != RyStatus::kSuccess) return result;
  return info.GetValue(out);
}

std::int32_t CRyLogicalDrive::Erase() {
  CRyEraseLogicalDrive erase(currentEntry.driveNumber);
  return Send(erase);
}

std::int32_t CRyLogicalDrive::SetRequiredEntry(const LogicalTableEntry* entry) {
  CopyEntry(requiredEntry, entry);
  return RyStatus::kSuccess;
}

std::int32_t CRyLogicalDrive::SetCurrentEntry(const LogicalTableEntry* entry) {
  CopyEntry(currentEntry, entry);
  return RyStatus::kSuccess;
}

int CRyLogicalDrive::FitsEntry(const LogicalTableEntry& entry) const {
  const std::uint64_t wanted = entry.sizeInBytes;
  const std::uint64_t current = currentEntry.sizeInBytes;
  return wanted <= current ? 1 : 0;
}

std::int32_t CRyLogicalDrive::Send(CRyScsiCommand& command) {
  if (command.GetStatus() != RyStatus::kSuccess) return command.GetStatus();
  return transport->SendCommand(command);
}
