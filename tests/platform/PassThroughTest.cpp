// IOCTL_SCSI_PASS_THROUGH on volume and physical-drive handles: commands
// and data both ways, sense delivery, what bytesReturned says, and the
// records the driver refuses.

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "DiskFixture.h"
#include "tests/support/CommandExchange.h"

namespace {

using testing_disk::DiskFixture;
using testing_disk::FixedSense;

// One buffered pass-through block laid out as the transport lays it: the
// platform's header, a gap, 18 sense bytes and the data.
class PassThroughBlock {
 public:
  static constexpr std::size_t kSenseOffset = sizeof(SCSI_PASS_THROUGH) + 8;
  static constexpr std::size_t kDataOffset = kSenseOffset + 18;

  PassThroughBlock(std::vector<std::uint8_t> cdb, UCHAR dataIn, std::size_t transferLength)
      : bytes(kDataOffset + transferLength + 1, 0) {
    SCSI_PASS_THROUGH header{};
    header.Length = sizeof(SCSI_PASS_THROUGH);
    header.CdbLength = static_cast<UCHAR>(cdb.size());
    header.SenseInfoLength = 18;
    header.DataIn = dataIn;
    header.DataTransferLength = static_cast<ULONG>(transferLength);
    header.TimeOutValue = 120;
    header.DataBufferOffset = kDataOffset;
    header.SenseInfoOffset = kSenseOffset;
    std::memcpy(header.Cdb, cdb.data(), cdb.size());
    SetHeader(header);
  }

  SCSI_PASS_THROUGH Header() const {
    SCSI_PASS_THROUGH header;
    std::memcpy(&header, bytes.data(), sizeof header);
    return header;
  }
  void SetHeader(const SCSI_PASS_THROUGH& header) {
    std::memcpy(bytes.data(), &header, sizeof header);
  }
  std::uint8_t* Data() { return &bytes[kDataOffset]; }
  std::vector<std::uint8_t> Sense() const {
    const SCSI_PASS_THROUGH header = Header();
    return {bytes.begin() + kSenseOffset, bytes.begin() + kSenseOffset + header.SenseInfoLength};
  }

  std::vector<std::uint8_t> bytes;
};

class PassThroughTest : public DiskFixture, public ::testing::WithParamInterface<bool> {
 protected:
  PassThroughTest() { handle = GetParam() ? OpenDisk() : OpenVolume(); }

  // Sends the block as both input and output, as the transport does.
  BOOL Send(PassThroughBlock& block) {
    returned = 0xDEAD;
    os::SetLastError(0);
    const DWORD size = static_cast<DWORD>(block.bytes.size());
    const BOOL ok = os::DeviceIoControl(handle, IOCTL_SCSI_PASS_THROUGH, block.bytes.data(), size,
                                        block.bytes.data(), size, &returned, nullptr);
    error = os::GetLastError();
    return ok;
  }

  HANDLE handle = INVALID_HANDLE_VALUE;
  DWORD returned = 0;
  DWORD error = 0;
};

const std::vector<std::uint8_t> kInquiry = {0x12, 0, 0, 0, 96, 0};

TEST_P(PassThroughTest, InquiryRoundTrip) {
  PassThroughBlock block(kInquiry, SCSI_IOCTL_DATA_IN, 96);
  ASSERT_TRUE(Send(block));
  const SCSI_PASS_THROUGH header = block.Header();
  EXPECT_EQ(header.ScsiStatus, 0);
  EXPECT_EQ(header.DataTransferLength, 96u);
  EXPECT_EQ(header.SenseInfoLength, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.Data() + 8), 8), "norvik  ");
  EXPECT_EQ(returned, PassThroughBlock::kDataOffset + 96);

  ASSERT_EQ(disk->Requests().size(), 1u);
  const sim::ScsiRequest& request = disk->Requests()[0];
  EXPECT_EQ(request.cdb, kInquiry);
  EXPECT_EQ(request.direction, sim::ScsiDirection::kIn);
  EXPECT_EQ(request.dataInLength, 96u);
}

TEST_P(PassThroughTest, ShortAnswerReportsTheBytesTransferred) {
  PassThroughBlock block({0x12, 0, 0, 0, 255, 0}, SCSI_IOCTL_DATA_IN, 255);
  ASSERT_TRUE(Send(block));
  EXPECT_EQ(block.Header().DataTransferLength, 96u);
  EXPECT_EQ(returned, PassThroughBlock::kDataOffset + 96);
}

