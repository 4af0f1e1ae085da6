#pragma once
// The player's flash saved to and loaded from files on the host.
//
// Flash image (the whole flash: table, every drive's content, versions),
// all numbers big-endian:
//   8 bytes  "OMBRAFLS"
//   u32      format version, 1
//   u64      flash size in bytes
//   u32      page size (4096)
//   u16      drive count
//   per drive, in table order:
//     u8 drive number, u8 type, u8 tag
//     u32 sector size, u64 sector count
//     u16 x 3 component version, u16 x 3 product version
//     u64 stored page count
//     per stored page, in page order:
//       u64 page index (the page covers bytes index x page size on)
//       u8 kind: 0 one value for the whole page, then that byte;
//                1 raw, then the page's bytes (the last page of a drive
//                only up to the drive's end)
// Pages not stored are erased (FFh), so an image costs only what was
// written, whatever the size of the flash. Loading takes the image's flash
// size and each drive's sector size as they were saved.
//
// Data drive image: the data drive's sectors, raw, from sector 0 to its end
// (what fsck.fat and mtools read). Saving writes every byte, erased ones as
// FFh. Loading puts the file's bytes at the start of the data drive and
// erases the rest; the file must be whole sectors and no larger than the
// drive.
//
// Every operation returns false when the file cannot be opened, read or
// written, is not of this format or version, or does not fit; a failed
// load leaves the flash as it was.

#include <string>

#include "sim/Flash.h"

namespace sim {

inline constexpr std::uint32_t kFlashImageFormatVersion = 1;

bool SaveFlashImage(const Flash& flash, const std::string& path);
bool LoadFlashImage(Flash& flash, const std::string& path);

bool SaveDataDriveImage(const Flash& flash, const std::string& path);
bool LoadDataDriveImage(Flash& flash, const std::string& path);

}  // namespace sim
