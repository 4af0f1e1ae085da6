#pragma once
// Runs command objects the way a transport's SendCommand does, with the
// device's answer given by the test, and shows their bytes as vectors.

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/RyByteArray.h"
#include "player/RyScsiCommand.h"

namespace test {

// BuildCdb (its result ignored, as a transport does); a zero-filled answer
// of the command's data-in length receives deviceAnswer as far as it fits;
// a data-in command then stores it and its result is returned, any other
// command returns 0.
std::int32_t Exchange(CRyScsiCommand& command, const std::vector<std::uint8_t>& deviceAnswer = {});

std::vector<std::uint8_t> BytesOf(const CRyByteArray& array);
std::vector<std::uint8_t> CdbBytes(const CRyScsiCommand& command);
// The command buffer after the CDB.
std::vector<std::uint8_t> PayloadBytes(const CRyScsiCommand& command);

// A 10-byte READ/WRITE-style CDB: operation code, 32-bit block, 16-bit count.
std::vector<std::uint8_t> Cdb10(std::uint8_t operationCode, std::uint32_t firstBlock,
                                std::uint16_t blockCount);

// Null only when the storage could not be obtained.
std::unique_ptr<CRyByteArray> MakeByteArray(const std::vector<std::uint8_t>& bytes);

// What a command is and puts on the wire before any payload.
struct CommandLayout {
  std::string name;
  std::int32_t status = 0;
  std::vector<std::uint8_t> cdb;
  std::uint32_t dataInLength = 0;
  std::uint32_t dataOutLength = 0;
  int isDataOut = 0;

  bool operator==(const CommandLayout& other) const;
};
std::ostream& operator<<(std::ostream& stream, const CommandLayout& layout);

// Builds the CDB and reads the layout back.
CommandLayout LayoutOf(CRyScsiCommand& command);

}  // namespace test
