// The formatted data drive as tools written elsewhere see it: fsck.fat on
// the partition cut out of the saved drive image, minfo, mdir, mcopy and
// mtype on the image at the partition's offset.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "sim/FlashImage.h"
#include "tests/formatter/FormatBench.h"
#include "tests/support/FatTools.h"

namespace {

struct ToolCase {
  const char* name;
  std::uint64_t mebibytes;
  bool configured;  // FAT16 forced as configured, else the type by size
  const char* fatType;
  std::uint32_t sectorsPerCluster;
  std::uint32_t cylinders;  // heads 256 and 32 sectors per track for all
};

// Powers of two: the exact geometry has 256 heads of 32 sectors and
// size / 4 MiB cylinders.
const ToolCase kCases[] = {
    {"Fat16Forced8MiB", 8, true, "FAT16", 1, 2},
    {"Fat16Forced32MiB", 32, true, "FAT16", 1, 8},
    {"Fat16Forced64MiB", 64, true, "FAT16", 2, 16},
    {"Fat16Forced128MiB", 128, true, "FAT16", 4, 32},
    {"Fat16Forced512MiB", 512, true, "FAT16", 16, 128},
    {"Fat16Forced2GiB", 2048, true, "FAT16", 64, 512},
    {"BySize8MiB", 8, false, "FAT16", 1, 2},
    {"BySize32MiB", 32, false, "FAT16", 1, 8},
    {"BySize64MiB", 64, false, "FAT32", 1, 16},
    {"BySize128MiB", 128, false, "FAT32", 2, 32},
    {"BySize512MiB", 512, false, "FAT32", 8, 128},
    {"BySize2GiB", 2048, false, "FAT32", 8, 512},
};

// The first number after "key" in text, or -1.
long long NumberAfter(const std::string& text, const std::string& key) {
  std::smatch match;
  if (!std::regex_search(text, match, std::regex(key + "\\s*(\\d+)"))) return -1;
  return std::stoll(match[1]);
}

using test::RunTool;
using test::ToolRun;

class FatToolsTest : public ::testing::TestWithParam<ToolCase> {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch.Path().empty());
    directory = scratch.Path();
    image = directory + "/drive.img";
    partition = directory + "/partition.img";
    rcFile = directory + "/mtoolsrc";
    std::ofstream(rcFile) << "mtools_skip_check=1\n";
  }

  std::string Mtools(const std::string& tool, const std::string& arguments) const {
    return "MTOOLSRC='" + rcFile + "' MTOOLS_SKIP_CHECK=1 " + tool + " -i '" + image + "@@" +
           std::to_string(offset) + "' " + arguments;
  }

  test::ScratchDirectory scratch;
  std::string directory, image, partition, rcFile;
  std::uint64_t offset = 0;
};

TEST_P(FatToolsTest, ToolsAcceptTheFormattedDrive) {
  const ToolCase& c = GetParam();
  const std::uint64_t bytes = c.mebibytes * test::FormatBench::kMiB;
  {
    test::FormatBench bench(bytes);
    ASSERT_EQ(bench.DataDriveBytes(), bytes);
    ASSERT_EQ(bench.Format(c.configured), 0);
    ASSERT_TRUE(sim::SaveDataDriveImage(bench.bench->player->GetFlash(), image));
  }
  std::uint32_t start = 0, sectors = 0;
  ASSERT_TRUE(test::CutPartition(image, partition, start, sectors));
  EXPECT_EQ(start, 32u);
  offset = std::uint64_t{start} * 512;

  const ToolRun fsck = RunTool("fsck.fat -n -V '" + partition + "'");
  EXPECT_EQ(fsck.exitCode, 0) << fsck.output;
  const long long clusters = NumberAfter(fsck.output, "files, \\d+/");
  ASSERT_GT(clusters, 0) << fsck.output;
  RecordProperty("clusters", std::to_string(clusters));
  if (std::string(c.fatType) == "FAT32") {
    EXPECT_GE(clusters, 65525);
  } else {
    EXPECT_FALSE(clusters >= 4085 && clusters <= 4086);
    EXPECT_LT(clusters, 65525);
  }
  RunTool("rm -f '" + partition + "'");

  const ToolRun info = RunTool(Mtools("minfo", "::"));
  ASSERT_EQ(info.exitCode, 0) << info.output;
  EXPECT_NE(info.output.find(std::string("disk type=\"") + c.fatType), std::string::npos)
      << info.output;
  EXPECT_NE(info.output.find("disk label=\"K520       \""), std::string::npos) << info.output;
  EXPECT_EQ(NumberAfter(info.output, "cluster size:"), c.sectorsPerCluster);
  EXPECT_EQ(NumberAfter(info.output, "cylinders:"), c.cylinders);
  EXPECT_EQ(NumberAfter(info.output, "\\nheads:"), 256);
  EXPECT_EQ(NumberAfter(info.output, "\\nsectors per track:"), 32);
  EXPECT_EQ(NumberAfter(info.output, "hidden sectors:"), 32);

  const ToolRun listing = RunTool(Mtools("mdir", "::"));
  ASSERT_EQ(listing.exitCode, 0) << listing.output;
  EXPECT_NE(listing.output.find("Volume in drive : is K520"), std::string::npos) << listing.output;

  const std::string source = directory + "/hello.txt";
  std::ofstream(source) << "written by mcopy\n";
  const ToolRun copy = RunTool(Mtools("mcopy", "'" + source + "' ::HELLO.TXT"));
  ASSERT_EQ(copy.exitCode, 0) << copy.output;
  const ToolRun back = RunTool(Mtools("mtype", "::HELLO.TXT"));
  EXPECT_EQ(back.exitCode, 0);
  EXPECT_EQ(back.output, "written by mcopy\n");
}

INSTANTIATE_TEST_SUITE_P(Sizes, FatToolsTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ToolCase>& param) {
                           return std::string(param.param.name);
                         });

}  // namespace
