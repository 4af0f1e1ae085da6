#include "tools/mkimage/ImageWriter.h"

namespace mkimage {

namespace {

constexpr std::uint8_t kMarker[] = {0x1A, 'R', 'D', 'M', 'X'};

std::string VersionLine(const char* label, const ImageVersion& version) {
  return std::string(label) + " " + std::to_string(version.major) + "." +
         std::to_string(version.minor) + "." + std::to_string(version.revision);
}

}  // namespace

std::string ProductVersionLine(const ImageVersion& version) {
  return VersionLine("Product Version:", version);
}

std::string ComponentVersionLine(const ImageVersion& version) {
  return VersionLine("Component Version:", version);
}

ImageFile VersionedImage(const ImageVersion& product, const ImageVersion& component,
                         const std::vector<std::uint8_t>& payload) {
  ImageFile file;
  file.headerLines = {ProductVersionLine(product), ComponentVersionLine(component)};
  file.payload = payload;
  return file;
}

std::vector<std::uint8_t> BuildImageFile(const ImageFile& file) {
  std::vector<std::uint8_t> bytes;
  for (const std::string& line : file.headerLines) {
    bytes.insert(bytes.end(), line.begin(), line.end());
    bytes.insert(bytes.end(), file.lineEnd.begin(), file.lineEnd.end());
  }
  if (file.withMarker) bytes.insert(bytes.end(), std::begin(kMarker), std::end(kMarker));
  bytes.insert(bytes.end(), file.payload.begin(), file.payload.end());
  return bytes;
}

}  // namespace mkimage
