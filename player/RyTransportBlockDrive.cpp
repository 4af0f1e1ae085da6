#include "player/RyTransportBlockDrive.h"

#include "device/RyReadCapacity.h"
#include "device/RyScsi.h"

std::int32_t CRyTransportBlockDrive::ReadCapacity(std::uint32_t& lastBlock,
                                                  std::uint32_t& blockLength) {
  CRyReadCapacity command;
  if (command.GetStatus() != 0) return command.GetStatus();
  const std::int32_t sent = transport->SendCommand(command);
  if (sent != 0) return sent;
  std::uint32_t values[2] = {};
  const std::int32_t read = command.GetCapacity(values);
  if (read != 0) return read;
  lastBlock = values[0];
  blockLength = values[1];
  return 0;
}

std::int32_t CRyTransportBlockDrive::ReadBlocks(CRyByteArray& buffer, std::uint32_t blockCount,
                                                std::uint32_t firstBlock,
                                                std::uint32_t blockLength) {
  return transport->ReadSectors(buffer, blockCount, firstBlock, blockLength);
}

std::int32_t CRyTransportBlockDrive::WriteBlocks(const CRyByteArray& buffer,
                                                 std::uint32_t blockCount, std::uint32_t firstBlock,
                                                 std::uint32_t blockLength) {
  return transport->WriteSectors(buffer, blockCount, firstBlock, blockLength);
}