TEST_P(PassThroughTest, WriteThenReadOneSector) {
  PassThroughBlock write(test::Cdb10(0x2A, 5, 1), SCSI_IOCTL_DATA_OUT, 512);
  for (int i = 0; i < 512; ++i) write.Data()[i] = static_cast<std::uint8_t>(i * 7);
  const std::vector<std::uint8_t> payload(write.Data(), write.Data() + 512);
  ASSERT_TRUE(Send(write));
  EXPECT_EQ(write.Header().ScsiStatus, 0);
  EXPECT_EQ(write.Header().DataTransferLength, 512u);
  // Nothing came in: the driver reports up to the (empty) sense bytes.
  EXPECT_EQ(returned, PassThroughBlock::kSenseOffset);
  EXPECT_EQ(disk->Requests().back().direction, sim::ScsiDirection::kOut);
  EXPECT_EQ(disk->Requests().back().dataOut, payload);
  EXPECT_EQ(disk->Block(5), payload);

  PassThroughBlock read(test::Cdb10(0x28, 5, 1), SCSI_IOCTL_DATA_IN, 512);
  ASSERT_TRUE(Send(read));
  EXPECT_EQ(std::vector<std::uint8_t>(read.Data(), read.Data() + 512), payload);
}

TEST_P(PassThroughTest, NoDataPhaseWhateverTheDirection) {
  PassThroughBlock block({0x00, 0, 0, 0, 0, 0}, SCSI_IOCTL_DATA_OUT, 0);
  Send(block);
  EXPECT_EQ(disk->Requests().back().direction, sim::ScsiDirection::kNone);
  EXPECT_TRUE(disk->Requests().back().dataOut.empty());
}

TEST_P(PassThroughTest, CheckConditionDeliversSense) {
  sim::ScsiResult answer;
  answer.scsiStatus = sim::ScsiResult::kCheckCondition;
  answer.sense = FixedSense(0x05, 0x24);
  disk->AnswerNextWith(answer);
  PassThroughBlock block(kInquiry, SCSI_IOCTL_DATA_IN, 96);
  // The call itself succeeds; the status tells of the failure.
  ASSERT_TRUE(Send(block));
  EXPECT_EQ(block.Header().ScsiStatus, sim::ScsiResult::kCheckCondition);
  EXPECT_EQ(block.Sense(), answer.sense);
  EXPECT_EQ(block.Header().DataTransferLength, 0u);
}

TEST_P(PassThroughTest, SenseIsCutToTheRoomAskedFor) {
  sim::ScsiResult answer;
  answer.scsiStatus = sim::ScsiResult::kCheckCondition;
  answer.sense = FixedSense(0x03, 0x11);
  disk->AnswerNextWith(answer);
  PassThroughBlock block(test::Cdb10(0x2A, 1, 0), SCSI_IOCTL_DATA_OUT, 0);
  SCSI_PASS_THROUGH header = block.Header();
  header.SenseInfoLength = 8;
  block.SetHeader(header);
  ASSERT_TRUE(Send(block));
  EXPECT_EQ(block.Sense(),
            std::vector<std::uint8_t>(answer.sense.begin(), answer.sense.begin() + 8));
  EXPECT_EQ(returned, PassThroughBlock::kSenseOffset + 8);
}

TEST_P(PassThroughTest, SeparateOutputBuffer) {
  PassThroughBlock in(kInquiry, SCSI_IOCTL_DATA_IN, 96);
  std::vector<std::uint8_t> out(in.bytes.size(), 0xCC);
  DWORD count = 0;
  ASSERT_TRUE(os::DeviceIoControl(handle, IOCTL_SCSI_PASS_THROUGH, in.bytes.data(),
                                  static_cast<DWORD>(in.bytes.size()), out.data(),
                                  static_cast<DWORD>(out.size()), &count, nullptr));
  SCSI_PASS_THROUGH header;
  std::memcpy(&header, out.data(), sizeof header);
  EXPECT_EQ(header.DataTransferLength, 96u);
  EXPECT_EQ(out[PassThroughBlock::kDataOffset + 8], 'n');
  // Past what the driver returned the output buffer is untouched.
  EXPECT_EQ(out[count], 0xCC);
}

