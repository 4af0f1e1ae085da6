#include "player/RySystemDrive.h"

#include <cstring>
#include <new>

#include "app/RyConfigInfo.h"
#include "core/RyProgress.h"
#include "core/RyStatus.h"
#include "device/RyDeviceOwner.h"
#include "device/RyOwnerProgress.h"
#include "player/RyLogicalDriveCommands.h"

namespace {

constexpr std::uint32_t kComponentVersionInfo = 7;
constexpr std::uint32_t kProductVersionInfo = 8;

}  // namespace

CRySystemDrive::CRySystemDrive(const char* name) : CRyLogicalDrive(name) { componentNumber = 0; }

std::int32_t CRySystemDrive::Attach(CRyScsi* transport, CRyDeviceOwner* updater,
                                    const LogicalTableEntry* entry) {
  CRyLogicalDrive::Attach(transport, updater, entry);
  component.reset(new (std::nothrow) CRyFwComponent(updater, componentNumber, "CRyFwComponent"));
  if (component == nullptr) return RyStatus::kFailed;
  if (component->GetStatus() != RyStatus::kSuccess) return component->GetStatus();
  std::int32_t reserve = 0;
  CRyConfigInfo* config = updater != nullptr ? updater->GetConfigInfo() : nullptr;
  if (config != nullptr) config->GetComponentSizeReserve(componentNumber, reserve);
  requiredEntry.sizeInBytes = component->GetImageLength() + static_cast<std::uint32_t>(reserve);
  return RyStatus::kSuccess;
}

std::int32_t CRySystemDrive::GetDeviceVersion(std::uint32_t infoType, CRyVersionInfo& out) {
  CRyGetLogicalDriveInfo info(currentEntry.driveNumber, infoType);
  if (const std::int32_t result = Send(info); result != RyStatus::kSuccess) return result;
  return infoType == kComponentVersionInfo ? info.GetComponentVersion(out)
                                           : info.GetProductVersion(out);
}

std::int32_t CRySystemDrive::GetDeviceComponentVersion(CRyVersionInfo& out) {
  return GetDeviceVersion(kComponentVersionInfo, out);
}

std::int32_t CRySystemDrive::GetDeviceProductVersion(CRyVersionInfo& out) {
  return GetDeviceVersion(kProductVersionInfo, out);
}

std::int32_t CRySystemDrive::GetImageComponentVersion(CRyVersionInfo& out) const {
  if (component != nullptr) component->GetComponentVersion(out);
  return RyStatus::kSuccess;
}

std::int32_t CRySystemDrive::GetImageProductVersion(CRyVersionInfo& out) const {
  if (component != nullptr) component->GetProductVersion(out);
  return RyStatus::kSuccess;
}

std::int32_t CRySystemDrive::ReadDriveSectors(std::uint64_t firstSector, std::uint32_t sectorCount,
                                              CRyByteArray& out) {
  CRyReadLogicalDriveSector read(currentEntry.driveNumber, sectorSize, firstSector, sectorCount);
  if (const std::int32_t result = Send(read); result != RyStatus::kSuccess) return result;
  return read.CopyData(out);
}

std::int32_t CRySystemDrive::WriteDriveSectors(std::uint64_t firstSector, std::uint32_t sectorCount,
                                               const CRyByteArray& data) {
  CRyWriteLogicalDriveSector write(currentEntry.driveNumber, sectorSize, firstSector, sectorCount);
  if (write.GetStatus() != RyStatus::kSuccess) return write.GetStatus();
  if (const std::int32_t result = write.SetPayload(data); result != RyStatus::kSuccess) {
    return result;
  }
  return Send(write);
}

std::int32_t CRySystemDrive::SetDeviceVersion(std::uint32_t infoType,
                                              const CRyVersionInfo& version) {
  CRySetLogicalDriveInfo set(currentEntry.driveNumber, infoType, version);
  return Send(set);
}

std::int32_t CRySystemDrive::PlanChunks(DriveChunks& chunks) const {
  return PlanDriveChunks(requiredEntry.sizeInBytes, sectorSize, chunks);
}

