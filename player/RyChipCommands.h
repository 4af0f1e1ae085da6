#pragma once
// Vendor commands on the player's chip.

#include <cstdint>

#include "player/RyVendorCommand.h"

// C0h 30h: the chip's major revision.
class CRyGetChipMajorRevId : public CRyVendorCommand {
 public:
  CRyGetChipMajorRevId();

  std::int32_t GetChipMajorRevision(std::uint16_t& revision) const;
};

// C1h 31h: resets the chip.
class CRyChipReset : public CRyVendorCommand {
 public:
  CRyChipReset();
};
