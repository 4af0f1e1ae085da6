#include "player/RyFormatter.h"

#include <cstring>

#include "app/RyConfigInfo.h"
#include "core/RyBaseToCmdLineProcessor.h"
#include "core/RyProgress.h"
#include "core/RyStatus.h"
#include "device/RyDeviceOwner.h"
#include "device/RyOsClass.h"
#include "device/RyScsi.h"
#include "player/RyDataDrive.h"
#include "player/RyDisk.h"
#include "player/RyDriveChunks.h"

namespace {

// Progress texts of the format sequence.
constexpr int kPhaseBootRecords = 29;
constexpr int kPhaseMbr = 30;
constexpr int kPhaseZeroSectors = 31;
constexpr int kPhaseBootSector = 32;
constexpr int kPhaseRootDirectory = 44;

constexpr std::uint8_t kVolumeLabelAttribute = 0x08;
constexpr std::uint32_t kLabelAttributeOffset = CRyDisk::kLabelLength;
// Sectors of the FAT32 reserved area written record by record: boot sector,
// FSInfo and third record, three zero sectors, the same three again.
constexpr std::uint32_t kFat32RecordSectors = 9;

#define RY_RETURN_IF_FAILED(expression)        \
  do {                                         \
    const std::int32_t result_ = (expression); \
    if (result_ != 0) return result_;          \
  } while (0)

int ChunkSteps(std::uint32_t count, std::uint32_t chunk) {
  return static_cast<int>(2 * (count / chunk) + 2);
}

}  // namespace

CRyFormatter::CRyFormatter(CRyDeviceOwner* owner, CRyDataDrive* dataDrive, CRyScsi* transport,
                           CRyBaseToCmdLineProcessor* commandLine, const char* name)
    : CRyBase(name),
      owner(owner),
      progress(owner),
      dataDrive(dataDrive),
      transport(transport),
      commandLine(commandLine) {}

std::int32_t CRyFormatter::Format(std::int32_t physical, const std::uint8_t* label,
                                  std::uint32_t labelLength) {
  const int osClass = GetOsClass();
  std::uint32_t lastBlock = 0;
  std::uint32_t blockLength = 0;
  const std::int32_t capacity = dataDrive->ReadCapacity(lastBlock, blockLength);
  progress.Advance(1);
  if (capacity != 0) return capacity;
  // A last block of FFFFFFFFh counts more sectors than any geometry holds.
  if (lastBlock == 0xFFFFFFFF) return RyStatus::kNoGeometryFits;
  sectorSize = blockLength;

  CRyDisk disk(lastBlock + 1, sectorSize, IsFat16Forced(), "CRyDisk");
  progress.Advance(1);
  RY_RETURN_IF_FAILED(disk.GetStatus());
  RY_RETURN_IF_FAILED(disk.StoreLabel(label, labelLength));

  RY_RETURN_IF_FAILED(PrepareDisk(osClass, physical, disk));
  RY_RETURN_IF_FAILED(WriteLayout(osClass, disk));

  const std::int32_t released = transport->ReleaseAfterFormat(physical);
  return physical ? 0 : released;
}

int CRyFormatter::IsFat16Forced() const {
  if (commandLine != nullptr && commandLine->IsFat16Requested()) return 1;
  const CRyConfigInfo* config = owner != nullptr ? owner->GetConfigInfo() : nullptr;
  return config != nullptr && config->UseFat16() == 1 ? 1 : 0;
}

std::int32_t CRyFormatter::PrepareDisk(int osClass, std::int32_t physical, const CRyDisk& disk) {
  if (IsWindows9xClass(static_cast<OsClass>(osClass))) {
    const std::int32_t locked = transport->LockForFormat(physical);
    return physical ? 0 : locked;
  }
  if (!IsWindowsNtClass(static_cast<OsClass>(osClass))) return 0;
  // The partition table is written on the physical drive, not the volume.
  RY_RETURN_IF_FAILED(transport->UnlockVolume(0));
  RY_RETURN_IF_FAILED(transport->Close());
  RY_RETURN_IF_FAILED(transport->FindPhysicalDrive());
  RY_RETURN_IF_FAILED(transport->LockVolume(0));
  DiskGeometry geometry;
  RY_RETURN_IF_FAILED(transport->GetDriveGeometry(geometry));
  return transport->SetDriveLayout(geometry, disk.GetHiddenSectors());
}

std::int32_t CRyFormatter::ReopenPartitionVolume() {
  RY_RETURN_IF_FAILED(transport->UnlockVolume(0));
  RY_RETURN_IF_FAILED(transport->Close());
  RY_RETURN_IF_FAILED(transport->Open());
  return transport->LockVolume(0);
}

std::int32_t CRyFormatter::WriteLayout(int osClass, const CRyDisk& disk) {
  const bool nt = IsWindowsNtClass(static_cast<OsClass>(osClass));
  sectorNumber = 0;
  RY_RETURN_IF_FAILED(WriteSingleSector(disk.GetMbr(), kPhaseMbr));
  RY_RETURN_IF_FAILED(WriteZeroSectors(disk.GetHiddenSectors() - 1, sectorNumber));
  if (nt) {
    RY_RETURN_IF_FAILED(WriteResidue(disk));
    RY_RETURN_IF_FAILED(ReopenPartitionVolume());
    // From here on the volume is the partition: numbers are relative to it.
    sectorNumber = 0;
  }
  progress.BeginPhase(kPhaseBootRecords, 2);
  RY_RETURN_IF_FAILED(WriteReservedSectors(disk));
  RY_RETURN_IF_FAILED(WriteFats(disk));
  RY_RETURN_IF_FAILED(WriteRootDirectory(disk));
  if (IsWindows9xClass(static_cast<OsClass>(osClass))) RY_RETURN_IF_FAILED(WriteResidue(disk));
  return 0;
}

