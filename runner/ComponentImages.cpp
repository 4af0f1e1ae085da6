#include "runner/ComponentImages.h"

#include <fstream>
#include <iterator>

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "device/RyDeviceOwner.h"
#include "player/RyFwComponent.h"
#include "runner/TextEncoding.h"
#include "sim/FileStore.h"

namespace {

bool ReadHostFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}

sim::FirmwareVersion ToFirmwareVersion(const CRyVersionInfo& version) {
  return {version.GetMajor(), version.GetMinor(), version.GetRevision()};
}

}  // namespace

void CopyImageFiles(const CRyConfigInfo& config, const std::string& hostDirectory,
                    sim::FileStore& files, const std::wstring& storeDirectory,
                    std::vector<std::string>& missing) {
  std::uint8_t count = 0;
  config.GetNumComponents(count);
  for (std::uint8_t number = 1; number <= count; ++number) {
    std::string fileName;
    if (config.GetComponentFileName(number, fileName) != RyStatus::kSuccess) continue;
    const std::string path = hostDirectory + "/" + fileName;
    std::vector<std::uint8_t> bytes;
    if (!ReadHostFile(path, bytes)) {
      missing.push_back(path);
      continue;
    }
    files.Put(storeDirectory + FromAscii(fileName), bytes);
  }
}

std::int32_t LoadComponentImages(CRyDeviceOwner* owner, std::vector<ComponentImage>& images) {
  images.clear();
  CRyConfigInfo* config = owner->GetConfigInfo();
  std::uint8_t count = 0;
  config->GetNumComponents(count);
  for (std::uint8_t number = 1; number <= count; ++number) {
    CRyFwComponent component(owner, number, "CRyFwComponent");
    if (component.GetStatus() != RyStatus::kSuccess) return component.GetStatus();
    ComponentImage image;
    image.componentNumber = number;
    config->GetComponentDriveTag(number, image.driveTag);
    image.bytes.resize(static_cast<std::size_t>(component.GetImageLength()));
    if (!image.bytes.empty()) {
      const std::int32_t result = component.GetImageBytes(
          0, static_cast<std::uint32_t>(image.bytes.size()), image.bytes.data());
      if (result != RyStatus::kSuccess) return result;
    }
    CRyVersionInfo version("CRyVersionInfo");
    component.GetProductVersion(version);
    image.productVersion = ToFirmwareVersion(version);
    component.GetComponentVersion(version);
    image.componentVersion = ToFirmwareVersion(version);
    images.push_back(std::move(image));
  }
  return RyStatus::kSuccess;
}
