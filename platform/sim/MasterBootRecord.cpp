#include "MasterBootRecord.h"

#include <algorithm>

#include "DiskGeometry.h"

namespace sim {

namespace {

constexpr std::size_t kDiskSignatureOffset = 0x1B8;
constexpr std::size_t kTableOffset = 0x1BE;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kBootSignatureOffset = 0x1FE;

std::uint32_t ReadLittle32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
         static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void WriteLittle32(std::uint8_t* bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Head, sector with cylinder bits 8-9, cylinder bits 0-7; past cylinder
// 1023 the address is pinned at its largest value.
void WriteChs(std::uint8_t* bytes, std::uint32_t sector) {
  constexpr std::uint32_t kPerCylinder = kTranslatedHeads * kTranslatedSectorsPerTrack;
  std::uint32_t cylinder = sector / kPerCylinder;
  std::uint32_t head = (sector / kTranslatedSectorsPerTrack) % kTranslatedHeads;
  std::uint32_t sectorInTrack = sector % kTranslatedSectorsPerTrack + 1;
  if (cylinder > 1023) {
    cylinder = 1023;
    head = kTranslatedHeads - 1;
    sectorInTrack = kTranslatedSectorsPerTrack;
  }
  bytes[0] = static_cast<std::uint8_t>(head);
  bytes[1] = static_cast<std::uint8_t>(sectorInTrack | ((cylinder >> 2) & 0xC0));
  bytes[2] = static_cast<std::uint8_t>(cylinder);
}

}  // namespace

MasterBootRecord::MasterBootRecord(std::vector<std::uint8_t> bytes) : sector(std::move(bytes)) {}

bool MasterBootRecord::HasBootSignature() const {
  return sector.size() >= kSize && sector[kBootSignatureOffset] == 0x55 &&
         sector[kBootSignatureOffset + 1] == 0xAA;
}

std::uint32_t MasterBootRecord::DiskSignature() const {
  return sector.size() >= kSize ? ReadLittle32(&sector[kDiskSignatureOffset]) : 0;
}

MbrPartition MasterBootRecord::Partition(std::size_t index) const {
  MbrPartition partition;
  if (sector.size() < kSize || index >= kPartitionCount) return partition;
  const std::uint8_t* entry = &sector[kTableOffset + index * kEntrySize];
  partition.bootIndicator = entry[0];
  partition.type = entry[4];
  partition.firstSector = ReadLittle32(entry + 8);
  partition.sectorCount = ReadLittle32(entry + 12);
  return partition;
}

bool MasterBootRecord::HoldsPartitionTable() const {
  if (!HasBootSignature()) return false;
  bool anyUsed = false;
  for (std::size_t i = 0; i < kPartitionCount; ++i) {
    const MbrPartition partition = Partition(i);
    if (partition.bootIndicator != 0x00 && partition.bootIndicator != 0x80) return false;
    anyUsed = anyUsed || IsUsed(partition);
  }
  return anyUsed;
}

void MasterBootRecord::SetPartition(std::size_t index, const MbrPartition& partition) {
  if (sector.size() < kSize || index >= kPartitionCount) return;
  std::uint8_t* entry = &sector[kTableOffset + index * kEntrySize];
  std::fill(entry, entry + kEntrySize, std::uint8_t{0});
  if (partition.type == 0) return;
  entry[0] = partition.bootIndicator;
  WriteChs(entry + 1, partition.firstSector);
  entry[4] = partition.type;
  const std::uint32_t last = partition.firstSector + partition.sectorCount - 1;
  WriteChs(entry + 5, partition.sectorCount == 0 ? partition.firstSector : last);
  WriteLittle32(entry + 8, partition.firstSector);
  WriteLittle32(entry + 12, partition.sectorCount);
}

void MasterBootRecord::SetSignatures(std::uint32_t diskSignature) {
  if (sector.size() < kSize) return;
  WriteLittle32(&sector[kDiskSignatureOffset], diskSignature);
  sector[kBootSignatureOffset] = 0x55;
  sector[kBootSignatureOffset + 1] = 0xAA;
}

void MasterBootRecord::EraseTable() {
  if (sector.size() < kSize) return;
  std::fill(sector.begin() + kDiskSignatureOffset, sector.begin() + kSize, std::uint8_t{0});
}

Extent VolumeExtent(const MasterBootRecord& record, std::uint64_t diskBlocks) {
  if (record.HoldsPartitionTable()) {
    for (std::size_t i = 0; i < MasterBootRecord::kPartitionCount; ++i) {
      const MbrPartition partition = record.Partition(i);
      if (IsUsed(partition)) return {partition.firstSector, partition.sectorCount};
    }
  }
  return {0, diskBlocks};
}

}  // namespace sim
