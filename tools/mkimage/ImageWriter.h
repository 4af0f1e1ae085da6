#pragma once
// Builds firmware image files in the player's format: text header lines,
// the five-byte marker 1Ah "RDMX", then the payload.

#include <cstdint>
#include <string>
#include <vector>

namespace mkimage {

struct ImageVersion {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned revision = 0;
};

struct ImageFile {
  // Written in order, each ended by lineEnd.
  std::vector<std::string> headerLines;
  std::string lineEnd = "\r\n";
  bool withMarker = true;
  std::vector<std::uint8_t> payload;
};

// "Product Version: 1.2.3" and "Component Version: 4.5.6".
std::string ProductVersionLine(const ImageVersion& version);
std::string ComponentVersionLine(const ImageVersion& version);

// A file with both version lines, the marker and the payload.
ImageFile VersionedImage(const ImageVersion& product, const ImageVersion& component,
                         const std::vector<std::uint8_t>& payload);

std::vector<std::uint8_t> BuildImageFile(const ImageFile& file);

}  // namespace mkimage
