// Saving the player's flash to files and loading it back.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "device/RyReadCapacity.h"
#include "sim/FlashImage.h"
#include "sim/PlayerPresets.h"
#include "tests/sim_devices/DeviceExchange.h"
#include "tests/sim_devices/PlayerFixture.h"

namespace {

using test::kDataSectorSize;
using test::kSystemSectorSize;
using test::Pattern;

std::uint64_t FileSize(const std::string& path) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  return static_cast<std::uint64_t>(file.tellg());
}

std::vector<std::uint8_t> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file),
                                   std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

void ExpectSameFlash(const sim::Flash& actual, const sim::Flash& expected) {
  EXPECT_EQ(actual.SizeInBytes(), expected.SizeInBytes());
  ASSERT_EQ(actual.Drives().size(), expected.Drives().size());
  for (std::size_t i = 0; i < actual.Drives().size(); ++i) {
    SCOPED_TRACE(i);
    const sim::FlashDrive& a = actual.Drives()[i];
    const sim::FlashDrive& e = expected.Drives()[i];
    EXPECT_EQ(a.number, e.number);
    EXPECT_EQ(a.type, e.type);
    EXPECT_EQ(a.tag, e.tag);
    EXPECT_EQ(a.SectorSize(), e.SectorSize());
    EXPECT_EQ(a.content.BlockCount(), e.content.BlockCount());
    EXPECT_EQ(a.componentVersion, e.componentVersion);
    EXPECT_EQ(a.productVersion, e.productVersion);
    const std::size_t size = static_cast<std::size_t>(e.SizeInBytes());
    EXPECT_TRUE(a.content.ReadBytes(0, size) == e.content.ReadBytes(0, size)) << "content differs";
  }
}

class FlashImageTest : public test::PlayerTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Allocate(test::StandardLayout()).scsiStatus, sim::ScsiResult::kGood);
    sim::Flash& flash = player.GetFlash();
    sim::FlashDrive& boot = *flash.FindDrive(0);
    boot.content.WriteBytes(kSystemSectorSize * 2 + 100, Pattern(5000, 3));
    boot.componentVersion = {1, 2, 3};
    boot.productVersion = {4, 5, 6};
    flash.FindDrive(4)->content.WriteBytes(0, Pattern(kSystemSectorSize, 9));
    sim::FlashDrive& data = *flash.DataDrive();
    data.content.WriteBytes(0, std::vector<std::uint8_t>(3 * sim::SparseBlockStore::kPageSize, 0));
    data.content.WriteBytes(data.SizeInBytes() - 700, Pattern(700, 1));
  }
  void TearDown() override {
    std::remove(flashPath.c_str());
    std::remove(rawPath.c_str());
  }

  const std::string flashPath = ::testing::TempDir() + "sim_devices_flash.img";
  const std::string rawPath = ::testing::TempDir() + "sim_devices_data.img";
};

TEST_F(FlashImageTest, FlashImageRestoresTableContentAndVersions) {
  ASSERT_TRUE(sim::SaveFlashImage(player.GetFlash(), flashPath));
  sim::PlayerConfig other = test::SmallPlayerConfig();
  other.flashSizeInBytes *= 2;
  sim::EmulatedPlayer loaded(other);
  ASSERT_TRUE(sim::LoadFlashImage(loaded.GetFlash(), flashPath));
  ExpectSameFlash(loaded.GetFlash(), player.GetFlash());
  EXPECT_EQ(loaded.GetBlockCount(), player.GetBlockCount())
      << "the loaded data drive is the medium";
}

TEST_F(FlashImageTest, RefusedFlashImageLeavesTheFlashAsItWas) {
  ASSERT_TRUE(sim::SaveFlashImage(player.GetFlash(), flashPath));
  const std::vector<std::uint8_t> good = FileBytes(flashPath);
  std::vector<std::uint8_t> otherVersion = good;
  otherVersion[11] = 2;
  std::vector<std::uint8_t> badMagic = good;
  badMagic[0] = 'X';
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"cut short", std::vector<std::uint8_t>(good.begin(), good.end() - 1)},
      {"another format version", otherVersion},
      {"not a flash image", badMagic},
      {"empty", {}},
  };
  for (const auto& refused : cases) {
    SCOPED_TRACE(refused.name);
    WriteFile(flashPath, refused.bytes);
    sim::EmulatedPlayer loaded(test::SmallPlayerConfig());
    sim::InstallFirmware(loaded.GetFlash(), sim::CurrentFirmwareDrives(4096, {1, 0, 0}, {1, 0, 0}));
    EXPECT_FALSE(sim::LoadFlashImage(loaded.GetFlash(), flashPath));
    EXPECT_EQ(loaded.GetFlash().Drives().size(), 5u);
    EXPECT_EQ(loaded.GetFlash().FindDrive(0)->productVersion, (sim::FirmwareVersion{1, 0, 0}));
  }
  EXPECT_FALSE(sim::LoadFlashImage(player.GetFlash(), flashPath + ".missing"));
}

