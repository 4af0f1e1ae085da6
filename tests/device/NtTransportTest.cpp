// The pass-through transport against the emulated player on a simulated
// Windows XP machine.

#include <gtest/gtest.h>

#include <vector>

#include "core/RyStatus.h"
#include "device/RyReadCapacity.h"
#include "device/RyReadWrite.h"
#include "device/RyScsiInquiry.h"
#include "device/RyScsiNt.h"
#include "player/RyChipCommands.h"
#include "player/RyLogicalDriveCommands.h"
#include "player/RyLogicalMediaCommands.h"
#include "sim/PlayerSenseCodes.h"
#include "tests/support/CommandExchange.h"
#include "tests/support/PlayerBench.h"

namespace {

class NtTransportTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(transport.FindPlayerDrive(), 0); }

  const CRyErrorRecord& Record() { return bench.owner.errorRecord; }
  sim::SparseBlockStore& DataDrive() { return *bench.player->GetMedium(); }

  test::PlayerBench bench;
  CRyScsi_Nt transport{&bench.owner, "CRyScsi_Nt"};
};

TEST_F(NtTransportTest, StandardCommandsTravelByPassThrough) {
  CRyScsiInquiry inquiry;
  ASSERT_EQ(transport.SendCommand(inquiry), 0);
  std::uint8_t answer[96] = {};
  ASSERT_EQ(inquiry.CopyAnswer(answer), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(answer) + 8, 24), "norvik  K520            ");
  EXPECT_EQ(answer[60], 0);  // the device sent 36 bytes; the rest is zero

  CRyReadCapacity capacity;
  ASSERT_EQ(transport.SendCommand(capacity), 0);
  std::uint32_t values[2] = {};
  ASSERT_EQ(capacity.GetCapacity(values), 0);
  EXPECT_EQ(std::uint64_t{values[0]} + 1, DataDrive().BlockCount());
  EXPECT_EQ(values[1], 512u);

  CRyWrite write(7, 2, 512);
  ASSERT_EQ(write.SetPayload(*test::MakeByteArray(std::vector<std::uint8_t>(1024, 0x3C))), 0);
  ASSERT_EQ(transport.SendCommand(write), 0);
  EXPECT_EQ(DataDrive().ReadBytes(7 * 512, 1024), std::vector<std::uint8_t>(1024, 0x3C));

  CRyRead read(7, 2, 512);
  ASSERT_EQ(transport.SendCommand(read), 0);
  CRyByteArray data(1024, "CRyByteArray");
  read.CopyData(data);
  EXPECT_EQ(test::BytesOf(data), std::vector<std::uint8_t>(1024, 0x3C));
}

TEST_F(NtTransportTest, VendorCommandsReachTheFlash) {
  CRyGetLogicalTable table(10);
  ASSERT_EQ(transport.SendCommand(table), 0);
  LogicalTable parsed{};
  ASSERT_EQ(table.GetTable(parsed), 0);
  EXPECT_EQ(parsed.entryCount, 5);

  CRyGetLogicalDriveInfo sectorSize(0, 0);
  ASSERT_EQ(transport.SendCommand(sectorSize), 0);
  std::uint32_t size = 0;
  ASSERT_EQ(sectorSize.GetValue(size), 0);
  EXPECT_EQ(size, 2048u);
}

TEST_F(NtTransportTest, SectorsMoveByFileIoAtTheirFullPosition) {
  ASSERT_EQ(transport.Open(), 0);
  bench.player->ClearTrace();
  CRyByteArray out(1024, "CRyByteArray");
  for (std::uint32_t i = 0; i < 1024; ++i) out.SetAt(i, static_cast<std::uint8_t>(i * 7));
  ASSERT_EQ(transport.WriteSectors(out, 2, 100, 512), 0);
  EXPECT_EQ(DataDrive().ReadBytes(51200, 1024), test::BytesOf(out));

  CRyByteArray in(1024, "CRyByteArray");
  ASSERT_EQ(transport.ReadSectors(in, 2, 100, 512), 0);
  EXPECT_EQ(in.IsEqual(out), 1);

  // File I/O, never READ(10)/WRITE(10) commands.
  const std::vector<sim::CommandRecord> trace = bench.player->Trace();
  ASSERT_EQ(trace.size(), 2u);
  EXPECT_EQ(trace[0].source, sim::CommandSource::kFileWrite);
  EXPECT_EQ(trace[1].source, sim::CommandSource::kFileRead);
}

