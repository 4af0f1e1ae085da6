#pragma once
// The system drives of the player, one per firmware component, owned.

#include "core/RyOwningPtrArray.h"
#include "player/RySystemDrive.h"

class CRySystemDrivePtrArray : public CRyOwningPtrArray<CRySystemDrive> {
 public:
  CRySystemDrivePtrArray(std::uint32_t count, const char* name)
      : CRyOwningPtrArray<CRySystemDrive>(count, name, "CRySystemDrive") {}
};
