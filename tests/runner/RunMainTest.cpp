#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runner/RunMain.h"
#include "sim/Flash.h"
#include "sim/FlashImage.h"
#include "sim/PlayerPresets.h"
#include "tools/mkimage/ImageWriter.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr sim::FirmwareVersion kCarriedProduct{2, 0, 0};
constexpr sim::FirmwareVersion kOlderProduct{1, 0, 0};

struct Component {
  const char* fileName;
  std::uint8_t tag;
  std::size_t length;
};

// Lengths that end in a short chunk, fill chunks exactly, and fit in one.
constexpr Component kComponents[] = {{"bootmanager.sb", 0x50, 150001},
                                     {"usbmsc.sb", 0x01, 131072},
                                     {"rdmxsys.sb", 0x00, 300000},
                                     {"resource.bin", 0x02, 777}};

std::vector<std::uint8_t> Payload(std::size_t length, std::size_t seed) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) {
    bytes[i] = static_cast<std::uint8_t>((i * 13 + seed * 71 + i / 509) & 0xFF);
  }
  return bytes;
}

mkimage::ImageVersion ImageVersionOf(const sim::FirmwareVersion& version) {
  return {version.major, version.minor, version.revision};
}

sim::FirmwareVersion ComponentVersion(const sim::FirmwareVersion& product, std::size_t index) {
  return {product.major, static_cast<std::uint16_t>(index + 1), 0};
}

// A host directory with carried and older images, and the runner's main
// routine run over it.
class RunMainTest : public ::testing::Test {
 protected:
  RunMainTest() {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    directory = fs::temp_directory_path() / ("ombra-runner-" + SafeName(name));
    fs::remove_all(directory);
    WriteImages("carried", kCarriedProduct, 1);
    WriteImages("older", kOlderProduct, 2);
  }
  ~RunMainTest() override {
    std::error_code ignored;
    fs::remove_all(directory, ignored);
  }

  static std::string SafeName(std::string name) {
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    return name;
  }

  void WriteImages(const char* subdirectory, const sim::FirmwareVersion& product,
                   std::size_t seed) {
    fs::create_directories(directory / subdirectory);
    std::size_t index = 0;
    for (const Component& component : kComponents) {
      const std::vector<std::uint8_t> bytes = mkimage::BuildImageFile(mkimage::VersionedImage(
          ImageVersionOf(product), ImageVersionOf(ComponentVersion(product, index)),
          Payload(component.length, seed * 10 + index)));
      std::ofstream file(directory / subdirectory / component.fileName, std::ios::binary);
      file.write(reinterpret_cast<const char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()));
      ++index;
    }
  }

  std::string PathOf(const char* name) const { return (directory / name).string(); }

  int Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--images", PathOf("carried"), "--progress", "lines", "--save-flash",
                               PathOf("flash.bin")});
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunMain(args, out, err, false);
    output = out.str();
    errors = err.str();
    return status;
  }

  // The player's flash after the run.
  bool LoadFlash(sim::Flash& flash) const {
    return sim::LoadFlashImage(flash, PathOf("flash.bin"));
  }

  static bool HoldsCarriedImages(sim::Flash& flash) {
    std::size_t index = 0;
    for (const Component& component : kComponents) {
      const sim::FlashDrive* drive = flash.FindDrive(sim::kFlashDriveTypeSystem, component.tag);
      if (drive == nullptr) return false;
      std::vector<std::uint8_t> expected = Payload(component.length, 10 + index);
      expected.resize(static_cast<std::size_t>(drive->SizeInBytes()), 0xFF);
      if (drive->content.ReadBytes(0, expected.size()) != expected) return false;
      if (drive->productVersion != kCarriedProduct ||
          drive->componentVersion != ComponentVersion(kCarriedProduct, index)) {
        return false;
      }
      ++index;
    }
    return true;
  }

  // A formatted data drive starts with a partition table's signature; the
  // erased one of the start states is FFh.
  static bool IsFormatted(sim::Flash& flash) {
    const sim::FlashDrive* drive = flash.DataDrive();
    if (drive == nullptr) return false;
    const std::vector<std::uint8_t> first = drive->content.ReadBytes(0, 512);
    return first[510] == 0x55 && first[511] == 0xAA;
  }

  fs::path directory;
  std::string output;
  std::string errors;
};

