#include "DriveLayout.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace sim {

namespace {

constexpr std::size_t kHeaderSize = offsetof(DRIVE_LAYOUT_INFORMATION, PartitionEntry);
constexpr std::size_t kEntrySize = sizeof(PARTITION_INFORMATION);
constexpr BYTE kHugeFat16 = 0x06;
constexpr std::uint64_t kMaxSector = 0xFFFFFFFF;

// The file systems Windows mounts (IsRecognizedPartition), also with the
// fault-tolerance bit 80h set.
bool IsRecognized(BYTE type) {
  const BYTE base = (type & 0x80) != 0 ? static_cast<BYTE>(type & ~0xC0) : type;
  switch (base) {
    case 0x01:  // FAT12
    case 0x04:  // FAT16 below 32 MiB
    case 0x06:  // FAT16
    case 0x07:  // IFS (NTFS)
    case 0x0B:  // FAT32
    case 0x0C:  // FAT32, LBA
    case 0x0E:  // FAT16, LBA
      return true;
    default:
      return false;
  }
}

PARTITION_INFORMATION Entry(std::uint64_t firstBlock, std::uint64_t blockCount,
                            std::uint32_t blockSize, BYTE type, bool active) {
  PARTITION_INFORMATION entry{};
  entry.StartingOffset.QuadPart = static_cast<LONGLONG>(firstBlock * blockSize);
  entry.PartitionLength.QuadPart = static_cast<LONGLONG>(blockCount * blockSize);
  entry.HiddenSectors = static_cast<DWORD>(firstBlock);
  entry.PartitionType = type;
  entry.BootIndicator = active ? TRUE : FALSE;
  entry.RecognizedPartition = IsRecognized(type) ? TRUE : FALSE;
  return entry;
}

DWORD WriteRecord(DWORD signature, const std::vector<PARTITION_INFORMATION>& entries,
                  const IoControl& request, DWORD& returned) {
  const std::size_t size = kHeaderSize + entries.size() * kEntrySize;
  if (request.out == nullptr || request.outSize < size) return ERROR_INSUFFICIENT_BUFFER;
  const DWORD count = static_cast<DWORD>(entries.size());
  std::memcpy(request.out + offsetof(DRIVE_LAYOUT_INFORMATION, PartitionCount), &count,
              sizeof count);
  std::memcpy(request.out + offsetof(DRIVE_LAYOUT_INFORMATION, Signature), &signature,
              sizeof signature);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::memcpy(request.out + kHeaderSize + i * kEntrySize, &entries[i], kEntrySize);
  }
  returned = static_cast<DWORD>(size);
  return ERROR_SUCCESS;
}

}  // namespace

DWORD DescribeLayout(const MasterBootRecord& record, std::uint64_t diskBlocks,
                     std::uint32_t blockSize, const IoControl& request, DWORD& returned) {
  std::vector<PARTITION_INFORMATION> entries;
  if (!record.HoldsPartitionTable()) {
    entries.push_back(Entry(0, diskBlocks, blockSize, kHugeFat16, false));
    entries.back().PartitionNumber = 1;
    return WriteRecord(0, entries, request, returned);
  }
  DWORD nextNumber = 1;
  for (std::size_t i = 0; i < MasterBootRecord::kPartitionCount; ++i) {
    const MbrPartition partition = record.Partition(i);
    if (!IsUsed(partition)) {
      entries.emplace_back();
      continue;
    }
    entries.push_back(Entry(partition.firstSector, partition.sectorCount, blockSize, partition.type,
                            partition.bootIndicator == 0x80));
    if (entries.back().RecognizedPartition) entries.back().PartitionNumber = nextNumber++;
  }
  return WriteRecord(record.DiskSignature(), entries, request, returned);
}

DWORD ApplyLayout(const IoControl& request, std::uint32_t blockSize, MasterBootRecord& record,
                  DWORD& returned) {
  if (request.in == nullptr || request.inSize < kHeaderSize + kEntrySize) {
    return ERROR_INSUFFICIENT_BUFFER;
  }
  DWORD count = 0;
  DWORD signature = 0;
  std::memcpy(&count, request.in + offsetof(DRIVE_LAYOUT_INFORMATION, PartitionCount),
              sizeof count);
  std::memcpy(&signature, request.in + offsetof(DRIVE_LAYOUT_INFORMATION, Signature),
              sizeof signature);
  const std::size_t size = kHeaderSize + std::size_t{count} * kEntrySize;
  if (count > (request.inSize - kHeaderSize) / kEntrySize) return ERROR_INSUFFICIENT_BUFFER;
  if (request.outSize != 0 && (request.out == nullptr || request.outSize < size)) {
    return ERROR_INSUFFICIENT_BUFFER;
  }

  MasterBootRecord changed = record;
  for (DWORD i = 0; i < count; ++i) {
    PARTITION_INFORMATION entry;
    std::memcpy(&entry, request.in + kHeaderSize + i * kEntrySize, kEntrySize);
    if (!entry.RewritePartition) continue;
    // Entries past the fourth belong in extended partitions.
    if (i >= MasterBootRecord::kPartitionCount) {
      if (entry.PartitionType != 0) return ERROR_NOT_SUPPORTED;
      continue;
    }
    MbrPartition partition;
    if (entry.PartitionType != 0) {
      if (entry.StartingOffset.QuadPart < 0 || entry.PartitionLength.QuadPart < 0) {
        return ERROR_INVALID_PARAMETER;
      }
      const std::uint64_t first =
          static_cast<std::uint64_t>(entry.StartingOffset.QuadPart) / blockSize;
      const std::uint64_t length =
          static_cast<std::uint64_t>(entry.PartitionLength.QuadPart) / blockSize;
      if (first > kMaxSector || length > kMaxSector) return ERROR_INVALID_PARAMETER;
      partition.bootIndicator = entry.BootIndicator ? 0x80 : 0x00;
      partition.type = entry.PartitionType;
      partition.firstSector = static_cast<std::uint32_t>(first);
      partition.sectorCount = static_cast<std::uint32_t>(length);
    }
    changed.SetPartition(i, partition);
  }
  changed.SetSignatures(signature);
  record = changed;
  // The record goes back to the caller as it was applied.
  returned = 0;
  if (request.outSize != 0) {
    std::memmove(request.out, request.in, size);
    returned = static_cast<DWORD>(size);
  }
  return ERROR_SUCCESS;
}

}  // namespace sim
