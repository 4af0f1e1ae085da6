// System drives against the emulated player: attaching loads the image,
// Download writes the version records and the chunks, Verify reads them
// back.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RyStatus.h"
#include "device/RyScsiNt.h"
#include "player/RyDriveChunks.h"
#include "player/RySystemDrive.h"
#include "sim/Flash.h"
#include "tests/player_media/ImageFiles.h"
#include "tests/support/PlayerBench.h"

namespace {

constexpr std::uint8_t kUsbMsc = 2;
constexpr std::uint8_t kUsbMscTag = 0x01;
constexpr std::uint8_t kWriteSectors = 0x23;
constexpr std::uint8_t kReadSectors = 0x13;

const sim::CommandFilter kSectorWrites = sim::CommandFilter::Vendor(0xC1, kWriteSectors);
const sim::CommandFilter kSectorReads = sim::CommandFilter::Vendor(0xC0, kReadSectors);

TEST(DriveChunksTest, RequiredSizeIsCutIntoWholeSectorChunks) {
  struct Case {
    std::uint64_t requiredSize;
    std::uint32_t sectorSize;
    std::uint32_t sectorsPerChunk, fullChunks, restSectors, chunkCount;
  };
  const Case cases[] = {
      {300000, 512, 128, 4, 74, 5},                   // 586 sectors, 585.9 rounded up
      {300000, 131072, 1, 3, 0, 3},                   // a sector larger than a chunk
      {131072, 512, 128, 2, 0, 2},                    // an exact multiple: no short chunk
      {1000, 2048, 32, 0, 1, 1},                      // less than a sector
      {0, 512, 128, 0, 0, 0},                         // nothing to write
      {65536, 65537, 1, 1, 0, 1},                     // just over a chunk per sector
      {std::uint64_t{512} << 32, 1, 65536, 0, 0, 0},  // 2^41 sectors: the low 32 bits are 0
  };
  for (const Case& c : cases) {
    DriveChunks chunks;
    ASSERT_EQ(PlanDriveChunks(c.requiredSize, c.sectorSize, chunks), 0);
    EXPECT_EQ(chunks.sectorsPerChunk, c.sectorsPerChunk) << c.requiredSize << "/" << c.sectorSize;
    EXPECT_EQ(chunks.fullChunks, c.fullChunks) << c.requiredSize << "/" << c.sectorSize;
    EXPECT_EQ(chunks.restSectors, c.restSectors) << c.requiredSize << "/" << c.sectorSize;
    EXPECT_EQ(chunks.ChunkCount(), c.chunkCount) << c.requiredSize << "/" << c.sectorSize;
  }
  DriveChunks chunks;
  EXPECT_EQ(PlanDriveChunks(1000, 0, chunks), RyStatus::kArgumentOutOfRange);
}

test::PlayerBenchOptions BenchWithSectors(std::uint32_t systemSectorSize) {
  test::PlayerBenchOptions options;
  options.player.systemSectorSize = systemSectorSize;
  return options;
}

class SystemDriveTest : public ::testing::Test {
 protected:
  explicit SystemDriveTest(std::uint32_t systemSectorSize = 512)
      : bench(BenchWithSectors(systemSectorSize)) {}

  void SetUp() override { ASSERT_EQ(transport.FindPlayerDrive(), 0); }

  sim::FlashDrive& FlashDrive() {
    return *bench.player->GetFlash().FindDrive(sim::kFlashDriveTypeSystem, kUsbMscTag);
  }
  LogicalTableEntry Entry() {
    const sim::FlashDrive& drive = FlashDrive();
    return LogicalTableEntry{drive.number, drive.type, drive.tag, drive.SizeInBytes()};
  }
  // Puts the image file and attaches the drive to the player's entry.
  std::int32_t AttachWith(const std::vector<std::uint8_t>& payload) {
    test::PutImage(*bench.machine, L"C:\\usbmsc.sb",
                   mkimage::VersionedImage({1, 2, 3}, {4, 5, 6}, payload));
    drive.SetComponentNumber(kUsbMsc);
    const LogicalTableEntry entry = Entry();
    return drive.Attach(&transport, &bench.owner, &entry);
  }
  std::vector<sim::CommandRecord> SectorWrites() const { return Matching(kSectorWrites); }
  std::vector<sim::CommandRecord> Matching(const sim::CommandFilter& filter) const {
    std::vector<sim::CommandRecord> matching;
    for (const sim::CommandRecord& record : bench.player->Trace()) {
      if (filter.Matches(record) && record.scsiStatus == 0) matching.push_back(record);
    }
    return matching;
  }
  int AdvanceCount() const {
    int count = 0;
    for (const std::string& call : bench.owner.progress.calls) count += call == "Advance(1)";
    return count;
  }
  void ClearRecords() {
    bench.player->ClearTrace();
    bench.owner.progress.calls.clear();
  }

