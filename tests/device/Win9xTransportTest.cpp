// The ASPI transport against the emulated player on a simulated Windows 98
// machine: construction, request blocks, completion, sense, vwin32 calls.

#include <gtest/gtest.h>

#include <vector>

#include "core/RyStatus.h"
#include "device/RyReadCapacity.h"
#include "device/RyScsi9x.h"
#include "device/RyScsiInquiry.h"
#include "player/RyChipCommands.h"
#include "sim/ModuleTable.h"
#include "tests/support/CommandExchange.h"
#include "tests/support/Win98Bench.h"

namespace {

class Win9xTransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bench.AttachPlayerAdapter(0x81);
    sim::Vwin32Drive player;
    player.int13Unit = 0x81;
    player.parameters.cylinders = 1000;
    player.parameters.mediaType = 0xF8;
    player.parameters.bytesPerSector = 512;
    player.parameters.sectorsPerTrack = 63;
    player.parameters.heads = 16;
    bench.Vwin32().AddDrive(L'E', player);
    bench.machine->AddDriveLetter(L'E', DRIVE_REMOVABLE);
    transport = std::make_unique<CRyScsi_9x>(&bench.owner, "CRyScsi_9x");
    ASSERT_EQ(transport->GetStatus(), 0);
    ASSERT_EQ(transport->FindPlayerDrive(), 0);
    bench.Aspi().ClearRequests();
    bench.Vwin32().ClearCalls();
    // The empty IDE adapter's INQUIRY failure was recorded during discovery.
    bench.owner.errorRecord = CRyErrorRecord();
  }

  const sim::AspiRequestRecord& LastRequest() {
    requests = bench.Aspi().Requests();
    return requests.back();
  }

  test::Win98Bench bench;
  std::unique_ptr<CRyScsi_9x> transport;
  std::vector<sim::AspiRequestRecord> requests;
};

TEST_F(Win9xTransportTest, FoundThroughTheInt13Unit) {
  EXPECT_EQ(transport->GetDriveLetter(), L'E');
  EXPECT_EQ(transport->GetHostAdapterId(), bench.playerAdapter);
}

TEST_F(Win9xTransportTest, StandardCommandsTravelThroughAspi) {
  CRyScsiInquiry inquiry;
  ASSERT_EQ(transport->SendCommand(inquiry), 0);
  std::uint8_t identity[96] = {};
  ASSERT_EQ(inquiry.CopyAnswer(identity), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(identity) + 8, 24), "norvik  K520            ");
  EXPECT_EQ(LastRequest().bufferLength, 96u);
  EXPECT_EQ(LastRequest().cdb, (std::vector<std::uint8_t>{0x12, 0, 0, 0, 0x60, 0}));

  CRyReadCapacity capacity;
  ASSERT_EQ(transport->SendCommand(capacity), 0);
  std::uint32_t values[2] = {};
  ASSERT_EQ(capacity.GetCapacity(values), 0);
  EXPECT_EQ(std::uint64_t{values[0]} + 1, bench.player->GetMedium()->BlockCount());
  EXPECT_EQ(values[1], 512u);
  EXPECT_EQ(LastRequest().flags, 0x48);
}

TEST_F(Win9xTransportTest, ReadAndWriteRequestBlocks) {
  CRyByteArray data(4096, "CRyByteArray");
  ASSERT_EQ(transport->ReadSectors(data, 8, 0, 512), 0);
  const sim::AspiRequestRecord read = LastRequest();
  EXPECT_EQ(read.command, aspi::SC_EXEC_SCSI_CMD);
  EXPECT_EQ(read.flags, 0x48);
  EXPECT_EQ(read.bufferLength, 4096u);
  EXPECT_EQ(read.cdb.size(), 10u);
  EXPECT_EQ(read.senseLength, 14);
  EXPECT_EQ(read.target, 0);
  EXPECT_EQ(read.lun, 0);
  EXPECT_EQ(read.hostAdapter, bench.playerAdapter);

  CRyByteArray payload(512, "CRyByteArray");
  payload.SetAt(0, 0x6B);
  ASSERT_EQ(transport->WriteSectors(payload, 1, 3, 512), 0);
  const sim::AspiRequestRecord write = LastRequest();
  EXPECT_EQ(write.flags, 0x50);
  ASSERT_EQ(write.dataOut.size(), 512u);
  EXPECT_EQ(write.dataOut[0], 0x6B);
  EXPECT_EQ(bench.player->GetMedium()->ReadBytes(3 * 512, 1)[0], 0x6B);

  CRyByteArray back(512, "CRyByteArray");
  ASSERT_EQ(transport->ReadSectors(back, 1, 3, 512), 0);
  EXPECT_EQ(back.IsEqual(payload), 1);
}