std::int32_t CRyFormatter::WriteResidue(const CRyDisk& disk) {
  std::uint32_t number = disk.GetHiddenSectors() + disk.GetPartitionSectors();
  return WriteZeroSectors(disk.GetResidue(), number);
}

std::int32_t CRyFormatter::WriteReservedSectors(const CRyDisk& disk) {
  RY_RETURN_IF_FAILED(WriteSingleSector(disk.GetBootSector(), kPhaseBootSector));
  if (disk.GetFatType() != kFat32) return 0;
  const std::uint8_t* records[] = {disk.GetFsInfoSector(), disk.GetThirdBootRecord()};
  for (const std::uint8_t* record : records) {
    RY_RETURN_IF_FAILED(WriteSingleSector(record, kPhaseBootSector));
  }
  RY_RETURN_IF_FAILED(WriteZeroSectors(3, sectorNumber));
  // The backup copy at sector 6.
  const std::uint8_t* backup[] = {disk.GetBootSector(), disk.GetFsInfoSector(),
                                  disk.GetThirdBootRecord()};
  for (const std::uint8_t* record : backup) {
    RY_RETURN_IF_FAILED(WriteSingleSector(record, kPhaseBootSector));
  }
  return WriteZeroSectors(disk.GetReservedSectors() - kFat32RecordSectors, sectorNumber);
}

std::int32_t CRyFormatter::WriteFats(const CRyDisk& disk) {
  const std::uint8_t* initial = nullptr;
  std::uint32_t initialLength = 0;
  RY_RETURN_IF_FAILED(CRyDisk::FatInitialBytes(disk.GetFatType(), initial, initialLength));
  for (std::uint8_t copy = 1; copy <= CRyDisk::kNumberOfFats; ++copy) {
    progress.BeginTask(CRyProgress::kWriteFatCopyPhase,
                       ChunkSteps(disk.GetFatSectors(), ChunkSectors()), copy);
    RY_RETURN_IF_FAILED(WriteChunks(disk.GetFatSectors(), initial, initialLength, sectorNumber));
  }
  return 0;
}

std::int32_t CRyFormatter::WriteRootDirectory(const CRyDisk& disk) {
  std::uint8_t entry[32] = {};
  std::memcpy(entry, disk.GetLabel(), CRyDisk::kLabelLength);
  entry[kLabelAttributeOffset] = kVolumeLabelAttribute;
  const std::uint32_t sectors = disk.GetRootDirectorySectors();
  progress.BeginPhase(kPhaseRootDirectory, ChunkSteps(sectors, ChunkSectors()));
  return WriteChunks(sectors, entry, sizeof entry, sectorNumber);
}

std::int32_t CRyFormatter::WriteSingleSector(const std::uint8_t* record, int phase) {
  progress.BeginPhase(phase, 2);
  CRyByteArray buffer(sectorSize, "CRyByteArray");
  RY_RETURN_IF_FAILED(buffer.GetStatus());
  RY_RETURN_IF_FAILED(buffer.WriteBytes(record, CRyDisk::kRecordSize, 0));
  return WriteVerify(buffer, sectorNumber);
}

std::int32_t CRyFormatter::WriteZeroSectors(std::uint32_t count, std::uint32_t& number) {
  progress.BeginPhase(kPhaseZeroSectors, ChunkSteps(count, ChunkSectors()));
  return WriteChunks(count, nullptr, 0, number);
}

std::int32_t CRyFormatter::WriteChunks(std::uint32_t count, const std::uint8_t* head,
                                       std::uint32_t headLength, std::uint32_t& number) {
  const std::uint32_t chunk = ChunkSectors();
  bool first = true;
  for (std::uint32_t left = count; left > 0;) {
    const std::uint32_t sectors = left < chunk ? left : chunk;
    CRyByteArray buffer(sectors * sectorSize, "CRyByteArray");
    RY_RETURN_IF_FAILED(buffer.GetStatus());
    if (first && head != nullptr) RY_RETURN_IF_FAILED(buffer.WriteBytes(head, headLength, 0));
    first = false;
    RY_RETURN_IF_FAILED(WriteVerify(buffer, number));
    left -= sectors;
  }
  return 0;
}

std::int32_t CRyFormatter::WriteVerify(const CRyByteArray& buffer, std::uint32_t& number) {
  const std::uint32_t count = buffer.GetCount() / sectorSize;
  RY_RETURN_IF_FAILED(dataDrive->WriteBlocks(buffer, count, number, sectorSize));
  progress.Advance(1);
  CRyByteArray readBack(buffer.GetCount(), "CRyByteArray");
  RY_RETURN_IF_FAILED(readBack.GetStatus());
  RY_RETURN_IF_FAILED(dataDrive->ReadBlocks(readBack, count, number, sectorSize));
  progress.Advance(1);
  if (buffer.IsDifferent(readBack)) return RyStatus::kVerifyMismatch;
  number += count;
  return 0;
}

std::uint32_t CRyFormatter::ChunkSectors() const { return SectorsPerChunk(sectorSize); }
