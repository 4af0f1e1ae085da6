#pragma once
// Cylinder, head and sector geometry of the data drive and the CHS
// addresses of the partition table.

#include <cstdint>

struct ChsGeometry {
  std::uint32_t totalSectors = 0;
  std::uint16_t heads = 0;
  std::uint8_t sectorsPerTrack = 0;
  std::uint16_t cylinders = 0;

  std::uint32_t Capacity() const { return std::uint32_t{cylinders} * heads * sectorsPerTrack; }
};

// At and beyond this many sectors no geometry of at most 1024 cylinders,
// 256 heads and 63 sectors per track exists.
inline constexpr std::uint32_t kChsSectorLimit = 1024u * 256u * 63u;

// The geometry whose capacity comes closest to totalSectors from below.
// At kChsSectorLimit and beyond it is fixed at 1/1/16 and the result is -33,
// since its capacity would leave almost the whole drive unused; -33 (with
// the console message) also when nothing fits (totalSectors 0).
std::int32_t ComputeGeometry(std::uint32_t totalSectors, ChsGeometry& geometry);

// The 3-byte partition-entry form of sector number lba: head, sector with
// cylinder bits 8-9 in bits 6-7, low cylinder bits. -34 beyond cylinder 1023.
std::int32_t LbaToChs(const ChsGeometry& geometry, std::uint32_t lba, std::uint8_t (&out)[3]);
