#pragma once
// The player's table of logical drives as ombra keeps it in memory: the
// records of the player's answer, sizes turned into host order.

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t kLogicalTableMaxEntries = 10;
// One record: drive number, drive type, tag, 64-bit size; the same 11 bytes
// on the wire (size big-endian there) and in memory.
inline constexpr std::uint32_t kLogicalTableEntrySize = 11;
// The 16-bit entry count in front of the records.
inline constexpr std::uint32_t kLogicalTableHeaderSize = 2;

inline constexpr std::uint8_t kDriveTypeData = 0;
inline constexpr std::uint8_t kDriveTypeSystem = 1;

// Packed: copy a field out before binding a reference to it.
#pragma pack(push, 1)

struct LogicalTableEntry {
  std::uint8_t driveNumber;
  std::uint8_t driveType;
  std::uint8_t tag;
  std::uint64_t sizeInBytes;
};

struct LogicalTable {
  std::uint16_t entryCount;
  LogicalTableEntry entries[kLogicalTableMaxEntries];
};

#pragma pack(pop)

static_assert(sizeof(LogicalTableEntry) == kLogicalTableEntrySize, "records are packed");
static_assert(offsetof(LogicalTableEntry, driveType) == 1, "records are packed");
static_assert(offsetof(LogicalTableEntry, tag) == 2, "records are packed");
static_assert(offsetof(LogicalTableEntry, sizeInBytes) == 3, "records are packed");
static_assert(offsetof(LogicalTable, entries) == kLogicalTableHeaderSize, "table is packed");
static_assert(sizeof(LogicalTable) ==
                  kLogicalTableHeaderSize + kLogicalTableMaxEntries * kLogicalTableEntrySize,
              "table is packed");
