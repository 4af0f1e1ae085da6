// The recovery channel against the simulated recovery driver: what the
// driver receives, the progress it reports, and every way a download ends.

#include <gtest/gtest.h>

#include "core/RyStatus.h"
#include "os/Os.h"
#include "sim/EmulatedPlayer.h"
#include "tests/recovery/RecoveryFixture.h"

namespace test {
namespace {

std::vector<std::string> ExpectedProgress(int blocks, int advances) {
  std::vector<std::string> calls{"BeginPhase(1," + std::to_string(blocks) + ")"};
  calls.insert(calls.end(), static_cast<std::size_t>(advances), "Advance(1)");
  return calls;
}

struct SequenceCase {
  std::size_t imageBytes;
  std::vector<DWORD> writes;
};

class WriteSequenceTest : public RecoveryFixture,
                          public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(WriteSequenceTest, FullBlocksThenExactlyTheRest) {
  driver.AddDevice(0);
  const SequenceCase& sequence = GetParam();
  ASSERT_EQ(Download(sequence.imageBytes), RyStatus::kSuccess);
  EXPECT_EQ(WriteSizes(), sequence.writes);
  for (const sim::RecoveryWrite& write : driver.Writes()) {
    EXPECT_EQ(write.offset, 0u);
    EXPECT_EQ(write.offsetHigh, 0u);
  }
  const int blocks = static_cast<int>(sequence.writes.size());
  EXPECT_EQ(owner.progress.calls, ExpectedProgress(blocks, blocks));
  // The handle was closed at the end, so the player took the image: not
  // one fill byte beyond its end.
  EXPECT_EQ(driver.ReceivedImage(), images.bytes);
  EXPECT_EQ(images.askedIndexes, std::vector<std::uint8_t>{2});
}

INSTANTIATE_TEST_SUITE_P(ImageSizes, WriteSequenceTest,
                         ::testing::Values(SequenceCase{10000, {4096, 4096, 1808}},
                                           SequenceCase{8192, {4096, 4096}},
                                           SequenceCase{100, {100}}, SequenceCase{4096, {4096}},
                                           SequenceCase{4097, {4096, 1}}, SequenceCase{1, {1}}));

TEST_F(RecoveryFixture, OpensTheFirstNumberPresent) {
  driver.AddDevice(7);
  driver.AddDevice(12);
  ASSERT_EQ(channel.OpenDevice(), RyStatus::kSuccess);
  EXPECT_EQ(channel.GetDevicePath(), L"\\\\.\\RyMp3RecDevice7");
  EXPECT_EQ(driver.OpenedNames().size(), 8u);
}

TEST_F(RecoveryFixture, NoDeviceAfterAHundredNames) {
  EXPECT_EQ(channel.OpenDevice(), RyStatus::kNoRecoveryDevice);
  const std::vector<std::wstring> names = driver.OpenedNames();
  ASSERT_EQ(names.size(), 100u);
  EXPECT_EQ(names.front(), L"RyMp3RecDevice0");
  EXPECT_EQ(names.back(), L"RyMp3RecDevice99");
  EXPECT_EQ(channel.GetSystemError(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(images.askedIndexes.empty());
  EXPECT_TRUE(channel.GetDevicePath().empty());
}

TEST_F(RecoveryFixture, DeviceNumberHundredIsNotTried) {
  driver.AddDevice(100);
  EXPECT_EQ(channel.OpenDevice(), RyStatus::kNoRecoveryDevice);
}

struct FaultCase {
  const char* name;
  sim::RecoveryFault fault;
  std::size_t writeIndex;
  std::int32_t status;
  std::size_t writesSeen;
  int advances;
};

class FaultTest : public RecoveryFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FaultTest, EndsTheDownloadWithItsStatus) {
  const FaultCase& fault = GetParam();
  driver.AddDevice(0);
  driver.SetFault(fault.fault, fault.writeIndex);
  const DWORD start = os::GetTickCount();
  EXPECT_EQ(Download(10000), fault.status);
  EXPECT_EQ(driver.Writes().size(), fault.writesSeen);
  EXPECT_EQ(owner.progress.calls, ExpectedProgress(3, fault.advances));
  // Only a write that never completes lets time pass: the one second the
  // channel waits for it.
  const DWORD waited = os::GetTickCount() - start;
  EXPECT_EQ(waited, fault.fault == sim::RecoveryFault::kNeverComplete ? 1000u : 0u);
  channel.CloseDevice();
  EXPECT_TRUE(driver.ReceivedImage().empty());
  EXPECT_EQ(machine->OpenHandleCount(), 0u);
}

TEST_P(FaultTest, LeavesNoCompletionQueued) {
  const FaultCase& fault = GetParam();
  driver.AddDevice(0);
  driver.SetFault(fault.fault, fault.writeIndex);
  Download(10000);
  channel.CloseDevice();
  // A routine still queued would run here, on a record of the channel.
  HANDLE event = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(os::WaitForSingleObjectEx(event, 0, TRUE), WAIT_TIMEOUT);
  os::CloseHandle(event);
}

INSTANTIATE_TEST_SUITE_P(
    DriverFaults, FaultTest,
    ::testing::Values(FaultCase{"ShortFirst", sim::RecoveryFault::kShortCompletion, 0,
                                RyStatus::kRecoveryWriteFailed, 1, 0},
                      // The last block counts in the progress whatever its result.
                      FaultCase{"ShortLast", sim::RecoveryFault::kShortCompletion, 2,
                                RyStatus::kRecoveryWriteFailed, 3, 3},
                      FaultCase{"RefusedSecond", sim::RecoveryFault::kRefuseWrite, 1,
                                RyStatus::kRecoveryWriteFailed, 2, 1},
                      FaultCase{"NeverCompletesFirst", sim::RecoveryFault::kNeverComplete, 0,
                                RyStatus::kRecoveryWriteTimedOut, 1, 0},
                      FaultCase{"NeverCompletesLast", sim::RecoveryFault::kNeverComplete, 2,
                                RyStatus::kRecoveryWriteTimedOut, 3, 3}),
    [](const ::testing::TestParamInfo<FaultCase>& param) { return param.param.name; });

TEST_F(RecoveryFixture, RefusedWriteKeepsTheSystemError) {
  driver.AddDevice(0);
  driver.SetFault(sim::RecoveryFault::kRefuseWrite, 0);
  driver.SetRefusalError(ERROR_DEVICE_NOT_CONNECTED);
  EXPECT_EQ(Download(100), RyStatus::kRecoveryWriteFailed);
  EXPECT_EQ(channel.GetSystemError(), static_cast<std::uint32_t>(ERROR_DEVICE_NOT_CONNECTED));
}

TEST_F(RecoveryFixture, EventNotCreated) {
  driver.AddDevice(0);
  machine->FailNextEventCreation();
  EXPECT_EQ(channel.OpenDevice(), RyStatus::kEventCreateFailed);
  EXPECT_EQ(channel.GetSystemError(), static_cast<std::uint32_t>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_TRUE(driver.Writes().empty());
}

TEST_F(RecoveryFixture, ImageFailuresKeepTheDeviceOpenUntilClosed) {
  driver.AddDevice(0);
  images.creatable = false;
  EXPECT_EQ(channel.OpenDevice(), RyStatus::kFailed);
  EXPECT_EQ(machine->OpenHandleCount(), 1u);
  images.creatable = true;
  images.loadStatus = RyStatus::kFileOpenFailed;
  EXPECT_EQ(channel.OpenDevice(), RyStatus::kFileOpenFailed);
  EXPECT_EQ(machine->OpenHandleCount(), 1u);
  EXPECT_EQ(channel.CloseDevice(), RyStatus::kSuccess);
  EXPECT_EQ(machine->OpenHandleCount(), 0u);
}

TEST_F(RecoveryFixture, EmptyImageIsRefusedBeforeAnyWrite) {
  driver.AddDevice(0);
  EXPECT_EQ(Download(0), RyStatus::kRecoveryWriteFailed);
  EXPECT_TRUE(driver.Writes().empty());
  EXPECT_TRUE(owner.progress.calls.empty());
}

TEST_F(RecoveryFixture, DownloadNeedsAnOpenDevice) {
  EXPECT_EQ(channel.DownloadImage(&owner.progress), RyStatus::kNoRecoveryDevice);
  EXPECT_TRUE(owner.progress.calls.empty());
}

TEST_F(RecoveryFixture, PlayerComesBackAsADisk) {
  driver.AddDevice(0);
  auto player = std::make_shared<sim::EmulatedPlayer>(sim::PlayerConfig());
  sim::DiskAttachment attachment;
  attachment.driveLetter = L'F';
  std::vector<std::uint8_t> handedOver;
  driver.SetRestartDisk(player, attachment, [&handedOver](const std::vector<std::uint8_t>& image) {
    handedOver = image;
  });
  EXPECT_EQ(os::GetDriveTypeW(L"F:\\"), DRIVE_NO_ROOT_DIR);
  ASSERT_EQ(Download(10000), RyStatus::kSuccess);
  EXPECT_EQ(handedOver, images.bytes);
  EXPECT_EQ(os::GetDriveTypeW(L"F:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
  EXPECT_GE(driver.RestartedDrive(), 0);
  // Out of recovery mode: a second attempt finds no recovery device.
  EXPECT_FALSE(driver.HasDevice(0));
  EXPECT_EQ(channel.OpenDevice(), RyStatus::kNoRecoveryDevice);
}

TEST_F(RecoveryFixture, FailedDownloadLeavesThePlayerInRecoveryMode) {
  driver.AddDevice(0);
  auto player = std::make_shared<sim::EmulatedPlayer>(sim::PlayerConfig());
  driver.SetRestartDisk(player, sim::DiskAttachment{L'F', DRIVE_REMOVABLE, -1});
  driver.SetFault(sim::RecoveryFault::kShortCompletion, 1);
  EXPECT_EQ(Download(10000), RyStatus::kRecoveryWriteFailed);
  channel.CloseDevice();
  EXPECT_EQ(os::GetDriveTypeW(L"F:\\"), DRIVE_NO_ROOT_DIR);
  EXPECT_TRUE(driver.HasDevice(0));
  // Started again from the beginning, it goes through.
  EXPECT_EQ(Download(10000), RyStatus::kSuccess);
  EXPECT_EQ(driver.ReceivedImage(), images.bytes);
}

}  // namespace
}  // namespace test
