#include "player/RyLogicalMediaCommands.h"

#include <algorithm>

#include "player/RyInfoTypeLength.h"

namespace {

using RyInfoType::kCallerLength;
using RyInfoType::kNotProvided;

// Answer lengths of types 0 to 9.
constexpr std::uint32_t kMediaInfoLengths[] = {
    2, 8, kNotProvided, kNotProvided, kNotProvided, 1, 4, 2, kCallerLength, 1};

// What the player gets of a table entry: type, tag, size; no drive number.
constexpr std::uint32_t kAllocationRecordSize = 10;

}  // namespace

CRyGetLogicalMediaInfo::CRyGetLogicalMediaInfo(std::uint32_t infoType, std::uint32_t length)
    : CRyVendorCommand("CRyGetLogicalMediaInfo", RyVendor::kOpDataIn,
                       RyVendor::kSubGetLogicalMediaInfo,
                       RyInfoType::AnswerLength(kMediaInfoLengths, infoType, length), 0),
      infoType(infoType) {
  if (!RyInfoType::IsProvided(kMediaInfoLengths, infoType)) {
    status = RyStatus::kUnsupportedInfoType;
  }
}

std::int32_t CRyGetLogicalMediaInfo::BuildCdb() {
  return FirstFailure(
      {CRyVendorCommand::BuildCdb(), commandBuffer.SetAt(2, static_cast<std::uint8_t>(infoType))});
}

std::int32_t CRyGetLogicalMediaInfo::GetFlag(int& flag) const {
  if (infoType != RyVendor::kMediaInfoPlayerFlag) return RyStatus::kUnsupportedInfoType;
  return ReadAnswer([&](const CRyByteArray& answer) { return answer.ReadFlag(flag, 0); });
}

CRyGetLogicalTable::CRyGetLogicalTable(std::uint8_t maximumEntryCount)
    : CRyVendorCommand(
          "CRyGetLogicalTable", RyVendor::kOpDataIn, RyVendor::kSubGetLogicalTable,
          kLogicalTableHeaderSize + TransferLength(kLogicalTableEntrySize, maximumEntryCount), 0),
      maximumEntryCount(maximumEntryCount) {}

std::int32_t CRyGetLogicalTable::BuildCdb() {
  return FirstFailure({CRyVendorCommand::BuildCdb(), commandBuffer.SetAt(2, maximumEntryCount)});
}

std::int32_t CRyGetLogicalTable::StoreAnswer(const CRyByteArray& data) {
  const std::int32_t result = CRyVendorCommand::StoreAnswer(data);
  if (result != RyStatus::kSuccess) return result;
  return ParseTable(*answerBuffer);
}

std::int32_t CRyGetLogicalTable::ParseTable(const CRyByteArray& answer) {
  table = LogicalTable{};
  std::uint16_t claimedCount = 0;
  const std::int32_t result = answer.ReadU16BE(claimedCount, 0);
  if (result != RyStatus::kSuccess) return result;
  // The count only grows with an entry read in full, so the table never
  // claims an entry it does not hold.
  for (std::uint32_t i = 0; i < claimedCount; ++i) {
    if (i >= kLogicalTableMaxEntries) return RyStatus::kIndexOutOfRange;
    LogicalTableEntry entry{};
    const std::int32_t entryResult =
        ReadEntry(answer, kLogicalTableHeaderSize + i * kLogicalTableEntrySize, entry);
    if (entryResult != RyStatus::kSuccess) return entryResult;
    table.entries[i] = entry;
    table.entryCount = static_cast<std::uint16_t>(i + 1);
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyGetLogicalTable::ReadEntry(const CRyByteArray& answer, std::uint32_t offset,
                                           LogicalTableEntry& out) {
  if (offset >= answer.GetCount()) return RyStatus::kIndexOutOfRange;
  std::uint8_t header[3] = {};
  std::uint64_t size = 0;
  const std::int32_t result = FirstFailure(
      {answer.ReadBytes(header, sizeof header, offset), answer.ReadU64BE(size, offset + 3)});
  if (result != RyStatus::kSuccess) return result;
  out.driveNumber = header[0];
  out.driveType = header[1];
  out.tag = header[2];
  out.sizeInBytes = size;
  return RyStatus::kSuccess;
}

std::int32_t CRyGetLogicalTable::GetTable(LogicalTable& out) const {
  return ReadAnswer([&](const CRyByteArray&) {
    out = table;
    return RyStatus::kSuccess;
  });
}

CRyAllocateLogicalMedia::CRyAllocateLogicalMedia(const LogicalTable& table)
    : CRyVendorCommand("CRyAllocateLogicalMedia", RyVendor::kOpDataOut,
                       RyVendor::kSubAllocateLogicalMedia, 0,
                       TransferLength(kLogicalTableEntrySize, table.entryCount)),
      table(table) {
  if (table.entryCount > kLogicalTableMaxEntries) status = RyStatus::kArgumentOutOfRange;
}

std::int32_t CRyAllocateLogicalMedia::BuildCdb() {
  std::int32_t result =
      FirstFailure({CRyVendorCommand::BuildCdb(),
                    commandBuffer.SetAt(2, static_cast<std::uint8_t>(table.entryCount))});
  const std::uint32_t count = std::min<std::uint32_t>(table.entryCount, kLogicalTableMaxEntries);
  for (std::uint32_t i = 0; i < count && result == RyStatus::kSuccess; ++i) {
    const LogicalTableEntry& entry = table.entries[i];
    const std::uint32_t offset = cdbLength + i * kAllocationRecordSize;
    result = FirstFailure({commandBuffer.SetAt(offset, entry.driveType),
                           commandBuffer.SetAt(offset + 1, entry.tag),
                           commandBuffer.WriteU64BE(entry.sizeInBytes, offset + 2)});
  }
  return result;
}

CRyEraseLogicalMedia::CRyEraseLogicalMedia()
    : CRyVendorCommand("CRyEraseLogicalMedia", RyVendor::kOpDataOut,
                       RyVendor::kSubEraseLogicalMedia, 0, 0) {}
