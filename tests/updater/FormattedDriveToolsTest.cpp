// The data drive an update with formatting leaves behind, as fsck.fat and
// mtools see it.

#include <gtest/gtest.h>

#include <string>

#include "sim/FlashImage.h"
#include "tests/support/FatTools.h"
#include "tests/updater/UpdaterBench.h"

namespace {

TEST(FormattedDriveToolsTest, UpdateAndFormatLeavesAFileSystemTheToolsAccept) {
  test::ScratchDirectory scratch;
  ASSERT_FALSE(scratch.Path().empty());
  const std::string image = scratch.Path() + "/data.img";
  const std::string partition = scratch.Path() + "/partition.img";
  {
    test::UpdaterBench bench;
    ASSERT_EQ(bench.Updater().ConnectUsbDevice(), 0);
    ASSERT_EQ(bench.Updater().UpdateAndFormat(), 0);
    ASSERT_TRUE(sim::SaveDataDriveImage(bench.Flash(), image));
  }
  std::uint32_t start = 0, sectors = 0;
  ASSERT_TRUE(test::CutPartition(image, partition, start, sectors));
  const test::ToolRun fsck = test::RunTool("fsck.fat -n -V '" + partition + "'");
  EXPECT_EQ(fsck.exitCode, 0) << fsck.output;
  const test::ToolRun listing = test::RunTool("MTOOLS_SKIP_CHECK=1 mdir -i '" + image + "@@" +
                                              std::to_string(std::uint64_t{start} * 512) + "' ::");
  EXPECT_EQ(listing.exitCode, 0) << listing.output;
  EXPECT_NE(listing.output.find("Volume in drive : is K520"), std::string::npos) << listing.output;
  const test::ToolRun info = test::RunTool("MTOOLS_SKIP_CHECK=1 minfo -i '" + image + "@@" +
                                           std::to_string(std::uint64_t{start} * 512) + "' ::");
  EXPECT_NE(info.output.find("disk type=\"FAT16"), std::string::npos) << info.output;
}

}  // namespace
