// The simulated ASPI layer as WNASPI32.DLL's callers meet it: support
// information, host adapter and disk queries, and SCSI requests that
// complete later and signal their event.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "os/Os.h"
#include "sim/AspiLayer.h"
#include "sim/Machine.h"

namespace {

// A disk that answers every request with the same result and keeps what
// it was sent.
class ScriptedDisk : public sim::StorageDevice {
 public:
  bool IsPresent() const override { return present; }
  sim::ScsiResult ExecuteScsi(const sim::ScsiRequest& request) override {
    requests.push_back(request);
    return result;
  }
  std::uint32_t GetBlockSize() const override { return 512; }
  std::uint64_t GetBlockCount() const override { return 0; }
  bool ReadBlocks(std::uint64_t, std::uint32_t, std::uint8_t*) override { return false; }
  bool WriteBlocks(std::uint64_t, std::uint32_t, const std::uint8_t*) override { return false; }

  bool present = true;
  sim::ScsiResult result;
  std::vector<sim::ScsiRequest> requests;
};

const std::uint8_t kRead10[10] = {0x28, 0, 0, 0, 0, 0x10, 0, 0, 8, 0};

class AspiLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine->SetWindowsVersion(sim::WindowsVersion::Windows98());
    disk = std::make_shared<ScriptedDisk>();
    Aspi().AddHostAdapter(disk, 0x00);
  }
  sim::AspiLayer& Aspi() { return sim::AspiLayer::Of(*machine); }

  // A request as the transport builds it: event notification, 14 sense bytes.
  aspi::SRB_ExecSCSICmd Request(BYTE direction, std::vector<std::uint8_t>& buffer) {
    aspi::SRB_ExecSCSICmd srb;
    std::memset(&srb, 0, sizeof srb);
    srb.SRB_Cmd = aspi::SC_EXEC_SCSI_CMD;
    srb.SRB_Flags = direction | aspi::SRB_EVENT_NOTIFY;
    srb.SRB_BufLen = static_cast<DWORD>(buffer.size());
    srb.SRB_BufPointer = buffer.data();
    srb.SRB_SenseLen = aspi::kSenseLength;
    srb.SRB_CDBLen = sizeof kRead10;
    std::memcpy(srb.CDBByte, kRead10, sizeof kRead10);
    srb.SRB_PostProc = event;
    return srb;
  }
  // Sends the block and, when it pends, polls its event as the transport does.
  DWORD SendAndPoll(aspi::SRB_ExecSCSICmd& srb) {
    const DWORD sent = Aspi().SendCommand(&srb);
    if (sent != aspi::SS_PENDING) return sent;
    while (os::WaitForSingleObjectEx(event, 0, FALSE) == WAIT_TIMEOUT) {
    }
    return srb.SRB_Status;
  }
  void TearDown() override { os::CloseHandle(event); }

  sim::ScopedMachine machine;
  std::shared_ptr<ScriptedDisk> disk;
  HANDLE event = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

template <typename Function>
Function EntryPoint(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(os::GetProcAddress(library, name)));
}

TEST_F(AspiLayerTest, LibraryEntryPointsReachTheLayer) {
  Aspi().InstallLibrary();
  HMODULE library = os::LoadLibraryW(L"WNASPI32.DLL");
  ASSERT_NE(library, nullptr);
  auto support = EntryPoint<aspi::GetASPI32SupportInfoFn>(library, "GetASPI32SupportInfo");
  auto send = EntryPoint<aspi::SendASPI32CommandFn>(library, "SendASPI32Command");
  ASSERT_NE(support, nullptr);
  ASSERT_NE(send, nullptr);
  EXPECT_EQ(support(), 0x0101u);
  aspi::SRB_HAInquiry inquiry;
  std::memset(&inquiry, 0, sizeof inquiry);
  EXPECT_EQ(send(&inquiry), aspi::SS_COMP);
  os::FreeLibrary(library);
}

TEST_F(AspiLayerTest, SupportInfoCarriesStatusAndAdapterCount) {
  EXPECT_EQ(Aspi().GetSupportInfo(), 0x0101u);
  Aspi().AddHostAdapter(nullptr, 0x80);
  EXPECT_EQ(Aspi().GetSupportInfo(), 0x0102u);
  Aspi().SetSupportStatus(sim::kAspiFailedInit);
  EXPECT_EQ(Aspi().GetSupportInfo(), 0xE402u);

  sim::ScopedMachine bare;
  EXPECT_EQ(sim::AspiLayer::Of(*bare).GetSupportInfo(), DWORD{sim::kAspiNoAdapters} << 8);
}

