#pragma once
// Sector 0 of a disk as the partition code reads and writes it: four
// partition entries at 1BEh, the disk signature at 1B8h, 55h AAh at 1FEh;
// the boot code before them is left alone.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

struct MbrPartition {
  std::uint8_t bootIndicator = 0;  // 80h active
  std::uint8_t type = 0;           // 0: unused entry
  std::uint32_t firstSector = 0;
  std::uint32_t sectorCount = 0;
};

inline bool IsUsed(const MbrPartition& partition) {
  return partition.type != 0 && partition.sectorCount != 0;
}

// A run of blocks on the disk.
struct Extent {
  std::uint64_t firstBlock = 0;
  std::uint64_t blockCount = 0;
};

class MasterBootRecord {
 public:
  static constexpr std::size_t kSize = 512;
  static constexpr std::size_t kPartitionCount = 4;

  // The sector's bytes; a sector shorter than 512 bytes holds no record.
  explicit MasterBootRecord(std::vector<std::uint8_t> sector);

  bool HasBootSignature() const;
  std::uint32_t DiskSignature() const;
  MbrPartition Partition(std::size_t index) const;

  // True when the sector holds a partition table: the boot signature, boot
  // flags of 00h or 80h only (a boot sector's code in that place fails this
  // test) and at least one used entry.
  bool HoldsPartitionTable() const;

  // Writes the entry with CHS addresses on the translated geometry.
  void SetPartition(std::size_t index, const MbrPartition& partition);
  // Writes the disk signature and the boot signature.
  void SetSignatures(std::uint32_t diskSignature);
  // Wipes the signatures and the table, keeping the boot code.
  void EraseTable();

  const std::vector<std::uint8_t>& Sector() const { return sector; }

 private:
  std::vector<std::uint8_t> sector;
};

// The blocks the volume of a removable disk covers: its first used
// partition when sector 0 holds a table, else the whole disk (a "super
// floppy").
Extent VolumeExtent(const MasterBootRecord& record, std::uint64_t diskBlocks);

}  // namespace sim