TEST_F(Win9xTransportTest, FailedRequestRecordsTheSrbStatusAndSense) {
  bench.player->Faults().FailCommand(1, sim::Sense::kInvalidOperationCode);
  CRyGetChipMajorRevId chip;
  EXPECT_EQ(transport->SendCommand(chip), RyStatus::kScsiRequestFailed);
  const CRyErrorRecord& record = bench.owner.errorRecord;
  EXPECT_EQ(record.GetStatus(), RyStatus::kScsiRequestFailed);
  EXPECT_EQ(record.GetSystemError(), aspi::SS_ERR);
  EXPECT_EQ(record.GetClassName(), "CRyScsi_9x");
  EXPECT_EQ(record.GetText(),
            L"0x70, 0x0, 0x5, 0x0, 0x0, 0x0, 0x0, 0xa, 0x0, 0x0, 0x0, 0x0, 0x20, 0x0");
  EXPECT_EQ(transport->GetStatus(), 0);
  EXPECT_EQ(transport->GetSystemError(), 0u);
}

// Releases held ASPI requests only from inside the shell's keep-alive call,
// which proves that the transport polls instead of blocking.
class ReleasingProgress : public test::RecordingProgress {
 public:
  explicit ReleasingProgress(sim::AspiLayer& aspi) : aspi(aspi) {}
  int Advance(int steps) override {
    if (steps == 0 && ++polls % 3 == 0) aspi.CompleteHeldRequests();
    return RecordingProgress::Advance(steps);
  }
  sim::AspiLayer& aspi;
  int polls = 0;
};

TEST_F(Win9xTransportTest, PendingRequestIsPolledWhileTheShellStaysAlive) {
  bench.Aspi().SetCompletion(sim::AspiCompletion::kHeld);
  ReleasingProgress progress(bench.Aspi());
  struct Owner : test::TestDeviceOwner {
    CRyProgress* shell = nullptr;
    CRyProgress* GetProgress() override { return shell; }
  } owner;
  owner.shell = &progress;
  CRyScsi_9x polled(&owner, "CRyScsi_9x");
  ASSERT_EQ(polled.GetStatus(), 0);
  ASSERT_EQ(polled.FindPlayerDrive(), 0);
  CRyGetChipMajorRevId chip;
  ASSERT_EQ(polled.SendCommand(chip), 0);
  std::uint16_t revision = 0;
  EXPECT_EQ(chip.GetChipMajorRevision(revision), 0);
  EXPECT_EQ(revision, bench.player->GetConfig().chipMajorRevision);
  EXPECT_GE(progress.polls, 3);
  EXPECT_TRUE(progress.calls.empty()) << "keep-alive moves no bar";
}

TEST_F(Win9xTransportTest, RequestCompletedAtOnceIsASuccess) {
  bench.Aspi().SetCompletion(sim::AspiCompletion::kImmediate);
  CRyGetChipMajorRevId chip;
  EXPECT_EQ(transport->SendCommand(chip), 0);
  EXPECT_EQ(LastRequest().returned, aspi::SS_COMP);
  EXPECT_EQ(bench.owner.errorRecord.GetStatus(), 0);
}