TEST_F(AspiLayerTest, HostAdapterInquiry) {
  sim::AspiHostAdapter second;
  second.identifier = "ESDI_506";
  second.maximumTransferLength = 0x20000;
  Aspi().AddHostAdapter(second);
  aspi::SRB_HAInquiry srb;
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_HaId = 1;
  ASSERT_EQ(Aspi().SendCommand(&srb), aspi::SS_COMP);
  EXPECT_EQ(srb.SRB_Status, aspi::SS_COMP);
  EXPECT_EQ(srb.HA_Count, 2);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(srb.HA_ManagerId), 16), "ASPI for WIN32  ");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(srb.HA_Identifier), 16), "ESDI_506        ");
  EXPECT_EQ(srb.HA_Unique[6], 0x02);  // maximum transfer 20000h, little-endian

  srb.SRB_HaId = 2;
  EXPECT_EQ(Aspi().SendCommand(&srb), aspi::SS_INVALID_HA);
  EXPECT_EQ(srb.SRB_Status, aspi::SS_INVALID_HA);
}

TEST_F(AspiLayerTest, DiskInformation) {
  Aspi().AddHostAdapter(disk, 0x81);
  struct Case {
    BYTE adapter;
    BYTE target;
    BYTE status;
    BYTE unit;
    BYTE flags;
  };
  const Case cases[] = {
      {0, 0, aspi::SS_COMP, 0x00, sim::kDiskNotInt13},
      {1, 0, aspi::SS_COMP, 0x81, sim::kDiskInt13AndDos},
      {1, 1, aspi::SS_NO_DEVICE, 0xEE, 0xEE},
      {2, 0, aspi::SS_INVALID_HA, 0xEE, 0xEE},
  };
  for (const Case& c : cases) {
    aspi::SRB_GetDiskInfo srb;
    std::memset(&srb, 0xEE, sizeof srb);
    srb.SRB_Cmd = aspi::SC_GET_DISK_INFO;
    srb.SRB_HaId = c.adapter;
    srb.SRB_Target = c.target;
    srb.SRB_Lun = 0;
    EXPECT_EQ(Aspi().SendCommand(&srb), c.status) << int{c.adapter} << "/" << int{c.target};
    EXPECT_EQ(srb.SRB_Int13HDriveInfo, c.unit);
    EXPECT_EQ(srb.SRB_DriveFlags, c.flags);
  }
  disk->present = false;
  aspi::SRB_GetDiskInfo srb;
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = aspi::SC_GET_DISK_INFO;
  EXPECT_EQ(Aspi().SendCommand(&srb), aspi::SS_NO_DEVICE);
}

TEST_F(AspiLayerTest, ReadPendsAndDeliversTheDataBeforeTheEvent) {
  disk->result.dataIn.assign(4096, 0x5A);
  std::vector<std::uint8_t> buffer(4096, 0);
  aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
  EXPECT_EQ(SendAndPoll(srb), aspi::SS_COMP);
  EXPECT_EQ(srb.SRB_TargStat, 0);
  EXPECT_EQ(buffer, disk->result.dataIn);
  ASSERT_EQ(disk->requests.size(), 1u);
  const sim::ScsiRequest& request = disk->requests[0];
  EXPECT_EQ(request.cdb, std::vector<std::uint8_t>(kRead10, kRead10 + 10));
  EXPECT_EQ(request.direction, sim::ScsiDirection::kIn);
  EXPECT_EQ(request.dataInLength, 4096u);

  ASSERT_EQ(Aspi().Requests().size(), 1u);
  const sim::AspiRequestRecord record = Aspi().Requests()[0];
  EXPECT_EQ(record.flags, 0x48);
  EXPECT_EQ(record.bufferLength, 4096u);
  EXPECT_EQ(record.senseLength, 14);
  EXPECT_EQ(record.cdb.size(), 10u);
  EXPECT_EQ(record.returned, aspi::SS_PENDING);
}

TEST_F(AspiLayerTest, WriteCarriesThePayload) {
  std::vector<std::uint8_t> buffer = {1, 2, 3, 4};
  aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_OUT, buffer);
  EXPECT_EQ(SendAndPoll(srb), aspi::SS_COMP);
  ASSERT_EQ(disk->requests.size(), 1u);
  EXPECT_EQ(disk->requests[0].direction, sim::ScsiDirection::kOut);
  EXPECT_EQ(disk->requests[0].dataOut, buffer);
  EXPECT_EQ(Aspi().Requests()[0].dataOut, buffer);
}

