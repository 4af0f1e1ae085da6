#include "player/RyDataDrive.h"

#include "core/RyStatus.h"
#include "device/RyReadCapacity.h"
#include "device/RyScsi.h"

// Until the first Attach the drive stands for no drive of the player.
CRyDataDrive::CRyDataDrive(const char* name) : CRyLogicalDrive(name) {
  componentNumber = 0;
  currentEntry = LogicalTableEntry{kNoDrive, kDriveTypeData, 0, 0};
  requiredEntry = LogicalTableEntry{kNoDrive, kDriveTypeData, 0, 0};
}

std::int32_t CRyDataDrive::ReadCapacity(std::uint32_t& lastBlock, std::uint32_t& blockLength) {
  CRyReadCapacity capacity;
  if (const std::int32_t result = Send(capacity); result != RyStatus::kSuccess) return result;
  std::uint32_t values[2] = {0, 0};
  const std::int32_t result = capacity.GetCapacity(values);
  lastBlock = values[0];
  blockLength = values[1];
  return result;
}

std::int32_t CRyDataDrive::ReadBlocks(CRyByteArray& buffer, std::uint32_t blockCount,
                                      std::uint32_t firstBlock, std::uint32_t blockLength) {
  return transport->ReadSectors(buffer, blockCount, firstBlock, blockLength);
}

std::int32_t CRyDataDrive::WriteBlocks(const CRyByteArray& buffer, std::uint32_t blockCount,
                                       std::uint32_t firstBlock, std::uint32_t blockLength) {
  return transport->WriteSectors(buffer, blockCount, firstBlock, blockLength);
}