  test::PlayerBench bench;
  CRyScsi_Nt transport{&bench.owner, "CRyScsi_Nt"};
  CRySystemDrive drive{"CRySystemDrive"};
};

TEST_F(SystemDriveTest, NewDriveStandsForNoDriveOfThePlayer) {
  CRySystemDrive fresh("CRySystemDrive");
  EXPECT_EQ(fresh.GetComponentNumber(), 0);
  LogicalTableEntry required{};
  fresh.GetRequiredEntry(&required);
  for (const LogicalTableEntry& entry : {required, fresh.GetCurrentEntry()}) {
    EXPECT_EQ(entry.driveNumber, 255);
    EXPECT_EQ(entry.driveType, 1);
    EXPECT_EQ(entry.tag, 0);
    EXPECT_EQ(std::uint64_t{entry.sizeInBytes}, 0u);
  }
  // Attaching without an entry keeps "no such drive".
  fresh.SetComponentNumber(kUsbMsc);
  EXPECT_EQ(fresh.Attach(nullptr, &bench.owner, nullptr), RyStatus::kFileOpenFailed);
  EXPECT_EQ(fresh.GetCurrentEntry().driveNumber, 255);
  EXPECT_NE(fresh.GetComponent(), nullptr);  // the failed image stays attached
}

TEST_F(SystemDriveTest, AttachSizesTheRequiredEntryForTheImage) {
  drive.SetRequiredTag(kUsbMscTag);
  ASSERT_EQ(AttachWith(test::Payload(300000)), 0);
  LogicalTableEntry required{};
  drive.GetRequiredEntry(&required);
  EXPECT_EQ(std::uint64_t{required.sizeInBytes}, 300000u);  // the reserve is 0
  EXPECT_EQ(required.tag, kUsbMscTag);
  EXPECT_EQ(required.driveNumber, 255);  // untouched by Attach
  EXPECT_EQ(drive.GetCurrentEntry().driveNumber, FlashDrive().number);
  int fits = 0;
  drive.Fits(fits);
  EXPECT_EQ(fits, 1);
  required.sizeInBytes = FlashDrive().SizeInBytes() + 1;
  EXPECT_EQ(drive.FitsEntry(required), 0);
  CRyVersionInfo version("CRyVersionInfo");
  drive.GetImageProductVersion(version);
  EXPECT_EQ(version.GetRevision(), 3);
  drive.ReleaseComponent();
  EXPECT_EQ(drive.GetComponent(), nullptr);
}

TEST_F(SystemDriveTest, DownloadWritesVersionsThenChunksAndVerifyAcceptsThem) {
  const std::vector<std::uint8_t> payload = test::Payload(300000);
  ASSERT_EQ(AttachWith(payload), 0);
  ClearRecords();
  std::uint32_t chunkCount = 0;
  ASSERT_EQ(drive.Download(chunkCount), 0);
  EXPECT_EQ(chunkCount, 5u);
  const std::vector<sim::CommandRecord> trace = bench.player->Trace();
  ASSERT_GE(trace.size(), 3u);
  EXPECT_EQ(trace[0].subCommand, 0x20);
  EXPECT_EQ(trace[0].infoType, 8);
  EXPECT_EQ(trace[1].subCommand, 0x20);
  EXPECT_EQ(trace[1].infoType, 7);
  EXPECT_EQ(trace[2].subCommand, 0x12);
  const std::vector<sim::CommandRecord> writes = SectorWrites();
  const std::uint32_t expected[][2] = {{0, 128}, {128, 128}, {256, 128}, {384, 128}, {512, 74}};
  ASSERT_EQ(writes.size(), 5u);
  for (std::size_t k = 0; k < writes.size(); ++k) {
    EXPECT_EQ(writes[k].firstSector, expected[k][0]) << "chunk " << k;
    EXPECT_EQ(writes[k].sectorCount, expected[k][1]) << "chunk " << k;
  }
  EXPECT_EQ(bench.owner.progress.calls.front(), "BeginPhase(19,5)");
  EXPECT_EQ(AdvanceCount(), 5);
  EXPECT_EQ(FlashDrive().content.ReadBytes(0, payload.size()), payload);
  EXPECT_EQ(FlashDrive().productVersion, (sim::FirmwareVersion{1, 2, 3}));
  EXPECT_EQ(FlashDrive().componentVersion, (sim::FirmwareVersion{4, 5, 6}));
  CRyVersionInfo version("CRyVersionInfo");
  ASSERT_EQ(drive.GetDeviceComponentVersion(version), 0);
  EXPECT_EQ(version.GetMinor(), 5);

  ClearRecords();
  ASSERT_EQ(drive.Verify(), 0);
  EXPECT_EQ(Matching(kSectorReads).size(), 5u);
  EXPECT_EQ(Matching(sim::CommandFilter::Vendor(0xC0, 0x12)).size(), 0u);  // no new query
  EXPECT_EQ(AdvanceCount(), 5);
  for (const std::string& call : bench.owner.progress.calls) {
    EXPECT_EQ(call.rfind("BeginPhase", 0), std::string::npos) << "Verify begins no phase";
  }
}

TEST_F(SystemDriveTest, SpaceBeyondTheImageIsWrittenWithFFh) {
  ASSERT_EQ(AttachWith(test::Payload(1000)), 0);
  // As after the allocation: the player's own entry of 2,048 bytes.
  LogicalTableEntry required = Entry();
  required.sizeInBytes = 2048;
  drive.SetRequiredEntry(&required);
  FlashDrive().content.WriteBytes(0, std::vector<std::uint8_t>(4096, 0x00));
  std::uint32_t chunkCount = 0;
  ASSERT_EQ(drive.Download(chunkCount), 0);
  ASSERT_EQ(SectorWrites().size(), 1u);
  EXPECT_EQ(SectorWrites()[0].sectorCount, 4u);
  EXPECT_EQ(FlashDrive().content.ReadBytes(0, 1000), test::Payload(1000));
  EXPECT_EQ(FlashDrive().content.ReadBytes(1000, 1048), std::vector<std::uint8_t>(1048, 0xFF));
  EXPECT_EQ(FlashDrive().content.ReadBytes(2048, 16), std::vector<std::uint8_t>(16, 0x00));
  EXPECT_EQ(drive.Verify(), 0);
  // Verify expects FFh there too.
  FlashDrive().content.WriteBytes(1500, std::vector<std::uint8_t>{0xFE});
  EXPECT_EQ(drive.Verify(), RyStatus::kVerifyMismatch);
}

class SystemDriveChunkFaultTest : public SystemDriveTest {
 protected:
  void SetUp() override {
    SystemDriveTest::SetUp();
    ASSERT_EQ(AttachWith(test::Payload(300000)), 0);
  }
  static constexpr std::uint32_t kChunks = 5;
};

TEST_F(SystemDriveChunkFaultTest, DownloadFailedAtAnyChunkReturnsItsStatus) {
  for (std::uint32_t k = 1; k <= kChunks; ++k) {
    ClearRecords();
    bench.player->Faults().FailCommand(k, sim::Sense::kDataPhaseError, kSectorWrites);
    std::uint32_t chunkCount = 0;
    EXPECT_EQ(drive.Download(chunkCount), RyStatus::kScsiRequestFailed) << "chunk " << k;
    EXPECT_EQ(chunkCount, kChunks) << "told before the data";
    EXPECT_EQ(SectorWrites().size(), k - 1) << "chunk " << k;
    EXPECT_EQ(AdvanceCount(), static_cast<int>(k - 1)) << "chunk " << k;
  }
}

TEST_F(SystemDriveChunkFaultTest, DownloadFailedBeforeTheDataWritesNoSector) {
  const sim::CommandFilter steps[] = {sim::CommandFilter::Vendor(0xC1, 0x20),
                                      sim::CommandFilter::Vendor(0xC0, 0x12)};
  for (const sim::CommandFilter& step : steps) {
    for (std::uint32_t nth = 1; nth <= (step.subCommand == 0x20 ? 2u : 1u); ++nth) {
      ClearRecords();
      bench.player->Faults().FailCommand(nth, sim::Sense::kDataPhaseError, step);
      std::uint32_t chunkCount = 0;
      EXPECT_EQ(drive.Download(chunkCount), RyStatus::kScsiRequestFailed);
      EXPECT_TRUE(SectorWrites().empty());
      EXPECT_TRUE(bench.owner.progress.calls.empty());
    }
  }
}

TEST_F(SystemDriveChunkFaultTest, VerifyFailedAtAnyChunkReturnsItsStatus) {
  std::uint32_t chunkCount = 0;
  ASSERT_EQ(drive.Download(chunkCount), 0);
  for (std::uint32_t k = 1; k <= kChunks; ++k) {
    ClearRecords();
    bench.player->Faults().FailCommand(k, sim::Sense::kDataPhaseError, kSectorReads);
    EXPECT_EQ(drive.Verify(), RyStatus::kScsiRequestFailed) << "chunk " << k;
    EXPECT_EQ(AdvanceCount(), static_cast<int>(k - 1)) << "chunk " << k;
  }
}

TEST_F(SystemDriveChunkFaultTest, FlippedByteInAnyChunkGivesMismatch) {
  std::uint32_t chunkCount = 0;
  ASSERT_EQ(drive.Download(chunkCount), 0);
  for (std::uint32_t k = 1; k <= kChunks; ++k) {
    ClearRecords();
    bench.player->Faults().CorruptRead(k, 4321);
    EXPECT_EQ(drive.Verify(), RyStatus::kVerifyMismatch) << "chunk " << k;
    EXPECT_EQ(AdvanceCount(), static_cast<int>(k - 1)) << "chunk " << k;
  }
  EXPECT_EQ(drive.Verify(), 0);
}

class LargeSectorDriveTest : public SystemDriveTest {
 protected:
  LargeSectorDriveTest() : SystemDriveTest(131072) {}
};

TEST_F(LargeSectorDriveTest, SectorLargerThanAChunkIsWrittenOneAtATime) {
  ASSERT_EQ(AttachWith(test::Payload(300000)), 0);
  std::uint32_t chunkCount = 0;
  ASSERT_EQ(drive.Download(chunkCount), 0);
  EXPECT_EQ(chunkCount, 3u);
  for (const sim::CommandRecord& write : SectorWrites()) EXPECT_EQ(write.sectorCount, 1u);
  EXPECT_EQ(drive.Verify(), 0);
}

TEST_F(SystemDriveTest, SectorSizeZeroIsRefusedBeforeAnySectorIsWritten) {
  ASSERT_EQ(AttachWith(test::Payload(1000)), 0);
  // A drive that reports sectors of 0 bytes.
  sim::FlashDrive& flashDrive = FlashDrive();
  flashDrive.content = sim::SparseBlockStore(0, 0, sim::kErasedFlashByte);
  std::uint32_t chunkCount = 77;
  EXPECT_EQ(drive.Download(chunkCount), RyStatus::kArgumentOutOfRange);
  EXPECT_EQ(chunkCount, 77u);
  EXPECT_TRUE(SectorWrites().empty());
  EXPECT_EQ(drive.Verify(), RyStatus::kArgumentOutOfRange);
  EXPECT_TRUE(Matching(kSectorReads).empty());
}

TEST_F(SystemDriveTest, VerifyBeforeAnyDownloadIsRefused) {
  ASSERT_EQ(AttachWith(test::Payload(1000)), 0);
  EXPECT_EQ(drive.Verify(), RyStatus::kArgumentOutOfRange);
}

}  // namespace
