#pragma once
// A system drive: holds one firmware component and writes its image into
// the player chunk by chunk, then reads it back for comparison.

#include <cstdint>
#include <memory>

#include "core/RyByteArray.h"
#include "core/RyVersionInfo.h"
#include "player/RyDriveChunks.h"
#include "player/RyFwComponent.h"
#include "player/RyLogicalDrive.h"

class CRySystemDrive : public CRyLogicalDrive {
 public:
  explicit CRySystemDrive(const char* name);

  void ReleaseComponent() override { component.reset(); }
  // Loads the drive's image and sizes the required entry for it. A failed
  // image stays attached; its status is the result.
  std::int32_t Attach(CRyScsi* transport, CRyDeviceOwner* updater,
                      const LogicalTableEntry* entry) override;

  std::int32_t GetDeviceComponentVersion(CRyVersionInfo& out);
  std::int32_t GetDeviceProductVersion(CRyVersionInfo& out);
  // Without an image out is left as it is.
  std::int32_t GetImageComponentVersion(CRyVersionInfo& out) const;
  std::int32_t GetImageProductVersion(CRyVersionInfo& out) const;

  std::int32_t ReadDriveSectors(std::uint64_t firstSector, std::uint32_t sectorCount,
                                CRyByteArray& out);
  std::int32_t WriteDriveSectors(std::uint64_t firstSector, std::uint32_t sectorCount,
                                 const CRyByteArray& data);

  // Writes the version records, then the whole required size, FFh beyond
  // the image. chunkCount is set before any sector is written.
  std::int32_t Download(std::uint32_t& chunkCount);
  // Reads every chunk back with the sector size of the download; -57 on a
  // difference.
  std::int32_t Verify();

  const CRyFwComponent* GetComponent() const { return component.get(); }
  // Whether the required size has room for the whole image.
  bool HoldsImage() const;

 private:
  std::int32_t GetDeviceVersion(std::uint32_t infoType, CRyVersionInfo& out);
  std::int32_t SetDeviceVersion(std::uint32_t infoType, const CRyVersionInfo& version);
  std::int32_t PlanChunks(DriveChunks& chunks) const;
  // Calls visit(first sector, sector count, image offset) for every chunk
  // in order and advances the progress after each; the first failure ends
  // the walk.
  template <typename Visit>
  std::int32_t ForEachChunk(const DriveChunks& chunks, Visit visit) const;
  std::int32_t WriteChunk(std::uint64_t firstSector, std::uint32_t sectorCount,
                          std::uint64_t imageOffset);
  std::int32_t VerifyChunk(std::uint64_t firstSector, std::uint32_t sectorCount,
                           std::uint64_t imageOffset);
  std::int32_t ReadImageChunk(std::uint64_t imageOffset, CRyByteArray& out) const;

  std::unique_ptr<CRyFwComponent> component;
};
