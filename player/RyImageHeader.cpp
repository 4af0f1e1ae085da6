#include "player/RyImageHeader.h"

#include <cstring>
#include <string>

#include "core/RyStatus.h"

namespace {

constexpr std::uint8_t kEndOfText = 0x1A;
constexpr char kProductLabel[] = "Product Version:";
constexpr char kComponentLabel[] = "Component Version:";

// The file as text: CR LF becomes LF, and the text ends at the first 1Ah.
std::string TextOf(const CRyByteArray& file) {
  std::string text;
  const std::uint8_t* bytes = file.GetData();
  const std::uint32_t count = file.GetCount();
  for (std::uint32_t i = 0; i < count && bytes[i] != kEndOfText; ++i) {
    const bool crBeforeLf = bytes[i] == '\r' && i + 1 < count && bytes[i + 1] == '\n';
    if (!crBeforeLf) text.push_back(static_cast<char>(bytes[i]));
  }
  return text;
}

// Reads the version after label when the line has it; returns whether the
// line counts as a version line of that kind.
bool ScanVersionLine(const std::string& line, const char* label, CRyVersionInfo& version,
                     bool& labelFound) {
  const std::size_t at = line.find(label);
  labelFound = at != std::string::npos;
  return labelFound && version.ScanHeaderText(line.c_str() + at + std::strlen(label));
}

}  // namespace

std::int32_t ScanImageHeader(const CRyByteArray& file, ImageHeader& header) {
  header.state = kHeaderNone;
  const std::string text = TextOf(file);
  bool productSeen = false;
  bool componentSeen = false;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    const std::size_t contentEnd = newline == std::string::npos ? text.size() : newline;
    if (contentEnd - start > kHeaderLineMaxLength) return RyStatus::kFileReadFailed;
    const std::size_t end = newline == std::string::npos ? text.size() : newline + 1;
    // Like a C string, the line ends at a NUL byte.
    const std::string line = text.substr(start, end - start).c_str();
    start = end;
    bool labelFound = false;
    if (ScanVersionLine(line, kProductLabel, header.productVersion, labelFound)) {
      productSeen = true;
      header.state = kHeaderProductOnly;
    } else if (!labelFound &&
               ScanVersionLine(line, kComponentLabel, header.componentVersion, labelFound)) {
      componentSeen = true;
      header.state = kHeaderComponentOnly;
    }
    if (productSeen && componentSeen) {
      header.state = kHeaderBoth;
      return RyStatus::kSuccess;
    }
  }
  return RyStatus::kFileReadFailed;
}
