// SetFilePointer on a disk larger than 4 GiB: 64-bit positions through the
// high part, the failure value and its last error.

#include <memory>
#include <vector>

#include "DiskFixture.h"

namespace {

using testing_disk::kReadWrite;
using testing_disk::kShareReadWrite;
using testing_disk::PhysicalDriveName;
using testing_disk::RamDisk;

constexpr std::uint64_t k4GiB = std::uint64_t{1} << 32;

class FilePointerTest : public ::testing::Test {
 protected:
  FilePointerTest() : disk(std::make_shared<RamDisk>(12'000'000)) {
    const int number = machine->AttachDisk(disk, sim::DiskAttachment{});
    handle = os::CreateFileW(PhysicalDriveName(number).c_str(), kReadWrite, kShareReadWrite,
                             nullptr, OPEN_EXISTING, 0, nullptr);
  }
  ~FilePointerTest() override { os::CloseHandle(handle); }

  struct Move {
    DWORD low;
    LONG high;
    DWORD error;
  };
  // Moves with a high part; the error is what last error holds afterwards,
  // starting from a marker.
  Move MoveBy(std::int64_t distance, DWORD method) {
    Move result{};
    result.high = static_cast<LONG>(distance >> 32);
    os::SetLastError(0xDEAD);
    result.low =
        os::SetFilePointer(handle, static_cast<LONG>(distance & 0xFFFFFFFF), &result.high, method);
    result.error = os::GetLastError();
    return result;
  }
  Move MoveWithoutHigh(LONG distance, DWORD method) {
    Move result{};
    os::SetLastError(0xDEAD);
    result.low = os::SetFilePointer(handle, distance, nullptr, method);
    result.error = os::GetLastError();
    return result;
  }
  std::uint64_t Position() {
    const Move here = MoveBy(0, FILE_CURRENT);
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(here.high)) << 32 | here.low;
  }

  sim::ScopedMachine machine;
  std::shared_ptr<RamDisk> disk;
  HANDLE handle = INVALID_HANDLE_VALUE;
};

TEST_F(FilePointerTest, HighPartCarriesPositionsPast4GiB) {
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  const Move past = MoveBy(static_cast<std::int64_t>(k4GiB + 512), FILE_BEGIN);
  EXPECT_EQ(past.low, 512u);
  EXPECT_EQ(past.high, 1);
  EXPECT_EQ(past.error, 0xDEADu);  // success leaves last error alone
  const Move back = MoveBy(-1024, FILE_CURRENT);
  EXPECT_EQ(back.low, 0xFFFFFE00u);
  EXPECT_EQ(back.high, 0);
  EXPECT_EQ(Position(), k4GiB - 512);
}

TEST_F(FilePointerTest, DataLandsAtTheSectorOfThe64BitPosition) {
  const Move past = MoveBy(static_cast<std::int64_t>(k4GiB + 512), FILE_BEGIN);
  ASSERT_EQ(past.high, 1);
  std::vector<std::uint8_t> sector(512, 0x5A);
  DWORD written = 0;
  ASSERT_TRUE(os::WriteFile(handle, sector.data(), 512, &written, nullptr));
  EXPECT_EQ(disk->Block((k4GiB + 512) / 512), sector);
  EXPECT_EQ(Position(), k4GiB + 1024);
}

TEST_F(FilePointerTest, ValidPositionThatLooksLikeTheFailureValue) {
  const Move edge = MoveBy(0xFFFFFFFF, FILE_BEGIN);
  EXPECT_EQ(edge.low, INVALID_SET_FILE_POINTER);
  EXPECT_EQ(edge.high, 0);
  EXPECT_EQ(edge.error, static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(FilePointerTest, FailuresLeaveThePositionWhereItWas) {
  MoveBy(4096, FILE_BEGIN);
  struct Case {
    std::int64_t distance;
    DWORD method;
    DWORD error;
  };
  const Case cases[] = {
      {-4097, FILE_CURRENT, ERROR_NEGATIVE_SEEK},
      {-1, FILE_BEGIN, ERROR_NEGATIVE_SEEK},
      {0, FILE_END, ERROR_INVALID_PARAMETER},  // a disk has no end of file to move from
      {0, 3, ERROR_INVALID_PARAMETER},
  };
  for (const Case& c : cases) {
    const Move failed = MoveBy(c.distance, c.method);
    EXPECT_EQ(failed.low, INVALID_SET_FILE_POINTER) << c.distance;
    EXPECT_EQ(failed.error, c.error) << c.distance;
    EXPECT_EQ(Position(), 4096u);
  }
}

TEST_F(FilePointerTest, WithoutHighPartTheDistanceIsSignedAndThePositionBelow4GiB) {
  MoveWithoutHigh(1024, FILE_BEGIN);
  const Move back = MoveWithoutHigh(-512, FILE_CURRENT);
  EXPECT_EQ(back.low, 512u);
  // 0x7FFFFE00 + 0x7FFFFE00 + 0x7FFFFE00 would pass 4 GiB.
  MoveWithoutHigh(0x7FFFFE00, FILE_BEGIN);
  MoveWithoutHigh(0x7FFFFE00, FILE_CURRENT);
  const Move tooFar = MoveWithoutHigh(0x7FFFFE00, FILE_CURRENT);
  EXPECT_EQ(tooFar.low, INVALID_SET_FILE_POINTER);
  EXPECT_EQ(tooFar.error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(Position(), 0xFFFFFC00u);
}

}  // namespace
