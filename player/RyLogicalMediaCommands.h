#pragma once
// Vendor commands on the whole logical medium: its information, its table
// of logical drives, and cutting it anew.

#include <cstdint>

#include "player/RyLogicalTable.h"
#include "player/RyVendorCommand.h"

// C0h 02h: one piece of media information; its length depends on the type.
class CRyGetLogicalMediaInfo : public CRyVendorCommand {
 public:
  // length is used for type 8 only. Types 2 to 4 and above 9: status -8.
  explicit CRyGetLogicalMediaInfo(std::uint32_t infoType, std::uint32_t length = 0);
  std::int32_t BuildCdb() override;

  // Type 9 only; -8 for an object of another type.
  std::int32_t GetFlag(int& flag) const;

 private:
  std::uint32_t infoType;
};

// C0h 05h: the logical table, parsed when the answer is stored.
class CRyGetLogicalTable : public CRyVendorCommand {
 public:
  explicit CRyGetLogicalTable(std::uint8_t maximumEntryCount = kLogicalTableMaxEntries);
  std::int32_t BuildCdb() override;
  // Stores the answer and parses it: -2 when an entry starts beyond the
  // bytes received or beyond the tenth, -3 when it is cut short; the entries
  // before it stay in the table, and the table's count says how many.
  std::int32_t StoreAnswer(const CRyByteArray& data) override;

  // -3 before an answer was stored.
  std::int32_t GetTable(LogicalTable& out) const;

 private:
  std::int32_t ParseTable(const CRyByteArray& answer);
  static std::int32_t ReadEntry(const CRyByteArray& answer, std::uint32_t offset,
                                LogicalTableEntry& out);

  std::uint8_t maximumEntryCount;
  LogicalTable table{};
};

// C1h 06h: cuts the medium into the drives of table. The player numbers the
// drives itself, so drive numbers are not sent. More than ten entries:
// status -9.
class CRyAllocateLogicalMedia : public CRyVendorCommand {
 public:
  explicit CRyAllocateLogicalMedia(const LogicalTable& table);
  std::int32_t BuildCdb() override;

 private:
  LogicalTable table;
};

// C1h 07h: erases the whole medium.
class CRyEraseLogicalMedia : public CRyVendorCommand {
 public:
  CRyEraseLogicalMedia();
};
