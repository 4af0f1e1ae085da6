#pragma once
// The firmware images of the configuration's components, read as the
// engine reads them (from the simulated machine's current directory), and
// the host directory they are copied from.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/Flash.h"

class CRyConfigInfo;
class CRyDeviceOwner;
namespace sim {
class FileStore;
}

struct ComponentImage {
  std::uint8_t componentNumber = 0;
  std::uint8_t driveTag = 0;
  std::vector<std::uint8_t> bytes;
  sim::FirmwareVersion productVersion;
  sim::FirmwareVersion componentVersion;
};

// Copies the component files of hostDirectory into the file store's
// directory storeDirectory. Files that are missing or unreadable are
// named in missing; the engine reports them when it needs them.
void CopyImageFiles(const CRyConfigInfo& config, const std::string& hostDirectory,
                    sim::FileStore& files, const std::wstring& storeDirectory,
                    std::vector<std::string>& missing);

// Loads every component image from the file store's current directory.
// 0, or the status of the first image that failed to load (-11, -12).
std::int32_t LoadComponentImages(CRyDeviceOwner* owner, std::vector<ComponentImage>& images);