TEST_F(AspiLayerTest, CheckConditionReturnsTheSenseBytes) {
  disk->result.scsiStatus = sim::ScsiResult::kCheckCondition;
  disk->result.sense = {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> buffer(8, 0xCC);
  aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
  std::memset(srb.SenseArea, 0xEE, sizeof srb.SenseArea);
  EXPECT_EQ(SendAndPoll(srb), aspi::SS_ERR);
  EXPECT_EQ(srb.SRB_HaStat, sim::kHostAdapterOk);
  EXPECT_EQ(srb.SRB_TargStat, sim::ScsiResult::kCheckCondition);
  EXPECT_EQ(std::vector<std::uint8_t>(srb.SenseArea, srb.SenseArea + 14),
            std::vector<std::uint8_t>(disk->result.sense.begin(), disk->result.sense.begin() + 14));
  // Only SRB_SenseLen bytes are written.
  EXPECT_EQ(srb.SenseArea[14], 0xEE);
}

TEST_F(AspiLayerTest, OtherTargetStatusFailsWithoutSense) {
  disk->result.scsiStatus = 0x08;  // BUSY
  std::vector<std::uint8_t> buffer(8);
  aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
  std::memset(srb.SenseArea, 0xEE, sizeof srb.SenseArea);
  EXPECT_EQ(SendAndPoll(srb), aspi::SS_ERR);
  EXPECT_EQ(srb.SRB_TargStat, 0x08);
  EXPECT_EQ(srb.SenseArea[0], 0xEE);
}

TEST_F(AspiLayerTest, UnpluggedDiskTimesOutItsSelection) {
  disk->present = false;
  std::vector<std::uint8_t> buffer(8);
  aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
  EXPECT_EQ(SendAndPoll(srb), aspi::SS_ERR);
  EXPECT_EQ(srb.SRB_HaStat, sim::kHostAdapterSelectionTimeout);
  EXPECT_TRUE(disk->requests.empty());
}

TEST_F(AspiLayerTest, MalformedRequestsAreRefusedAtOnce) {
  Aspi().AddHostAdapter(nullptr, 0);
  struct Case {
    const char* what;
    void (*spoil)(aspi::SRB_ExecSCSICmd&);
    BYTE status;
  };
  const Case cases[] = {
      {"adapter", [](aspi::SRB_ExecSCSICmd& srb) { srb.SRB_HaId = 2; }, aspi::SS_INVALID_HA},
      {"empty adapter", [](aspi::SRB_ExecSCSICmd& srb) { srb.SRB_HaId = 1; }, aspi::SS_NO_DEVICE},
      {"target", [](aspi::SRB_ExecSCSICmd& srb) { srb.SRB_Target = 1; }, aspi::SS_NO_DEVICE},
      {"lun", [](aspi::SRB_ExecSCSICmd& srb) { srb.SRB_Lun = 1; }, aspi::SS_NO_DEVICE},
      {"no cdb", [](aspi::SRB_ExecSCSICmd& srb) { srb.SRB_CDBLen = 0; }, sim::kAspiInvalidSrb},
      {"long cdb", [](aspi::SRB_ExecSCSICmd& srb) { srb.SRB_CDBLen = 17; }, sim::kAspiInvalidSrb},
      {"no buffer", [](aspi::SRB_ExecSCSICmd& srb) { srb.SRB_BufPointer = nullptr; },
       sim::kAspiInvalidSrb},
      {"no event", [](aspi::SRB_ExecSCSICmd& srb) { srb.SRB_PostProc = nullptr; },
       sim::kAspiInvalidSrb},
      {"too long", [](aspi::SRB_ExecSCSICmd& srb) { srb.SRB_BufLen = 0x10001; },
       sim::kAspiBufferTooBig},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> buffer(0x10001);
    aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
    srb.SRB_BufLen = 512;
    c.spoil(srb);
    EXPECT_EQ(Aspi().SendCommand(&srb), c.status) << c.what;
    EXPECT_EQ(srb.SRB_Status, c.status) << c.what;
  }
  EXPECT_TRUE(disk->requests.empty());
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_TIMEOUT);

  aspi::SRB_HAInquiry unknown;
  std::memset(&unknown, 0, sizeof unknown);
  unknown.SRB_Cmd = 0x42;
  EXPECT_EQ(Aspi().SendCommand(&unknown), sim::kAspiInvalidCommand);
}

