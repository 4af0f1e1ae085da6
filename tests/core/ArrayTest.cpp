#include <gtest/gtest.h>

#include "core/RyArray.h"
#include "sim/Machine.h"

namespace {

class ArrayTest : public ::testing::Test {
 protected:
  sim::ScopedMachine machine;
};

TEST_F(ArrayTest, EmptyContainerIsValid) {
  CRyUInt32Array array(0, "CRyArray");
  EXPECT_EQ(array.GetStatus(), RyStatus::kSuccess);
  EXPECT_EQ(array.GetCount(), 0u);
  std::uint32_t out = 7;
  EXPECT_EQ(array.GetAt(0, out), RyStatus::kIndexOutOfRange);
  EXPECT_EQ(out, 7u);
  EXPECT_EQ(array.GetAtPtr(0), nullptr);
  EXPECT_EQ(array.ZeroFill(), RyStatus::kSuccess);
  EXPECT_EQ(array.Reverse(), RyStatus::kSuccess);
}

TEST_F(ArrayTest, ElementsStartAtZeroAndAreBoundsChecked) {
  CRyUInt32Array array(3, "CRyArray");
  ASSERT_EQ(array.GetStatus(), RyStatus::kSuccess);
  std::uint32_t out = 99;
  ASSERT_EQ(array.GetAt(2, out), RyStatus::kSuccess);
  EXPECT_EQ(out, 0u);

  EXPECT_EQ(array.SetAt(2, 0xCAFEF00D), RyStatus::kSuccess);
  EXPECT_EQ(array.GetAt(2, out), RyStatus::kSuccess);
  EXPECT_EQ(out, 0xCAFEF00Du);
  EXPECT_EQ(*array.GetAtPtr(2), 0xCAFEF00Du);

  out = 1;
  EXPECT_EQ(array.GetAt(3, out), RyStatus::kIndexOutOfRange);
  EXPECT_EQ(out, 1u);
  EXPECT_EQ(array.SetAt(3, 5), RyStatus::kIndexOutOfRange);
  EXPECT_EQ(array.GetAtPtr(3), nullptr);
  EXPECT_EQ(array.GetAtPtr(0xFFFFFFFF), nullptr);
}

TEST_F(ArrayTest, ReverseAndZeroFill) {
  for (std::uint32_t count : {1u, 4u, 5u}) {
    CRyUInt32Array array(count, "CRyArray");
    for (std::uint32_t i = 0; i < count; ++i) array.SetAt(i, i + 1);
    ASSERT_EQ(array.Reverse(), RyStatus::kSuccess);
    for (std::uint32_t i = 0; i < count; ++i) {
      std::uint32_t out = 0;
      array.GetAt(i, out);
      EXPECT_EQ(out, count - i) << "count " << count << " index " << i;
    }
    array.ZeroFill();
    for (std::uint32_t i = 0; i < count; ++i) EXPECT_EQ(*array.GetAtPtr(i), 0u);
  }
}

TEST_F(ArrayTest, StorageThatCannotBeObtainedLeavesNothingUsable) {
  machine->FailAllocationsAfter(0);
  CRyUInt32Array array(16, "CRyArray");
  EXPECT_EQ(array.GetStatus(), RyStatus::kFailed);
  EXPECT_EQ(array.GetCount(), 0u);
  EXPECT_EQ(array.GetAtPtr(0), nullptr);
  EXPECT_EQ(array.SetAt(0, 1), RyStatus::kIndexOutOfRange);
}

TEST_F(ArrayTest, CountBeyondAddressableBytesFails) {
  // 2^32 - 1 four-byte elements cannot be held: never a short buffer instead.
  CRyUInt32Array array(0xFFFFFFFF, "CRyArray");
  EXPECT_EQ(array.GetStatus(), RyStatus::kFailed);
  EXPECT_EQ(array.GetCount(), 0u);
}

TEST_F(ArrayTest, FreeStorageThenAllocate) {
  CRyUInt32Array array(4, "CRyArray");
  array.SetAt(0, 42);
  EXPECT_EQ(array.FreeStorage(), RyStatus::kSuccess);
  EXPECT_EQ(array.GetCount(), 0u);
  EXPECT_EQ(machine->LiveAllocationCount(), 0u);

  EXPECT_EQ(array.Allocate(8), RyStatus::kSuccess);
  EXPECT_EQ(array.GetCount(), 8u);
  EXPECT_EQ(*array.GetAtPtr(0), 0u);

  array.FreeStorage();
  machine->FailAllocationsAfter(0);
  EXPECT_EQ(array.Allocate(8), RyStatus::kFailed);
  EXPECT_EQ(array.GetStatus(), RyStatus::kFailed);
  EXPECT_EQ(array.GetCount(), 0u);
  EXPECT_EQ(array.GetAtPtr(0), nullptr);
}

TEST_F(ArrayTest, AllocateOnLiveStorageDoesNotLeak) {
  {
    CRyUInt32Array array(4, "CRyArray");
    array.Allocate(2);
    EXPECT_EQ(machine->LiveAllocationCount(), 1u);
  }
  EXPECT_EQ(machine->LiveAllocationCount(), 0u);
}

TEST_F(ArrayTest, DestructionReleasesStorage) {
  { CRyUInt32Array array(100, "CRyArray"); }
  EXPECT_EQ(machine->LiveAllocationCount(), 0u);
}

}  // namespace
