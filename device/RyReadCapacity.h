#pragma once
// READ CAPACITY(10): the address of the last block and the block length of
// the player's disk.

#include <cstdint>

#include "player/RyScsiCommand.h"

class CRyReadCapacity : public CRyScsiCommand {
 public:
  CRyReadCapacity();
  std::int32_t BuildCdb() override;

  // out[0] last block address, out[1] block length. Both are read; the
  // result is that of the second, -3 when the answer is too short for it.
  std::int32_t GetCapacity(std::uint32_t (&out)[2]) const;
};
