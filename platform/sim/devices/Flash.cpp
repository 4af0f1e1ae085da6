#include "sim/Flash.h"

#include <utility>

#include "sim/PlayerSenseCodes.h"

namespace sim {

namespace {

std::uint64_t SectorsFor(std::uint64_t sizeInBytes, std::uint32_t sectorSize) {
  return sizeInBytes / sectorSize + (sizeInBytes % sectorSize != 0 ? 1 : 0);
}

template <typename Predicate>
FlashDrive* FindFirst(std::vector<FlashDrive>& drives, Predicate matches) {
  for (FlashDrive& drive : drives) {
    if (matches(drive)) return &drive;
  }
  return nullptr;
}

bool AsksForRest(const DriveRequest& request) {
  return request.type == kFlashDriveTypeData && request.sizeInBytes == 0;
}

}  // namespace

void FlashDrive::Erase() {
  content.Erase();
  componentVersion = FirmwareVersion{};
  productVersion = FirmwareVersion{};
}

Flash::Flash(std::uint64_t sizeInBytes, std::uint32_t systemSectorSize,
             std::uint32_t dataSectorSize)
    : sizeInBytes(sizeInBytes),
      systemSectorSize(systemSectorSize),
      dataSectorSize(dataSectorSize) {}

std::uint32_t Flash::SectorSizeOf(std::uint8_t driveType) const {
  return driveType == kFlashDriveTypeData ? dataSectorSize : systemSectorSize;
}

std::uint16_t Flash::CheckRequests(const std::vector<DriveRequest>& requests) const {
  if (!drives.empty()) return PlayerSense::kMediaNotErased;
  if (requests.size() > kFlashMaxDrives) return PlayerSense::kTooManyDrives;
  std::size_t dataDrives = 0;
  std::uint64_t allocated = 0;
  for (const DriveRequest& request : requests) {
    if (request.type != kFlashDriveTypeData && request.type != kFlashDriveTypeSystem) {
      return PlayerSense::kInvalidDriveType;
    }
    if (request.type == kFlashDriveTypeData && ++dataDrives > 1) {
      return PlayerSense::kSecondDataDrive;
    }
    // Checked before rounding, so that neither the rounding nor the sum can
    // wrap.
    if (request.sizeInBytes > sizeInBytes - allocated) return PlayerSense::kLayoutTooLarge;
    const std::uint32_t sectorSize = SectorSizeOf(request.type);
    allocated += SectorsFor(request.sizeInBytes, sectorSize) * sectorSize;
    if (allocated > sizeInBytes) return PlayerSense::kLayoutTooLarge;
  }
  return 0;
}

std::uint16_t Flash::Allocate(const std::vector<DriveRequest>& requests) {
  const std::uint16_t refusal = CheckRequests(requests);
  if (refusal != 0) return refusal;
  std::uint64_t fixed = 0;
  for (const DriveRequest& request : requests) {
    const std::uint32_t sectorSize = SectorSizeOf(request.type);
    fixed += SectorsFor(request.sizeInBytes, sectorSize) * sectorSize;
  }
  for (const DriveRequest& request : requests) {
    const std::uint32_t sectorSize = SectorSizeOf(request.type);
    const std::uint64_t sectors = AsksForRest(request)
                                      ? (sizeInBytes - fixed) / sectorSize
                                      : SectorsFor(request.sizeInBytes, sectorSize);
    drives.push_back(FlashDrive{static_cast<std::uint8_t>(drives.size()),
                                request.type,
                                request.tag,
                                SparseBlockStore(sectorSize, sectors, kErasedFlashByte),
                                {},
                                {}});
  }
  return 0;
}

FlashDrive* Flash::FindDrive(std::uint8_t number) {
  return FindFirst(drives, [number](const FlashDrive& drive) { return drive.number == number; });
}

const FlashDrive* Flash::FindDrive(std::uint8_t number) const {
  return const_cast<Flash*>(this)->FindDrive(number);
}

FlashDrive* Flash::FindDrive(std::uint8_t type, std::uint8_t tag) {
  return FindFirst(drives, [type, tag](const FlashDrive& drive) {
    return drive.type == type && drive.tag == tag;
  });
}

FlashDrive* Flash::DataDrive() {
  return FindFirst(drives,
                   [](const FlashDrive& drive) { return drive.type == kFlashDriveTypeData; });
}

const FlashDrive* Flash::DataDrive() const { return const_cast<Flash*>(this)->DataDrive(); }

std::uint64_t Flash::AllocatedBytes() const {
  std::uint64_t bytes = 0;
  for (const FlashDrive& drive : drives) bytes += drive.SizeInBytes();
  return bytes;
}

void Flash::Replace(std::uint64_t flashSize, std::vector<FlashDrive> newDrives) {
  sizeInBytes = flashSize;
  drives = std::move(newDrives);
}

}  // namespace sim
