#pragma once
// The text header of a firmware image file: version lines before the image
// marker. The file is read as a C text stream reads it: CR LF counts as LF
// and the first 1Ah byte ends the text, so the scan never passes the marker.

#include <cstdint>

#include "core/RyByteArray.h"
#include "core/RyVersionInfo.h"

// Which version lines a header holds.
inline constexpr std::int32_t kHeaderProductOnly = 0;
inline constexpr std::int32_t kHeaderComponentOnly = 1;
inline constexpr std::int32_t kHeaderBoth = 2;
inline constexpr std::int32_t kHeaderNone = 3;

// A line holds at most this many characters before its LF.
inline constexpr std::uint32_t kHeaderLineMaxLength = 79;

struct ImageHeader {
  CRyVersionInfo productVersion{"CRyVersionInfo"};
  CRyVersionInfo componentVersion{"CRyVersionInfo"};
  std::int32_t state = kHeaderNone;
};

// 0 as soon as both lines were seen; -12 when the text ends first or a line
// is too long, with what was seen up to there kept in header.
std::int32_t ScanImageHeader(const CRyByteArray& file, ImageHeader& header);