struct SuccessCase {
  const char* name;
  std::vector<std::string> args;
  bool formats;
};

class RunMainSuccessTest : public RunMainTest, public ::testing::WithParamInterface<SuccessCase> {};

TEST_P(RunMainSuccessTest, EndsWithTheCarriedFirmwareOnThePlayer) {
  std::vector<std::string> args = GetParam().args;
  for (std::string& arg : args) {
    if (arg == "OLDER") arg = PathOf("older");
  }
  ASSERT_EQ(Run(args), kRunSucceeded) << output << errors;
  sim::Flash flash(32 * kMiB, 2048, 512);
  ASSERT_TRUE(LoadFlash(flash));
  EXPECT_TRUE(HoldsCarriedImages(flash));
  EXPECT_EQ(IsFormatted(flash), GetParam().formats);
  EXPECT_NE(output.find("The player now runs firmware version 002.000.000"), std::string::npos)
      << output;
}

INSTANTIATE_TEST_SUITE_P(
    States, RunMainSuccessTest,
    ::testing::Values(
        SuccessCase{"OlderKeepsData", {"--player-images", "OLDER"}, false},
        SuccessCase{"OlderByDefaultKeepsData", {"--state", "older"}, false},
        SuccessCase{"CurrentKeepsData", {"--state", "current"}, false},
        SuccessCase{"FormatForced", {"--player-images", "OLDER", "--mode", "format"}, true},
        SuccessCase{"BlankFormats", {"--state", "blank"}, true},
        SuccessCase{"UnreadableTableFormats", {"--state", "unreadable"}, true},
        SuccessCase{"SmallDrivesFormat", {"--state", "small"}, true},
        SuccessCase{"RecoveryFormats", {"--state", "recovery"}, true},
        SuccessCase{
            "RecoveryOfAnOlderPlayerKeepsData", {"--recovery", "--player-images", "OLDER"}, false},
        SuccessCase{"Fat16Forced", {"--state", "blank", "--fat16"}, true}),
    [](const ::testing::TestParamInfo<SuccessCase>& param) { return param.param.name; });

TEST_F(RunMainTest, ShowsWhatTheDialogsShowBeforeUpdating) {
  ASSERT_EQ(Run({"--player-images", PathOf("older")}), kRunSucceeded) << errors;
  EXPECT_NE(output.find("Player found on drive E:"), std::string::npos) << output;
  EXPECT_NE(output.find("current firmware version: 001.000.000"), std::string::npos);
  EXPECT_NE(output.find("upgrade firmware version: 002.000.000"), std::string::npos);
  EXPECT_NE(output.find("Player              001.003.000   002.003.000"), std::string::npos)
      << output;
  EXPECT_NE(output.find("chip revision: 3"), std::string::npos);
}

struct FailureCase {
  const char* name;
  std::vector<std::string> args;
  const char* message;
};

class RunMainFailureTest : public RunMainTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(RunMainFailureTest, ExitsNonzeroWithTheStatusAndItsMeaning) {
  EXPECT_EQ(Run(GetParam().args), kRunFailed) << output;
  EXPECT_NE(errors.find(GetParam().message), std::string::npos) << errors;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RunMainFailureTest,
    ::testing::Values(FailureCase{"CorruptReadBack",
                                  {"--fault", "corrupt:1:C0/13"},
                                  "status -57: data read back from the player differs"},
                      FailureCase{"RefusedErase",
                                  {"--fault", "fail:1:C1/2F:0402"},
                                  "detail: The sectors lie beyond the end of the logical drive"},
                      FailureCase{"PlayerVanishes", {"--fault", "vanish:25"}, "status -"},
                      FailureCase{"DrivesTooSmallForAForcedKeep",
                                  {"--state", "small", "--mode", "keep-data"},
                                  "the update failed: status -"},
                      FailureCase{"RecoveryWriteRefused",
                                  {"--state", "recovery", "--recovery-fault", "refuse"},
                                  "status -13: a write to the recovery device failed"},
                      FailureCase{"RecoveryWriteNeverCompletes",
                                  {"--state", "recovery", "--recovery-fault", "never"},
                                  "status -16"},
                      FailureCase{"NoPlayerAtAll",
                                  {"--state", "absent", "--rounds", "2"},
                                  "no player found after 2 search rounds: status -22"}),
    [](const ::testing::TestParamInfo<FailureCase>& param) { return param.param.name; });

