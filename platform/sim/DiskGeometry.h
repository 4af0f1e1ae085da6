#pragma once
// The geometry the disk class driver reports for a disk that brings none of
// its own, as a USB mass-storage disk: 255 heads of 63 sectors per track and
// as many whole cylinders as the blocks fill (the rest past the last whole
// cylinder is not counted). Partition entries are CHS-addressed with it too.

#include <cstdint>

#include "os/Win32Types.h"

namespace sim {

inline constexpr std::uint32_t kTranslatedHeads = 255;
inline constexpr std::uint32_t kTranslatedSectorsPerTrack = 63;

inline DISK_GEOMETRY TranslatedGeometry(std::uint64_t blockCount, std::uint32_t blockSize,
                                        bool removable) {
  DISK_GEOMETRY geometry{};
  geometry.Cylinders.QuadPart =
      static_cast<LONGLONG>(blockCount / (kTranslatedHeads * kTranslatedSectorsPerTrack));
  geometry.MediaType = removable ? RemovableMedia : FixedMedia;
  geometry.TracksPerCylinder = kTranslatedHeads;
  geometry.SectorsPerTrack = kTranslatedSectorsPerTrack;
  geometry.BytesPerSector = blockSize;
  return geometry;
}

}  // namespace sim
