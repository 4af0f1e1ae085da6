#pragma once
// READ(10) and WRITE(10): blocks of the player's disk by block address.

#include <cstdint>

#include "player/RyScsiCommand.h"

// The 10-byte CDB both share: first block in bytes 2 to 5, the low 16 bits
// of the block count in bytes 7 and 8. Counts above 65,535 cannot be
// expressed; callers stay below.
class CRyBlockCommand : public CRyScsiCommand {
 public:
  std::int32_t BuildCdb() override;

 protected:
  CRyBlockCommand(const char* name, std::uint8_t operationCode, std::uint32_t firstBlock,
                  std::uint32_t blockCount, std::uint32_t blockLength, bool dataOut);

 private:
  std::uint8_t operationCode;
  std::uint32_t blockLength;
  std::uint32_t blockCount;
  std::uint32_t firstBlock;
};

class CRyRead : public CRyBlockCommand {
 public:
  CRyRead(std::uint32_t firstBlock, std::uint32_t blockCount, std::uint32_t blockLength);

  using CRyScsiCommand::CopyData;
};

class CRyWrite : public CRyBlockCommand {
 public:
  CRyWrite(std::uint32_t firstBlock, std::uint32_t blockCount, std::uint32_t blockLength);

  using CRyScsiCommand::SetPayload;
};