TEST_F(NtTransportTest, CheckConditionBecomesRecordedSenseText) {
  struct Case {
    const char* what;
    sim::SenseData sense;
    std::wstring textStart;
  };
  bench.owner.resource.texts[621] = L"Unknown player error";
  bench.owner.resource.texts[256] = L"The drive does not exist";
  bench.owner.resource.senseCodes[sim::PlayerSense::kDriveNotFound] = 256;
  const Case cases[] = {
      {"standard sense", sim::Sense::kInvalidOperationCode, L"0x70, 0x0, 0x5, 0x0"},
      {"known vendor code", sim::SenseData::Vendor(sim::PlayerSense::kDriveNotFound),
       L"The drive does not exist"},
      {"unknown vendor code", sim::SenseData::Vendor(0x1234),
       L"Unknown player error\r\n0x70, 0x0, 0x9, 0x0"},
  };
  for (const Case& c : cases) {
    bench.player->Faults().FailCommand(1, c.sense);
    CRyGetLogicalDriveInfo sectorSize(0, 0);
    EXPECT_EQ(transport.SendCommand(sectorSize), RyStatus::kScsiRequestFailed) << c.what;
    std::uint32_t untouched = 0;
    EXPECT_NE(sectorSize.GetValue(untouched), 0) << c.what;
    EXPECT_EQ(Record().GetStatus(), RyStatus::kScsiRequestFailed);
    EXPECT_EQ(Record().GetSystemError(), 0);
    EXPECT_EQ(Record().GetClassName(), "CRyScsi_Nt");
    EXPECT_EQ(Record().GetText().rfind(c.textStart, 0), 0u)
        << c.what << ": " << std::string(Record().GetText().begin(), Record().GetText().end());
    EXPECT_EQ(transport.GetStatus(), 0);
    EXPECT_EQ(transport.GetSystemError(), 0u);
  }
}

TEST_F(NtTransportTest, DeviceThatVanishesFailsTheIoControl) {
  ASSERT_EQ(transport.Open(), 0);
  bench.player->SetPresent(false);
  CRyGetChipMajorRevId chip;
  EXPECT_EQ(transport.SendCommand(chip), RyStatus::kDiskControlFailed);
  EXPECT_EQ(Record().GetStatus(), RyStatus::kDiskControlFailed);
  EXPECT_EQ(Record().GetSystemError(), static_cast<std::int32_t>(ERROR_DEVICE_NOT_CONNECTED));
  EXPECT_EQ(transport.GetStatus(), 0);
  // Unplugged, the volume is gone: a fresh open fails.
  transport.Close();
  EXPECT_EQ(transport.Open(), RyStatus::kDeviceOpenFailed);
}

