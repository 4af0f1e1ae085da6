// Parsing the logical table answer into entries, and where it stops.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/RyStatus.h"
#include "player/RyLogicalMediaCommands.h"
#include "tests/support/CommandExchange.h"

namespace {

// Twelve entries whose sizes use every byte position, so a byte-order or
// offset slip shows.
LogicalTableEntry SampleEntry(std::uint32_t index) {
  const auto i = static_cast<std::uint8_t>(index);
  return {static_cast<std::uint8_t>(i + 1), static_cast<std::uint8_t>(i == 0 ? 0 : 1),
          static_cast<std::uint8_t>(0x10 + i), 0x0102030405060700ULL + i};
}

// The answer: claimedCount, then entries 0 to carriedCount-1 on the wire.
std::vector<std::uint8_t> TableAnswer(std::uint16_t claimedCount, std::uint32_t carriedCount) {
  std::vector<std::uint8_t> bytes = {static_cast<std::uint8_t>(claimedCount >> 8),
                                     static_cast<std::uint8_t>(claimedCount)};
  for (std::uint32_t i = 0; i < carriedCount; ++i) {
    const LogicalTableEntry entry = SampleEntry(i);
    bytes.insert(bytes.end(), {entry.driveNumber, entry.driveType, entry.tag});
    for (int shift = 56; shift >= 0; shift -= 8) {
      bytes.push_back(static_cast<std::uint8_t>(entry.sizeInBytes >> shift));
    }
  }
  return bytes;
}

// Stores the bytes as received, which may be fewer than asked for.
std::int32_t Store(CRyGetLogicalTable& command, const std::vector<std::uint8_t>& bytes) {
  return command.StoreAnswer(*test::MakeByteArray(bytes));
}

LogicalTable StoredTable(const CRyGetLogicalTable& command) {
  LogicalTable table;
  std::memset(&table, 0xCC, sizeof table);
  EXPECT_EQ(command.GetTable(table), 0);
  return table;
}

// The fields copied out: a reference to a packed field may be misaligned.
std::vector<std::uint64_t> FieldsOf(const LogicalTableEntry& entry) {
  return {entry.driveNumber, entry.driveType, entry.tag, entry.sizeInBytes};
}

void ExpectSampleEntries(const LogicalTable& table, std::uint32_t count) {
  ASSERT_EQ(std::uint32_t{table.entryCount}, count);
  for (std::uint32_t i = 0; i < count; ++i) {
    EXPECT_EQ(FieldsOf(table.entries[i]), FieldsOf(SampleEntry(i))) << "entry " << i;
  }
}

TEST(LogicalTableParseTest, TableBeforeAnyAnswerFails) {
  CRyGetLogicalTable command(kLogicalTableMaxEntries);
  LogicalTable table{};
  EXPECT_EQ(command.GetTable(table), RyStatus::kFieldOutOfRange);
}

TEST(LogicalTableParseTest, CountZeroGivesAnEmptyTable) {
  CRyGetLogicalTable command(kLogicalTableMaxEntries);
  EXPECT_EQ(test::Exchange(command, TableAnswer(0, 0)), 0);
  EXPECT_EQ(std::uint32_t{StoredTable(command).entryCount}, 0u);
}

TEST(LogicalTableParseTest, FullTableIsStoredWithSizesInHostOrder) {
  CRyGetLogicalTable command(kLogicalTableMaxEntries);
  EXPECT_EQ(test::Exchange(command, TableAnswer(10, 10)), 0);
  ExpectSampleEntries(StoredTable(command), 10);
}

TEST(LogicalTableParseTest, ParseStopsAtTheFirstEntryThatDoesNotFit) {
  const std::uint32_t entryEnd = kLogicalTableHeaderSize + 2 * kLogicalTableEntrySize;
  const struct {
    const char* name;
    std::uint16_t claimedCount;
    std::uint32_t answerLength;
    std::int32_t status;
    std::uint32_t storedCount;
  } cases[] = {
      {"answer ends after the second entry", 3, entryEnd, RyStatus::kIndexOutOfRange, 2},
      {"third entry has its drive number only", 3, entryEnd + 1, RyStatus::kFieldOutOfRange, 2},
      {"third entry has part of its size", 3, entryEnd + 7, RyStatus::kFieldOutOfRange, 2},
      {"third entry lacks its last byte", 3, entryEnd + 10, RyStatus::kFieldOutOfRange, 2},
      {"count itself is cut", 3, 1, RyStatus::kFieldOutOfRange, 0},
      {"answer is empty", 3, 0, RyStatus::kFieldOutOfRange, 0},
  };
  for (const auto& parseCase : cases) {
    SCOPED_TRACE(parseCase.name);
    std::vector<std::uint8_t> answer = TableAnswer(parseCase.claimedCount, 3);
    answer.resize(parseCase.answerLength);
    CRyGetLogicalTable command(kLogicalTableMaxEntries);
    EXPECT_EQ(Store(command, answer), parseCase.status);
    ExpectSampleEntries(StoredTable(command), parseCase.storedCount);
  }
}

TEST(LogicalTableParseTest, NoEntryBeyondTheTenthIsStored) {
  // The bytes of all twelve claimed entries are there, asked for by a
  // command built for twelve; the table has room for ten.
  CRyGetLogicalTable command(12);
  EXPECT_EQ(test::Exchange(command, TableAnswer(12, 12)), RyStatus::kIndexOutOfRange);
  ExpectSampleEntries(StoredTable(command), kLogicalTableMaxEntries);
}

TEST(LogicalTableParseTest, ClaimBeyondTheAnswerAskedForFails) {
  CRyGetLogicalTable command(kLogicalTableMaxEntries);
  EXPECT_EQ(test::Exchange(command, TableAnswer(11, 10)), RyStatus::kIndexOutOfRange);
  ExpectSampleEntries(StoredTable(command), kLogicalTableMaxEntries);
}

}  // namespace
