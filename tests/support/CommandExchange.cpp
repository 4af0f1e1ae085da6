#include "tests/support/CommandExchange.h"

#include <algorithm>
#include <iomanip>

namespace test {

std::int32_t Exchange(CRyScsiCommand& command, const std::vector<std::uint8_t>& deviceAnswer) {
  command.BuildCdb();
  CRyByteArray answer(command.GetDataInLength(), "CRyByteArray");
  if (answer.GetStatus() != RyStatus::kSuccess) return answer.GetStatus();
  const std::size_t sent = std::min<std::size_t>(deviceAnswer.size(), answer.GetCount());
  answer.WriteBytes(deviceAnswer.data(), static_cast<std::uint32_t>(sent), 0);
  if (command.IsDataOut() != 0) return RyStatus::kSuccess;
  return command.StoreAnswer(answer);
}

std::vector<std::uint8_t> BytesOf(const CRyByteArray& array) {
  return std::vector<std::uint8_t>(array.GetData(), array.GetData() + array.GetCount());
}

std::vector<std::uint8_t> CdbBytes(const CRyScsiCommand& command) {
  std::vector<std::uint8_t> bytes = BytesOf(command.GetCommandBuffer());
  bytes.resize(std::min<std::size_t>(bytes.size(), command.GetCdbLength()));
  return bytes;
}

std::vector<std::uint8_t> PayloadBytes(const CRyScsiCommand& command) {
  std::vector<std::uint8_t> bytes = BytesOf(command.GetCommandBuffer());
  bytes.erase(bytes.begin(),
              bytes.begin() + std::min<std::size_t>(bytes.size(), command.GetCdbLength()));
  return bytes;
}

std::unique_ptr<CRyByteArray> MakeByteArray(const std::vector<std::uint8_t>& bytes) {
  auto array =
      std::make_unique<CRyByteArray>(static_cast<std::uint32_t>(bytes.size()), "CRyByteArray");
  if (array->GetStatus() != RyStatus::kSuccess) return nullptr;
  array->WriteBytes(bytes.data(), array->GetCount(), 0);
  return array;
}

bool CommandLayout::operator==(const CommandLayout& other) const {
  return name == other.name && status == other.status && cdb == other.cdb &&
         dataInLength == other.dataInLength && dataOutLength == other.dataOutLength &&
         isDataOut == other.isDataOut;
}

std::ostream& operator<<(std::ostream& stream, const CommandLayout& layout) {
  stream << layout.name << " status " << layout.status << ", cdb";
  for (const std::uint8_t byte : layout.cdb) {
    stream << ' ' << std::hex << std::setw(2) << std::setfill('0') << unsigned{byte};
  }
  return stream << std::dec << ", in " << layout.dataInLength << ", out " << layout.dataOutLength
                << ", data-out " << layout.isDataOut;
}

CommandLayout LayoutOf(CRyScsiCommand& command) {
  command.BuildCdb();
  return CommandLayout{command.GetObjectName(),   command.GetStatus(),        CdbBytes(command),
                       command.GetDataInLength(), command.GetDataOutLength(), command.IsDataOut()};
}

std::vector<std::uint8_t> Cdb10(std::uint8_t operationCode, std::uint32_t firstBlock,
                                std::uint16_t blockCount) {
  return {operationCode,
          0,
          static_cast<std::uint8_t>(firstBlock >> 24),
          static_cast<std::uint8_t>(firstBlock >> 16),
          static_cast<std::uint8_t>(firstBlock >> 8),
          static_cast<std::uint8_t>(firstBlock),
          0,
          static_cast<std::uint8_t>(blockCount >> 8),
          static_cast<std::uint8_t>(blockCount),
          0};
}

}  // namespace test
