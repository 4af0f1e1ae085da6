#pragma once
// Disk records handed to the Windows storage stack, in its own layouts.

#include "os/Win32Types.h"

using DiskGeometry = DISK_GEOMETRY;

// Room for five partition entries (what is read); four are written.
struct DriveLayout {
  DWORD PartitionCount;
  DWORD Signature;
  PARTITION_INFORMATION PartitionEntry[5];
};

inline constexpr DWORD kDriveLayoutReadSize = sizeof(DriveLayout);
inline constexpr DWORD kDriveLayoutWriteSize = 8 + 4 * sizeof(PARTITION_INFORMATION);

static_assert(sizeof(DiskGeometry) == 24, "DISK_GEOMETRY layout");
static_assert(sizeof(DriveLayout) == 168, "DRIVE_LAYOUT_INFORMATION with five entries");
static_assert(kDriveLayoutWriteSize == 136, "DRIVE_LAYOUT_INFORMATION with four entries");
