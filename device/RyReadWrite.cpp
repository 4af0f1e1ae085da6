#include "device/RyReadWrite.h"

namespace {

constexpr std::uint32_t kCdbLength = 10;
constexpr std::uint8_t kReadOperationCode = 0x28;
constexpr std::uint8_t kWriteOperationCode = 0x2A;

}  // namespace

CRyBlockCommand::CRyBlockCommand(const char* name, std::uint8_t operationCode,
                                 std::uint32_t firstBlock, std::uint32_t blockCount,
                                 std::uint32_t blockLength, bool dataOut)
    : CRyScsiCommand(name, kCdbLength, dataOut ? 0 : TransferLength(blockLength, blockCount),
                     dataOut ? TransferLength(blockLength, blockCount) : 0),
      operationCode(operationCode),
      blockLength(blockLength),
      blockCount(blockCount),
      firstBlock(firstBlock) {}

std::int32_t CRyBlockCommand::BuildCdb() {
  return FirstFailure({commandBuffer.SetAt(0, operationCode),
                       commandBuffer.WriteU32BE(firstBlock, 2),
                       commandBuffer.WriteU16BE(static_cast<std::uint16_t>(blockCount), 7)});
}

CRyRead::CRyRead(std::uint32_t firstBlock, std::uint32_t blockCount, std::uint32_t blockLength)
    : CRyBlockCommand("CRyRead", kReadOperationCode, firstBlock, blockCount, blockLength, false) {}

CRyWrite::CRyWrite(std::uint32_t firstBlock, std::uint32_t blockCount, std::uint32_t blockLength)
    : CRyBlockCommand("CRyWrite", kWriteOperationCode, firstBlock, blockCount, blockLength, true) {}
