#pragma once
// IOCTL_SCSI_PASS_THROUGH as the port driver serves it: the record is
// checked, its command handed to the device, and the SCSI status, the sense
// bytes and the data-in bytes written back into the caller's buffer.

#include "FileObject.h"
#include "sim/StorageDevice.h"

namespace sim {

// The record is the platform's own SCSI_PASS_THROUGH (44 bytes on 32-bit
// Windows, 56 on 64-bit); a record of the other size is refused.
DWORD ServePassThrough(StorageDevice& device, const IoControl& request, DWORD& returned);

}  // namespace sim
