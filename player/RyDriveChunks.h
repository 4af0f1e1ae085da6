#pragma once
// How a system drive's required size is cut into the chunks that Download
// writes and Verify reads back: whole sectors, at most 64 KiB per chunk but
// at least one sector, the short chunk last.

#include <cstdint>

struct DriveChunks {
  static constexpr std::uint32_t kChunkBytes = 65536;

  std::uint32_t sectorSize = 0;
  std::uint32_t sectorsPerChunk = 0;
  std::uint32_t fullChunks = 0;
  std::uint32_t restSectors = 0;

  std::uint32_t ChunkCount() const { return fullChunks + (restSectors != 0 ? 1 : 0); }
  // Bytes of a full chunk; the image offset of chunk k is k times this.
  std::uint64_t ChunkBytes() const { return std::uint64_t{sectorSize} * sectorsPerChunk; }
};

// Sectors of one chunk: as many as 64 KiB hold, but at least one. The
// formatter's writes are cut the same way.
inline std::uint32_t SectorsPerChunk(std::uint32_t sectorSize) {
  const std::uint32_t sectors = DriveChunks::kChunkBytes / sectorSize;
  return sectors > 0 ? sectors : 1;
}

// -9 for a sector size of 0, which a device may answer but no drive has.
std::int32_t PlanDriveChunks(std::uint64_t requiredSize, std::uint32_t sectorSize,
                             DriveChunks& chunks);