TEST_F(Win9xTransportTest, VolumeCallsCarryTheDosRegisters) {
  bench.Vwin32().SetFat32CategorySupported(false);
  ASSERT_EQ(transport->Open(), 0);
  EXPECT_EQ(transport->LockVolume(0), 0);
  EXPECT_EQ(transport->UnlockVolume(0), 0);
  transport->LockForFormat(1);
  EXPECT_EQ(transport->Close(), 0);
  const std::vector<sim::Vwin32Call> calls = bench.Vwin32().Calls();
  struct Expected {
    DWORD ecx, ebx, edx;
  };
  const Expected expected[] = {
      {0x484A, 5, 0}, {0x084A, 5, 0},  // lock: FAT32 form refused, then the old one
      {0x486A, 5, 0}, {0x086A, 5, 0},  // unlock
      {0x484B, 5, 4},                  // physical lock for formatting
  };
  ASSERT_GE(calls.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(calls[i].in.reg_EAX, 0x440Du) << i;
    EXPECT_EQ(calls[i].in.reg_ECX, expected[i].ecx) << i;
    EXPECT_EQ(calls[i].in.reg_EBX, expected[i].ebx) << i;
    EXPECT_EQ(calls[i].in.reg_EDX, expected[i].edx) << i;
  }
}

TEST_F(Win9xTransportTest, LockRefusedInBothCategories) {
  sim::Vwin32Drive busy;
  busy.refusesLock = true;
  bench.Vwin32().AddDrive(L'E', busy);
  ASSERT_EQ(transport->Open(), 0);
  EXPECT_EQ(transport->LockVolume(0), RyStatus::kLockFailed);
  EXPECT_EQ(bench.Vwin32().Calls().size(), 2u);
  EXPECT_EQ(bench.owner.errorRecord.GetStatus(), 0) << "nothing recorded";
}

TEST_F(Win9xTransportTest, GeometryFromTheDeviceParameters) {
  ASSERT_EQ(transport->Open(), 0);
  DiskGeometry geometry{};
  ASSERT_EQ(transport->GetDriveGeometry(geometry), 0);
  EXPECT_EQ(geometry.Cylinders.QuadPart, 1000);
  EXPECT_EQ(geometry.TracksPerCylinder, 16u);
  EXPECT_EQ(geometry.SectorsPerTrack, 63u);
  EXPECT_EQ(geometry.BytesPerSector, 512u);
  DWORD media = 0;
  std::memcpy(&media, &geometry.MediaType, sizeof media);
  EXPECT_EQ(media, 0xF8u);
  EXPECT_EQ(bench.Vwin32().Calls().back().in.reg_ECX, 0x0860u);
  transport->Close();
}

TEST_F(Win9xTransportTest, GeometryWithoutVwin32FailsRecorded) {
  DiskGeometry geometry{};
  EXPECT_EQ(transport->GetDriveGeometry(geometry), RyStatus::kDiskControlFailed);
  EXPECT_EQ(bench.owner.errorRecord.GetStatus(), RyStatus::kDiskControlFailed);
}

TEST(Win9xConstruction, AspiLibraryStates) {
  struct Case {
    const char* what;
    int setup;  // 0 absent, 1 entry missing, 2 not ready, 3 fine
    std::int32_t status;
  };
  const Case cases[] = {{"library absent", 0, RyStatus::kAspiLoadFailed},
                        {"entry point missing", 1, RyStatus::kAspiEntryPointMissing},
                        {"not ready", 2, RyStatus::kAspiNotReady},
                        {"ready", 3, 0}};
  for (const Case& c : cases) {
    sim::ScopedMachine machine;
    machine->SetWindowsVersion(sim::WindowsVersion::Windows98());
    sim::AspiLayer& aspi = sim::AspiLayer::Of(*machine);
    aspi.AddHostAdapter(nullptr, 0x80);
    if (c.setup == 1) {
      sim::ModuleImage image = sim::AspiLayer::LibraryImage();
      image.exports.erase("SendASPI32Command");
      sim::ModuleTable::Of(*machine).Install(image);
    } else if (c.setup >= 2) {
      aspi.InstallLibrary();
      if (c.setup == 2) aspi.SetSupportStatus(0x00);
    }
    test::TestDeviceOwner owner;
    CRyScsi_9x transport(&owner, "CRyScsi_9x");
    EXPECT_EQ(transport.GetStatus(), c.status) << c.what;
    if (c.setup == 0) {
      EXPECT_EQ(transport.FindPlayerDrive(), RyStatus::kAspiNotReady) << c.what;
      CRyGetChipMajorRevId chip;
      EXPECT_EQ(transport.SendCommand(chip), RyStatus::kAspiNotReady) << c.what;
    }
  }
}

}  // namespace
