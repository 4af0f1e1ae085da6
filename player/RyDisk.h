#pragma once
// Everything the formatter writes, computed before the first write: FAT
// type, cluster size, geometry, master boot record, boot records and the
// sizes of the areas.

#include <cstdint>

#include "core/RyBase.h"
#include "player/RyChs.h"

enum FatType : std::uint16_t { kFat12 = 0, kFat16 = 1, kFat32 = 2 };

class CRyDisk : public CRyBase {
 public:
  static constexpr std::uint32_t kRecordSize = 512;
  static constexpr std::uint32_t kNumberOfFats = 2;

  // Status -39 for a sector size that is not 512 to 4096 (a power of two),
  // for a size the cluster table has no cluster size for, and for a layout
  // whose cluster count the chosen type cannot hold; -33 when no geometry
  // fits; -34 when a partition boundary has no CHS address.
  CRyDisk(std::uint32_t totalSectors, std::uint32_t sectorSize, int forceFat16, const char* name);

  static constexpr std::uint32_t kLabelLength = 11;

  // The volume label, blank-padded, into the boot sector's label field and
  // the 11-byte name form (readers compare the two and refuse 00h padding);
  // -9 for a label longer than 11 bytes, -5 for an empty one.
  std::int32_t StoreLabel(const std::uint8_t* label, std::uint32_t length);
  const std::uint8_t* GetLabel() const { return volumeLabel; }

  const std::uint8_t* GetMbr() const { return mbr; }
  const std::uint8_t* GetBootSector() const { return bootSector; }
  const std::uint8_t* GetFsInfoSector() const { return fsInfoSector; }
  const std::uint8_t* GetThirdBootRecord() const { return thirdBootRecord; }
  std::uint32_t GetRootDirectorySectors() const { return rootDirectorySectors; }
  // Sectors after the partition up to the end of the drive.
  std::uint32_t GetResidue() const { return residue; }
  const ChsGeometry& GetGeometry() const { return geometry; }
  std::uint32_t GetChsCapacity() const { return chsCapacity; }
  FatType GetFatType() const { return fatType; }
  std::uint32_t GetSectorSize() const { return sectorSize; }
  std::uint32_t GetHiddenSectors() const { return geometry.sectorsPerTrack; }
  std::uint32_t GetPartitionSectors() const { return partitionSectors; }
  std::uint32_t GetSectorsPerCluster() const { return sectorsPerCluster; }
  std::uint32_t GetReservedSectors() const { return reservedSectors; }
  std::uint32_t GetFatSectors() const { return fatSectors; }
  std::uint32_t GetClusterCount() const { return clusterCount; }

  // The type by capacity in bytes (64-bit: 4 GiB and more must not wrap).
  static FatType ChooseFatType(std::uint64_t capacityInBytes, int forceFat16);
  // Sectors per cluster from the type's table; 0 where it has none.
  static std::uint32_t ChooseSectorsPerCluster(FatType type, std::uint32_t totalSectors);
  // The first bytes of every FAT copy, the rest of which is zero; -39 for an
  // unknown type.
  static std::int32_t FatInitialBytes(std::uint16_t type, const std::uint8_t*& bytes,
                                      std::uint32_t& length);

 private:
  std::int32_t Build(int forceFat16);
  std::int32_t BuildBootSector();
  void BuildFat32Records();
  std::int32_t BuildMbr();
  // FAT size by the published sizing rule and the cluster count it leaves.
  void SizeFats();
  // Cuts a FAT16 partition down until its cluster count is one FAT16 holds.
  void FitFat16ClusterCount();
  bool ClusterCountFitsType() const;

  std::uint32_t totalSectors;
  std::uint32_t sectorSize;
  std::uint8_t mbr[kRecordSize] = {};
  std::uint8_t bootSector[kRecordSize] = {};
  std::uint8_t fsInfoSector[kRecordSize] = {};
  std::uint8_t thirdBootRecord[kRecordSize] = {};
  std::uint32_t rootDirectorySectors = 0;
  ChsGeometry geometry;
  std::uint32_t residue = 0;
  std::uint32_t chsCapacity = 0;
  FatType fatType = kFat16;

  std::uint8_t volumeLabel[kLabelLength] = {};
  std::uint32_t sectorsPerCluster = 0;
  std::uint32_t reservedSectors = 0;
  std::uint32_t rootEntries = 0;
  std::uint32_t partitionSectors = 0;
  std::uint32_t fatSectors = 0;
  std::uint32_t clusterCount = 0;
};