TEST_F(RunMainTest, EachSearchRoundLooksForTheDiskAndThenForRecoveryMode) {
  EXPECT_EQ(Run({"--state", "absent", "--rounds", "3"}), kRunFailed);
  std::size_t rounds = 0;
  for (std::size_t at = output.find("no player in recovery mode: status -14");
       at != std::string::npos; at = output.find("no player in recovery mode", at + 1)) {
    ++rounds;
  }
  EXPECT_EQ(rounds, 3u) << output;
}

TEST_F(RunMainTest, UnreadableTableCannotBeUpdatedWithoutFormatting) {
  EXPECT_EQ(Run({"--state", "unreadable", "--mode", "keep-data"}), kRunFailed);
  EXPECT_NE(output.find("status -43"), std::string::npos) << output;
  sim::Flash flash(32 * kMiB, 2048, 512);
  ASSERT_TRUE(LoadFlash(flash));
  EXPECT_FALSE(HoldsCarriedImages(flash));
}

TEST_F(RunMainTest, MissingImagesAreNamedAndFailTheRun) {
  EXPECT_EQ(Run({"--images", PathOf("nowhere")}), kRunFailed);
  EXPECT_NE(errors.find("cannot read " + PathOf("nowhere") + "/bootmanager.sb"), std::string::npos)
      << errors;
}

TEST_F(RunMainTest, BlankPlayerWithoutImagesFailsAsTheEngineReportsIt) {
  EXPECT_EQ(Run({"--images", PathOf("nowhere"), "--state", "blank"}), kRunFailed);
  EXPECT_NE(errors.find("status -11: a file could not be opened"), std::string::npos) << errors;
  EXPECT_NE(errors.find("image file bootmanager.sb"), std::string::npos) << errors;
}

TEST_F(RunMainTest, ASavedFlashIsTheNextRunsStartState) {
  ASSERT_EQ(Run({"--state", "blank"}), kRunSucceeded) << errors;
  fs::rename(directory / "flash.bin", directory / "saved.bin");
  ASSERT_EQ(Run({"--load-flash", PathOf("saved.bin"), "--mode", "keep-data"}), kRunSucceeded)
      << errors;
  EXPECT_NE(output.find("current firmware version: 002.000.000"), std::string::npos) << output;
}

TEST_F(RunMainTest, UnloadableFlashImageFailsTheRun) {
  EXPECT_EQ(Run({"--load-flash", PathOf("missing.bin")}), kRunFailed);
  EXPECT_NE(errors.find("cannot load the flash image"), std::string::npos) << errors;
}

TEST_F(RunMainTest, DataDriveIsSavedRawForTheFileSystemTools) {
  ASSERT_EQ(Run({"--state", "blank", "--save-data", PathOf("data.img")}), kRunSucceeded);
  sim::Flash flash(32 * kMiB, 2048, 512);
  ASSERT_TRUE(LoadFlash(flash));
  EXPECT_EQ(fs::file_size(directory / "data.img"), flash.DataDrive()->SizeInBytes());
}

TEST_F(RunMainTest, SaveFailureFailsASuccessfulRun) {
  EXPECT_EQ(Run({"--save-data", PathOf("no/such/dir/data.img")}), kRunFailed);
  EXPECT_NE(errors.find("cannot save the data drive"), std::string::npos) << errors;
}

TEST_F(RunMainTest, BadOptionsPrintUsageAndExit2) {
  EXPECT_EQ(Run({"--rounds", "many"}), kBadOptions);
  EXPECT_NE(errors.find("usage: ombra-run"), std::string::npos) << errors;
}

}  // namespace
