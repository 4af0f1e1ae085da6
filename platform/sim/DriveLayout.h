#pragma once
// The old-style layout records of IOCTL_DISK_GET_DRIVE_LAYOUT and
// IOCTL_DISK_SET_DRIVE_LAYOUT (DRIVE_LAYOUT_INFORMATION followed by its
// PARTITION_INFORMATION entries), read from and written into sector 0.

#include <cstdint>

#include "FileObject.h"
#include "MasterBootRecord.h"

namespace sim {

// Answers IOCTL_DISK_GET_DRIVE_LAYOUT: the four entries of the table, or
// for a disk without one the single partition that spans it.
DWORD DescribeLayout(const MasterBootRecord& record, std::uint64_t diskBlocks,
                     std::uint32_t blockSize, const IoControl& request, DWORD& returned);

// Serves IOCTL_DISK_SET_DRIVE_LAYOUT on the record: the entries whose
// RewritePartition is set, the disk signature and the boot signature. The
// record is changed only when the whole request is acceptable.
DWORD ApplyLayout(const IoControl& request, std::uint32_t blockSize, MasterBootRecord& record,
                  DWORD& returned);

}  // namespace sim
