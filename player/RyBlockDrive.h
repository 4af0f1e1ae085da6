#pragma once
// Block access to the data drive, as the formatter needs it: its capacity
// and whole-sector reads and writes. The data drive object provides it; until
// then CRyTransportBlockDrive serves it straight from the transport.

#include <cstdint>

#include "core/RyByteArray.h"

class CRyBlockDrive {
 public:
  virtual ~CRyBlockDrive() = default;

  virtual std::int32_t ReadCapacity(std::uint32_t& lastBlock, std::uint32_t& blockLength) = 0;
  virtual std::int32_t ReadBlocks(CRyByteArray& buffer, std::uint32_t blockCount,
                                  std::uint32_t firstBlock, std::uint32_t blockLength) = 0;
  virtual std::int32_t WriteBlocks(const CRyByteArray& buffer, std::uint32_t blockCount,
                                   std::uint32_t firstBlock, std::uint32_t blockLength) = 0;
};
