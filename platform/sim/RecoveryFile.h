#pragma once
// A handle to "\\.\RyMp3RecDeviceN": overlapped writes reach the machine's
// recovery driver; no other file call does anything on it.

#include <memory>

#include "FileName.h"
#include "FileObject.h"
#include "sim/Machine.h"

namespace sim {

// Whether a CreateFile name has the form of a recovery device name.
bool IsRecoveryDeviceName(const FileName& name);

// ERROR_SUCCESS with the handle's file object, or ERROR_FILE_NOT_FOUND when
// no player in recovery mode has that number.
DWORD OpenRecoveryDevice(Machine& machine, const FileName& name, const OpenRequest& request,
                         std::shared_ptr<FileObject>& file);

}  // namespace sim
