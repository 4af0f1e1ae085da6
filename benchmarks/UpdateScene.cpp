#include "benchmarks/UpdateScene.h"

#include <algorithm>
#include <string>

#include "sim/FileStore.h"
#include "sim/PlayerPresets.h"
#include "tools/mkimage/ImageWriter.h"

namespace bench {

namespace {

// Image lengths of the four components, in the range of the player's real
// firmware (about 16 MiB in all), none a whole number of chunks.
constexpr std::uint32_t kImageLengths[] = {70001, 1500000, 6000000, 9500000};
constexpr std::uint8_t kComponentCount = sizeof kImageLengths / sizeof kImageLengths[0];

constexpr mkimage::ImageVersion kCarriedProduct{2, 0, 0};
constexpr mkimage::ImageVersion kCarriedComponent{2, 1, 0};
constexpr sim::FirmwareVersion kOlderProduct{1, 0, 0};
constexpr sim::FirmwareVersion kOlderComponent{1, 2, 3};

// Bytes without runs, so that no flash page of them collapses to one value.
std::vector<std::uint8_t> NoiseBytes(std::size_t length, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(length);
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::uint8_t& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Component rows start at 1; row 0 is the data drive.
std::uint8_t RowOf(std::size_t component) { return static_cast<std::uint8_t>(component + 1); }

}  // namespace

UpdateScene::UpdateScene() : player(std::make_shared<sim::EmulatedPlayer>()) {
  std::vector<std::vector<std::uint8_t>> payloads;
  const std::uint32_t sectorSize = player->GetConfig().systemSectorSize;
  for (std::uint8_t i = 0; i < kComponentCount; ++i) {
    payloads.push_back(NoiseBytes(kImageLengths[i], i + 1));
    std::vector<std::uint8_t> padded = payloads.back();
    padded.resize((padded.size() + sectorSize - 1) / sectorSize * sectorSize, 0xFF);
    sectorImages.push_back(std::move(padded));
    totalImageBytes += kImageLengths[i];
    largestImageBytes = std::max<std::uint64_t>(largestImageBytes, kImageLengths[i]);
  }
  PutImageFiles(payloads);
  InstallOlderFirmware();
  machine->AttachDisk(player, sim::DiskAttachment{L'E', DRIVE_REMOVABLE, -1});

  config.SetResource(&resource);
  updater = std::make_unique<CRyUpdater>(&config, "CRyUpdater");
  updater->SetCommandLine(&commandLine);
  updater->SetResource(&resource);
  updater->SetProgress(&progress);
}

std::uint64_t UpdateScene::WrittenBytes() const {
  std::uint64_t bytes = 0;
  for (const std::vector<std::uint8_t>& image : sectorImages) bytes += image.size();
  return bytes;
}

void UpdateScene::PutImageFiles(const std::vector<std::vector<std::uint8_t>>& payloads) {
  for (std::size_t i = 0; i < payloads.size(); ++i) {
    std::string fileName;
    config.GetComponentFileName(RowOf(i), fileName);
    machine->Files().Put(Widen(fileName), mkimage::BuildImageFile(mkimage::VersionedImage(
                                              kCarriedProduct, kCarriedComponent, payloads[i])));
  }
}

void UpdateScene::InstallOlderFirmware() {
  std::vector<sim::SystemDriveImage> drives;
  for (std::size_t i = 0; i < sectorImages.size(); ++i) {
    const std::size_t driveSize = sectorImages[i].size();
    std::uint8_t tag = 0;
    config.GetComponentDriveTag(RowOf(i), tag);
    drives.push_back(
        sim::SystemDriveImage{tag, driveSize, kOlderComponent, kOlderProduct,
                              NoiseBytes(driveSize, static_cast<std::uint32_t>(i) + 7)});
  }
  sim::InstallFirmware(player->GetFlash(), drives);
}

}  // namespace bench
