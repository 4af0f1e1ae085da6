// The sparse store behind every emulated medium and drive.

#include <gtest/gtest.h>

#include <vector>

#include "sim/SparseBlockStore.h"
#include "tests/sim_devices/DeviceExchange.h"

namespace {

constexpr std::uint32_t kPage = sim::SparseBlockStore::kPageSize;
constexpr std::uint8_t kFill = 0xFF;

TEST(SparseBlockStoreTest, UnalignedWritesAcrossPagesReadBackExactly) {
  sim::SparseBlockStore store(512, 64, kFill);
  const struct {
    std::uint64_t offset;
    std::size_t length;
  } writes[] = {{kPage - 3, 7}, {2 * kPage + 100, 3 * kPage}, {0, 1}, {64 * 512 - 5, 5}};
  std::vector<std::uint8_t> model(64 * 512, kFill);
  std::uint8_t seed = 1;
  for (const auto& write : writes) {
    const std::vector<std::uint8_t> data = test::Pattern(write.length, seed++);
    store.WriteBytes(write.offset, data);
    std::copy(data.begin(), data.end(), model.begin() + static_cast<std::ptrdiff_t>(write.offset));
  }
  EXPECT_EQ(store.ReadBytes(0, model.size()), model);
  std::vector<std::uint8_t> blocks(3 * 512);
  store.ReadBlocks(7, 3, blocks.data());
  EXPECT_EQ(blocks, std::vector<std::uint8_t>(model.begin() + 7 * 512, model.begin() + 10 * 512));
}

TEST(SparseBlockStoreTest, PagesOfOneValueCostOneByteAndFillCostsNothing) {
  sim::SparseBlockStore store(512, std::uint64_t{1} << 24, kFill);
  store.WriteBytes(0, test::Pattern(3 * kPage, 2));
  EXPECT_EQ(store.StoredBytes(), 3u * kPage);

  store.WriteBytes(0, std::vector<std::uint8_t>(2 * kPage, 0x00));
  EXPECT_EQ(store.StoredBytes(), 2u + kPage);
  store.WriteBytes(2 * kPage, std::vector<std::uint8_t>(kPage, kFill));
  EXPECT_EQ(store.StoredPageCount(), 2u);
  EXPECT_EQ(store.ReadBytes(kPage - 1, 2), (std::vector<std::uint8_t>{0x00, 0x00}));
  EXPECT_EQ(store.ReadBytes(3 * kPage - 1, 2), (std::vector<std::uint8_t>{kFill, kFill}));

  store.WriteBytes(kPage + 10, {0x01});
  EXPECT_EQ(store.ReadBytes(kPage + 9, 3), (std::vector<std::uint8_t>{0x00, 0x01, 0x00}));

  store.Erase();
  EXPECT_EQ(store.StoredPageCount(), 0u);
  EXPECT_EQ(store.ReadBytes(kPage + 10, 1), std::vector<std::uint8_t>{kFill});
}

TEST(SparseBlockStoreTest, ContainsRefusesRangesThatWouldWrap) {
  sim::SparseBlockStore store(512, 100, kFill);
  EXPECT_TRUE(store.Contains(0, 100));
  EXPECT_TRUE(store.Contains(100, 0));
  EXPECT_FALSE(store.Contains(99, 2));
  EXPECT_FALSE(store.Contains(101, 0));
  EXPECT_FALSE(store.Contains(2, ~std::uint64_t{0}));
}

}  // namespace