TEST_P(PassThroughTest, MalformedRecordsAreRefused) {
  struct Case {
    const char* what;
    void (*spoil)(SCSI_PASS_THROUGH& header);
  };
  const Case cases[] = {
      {"length of the other platform's record",
       [](SCSI_PASS_THROUGH& h) { h.Length = sizeof(void*) == 8 ? 44 : 56; }},
      {"CDB longer than 16", [](SCSI_PASS_THROUGH& h) { h.CdbLength = 17; }},
      {"unknown direction", [](SCSI_PASS_THROUGH& h) { h.DataIn = 3; }},
      {"data in past the output", [](SCSI_PASS_THROUGH& h) { h.DataTransferLength = 200; }},
      {"data offset past the buffer", [](SCSI_PASS_THROUGH& h) { h.DataBufferOffset = 4096; }},
      {"sense past the buffer", [](SCSI_PASS_THROUGH& h) { h.SenseInfoOffset = 170; }},
      {"data out past the input",
       [](SCSI_PASS_THROUGH& h) {
         h.DataIn = SCSI_IOCTL_DATA_OUT;
         h.DataTransferLength = 0xFFFFFFF0;
       }},
  };
  for (const Case& c : cases) {
    PassThroughBlock block(kInquiry, SCSI_IOCTL_DATA_IN, 96);
    SCSI_PASS_THROUGH header = block.Header();
    c.spoil(header);
    block.SetHeader(header);
    EXPECT_FALSE(Send(block)) << c.what;
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << c.what;
    EXPECT_EQ(returned, 0xDEADu) << c.what;
  }
  EXPECT_TRUE(disk->Requests().empty());
}

TEST_P(PassThroughTest, BuffersSmallerThanTheRecordAreRefused) {
  PassThroughBlock block(kInquiry, SCSI_IOCTL_DATA_IN, 96);
  DWORD count = 0;
  const DWORD size = static_cast<DWORD>(block.bytes.size());
  const DWORD shortSize = sizeof(SCSI_PASS_THROUGH) - 1;
  os::SetLastError(0);
  EXPECT_FALSE(os::DeviceIoControl(handle, IOCTL_SCSI_PASS_THROUGH, block.bytes.data(), shortSize,
                                   block.bytes.data(), size, &count, nullptr));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  os::SetLastError(0);
  EXPECT_FALSE(os::DeviceIoControl(handle, IOCTL_SCSI_PASS_THROUGH, block.bytes.data(), size,
                                   block.bytes.data(), shortSize, &count, nullptr));
  EXPECT_EQ(os::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(disk->Requests().empty());
}

struct PendingCommand {
  HANDLE handle;
  PassThroughBlock* block;
};

DWORD WINAPI SendFromWorker(LPVOID parameter) {
  auto* command = static_cast<PendingCommand*>(parameter);
  const DWORD size = static_cast<DWORD>(command->block->bytes.size());
  DWORD returned = 0;
  return os::DeviceIoControl(command->handle, IOCTL_SCSI_PASS_THROUGH, command->block->bytes.data(),
                             size, command->block->bytes.data(), size, &returned, nullptr);
}

TEST_P(PassThroughTest, FromAWorkerThreadWhileTheCallerPolls) {
  PassThroughBlock block(kInquiry, SCSI_IOCTL_DATA_IN, 96);
  PendingCommand command{handle, &block};
  HANDLE worker = os::CreateThread(nullptr, 0, SendFromWorker, &command, 0, nullptr);
  ASSERT_NE(worker, nullptr);
  while (os::WaitForSingleObjectEx(worker, 0, FALSE) == WAIT_TIMEOUT) {
  }
  DWORD ok = FALSE;
  os::GetExitCodeThread(worker, &ok);
  os::CloseHandle(worker);
  EXPECT_TRUE(ok);
  EXPECT_EQ(block.Header().DataTransferLength, 96u);
}

TEST_P(PassThroughTest, VanishedDeviceIsNotConnected) {
  disk->SetPresent(false);
  PassThroughBlock block(kInquiry, SCSI_IOCTL_DATA_IN, 96);
  EXPECT_FALSE(Send(block));
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
  EXPECT_TRUE(disk->Requests().empty());
}

INSTANTIATE_TEST_SUITE_P(VolumeAndPhysicalDrive, PassThroughTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& param) {
                           return std::string(param.param ? "PhysicalDrive" : "Volume");
                         });

}  // namespace
