#include "player/RyDisk.h"

#include <cstring>

#include "core/RyStatus.h"
#include "player/RyLittleEndian.h"

namespace {

struct ClusterRow {
  std::uint32_t sectorLimit;
  std::uint8_t sectorsPerCluster;
};

constexpr ClusterRow kFat16Clusters[] = {
    {8400, 0},     {65536, 1},    {131072, 2},   {262144, 4},      {524288, 8},
    {1048576, 16}, {2097152, 32}, {4194304, 64}, {4294967295u, 0},
};
constexpr ClusterRow kFat32Clusters[] = {
    {66600, 0},    {131072, 1},    {262144, 2},    {532480, 4},
    {16777216, 8}, {33554432, 16}, {67108864, 32}, {4294967295u, 64},
};

constexpr std::uint64_t kFat12CapacityLimit = 4194304;
constexpr std::uint64_t kFat16CapacityLimit = 33554432;
constexpr std::uint32_t kFat12SectorsPerCluster = 8;
constexpr std::uint32_t kRootEntries = 512;
constexpr std::uint32_t kDirectoryEntrySize = 32;
constexpr std::uint32_t kFat32ReservedSectors = 32;

// Cluster counts a type can be told by. FAT12 and FAT16 readers disagree
// about 4085 and 4086, so FAT16 starts above them; FAT16 ends where FAT32
// begins.
constexpr std::uint32_t kFat12MaxClusters = 4084;
constexpr std::uint32_t kFat16MinClusters = 4087;
constexpr std::uint32_t kFat16MaxClusters = 65524;
constexpr std::uint32_t kFat32MinClusters = 65525;

constexpr std::uint8_t kFat12Start[] = {0xF8, 0xFF, 0xFF};
constexpr std::uint8_t kFat16Start[] = {0xF8, 0xFF, 0xFF, 0xFF};
constexpr std::uint8_t kFat32Start[] = {0xF8, 0xFF, 0xFF, 0x0F, 0xFF, 0xFF,
                                        0xFF, 0x0F, 0xFF, 0xFF, 0xFF, 0x0F};

std::uint32_t LookUp(const ClusterRow* rows, std::size_t count, std::uint32_t totalSectors) {
  for (std::size_t i = 0; i < count; ++i) {
    if (rows[i].sectorLimit >= totalSectors) return rows[i].sectorsPerCluster;
  }
  return 0;
}

bool IsFormattableSectorSize(std::uint32_t size) {
  return size >= 512 && size <= 4096 && (size & (size - 1)) == 0;
}

void PutSignature(std::uint8_t* record) {
  record[510] = 0x55;
  record[511] = 0xAA;
}

void PutText(std::uint8_t* record, std::uint32_t offset, const char* text) {
  std::memcpy(record + offset, text, std::strlen(text));
}

}  // namespace

CRyDisk::CRyDisk(std::uint32_t totalSectors, std::uint32_t sectorSize, int forceFat16,
                 const char* name)
    : CRyBase(name), totalSectors(totalSectors), sectorSize(sectorSize) {
  status = Build(forceFat16);
}

FatType CRyDisk::ChooseFatType(std::uint64_t capacityInBytes, int forceFat16) {
  if (forceFat16) return kFat16;
  if (capacityInBytes <= kFat12CapacityLimit) return kFat12;
  if (capacityInBytes <= kFat16CapacityLimit) return kFat16;
  return kFat32;
}

std::uint32_t CRyDisk::ChooseSectorsPerCluster(FatType type, std::uint32_t totalSectors) {
  switch (type) {
    case kFat12:
      return kFat12SectorsPerCluster;
    case kFat16:
      return LookUp(kFat16Clusters, std::size(kFat16Clusters), totalSectors);
    case kFat32:
      return LookUp(kFat32Clusters, std::size(kFat32Clusters), totalSectors);
  }
  return 0;
}

std::int32_t CRyDisk::FatInitialBytes(std::uint16_t type, const std::uint8_t*& bytes,
                                      std::uint32_t& length) {
  switch (type) {
    case kFat12:
      bytes = kFat12Start, length = sizeof kFat12Start;
      return 0;
    case kFat16:
      bytes = kFat16Start, length = sizeof kFat16Start;
      return 0;
    case kFat32:
      bytes = kFat32Start, length = sizeof kFat32Start;
      return 0;
    default:
      return RyStatus::kFileSystemUnsupported;
  }
}

std::int32_t CRyDisk::StoreLabel(const std::uint8_t* label, std::uint32_t length) {
  if (label == nullptr || length == 0) return RyStatus::kVolumeLabelEmpty;
  if (length > kLabelLength) return RyStatus::kArgumentOutOfRange;
  for (std::uint32_t i = 0; i < kLabelLength; ++i) volumeLabel[i] = i < length ? label[i] : ' ';
  std::memcpy(bootSector + (fatType == kFat32 ? 71 : 43), volumeLabel, kLabelLength);
  return 0;
}

std::int32_t CRyDisk::Build(int forceFat16) {
  if (!IsFormattableSectorSize(sectorSize)) return RyStatus::kFileSystemUnsupported;
  fatType = ChooseFatType(std::uint64_t{totalSectors} * sectorSize, forceFat16);
  sectorsPerCluster = ChooseSectorsPerCluster(fatType, totalSectors);
  if (sectorsPerCluster == 0) return RyStatus::kFileSystemUnsupported;
  const std::int32_t geometryStatus = ComputeGeometry(totalSectors, geometry);
  if (geometryStatus != 0) return geometryStatus;
  chsCapacity = geometry.Capacity();
  const std::int32_t bootStatus = BuildBootSector();
  if (bootStatus != 0) return bootStatus;
  const std::int32_t mbrStatus = BuildMbr();
  if (mbrStatus != 0) return mbrStatus;
  rootDirectorySectors =
      fatType == kFat32 ? sectorsPerCluster : rootEntries * kDirectoryEntrySize / sectorSize;
  return 0;
}

