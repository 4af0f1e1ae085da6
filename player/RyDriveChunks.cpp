#include "player/RyDriveChunks.h"

#include "core/RyStatus.h"

std::int32_t PlanDriveChunks(std::uint64_t requiredSize, std::uint32_t sectorSize,
                             DriveChunks& chunks) {
  if (sectorSize == 0) return RyStatus::kArgumentOutOfRange;
  // Only the low 32 bits of the sector count are used, as the commands
  // count sectors in 32 bits.
  const auto totalSectors = static_cast<std::uint32_t>(requiredSize / sectorSize +
                                                       (requiredSize % sectorSize != 0 ? 1 : 0));
  chunks.sectorSize = sectorSize;
  chunks.sectorsPerChunk = SectorsPerChunk(sectorSize);
  chunks.fullChunks = totalSectors / chunks.sectorsPerChunk;
  chunks.restSectors = totalSectors % chunks.sectorsPerChunk;
  return RyStatus::kSuccess;
}
