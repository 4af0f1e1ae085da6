#include "tests/updater/EngineSet.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

#include "sim/FileStore.h"
#include "tools/mkimage/ImageWriter.h"

namespace test {

namespace {

mkimage::ImageVersion ToImageVersion(const sim::FirmwareVersion& version) {
  return {version.major, version.minor, version.revision};
}

// Distinct bytes per component, so that an image in the wrong drive shows.
std::vector<std::uint8_t> PayloadFor(std::size_t length, std::uint8_t seed) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<std::uint8_t>((i * 7 + seed * 31 + i / 251) & 0xFF);
  }
  return bytes;
}

bool IsOneOf(std::uint8_t value, std::initializer_list<std::uint8_t> values) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

std::string Describe(const sim::CommandRecord& command) {
  char text[16];
  if (command.operationCode != 0xC0 && command.operationCode != 0xC1) {
    std::snprintf(text, sizeof text, "%02X", command.operationCode);
    return text;
  }
  std::snprintf(text, sizeof text, "%02X %02X", command.operationCode, command.subCommand);
  std::string description = text;
  if (IsOneOf(command.subCommand, {0x12, 0x13, 0x20, 0x23, 0x2F})) {
    description += " d" + std::to_string(command.driveNumber);
  }
  if (IsOneOf(command.subCommand, {0x02, 0x12, 0x20})) {
    description += " t" + std::to_string(command.infoType);
  }
  return description;
}

}  // namespace

EngineSet::EngineSet(sim::Machine& machine) {
  // Sizes that end in a short chunk, fill whole chunks exactly, and fit one.
  images = {{L"bootmanager.sb", 0x50, PayloadFor(300000, 1)},
            {L"usbmsc.sb", 0x01, PayloadFor(131072, 2)},
            {L"rdmxsys.sb", 0x00, PayloadFor(700001, 3)},
            {L"resource.bin", 0x02, PayloadFor(1000, 4)}};
  for (const CarriedImage& image : images) {
    machine.Files().Put(image.fileName, mkimage::BuildImageFile(mkimage::VersionedImage(
                                            ToImageVersion(kCarriedProduct),
                                            ToImageVersion(kCarriedComponent), image.payload)));
  }
  config.SetResource(&resource);
  updater = std::make_unique<CRyUpdater>(&config, "CRyUpdater");
  updater->SetCommandLine(&commandLine);
  updater->SetResource(&resource);
  updater->SetProgress(&progress);
}

bool EngineSet::DrivesHoldImages(const sim::Flash& flash) const {
  for (const CarriedImage& image : images) {
    const sim::FlashDrive* drive = nullptr;
    for (const sim::FlashDrive& candidate : flash.Drives()) {
      if (candidate.type == sim::kFlashDriveTypeSystem && candidate.tag == image.tag) {
        drive = &candidate;
        break;
      }
    }
    if (drive == nullptr || drive->SizeInBytes() < image.payload.size()) return false;
    std::vector<std::uint8_t> expected = image.payload;
    expected.resize(drive->SizeInBytes(), 0xFF);
    if (drive->content.ReadBytes(0, expected.size()) != expected) return false;
    if (!(drive->componentVersion == kCarriedComponent) ||
        !(drive->productVersion == kCarriedProduct)) {
      return false;
    }
  }
  return true;
}

std::vector<std::string> CondensedTrace(const sim::EmulatedPlayer& player) {
  std::vector<std::string> runs;
  std::string last;
  int repeats = 0;
  const auto closeRun = [&]() {
    if (repeats > 1) runs.back() += " x" + std::to_string(repeats);
  };
  for (const sim::CommandRecord& command : player.Trace()) {
    const std::string text = Describe(command);
    if (text == last) {
      ++repeats;
      continue;
    }
    closeRun();
    runs.push_back(text);
    last = text;
    repeats = 1;
  }
  closeRun();
  return runs;
}

}  // namespace test