void CRyDisk::SizeFats() {
  const std::uint32_t rootSectors =
      (rootEntries * kDirectoryEntrySize + sectorSize - 1) / sectorSize;
  const std::uint32_t rest = partitionSectors - rootSectors - reservedSectors;
  std::uint32_t divisor = 256 * sectorsPerCluster + 2;
  if (fatType == kFat32) divisor /= 2;
  fatSectors = (rest + divisor - 1) / divisor;
  const std::uint32_t overhead = reservedSectors + kNumberOfFats * fatSectors + rootSectors;
  clusterCount =
      partitionSectors > overhead ? (partitionSectors - overhead) / sectorsPerCluster : 0;
}

void CRyDisk::FitFat16ClusterCount() {
  // The sizing rule can leave a few clusters more than FAT16 holds at the
  // top of its largest cluster size (2 GiB drives); those sectors are left
  // outside the partition, which only ever shrinks here.
  while (fatType == kFat16 && clusterCount > kFat16MaxClusters) {
    partitionSectors -= (clusterCount - kFat16MaxClusters) * sectorsPerCluster;
    SizeFats();
  }
}

bool CRyDisk::ClusterCountFitsType() const {
  const std::uint64_t entriesHeld = std::uint64_t{fatSectors} * sectorSize * 8 /
                                    (fatType == kFat12   ? 12
                                     : fatType == kFat16 ? 16
                                                         : 32);
  if (entriesHeld < std::uint64_t{clusterCount} + 2) return false;
  switch (fatType) {
    case kFat12:
      return clusterCount >= 1 && clusterCount <= kFat12MaxClusters;
    case kFat16:
      return clusterCount >= kFat16MinClusters && clusterCount <= kFat16MaxClusters;
    case kFat32:
      return clusterCount >= kFat32MinClusters;
  }
  return false;
}

std::int32_t CRyDisk::BuildBootSector() {
  const bool fat32 = fatType == kFat32;
  reservedSectors = fat32 ? kFat32ReservedSectors : 1;
  rootEntries = fat32 ? 0 : kRootEntries;
  const std::uint32_t hidden = geometry.sectorsPerTrack;
  if (chsCapacity <= hidden) return RyStatus::kFileSystemUnsupported;
  partitionSectors = chsCapacity - hidden;
  SizeFats();
  FitFat16ClusterCount();
  if (!ClusterCountFitsType()) return RyStatus::kFileSystemUnsupported;
  residue = totalSectors - hidden - partitionSectors;

  std::uint8_t* b = bootSector;
  b[0] = 0xEB, b[1] = 0x3E, b[2] = 0x90;
  PutText(b, 3, "MSWIN4.1");
  PutLittleEndian(b, 11, sectorSize, 2);
  b[13] = static_cast<std::uint8_t>(sectorsPerCluster);
  PutLittleEndian(b, 14, reservedSectors, 2);
  b[16] = kNumberOfFats;
  PutLittleEndian(b, 17, rootEntries, 2);
  const bool small = partitionSectors <= 33554432 / sectorSize && partitionSectors <= 65535;
  PutLittleEndian(b, small ? 19 : 32, partitionSectors, small ? 2 : 4);
  b[21] = 0xF8;
  PutLittleEndian(b, 24, geometry.sectorsPerTrack, 2);
  PutLittleEndian(b, 26, geometry.heads, 2);
  PutLittleEndian(b, 28, hidden, 4);
  if (fat32) {
    PutLittleEndian(b, 36, fatSectors, 4);
    PutLittleEndian(b, 44, 2, 4);
    PutLittleEndian(b, 48, 1, 2);
    PutLittleEndian(b, 50, 6, 2);
    b[64] = 0x80;
    b[66] = 0x29;
    PutText(b, 82, "FAT32   ");
    BuildFat32Records();
  } else {
    PutLittleEndian(b, 22, fatSectors, 2);
    b[36] = 0x80;
    b[38] = 0x29;
    PutText(b, 54, fatType == kFat12 ? "FAT12   " : "FAT16   ");
  }
  PutSignature(b);
  return 0;
}

void CRyDisk::BuildFat32Records() {
  PutText(fsInfoSector, 0, "RRaA");
  PutText(fsInfoSector, 484, "rrAa");
  PutLittleEndian(fsInfoSector, 488, 0xFFFFFFFF, 4);
  PutLittleEndian(fsInfoSector, 492, 0xFFFFFFFF, 4);
  PutSignature(fsInfoSector);
  PutSignature(thirdBootRecord);
}

std::int32_t CRyDisk::BuildMbr() {
  const std::uint32_t first = geometry.sectorsPerTrack;
  const std::uint32_t last = first + partitionSectors - 1;
  std::uint8_t firstChs[3];
  std::uint8_t lastChs[3];
  if (LbaToChs(geometry, first, firstChs) != 0 || LbaToChs(geometry, last, lastChs) != 0) {
    return RyStatus::kSectorOutsideGeometry;
  }
  static constexpr std::uint8_t kPartitionTypes[] = {0x01, 0x06, 0x0B};
  std::uint8_t* entry = mbr + 446;
  entry[0] = 0x80;
  std::memcpy(entry + 1, firstChs, 3);
  entry[4] = kPartitionTypes[fatType];
  std::memcpy(entry + 5, lastChs, 3);
  PutLittleEndian(entry, 8, first, 4);
  PutLittleEndian(entry, 12, partitionSectors, 4);
  PutSignature(mbr);
  return 0;
}
