#pragma once
// The operating-system seam: everything the program asks of Windows.
// Code above the seam includes this header and calls os::Name(...); it never
// calls a system function directly.

#include "os/Kernel.h"
#include "os/Modules.h"
#include "os/Registry.h"
#include "os/Storage.h"