TEST(FlashImageLargeTest, SparseMultiGibibyteFlashStaysCheap) {
  sim::PlayerConfig config;
  config.flashSizeInBytes = std::uint64_t{6} << 30;
  sim::EmulatedPlayer player(config);
  ASSERT_EQ(sim::InstallFirmware(player.GetFlash(),
                                 sim::CurrentFirmwareDrives(1 << 20, {1, 2, 3}, {2, 0, 0})),
            0);
  sim::FlashDrive& data = *player.GetFlash().DataDrive();
  ASSERT_GT(data.SizeInBytes(), std::uint64_t{5} << 30);
  const std::vector<std::uint8_t> tail = Pattern(kDataSectorSize, 4);
  data.content.WriteBytes(data.SizeInBytes() - kDataSectorSize, tail);
  data.content.WriteBytes(0, std::vector<std::uint8_t>(1 << 20, 0));

  const std::string path = ::testing::TempDir() + "sim_devices_large.img";
  ASSERT_TRUE(sim::SaveFlashImage(player.GetFlash(), path));
  EXPECT_LT(FileSize(path), 64u * 1024);

  sim::EmulatedPlayer loaded(config);
  ASSERT_TRUE(sim::LoadFlashImage(loaded.GetFlash(), path));
  std::remove(path.c_str());
  const sim::FlashDrive& loadedData = *loaded.GetFlash().DataDrive();
  EXPECT_EQ(loadedData.SizeInBytes(), data.SizeInBytes());
  EXPECT_LE(loadedData.content.StoredBytes(), data.content.StoredBytes());
  EXPECT_EQ(loadedData.content.ReadBytes(data.SizeInBytes() - kDataSectorSize, kDataSectorSize),
            tail);
  EXPECT_EQ(loadedData.content.ReadBytes(0, 16), std::vector<std::uint8_t>(16, 0));
}

TEST_F(FlashImageTest, DataDriveImageIsTheRawSectors) {
  ASSERT_TRUE(sim::SaveDataDriveImage(player.GetFlash(), rawPath));
  const sim::FlashDrive& data = *player.GetFlash().DataDrive();
  const std::vector<std::uint8_t> raw = FileBytes(rawPath);
  ASSERT_EQ(raw.size(), data.SizeInBytes());
  EXPECT_EQ(raw, data.content.ReadBytes(0, raw.size()));

  sim::EmulatedPlayer loaded(test::SmallPlayerConfig());
  std::vector<sim::DriveRequest> sameLayout;
  for (const sim::FlashDrive& drive : player.GetFlash().Drives()) {
    sameLayout.push_back({drive.type, drive.tag, drive.SizeInBytes()});
  }
  ASSERT_EQ(loaded.GetFlash().Allocate(sameLayout), 0);
  ASSERT_TRUE(sim::LoadDataDriveImage(loaded.GetFlash(), rawPath));
  EXPECT_EQ(loaded.GetFlash().DataDrive()->content.ReadBytes(0, raw.size()), raw);
}

TEST_F(FlashImageTest, RawImageLoadsAtTheStartOfTheDataDriveAndErasesTheRest) {
  const std::vector<std::uint8_t> image = Pattern(3 * kDataSectorSize, 50);
  WriteFile(rawPath, image);
  ASSERT_TRUE(sim::LoadDataDriveImage(player.GetFlash(), rawPath));
  const sim::FlashDrive& data = *player.GetFlash().DataDrive();
  EXPECT_EQ(data.content.ReadBytes(0, image.size()), image);
  EXPECT_EQ(data.content.ReadBytes(data.SizeInBytes() - 700, 700),
            std::vector<std::uint8_t>(700, 0xFF));

  std::vector<std::uint8_t> read(3 * kDataSectorSize);
  ASSERT_TRUE(player.ReadBlocks(0, 3, read.data()));
  EXPECT_EQ(read, image);
}

TEST_F(FlashImageTest, RawImageThatDoesNotFitIsRefused) {
  const sim::FlashDrive& data = *player.GetFlash().DataDrive();
  const std::vector<std::uint8_t> before = data.content.ReadBytes(0, 4 * kDataSectorSize);
  for (const std::uint64_t size :
       {std::uint64_t{kDataSectorSize} + 1, data.SizeInBytes() + kDataSectorSize}) {
    SCOPED_TRACE(size);
    WriteFile(rawPath, std::vector<std::uint8_t>(static_cast<std::size_t>(size), 0x11));
    EXPECT_FALSE(sim::LoadDataDriveImage(player.GetFlash(), rawPath));
    EXPECT_EQ(data.content.ReadBytes(0, 4 * kDataSectorSize), before);
  }
  sim::EmulatedPlayer empty(test::SmallPlayerConfig());
  EXPECT_FALSE(sim::LoadDataDriveImage(empty.GetFlash(), rawPath));
  EXPECT_FALSE(sim::SaveDataDriveImage(empty.GetFlash(), rawPath));
}

}  // namespace
