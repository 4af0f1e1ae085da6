#pragma once
// Players in known states, for set-up: the layout an update leaves behind,
// with the sizes, versions and content a test chooses.

#include <cstdint>
#include <vector>

#include "sim/Flash.h"

namespace sim {

// Tags of the shipped layout: the data drive, and the system drives of the
// boot manager, the mass-storage firmware, the player firmware and the
// resources (component order).
inline constexpr std::uint8_t kDataDriveTag = 0x0A;
inline constexpr std::uint8_t kBootManagerDriveTag = 0x50;
inline constexpr std::uint8_t kSystemDriveTags[] = {0x50, 0x01, 0x00, 0x02};

struct SystemDriveImage {
  std::uint8_t tag = 0;
  std::uint64_t sizeInBytes = 0;
  FirmwareVersion componentVersion;
  FirmwareVersion productVersion;
  std::vector<std::uint8_t> content;  // from sector 0; the rest stays FFh
};

// The four system drives of the shipped layout, each of sizeInBytes, with
// the same versions and no content.
std::vector<SystemDriveImage> CurrentFirmwareDrives(std::uint64_t sizeInBytes,
                                                    const FirmwareVersion& componentVersion,
                                                    const FirmwareVersion& productVersion);

// Erases the flash and cuts it as ombra's layout does: the boot manager
// drive first, the data drive (dataDriveSize; 0: the rest of the flash)
// second, then the other system drives in the order given; then writes each
// system drive's versions and content. 0, or the vendor code of a refused
// allocation (the flash is then erased).
std::uint16_t InstallFirmware(Flash& flash, const std::vector<SystemDriveImage>& systemDrives,
                              std::uint64_t dataDriveSize = 0);

}  // namespace sim
