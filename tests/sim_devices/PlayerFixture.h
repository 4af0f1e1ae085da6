#pragma once
// An emulated player of 4 MiB flash (system sectors 2048 bytes, data
// sectors 512) with helpers that talk to it through ombra's command objects.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "player/RyLogicalTable.h"
#include "sim/EmulatedPlayer.h"
#include "sim/ScsiSense.h"

namespace test {

inline constexpr std::uint64_t kFlashSize = std::uint64_t{4} << 20;
inline constexpr std::uint32_t kSystemSectorSize = 2048;
inline constexpr std::uint32_t kDataSectorSize = 512;

sim::PlayerConfig SmallPlayerConfig();

LogicalTable MakeTable(const std::vector<LogicalTableEntry>& entries);

// ombra's layout: boot manager, data drive (the rest), three system drives.
LogicalTable StandardLayout();

class PlayerTest : public ::testing::Test {
 protected:
  PlayerTest() : player(SmallPlayerConfig()) {}

  sim::ScsiResult Allocate(const LogicalTable& table);
  // The table as ombra parses it; fails the test when it cannot be read.
  LogicalTable ReadTable(std::uint8_t maximumCount = kLogicalTableMaxEntries);
  sim::ScsiResult WriteSectors(std::uint8_t drive, std::uint64_t first,
                               const std::vector<std::uint8_t>& data);
  sim::ScsiResult ReadSectors(std::uint8_t drive, std::uint64_t first, std::uint32_t count,
                              std::vector<std::uint8_t>& data);
  std::uint32_t SectorSizeOf(std::uint8_t drive);

  sim::EmulatedPlayer player;
};

}  // namespace test
