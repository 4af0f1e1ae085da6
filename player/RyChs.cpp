#include "player/RyChs.h"

#include <cstdio>

#include "core/RyStatus.h"

namespace {

// The largest product below (c, h, s) in scan order, or false when (1, 1, 1)
// has nothing below it.
bool CandidateBelow(std::uint32_t c, std::uint32_t h, std::uint32_t s, std::uint32_t (&out)[3]) {
  if (s > 1) {
    out[0] = c, out[1] = h, out[2] = s - 1;
  } else if (h > 1) {
    out[0] = c, out[1] = h - 1, out[2] = 63;
  } else if (c > 1) {
    out[0] = c - 1, out[1] = 256, out[2] = 63;
  } else {
    return false;
  }
  return true;
}

void Assign(ChsGeometry& geometry, std::uint32_t c, std::uint32_t h, std::uint32_t s) {
  geometry.cylinders = static_cast<std::uint16_t>(c);
  geometry.heads = static_cast<std::uint16_t>(h);
  geometry.sectorsPerTrack = static_cast<std::uint8_t>(s);
}

std::int32_t NoSolution() {
  std::fputs("ERROR - bad CHS solution\r\n", stdout);
  return RyStatus::kNoGeometryFits;
}

}  // namespace

std::int32_t ComputeGeometry(std::uint32_t totalSectors, ChsGeometry& geometry) {
  geometry.totalSectors = totalSectors;
  if (totalSectors >= kChsSectorLimit) {
    Assign(geometry, 1, 1, 16);
    return RyStatus::kNoGeometryFits;
  }
  std::uint32_t best[3] = {0, 0, 0};
  std::uint32_t bestResidue = 0x7FFFFFFF;
  bool found = false;
  for (std::uint32_t c = 1; c <= 1024; ++c) {
    for (std::uint32_t h = 1; h <= 256; ++h) {
      for (std::uint32_t s = 1; s <= 63; ++s) {
        const std::uint32_t product = c * h * s;
        if (product == totalSectors) {
          Assign(geometry, c, h, s);
          return 0;
        }
        if (product < totalSectors) continue;
        std::uint32_t candidate[3];
        if (!CandidateBelow(c, h, s, candidate)) return NoSolution();
        // Unsigned: a candidate still above T wraps around and loses.
        const std::uint32_t residue = totalSectors - candidate[0] * candidate[1] * candidate[2];
        if (residue < bestResidue) {
          bestResidue = residue;
          best[0] = candidate[0], best[1] = candidate[1], best[2] = candidate[2];
          found = true;
        }
      }
    }
  }
  if (!found) return NoSolution();
  Assign(geometry, best[0], best[1], best[2]);
  return 0;
}

std::int32_t LbaToChs(const ChsGeometry& geometry, std::uint32_t lba, std::uint8_t (&out)[3]) {
  const std::uint32_t sectors = geometry.sectorsPerTrack;
  const std::uint32_t heads = geometry.heads;
  if (sectors == 0 || heads == 0) return RyStatus::kSectorOutsideGeometry;
  const std::uint32_t track = lba / sectors;
  const std::uint32_t cylinder = track / heads;
  if (cylinder > 1023 || cylinder >= geometry.cylinders) return RyStatus::kSectorOutsideGeometry;
  out[0] = static_cast<std::uint8_t>(track % heads);
  out[1] = static_cast<std::uint8_t>((lba % sectors + 1) | ((cylinder >> 2) & 0xC0));
  out[2] = static_cast<std::uint8_t>(cylinder & 0xFF);
  return 0;
}
