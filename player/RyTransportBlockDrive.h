#pragma once
// The data drive's block access through the transport alone: READ CAPACITY
// as a command, sectors through the transport's own read and write.

#include "player/RyBlockDrive.h"

class CRyScsi;

class CRyTransportBlockDrive : public CRyBlockDrive {
 public:
  explicit CRyTransportBlockDrive(CRyScsi* transport) : transport(transport) {}

  std::int32_t ReadCapacity(std::uint32_t& lastBlock, std::uint32_t& blockLength) override;
  std::int32_t ReadBlocks(CRyByteArray& buffer, std::uint32_t blockCount, std::uint32_t firstBlock,
                          std::uint32_t blockLength) override;
  std::int32_t WriteBlocks(const CRyByteArray& buffer, std::uint32_t blockCount,
                           std::uint32_t firstBlock, std::uint32_t blockLength) override;

 private:
  CRyScsi* transport;  // not owned
};