TEST_F(NtTransportTest, LockFailsAfterTenAttemptsWhileTheVolumeIsBusy) {
  ASSERT_EQ(transport.Open(), 0);
  HANDLE other = os::CreateFileW(L"\\\\.\\E:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  const DWORD before = os::GetTickCount();
  EXPECT_EQ(transport.LockVolume(0), RyStatus::kLockFailed);
  EXPECT_EQ(os::GetTickCount() - before, 1000u);  // ten attempts, 100 ms apart
  EXPECT_EQ(Record().GetStatus(), 0) << "nothing recorded";
  os::CloseHandle(other);

  EXPECT_EQ(transport.LockVolume(0), 0);
  EXPECT_TRUE(bench.machine->IsVolumeLocked(L'E'));
  EXPECT_EQ(transport.DismountVolume(), 0);
  EXPECT_EQ(transport.UnlockVolume(0), 0);
  EXPECT_FALSE(bench.machine->IsVolumeLocked(L'E'));
  EXPECT_EQ(transport.UnlockVolume(0), RyStatus::kUnlockFailed);
  EXPECT_EQ(transport.LockForFormat(1), 0);
  EXPECT_FALSE(bench.machine->IsVolumeLocked(L'E')) << "NT locks nothing for the format";
}

TEST_F(NtTransportTest, PartitionTableOnThePhysicalDrive) {
  ASSERT_EQ(transport.FindPhysicalDrive(), 0);
  DiskGeometry geometry{};
  ASSERT_EQ(transport.GetDriveGeometry(geometry), 0);
  EXPECT_EQ(geometry.BytesPerSector, 512u);
  ASSERT_EQ(transport.SetDriveLayout(geometry, 63), 0);

  DriveLayout layout{};
  ASSERT_EQ(transport.GetDriveLayout(layout), 0);
  const PARTITION_INFORMATION first = layout.PartitionEntry[0];
  EXPECT_EQ(first.StartingOffset.QuadPart, 63 * 512);
  EXPECT_EQ(first.PartitionType, 6);
  EXPECT_EQ(first.HiddenSectors, 63u);
  EXPECT_EQ(
      first.PartitionLength.QuadPart,
      geometry.Cylinders.QuadPart * geometry.TracksPerCylinder * geometry.SectorsPerTrack * 512 -
          63 * 512);
  const std::vector<std::uint8_t> bootSector = DataDrive().ReadBytes(0, 512);
  EXPECT_EQ(bootSector[510], 0x55);
  EXPECT_EQ(bootSector[511], 0xAA);
  EXPECT_EQ(transport.Close(), 0);

  // The volume now starts at the partition.
  CRyScsi_Nt volume(&bench.owner, "CRyScsi_Nt");
  ASSERT_EQ(volume.FindPlayerDrive(), 0);
  CRyByteArray sector(512, "CRyByteArray");
  sector.SetAt(0, 0xEB);
  ASSERT_EQ(volume.Open(), 0);
  ASSERT_EQ(volume.WriteSectors(sector, 1, 0, 512), 0);
  EXPECT_EQ(DataDrive().ReadBytes(63 * 512, 1)[0], 0xEB);
}

TEST_F(NtTransportTest, GeometryOfAClosedHandleFailsRecorded) {
  DiskGeometry geometry{};
  EXPECT_EQ(transport.GetDriveGeometry(geometry), RyStatus::kDiskControlFailed);
  EXPECT_EQ(Record().GetStatus(), RyStatus::kDiskControlFailed);
  EXPECT_EQ(Record().GetSystemError(), static_cast<std::int32_t>(ERROR_INVALID_HANDLE));
}

TEST_F(NtTransportTest, ShortDataArrayIsRefusedBeforeAnyIo) {
  ASSERT_EQ(transport.Open(), 0);
  CRyByteArray tooShort(511, "CRyByteArray");
  EXPECT_EQ(transport.ReadSectors(tooShort, 1, 0, 512), RyStatus::kReadSectorsFailed);
  EXPECT_EQ(transport.WriteSectors(tooShort, 1, 0, 512), RyStatus::kWriteSectorsFailed);
}

// A data drive beyond 4 GiB: byte positions need all 64 bits.
TEST(NtTransportLargeDrive, SectorsBeyondFourGibLandWhereAddressed) {
  test::PlayerBenchOptions options;
  options.player.flashSizeInBytes = std::uint64_t{6} << 30;
  test::PlayerBench bench(options);
  CRyScsi_Nt transport(&bench.owner, "CRyScsi_Nt");
  ASSERT_EQ(transport.FindPlayerDrive(), 0);
  const std::uint32_t sector = 9000000;  // 4.6 GB into the drive
  CRyByteArray data(512, "CRyByteArray");
  data.SetAt(0, 0x99);
  ASSERT_EQ(transport.Open(), 0);
  ASSERT_EQ(transport.WriteSectors(data, 1, sector, 512), 0);
  sim::SparseBlockStore& drive = *bench.player->GetMedium();
  EXPECT_EQ(drive.ReadBytes(std::uint64_t{sector} * 512, 1)[0], 0x99);
  const std::uint64_t wrapped = (std::uint64_t{sector} * 512) & 0xFFFFFFFF;
  EXPECT_NE(drive.ReadBytes(wrapped, 1)[0], 0x99);
  CRyByteArray back(512, "CRyByteArray");
  ASSERT_EQ(transport.ReadSectors(back, 1, sector, 512), 0);
  EXPECT_EQ(back.IsEqual(data), 1);
}

TEST(NtTransportOpen, NoLetterNoVolume) {
  test::PlayerBench bench;
  CRyScsi_Nt transport(&bench.owner, "CRyScsi_Nt");
  EXPECT_EQ(transport.Open(), RyStatus::kDeviceOpenFailed);
  CRyGetChipMajorRevId chip;
  EXPECT_EQ(transport.SendCommand(chip), RyStatus::kDeviceOpenFailed);
  EXPECT_EQ(bench.owner.errorRecord.GetStatus(), 0) << "an open failure is not recorded";
}

}  // namespace
