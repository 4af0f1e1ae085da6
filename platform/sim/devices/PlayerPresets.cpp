#include "sim/PlayerPresets.h"

#include "sim/PlayerSenseCodes.h"

namespace sim {

std::vector<SystemDriveImage> CurrentFirmwareDrives(std::uint64_t sizeInBytes,
                                                    const FirmwareVersion& componentVersion,
                                                    const FirmwareVersion& productVersion) {
  std::vector<SystemDriveImage> drives;
  for (const std::uint8_t tag : kSystemDriveTags) {
    drives.push_back(SystemDriveImage{tag, sizeInBytes, componentVersion, productVersion, {}});
  }
  return drives;
}

std::uint16_t InstallFirmware(Flash& flash, const std::vector<SystemDriveImage>& systemDrives,
                              std::uint64_t dataDriveSize) {
  flash.EraseAll();
  // ombra's layout: boot manager, data drive, the others in order.
  std::vector<DriveRequest> layout{DriveRequest{kFlashDriveTypeData, kDataDriveTag, dataDriveSize}};
  for (const SystemDriveImage& image : systemDrives) {
    const DriveRequest request{kFlashDriveTypeSystem, image.tag, image.sizeInBytes};
    if (image.tag == kBootManagerDriveTag) {
      layout.insert(layout.begin(), request);
    } else {
      layout.push_back(request);
    }
  }
  const std::uint16_t refusal = flash.Allocate(layout);
  if (refusal != 0) return refusal;
  for (const SystemDriveImage& image : systemDrives) {
    FlashDrive* drive = flash.FindDrive(kFlashDriveTypeSystem, image.tag);
    if (image.content.size() > drive->SizeInBytes()) {
      flash.EraseAll();
      return PlayerSense::kSectorOutOfRange;
    }
    drive->componentVersion = image.componentVersion;
    drive->productVersion = image.productVersion;
    drive->content.WriteBytes(0, image.content);
  }
  return 0;
}

}  // namespace sim