TEST_F(AspiLayerTest, ImmediateCompletionReturnsTheFinalStatus) {
  Aspi().SetCompletion(sim::AspiCompletion::kImmediate);
  disk->result.dataIn = {7, 7};
  std::vector<std::uint8_t> buffer(2);
  aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
  EXPECT_EQ(Aspi().SendCommand(&srb), aspi::SS_COMP);
  EXPECT_EQ(buffer, disk->result.dataIn);
  EXPECT_EQ(Aspi().Requests()[0].returned, aspi::SS_COMP);
}

TEST_F(AspiLayerTest, HeldRequestPendsUntilReleased) {
  Aspi().SetCompletion(sim::AspiCompletion::kHeld);
  disk->result.dataIn = {9};
  std::vector<std::uint8_t> buffer(1);
  aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
  ASSERT_EQ(Aspi().SendCommand(&srb), aspi::SS_PENDING);
  for (int poll = 0; poll < 3; ++poll) {
    EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_TIMEOUT);
  }
  EXPECT_EQ(srb.SRB_Status, aspi::SS_PENDING);
  EXPECT_TRUE(disk->requests.empty());
  EXPECT_EQ(Aspi().HeldRequestCount(), 1u);
  Aspi().CompleteHeldRequests();
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, FALSE), WAIT_OBJECT_0);
  EXPECT_EQ(srb.SRB_Status, aspi::SS_COMP);
  EXPECT_EQ(buffer[0], 9);
  EXPECT_EQ(Aspi().HeldRequestCount(), 0u);
}

TEST_F(AspiLayerTest, ResidualCountAndCompletionWithoutEvent) {
  Aspi().SetCompletion(sim::AspiCompletion::kHeld);
  disk->result.dataIn = {1, 2, 3};
  std::vector<std::uint8_t> buffer(8);
  aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
  // Without notification the caller polls SRB_Status itself.
  srb.SRB_Flags = aspi::SRB_DIR_IN | sim::kAspiResidualCount;
  srb.SRB_PostProc = nullptr;
  ASSERT_EQ(Aspi().SendCommand(&srb), aspi::SS_PENDING);
  Aspi().CompleteHeldRequests();
  EXPECT_EQ(srb.SRB_Status, aspi::SS_COMP);
  EXPECT_EQ(srb.SRB_BufLen, 5u);
}

aspi::SRB_ExecSCSICmd* postedBlock = nullptr;
void RememberPostedBlock(aspi::SRB_ExecSCSICmd* srb) { postedBlock = srb; }

TEST_F(AspiLayerTest, PostingCallsTheProcedureWithTheBlock) {
  Aspi().SetCompletion(sim::AspiCompletion::kHeld);
  std::vector<std::uint8_t> buffer(8);
  aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
  srb.SRB_Flags = aspi::SRB_DIR_IN | sim::kAspiPosting;
  srb.SRB_PostProc = reinterpret_cast<void*>(&RememberPostedBlock);
  postedBlock = nullptr;
  ASSERT_EQ(Aspi().SendCommand(&srb), aspi::SS_PENDING);
  Aspi().CompleteHeldRequests();
  EXPECT_EQ(postedBlock, &srb);
  // Both ways of being told at once are not allowed.
  srb.SRB_Flags = aspi::SRB_DIR_IN | sim::kAspiPosting | aspi::SRB_EVENT_NOTIFY;
  EXPECT_EQ(Aspi().SendCommand(&srb), sim::kAspiInvalidSrb);
}

TEST_F(AspiLayerTest, WorkerThreadsLeaveNoHandlesBehind) {
  disk->result.dataIn = {1};
  const std::size_t handles = machine->OpenHandleCount();
  for (int round = 0; round < 20; ++round) {
    std::vector<std::uint8_t> buffer(1);
    aspi::SRB_ExecSCSICmd srb = Request(aspi::SRB_DIR_IN, buffer);
    os::ResetEvent(event);
    ASSERT_EQ(SendAndPoll(srb), aspi::SS_COMP);
    ASSERT_EQ(buffer[0], 1);
  }
  EXPECT_EQ(machine->OpenHandleCount(), handles);
}

}  // namespace
