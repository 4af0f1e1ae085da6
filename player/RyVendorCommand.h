#pragma once
// A vendor command: a 16-byte CDB led by the operation code and the
// sub-command; the derived commands add their parameters behind them.

#include <cstdint>

#include "player/RyScsiCommand.h"
#include "player/RyVendorCodes.h"

class CRyVendorCommand : public CRyScsiCommand {
 public:
  std::int32_t BuildCdb() override;

 protected:
  CRyVendorCommand(const char* name, std::uint8_t operationCode, std::uint8_t subCommand,
                   std::uint64_t dataInLength, std::uint64_t dataOutLength);

 private:
  std::uint8_t operationCode;
  std::uint8_t subCommand;
};
