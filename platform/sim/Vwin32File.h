#pragma once
// A handle to "\\.\vwin32": DeviceIoControl reaches the machine's vwin32
// device; file I/O is not what the device does.

#include <memory>

#include "FileName.h"
#include "FileObject.h"
#include "sim/Machine.h"

namespace sim {

// Whether a CreateFile name is the vwin32 device.
bool IsVwin32Name(const FileName& name);

// ERROR_SUCCESS with the handle's file object, or ERROR_FILE_NOT_FOUND when
// the machine has no vwin32 device (Windows NT, or taken away by a test).
DWORD OpenVwin32(Machine& machine, const OpenRequest& request, std::shared_ptr<FileObject>& file);

}  // namespace sim
