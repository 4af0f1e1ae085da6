#pragma once
// The user's data drive: reached through the transport's own sector I/O
// (READ(10) and WRITE(10), or file access to the open volume), never the
// vendor sector commands.

#include <cstdint>

#include "core/RyByteArray.h"
#include "player/RyLogicalDrive.h"

class CRyDataDrive : public CRyLogicalDrive {
 public:
  explicit CRyDataDrive(const char* name);

  std::int32_t ReadCapacity(std::uint32_t& lastBlock, std::uint32_t& blockLength);
  std::int32_t ReadBlocks(CRyByteArray& buffer, std::uint32_t blockCount, std::uint32_t firstBlock,
                          std::uint32_t blockLength);
  std::int32_t WriteBlocks(const CRyByteArray& buffer, std::uint32_t blockCount,
                           std::uint32_t firstBlock, std::uint32_t blockLength);
};