template <typename Visit>
std::int32_t CRySystemDrive::ForEachChunk(const DriveChunks& chunks, Visit visit) const {
  const auto step = [&](std::uint64_t firstSector, std::uint32_t sectorCount, std::uint32_t k) {
    const std::int32_t result = visit(firstSector, sectorCount, k * chunks.ChunkBytes());
    if (result == RyStatus::kSuccess) OwnerProgress(updater).Advance(1);
    return result;
  };
  std::uint64_t firstSector = 0;
  for (std::uint32_t k = 0; k < chunks.fullChunks; ++k) {
    if (const std::int32_t result = step(firstSector, chunks.sectorsPerChunk, k);
        result != RyStatus::kSuccess) {
      return result;
    }
    firstSector += chunks.sectorsPerChunk;
  }
  if (chunks.restSectors == 0) return RyStatus::kSuccess;
  return step(firstSector, chunks.restSectors, chunks.fullChunks);
}

std::int32_t CRySystemDrive::ReadImageChunk(std::uint64_t imageOffset, CRyByteArray& out) const {
  if (out.GetStatus() != RyStatus::kSuccess) return out.GetStatus();
  // A drive without an image writes and expects erased flash.
  if (component == nullptr) {
    if (out.GetCount() != 0) std::memset(out.GetAtPtr(0), 0xFF, out.GetCount());
    return RyStatus::kSuccess;
  }
  return component->GetImageBytes(imageOffset, out.GetCount(), out);
}

std::int32_t CRySystemDrive::WriteChunk(std::uint64_t firstSector, std::uint32_t sectorCount,
                                        std::uint64_t imageOffset) {
  CRyByteArray buffer(sectorSize * sectorCount, "CRyByteArray");
  const std::int32_t result = ReadImageChunk(imageOffset, buffer);
  return result != RyStatus::kSuccess ? result
                                      : WriteDriveSectors(firstSector, sectorCount, buffer);
}

std::int32_t CRySystemDrive::VerifyChunk(std::uint64_t firstSector, std::uint32_t sectorCount,
                                         std::uint64_t imageOffset) {
  CRyByteArray expected(sectorSize * sectorCount, "CRyByteArray");
  if (const std::int32_t result = ReadImageChunk(imageOffset, expected);
      result != RyStatus::kSuccess) {
    return result;
  }
  CRyByteArray actual(sectorSize * sectorCount, "CRyByteArray");
  if (actual.GetStatus() != RyStatus::kSuccess) return actual.GetStatus();
  if (const std::int32_t result = ReadDriveSectors(firstSector, sectorCount, actual);
      result != RyStatus::kSuccess) {
    return result;
  }
  return expected.IsDifferent(actual) != 0 ? RyStatus::kVerifyMismatch : RyStatus::kSuccess;
}

std::int32_t CRySystemDrive::Download(std::uint32_t& chunkCount) {
  CRyVersionInfo productVersion("CRyVersionInfo");
  CRyVersionInfo componentVersion("CRyVersionInfo");
  GetImageProductVersion(productVersion);
  GetImageComponentVersion(componentVersion);
  if (const std::int32_t result = SetDeviceVersion(kProductVersionInfo, productVersion);
      result != RyStatus::kSuccess) {
    return result;
  }
  if (const std::int32_t result = SetDeviceVersion(kComponentVersionInfo, componentVersion);
      result != RyStatus::kSuccess) {
    return result;
  }
  if (const std::int32_t result = GetSectorSize(sectorSize); result != RyStatus::kSuccess) {
    return result;
  }
  DriveChunks chunks;
  if (const std::int32_t result = PlanChunks(chunks); result != RyStatus::kSuccess) return result;
  chunkCount = chunks.ChunkCount();
  OwnerProgress(updater).BeginTask(CRyProgress::kWriteComponentPhase, static_cast<int>(chunkCount),
                                   componentNumber);
  return ForEachChunk(chunks,
                      [this](std::uint64_t first, std::uint32_t count, std::uint64_t offset) {
                        return WriteChunk(first, count, offset);
                      });
}

std::int32_t CRySystemDrive::Verify() {
  DriveChunks chunks;
  if (const std::int32_t result = PlanChunks(chunks); result != RyStatus::kSuccess) return result;
  return ForEachChunk(chunks,
                      [this](std::uint64_t first, std::uint32_t count, std::uint64_t offset) {
                        return VerifyChunk(first, count, offset);
                      });
}

bool CRySystemDrive::HoldsImage() const {
  return component != nullptr && requiredEntry.sizeInBytes >= component->GetImageLength();
}
