#include "player/RyVendorCommand.h"

CRyVendorCommand::CRyVendorCommand(const char* name, std::uint8_t operationCode,
                                   std::uint8_t subCommand, std::uint64_t dataInLength,
                                   std::uint64_t dataOutLength)
    : CRyScsiCommand(name, RyVendor::kCdbLength, dataInLength, dataOutLength),
      operationCode(operationCode),
      subCommand(subCommand) {}

std::int32_t CRyVendorCommand::BuildCdb() {
  return FirstFailure({commandBuffer.SetAt(0, operationCode), commandBuffer.SetAt(1, subCommand)});
}
