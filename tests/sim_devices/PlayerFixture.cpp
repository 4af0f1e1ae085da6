#include "tests/sim_devices/PlayerFixture.h"

#include "player/RyLogicalDriveCommands.h"
#include "player/RyLogicalMediaCommands.h"
#include "tests/sim_devices/DeviceExchange.h"
#include "tests/support/CommandExchange.h"

namespace test {

sim::PlayerConfig SmallPlayerConfig() {
  sim::PlayerConfig config;
  config.flashSizeInBytes = kFlashSize;
  config.systemSectorSize = kSystemSectorSize;
  config.dataSectorSize = kDataSectorSize;
  return config;
}

LogicalTable MakeTable(const std::vector<LogicalTableEntry>& entries) {
  LogicalTable table{};
  table.entryCount = static_cast<std::uint16_t>(entries.size());
  for (std::size_t i = 0; i < entries.size() && i < kLogicalTableMaxEntries; ++i) {
    table.entries[i] = entries[i];
  }
  return table;
}

LogicalTable StandardLayout() {
  return MakeTable({{0, kDriveTypeSystem, 0x50, 100000},
                    {0, kDriveTypeData, 0x0A, 0},
                    {0, kDriveTypeSystem, 0x01, 300000},
                    {0, kDriveTypeSystem, 0x00, 1000000},
                    {0, kDriveTypeSystem, 0x02, 2048}});
}

sim::ScsiResult PlayerTest::Allocate(const LogicalTable& table) {
  CRyAllocateLogicalMedia command(table);
  return SendTo(player, command);
}

LogicalTable PlayerTest::ReadTable(std::uint8_t maximumCount) {
  CRyGetLogicalTable command(maximumCount);
  LogicalTable table{};
  EXPECT_EQ(SendTo(player, command).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(command.GetTable(table), 0);
  return table;
}

std::uint32_t PlayerTest::SectorSizeOf(std::uint8_t drive) {
  CRyGetLogicalDriveInfo command(drive, RyVendor::kDriveInfoSectorSize);
  std::uint32_t sectorSize = 0;
  EXPECT_EQ(SendTo(player, command).scsiStatus, sim::ScsiResult::kGood);
  EXPECT_EQ(command.GetValue(sectorSize), 0);
  return sectorSize;
}

sim::ScsiResult PlayerTest::WriteSectors(std::uint8_t drive, std::uint64_t first,
                                         const std::vector<std::uint8_t>& data) {
  const std::uint32_t sectorSize = SectorSizeOf(drive);
  CRyWriteLogicalDriveSector command(drive, sectorSize, first,
                                     static_cast<std::uint32_t>(data.size() / sectorSize));
  EXPECT_EQ(command.SetPayload(*MakeByteArray(data)), 0);
  return SendTo(player, command);
}

sim::ScsiResult PlayerTest::ReadSectors(std::uint8_t drive, std::uint64_t first,
                                        std::uint32_t count, std::vector<std::uint8_t>& data) {
  CRyReadLogicalDriveSector command(drive, SectorSizeOf(drive), first, count);
  const sim::ScsiResult result = SendTo(player, command);
  if (command.GetAnswerBuffer() != nullptr) data = BytesOf(*command.GetAnswerBuffer());
  return result;
}

}  // namespace test
