#pragma once
// Gives the data drive a partition table and a FAT file system: MBR, hidden
// sectors, boot records, FAT copies and the root directory with the volume
// label, every sector written and read back.

#include <cstdint>

#include "core/RyBase.h"
#include "core/RyByteArray.h"
#include "device/RyOwnerProgress.h"

class CRyBaseToCmdLineProcessor;
class CRyDataDrive;
class CRyDeviceOwner;
class CRyDisk;
class CRyScsi;

class CRyFormatter : public CRyBase {
 public:
  // Steps Format advances the overall progress by.
  static constexpr int kStepCount = 8;

  // commandLine may be null: then only the configuration decides on FAT16.
  CRyFormatter(CRyDeviceOwner* owner, CRyDataDrive* dataDrive, CRyScsi* transport,
               CRyBaseToCmdLineProcessor* commandLine, const char* name);

  // physical: the player's table was unreadable; the volume is then handled
  // as a physical disk. -5 for an empty label, -9 for one longer than 11
  // bytes, both before the first write.
  std::int32_t Format(std::int32_t physical, const std::uint8_t* label, std::uint32_t labelLength);

 private:
  int IsFat16Forced() const;
  std::int32_t PrepareDisk(int osClass, std::int32_t physical, const CRyDisk& disk);
  std::int32_t ReopenPartitionVolume();
  std::int32_t WriteLayout(int osClass, const CRyDisk& disk);
  std::int32_t WriteResidue(const CRyDisk& disk);
  std::int32_t WriteReservedSectors(const CRyDisk& disk);
  std::int32_t WriteFats(const CRyDisk& disk);
  std::int32_t WriteRootDirectory(const CRyDisk& disk);

  // The writing helpers; each advances sectorNumber by what it wrote.
  std::int32_t WriteSingleSector(const std::uint8_t* record, int phase);
  std::int32_t WriteZeroSectors(std::uint32_t count, std::uint32_t& number);
  // count sectors in chunks, the first starting with head.
  std::int32_t WriteChunks(std::uint32_t count, const std::uint8_t* head, std::uint32_t headLength,
                           std::uint32_t& number);
  std::int32_t WriteVerify(const CRyByteArray& buffer, std::uint32_t& number);

  std::uint32_t ChunkSectors() const;

  CRyDeviceOwner* owner;  // not owned
  OwnerProgress progress;
  CRyDataDrive* dataDrive;                 // not owned
  CRyScsi* transport;                      // not owned
  CRyBaseToCmdLineProcessor* commandLine;  // not owned
  std::uint32_t sectorSize = 0;
  std::uint32_t sectorNumber = 0;
};
