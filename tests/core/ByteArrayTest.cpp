#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>

#include "core/RyByteArray.h"
#include "sim/Machine.h"

namespace {

// Containers are not copyable, so buffers are built on the heap.
std::unique_ptr<CRyByteArray> MakeBytes(std::initializer_list<std::uint8_t> bytes) {
  auto array =
      std::make_unique<CRyByteArray>(static_cast<std::uint32_t>(bytes.size()), "CRyByteArray");
  std::uint32_t i = 0;
  for (std::uint8_t b : bytes) array->SetAt(i++, b);
  return array;
}

// Every field access against a 6-byte buffer holding 01 02 03 04 05 06.
struct FieldCase {
  const char* what;
  std::uint32_t width;
  std::uint32_t offset;
  std::int32_t result;
  std::uint64_t value;  // read back on success
};

class FieldBounds : public ::testing::TestWithParam<FieldCase> {};

std::int32_t ReadField(const CRyByteArray& bytes, std::uint32_t width, std::uint32_t offset,
                       std::uint64_t& value) {
  std::int32_t result = RyStatus::kFailed;
  if (width == 1) {
    int flag = -1;
    result = bytes.ReadFlag(flag, offset);
    value = static_cast<std::uint64_t>(flag);
  } else if (width == 2) {
    std::uint16_t v = 0xEEEE;
    result = bytes.ReadU16BE(v, offset);
    value = v;
  } else if (width == 4) {
    std::uint32_t v = 0xEEEEEEEE;
    result = bytes.ReadU32BE(v, offset);
    value = v;
  } else {
    result = bytes.ReadU64BE(value, offset);
  }
  return result;
}

TEST_P(FieldBounds, ReadsFitOrAreRefusedUntouched) {
  const FieldCase& c = GetParam();
  sim::ScopedMachine machine;
  auto bytes = MakeBytes({1, 2, 3, 4, 5, 6});
  std::uint64_t value = 0xEEEEEEEEEEEEEEEE;
  EXPECT_EQ(ReadField(*bytes, c.width, c.offset, value), c.result);
  if (c.result == RyStatus::kSuccess) {
    EXPECT_EQ(value, c.value);
  } else if (c.width == 8) {
    EXPECT_EQ(value, 0xEEEEEEEEEEEEEEEEu) << "out value changed on failure";
  }
}

TEST_P(FieldBounds, RefusedWritesLeaveBufferUnchanged) {
  const FieldCase& c = GetParam();
  if (c.width == 1 || c.result == RyStatus::kSuccess) return;
  sim::ScopedMachine machine;
  auto bytes = MakeBytes({1, 2, 3, 4, 5, 6});
  auto before = MakeBytes({1, 2, 3, 4, 5, 6});
  std::int32_t result = 0;
  if (c.width == 2) result = bytes->WriteU16BE(0xFFFF, c.offset);
  if (c.width == 4) result = bytes->WriteU32BE(0xFFFFFFFF, c.offset);
  if (c.width == 8) result = bytes->WriteU64BE(~0ull, c.offset);
  EXPECT_EQ(result, RyStatus::kFieldOutOfRange);
  EXPECT_EQ(bytes->IsEqual(*before), 1);
}

INSTANTIATE_TEST_SUITE_P(ByteArray, FieldBounds,
                         ::testing::Values(FieldCase{"u16 last two bytes", 2, 4, 0, 0x0506},
                                           FieldCase{"u16 at last byte", 2, 5, -3, 0},
                                           FieldCase{"u16 at count", 2, 6, -3, 0},
                                           FieldCase{"u32 first", 4, 0, 0, 0x01020304},
                                           FieldCase{"u32 last four", 4, 2, 0, 0x03040506},
                                           FieldCase{"u32 one short", 4, 3, -3, 0},
                                           FieldCase{"u64 longer than buffer", 8, 0, -3, 0},
                                           FieldCase{"u16 offset wraps", 2, 0xFFFFFFFF, -3, 0},
                                           FieldCase{"u32 offset wraps", 4, 0xFFFFFFFE, -3, 0},
                                           FieldCase{"flag last byte", 1, 5, 0, 1},
                                           FieldCase{"flag at count", 1, 6, -3, 0}),
                         [](const ::testing::TestParamInfo<FieldCase>& param) {
                           std::string name = param.param.what;
                           for (char& ch : name) {
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

TEST(ByteArray, BigEndianRoundTrips) {
  sim::ScopedMachine machine;
  CRyByteArray bytes(16, "CRyByteArray");
  ASSERT_EQ(bytes.WriteU32BE(0x12345678, 0), RyStatus::kSuccess);
  EXPECT_EQ(bytes.GetData()[0], 0x12);
  EXPECT_EQ(bytes.GetData()[1], 0x34);
  EXPECT_EQ(bytes.GetData()[2], 0x56);
  EXPECT_EQ(bytes.GetData()[3], 0x78);
  std::uint32_t u32 = 0;
  ASSERT_EQ(bytes.ReadU32BE(u32, 0), RyStatus::kSuccess);
  EXPECT_EQ(u32, 0x12345678u);

  ASSERT_EQ(bytes.WriteU64BE(0x0102030405060708ull, 8), RyStatus::kSuccess);
  const std::uint8_t expected[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(std::memcmp(bytes.GetData() + 8, expected, 8), 0);
  std::uint64_t u64 = 0;
  ASSERT_EQ(bytes.ReadU64BE(u64, 8), RyStatus::kSuccess);
  EXPECT_EQ(u64, 0x0102030405060708ull);

  ASSERT_EQ(bytes.WriteU16BE(0xBEEF, 14), RyStatus::kSuccess);
  std::uint16_t u16 = 0;
  ASSERT_EQ(bytes.ReadU16BE(u16, 14), RyStatus::kSuccess);
  EXPECT_EQ(u16, 0xBEEF);
  EXPECT_EQ(bytes.GetData()[14], 0xBE);
}

TEST(ByteArray, FlagIsAnyNonzeroByte) {
  sim::ScopedMachine machine;
  auto bytes = MakeBytes({0x80, 0x00});
  int flag = -1;
  ASSERT_EQ(bytes->ReadFlag(flag, 0), RyStatus::kSuccess);
  EXPECT_EQ(flag, 1);
  ASSERT_EQ(bytes->ReadFlag(flag, 1), RyStatus::kSuccess);
  EXPECT_EQ(flag, 0);
}

TEST(ByteArray, ByteRunsAreBoundsChecked) {
  sim::ScopedMachine machine;
  CRyByteArray bytes(4, "CRyByteArray");
  const std::uint8_t source[4] = {9, 8, 7, 6};
  EXPECT_EQ(bytes.WriteBytes(source, 3, 2), RyStatus::kFieldOutOfRange);
  EXPECT_EQ(bytes.GetData()[2], 0);
  ASSERT_EQ(bytes.WriteBytes(source, 2, 2), RyStatus::kSuccess);
  std::uint8_t out[4] = {0, 0, 0, 0};
  EXPECT_EQ(bytes.ReadBytes(out, 5, 0), RyStatus::kFieldOutOfRange);
  EXPECT_EQ(out[0], 0);
  ASSERT_EQ(bytes.ReadBytes(out, 4, 0), RyStatus::kSuccess);
  EXPECT_EQ(out[2], 9);
  EXPECT_EQ(out[3], 8);
  // Zero-length runs copy nothing anywhere, even beyond the end.
  EXPECT_EQ(bytes.ReadBytes(nullptr, 0, 100), RyStatus::kSuccess);
  EXPECT_EQ(bytes.WriteBytes(nullptr, 0, 100), RyStatus::kSuccess);
}

TEST(ByteArray, Equality) {
  sim::ScopedMachine machine;
  const CRyByteArray empty1(0, "CRyByteArray"), empty2(0, "CRyByteArray");
  EXPECT_EQ(empty1.IsEqual(empty2), 1);
  EXPECT_EQ(empty1.IsDifferent(empty2), 0);

  auto abc = MakeBytes({1, 2, 3});
  auto abcCopy = MakeBytes({1, 2, 3});
  auto prefix = MakeBytes({1, 2});
  auto lastDiffers = MakeBytes({1, 2, 4});
  EXPECT_EQ(abc->IsEqual(*abcCopy), 1);
  EXPECT_EQ(abc->IsEqual(*prefix), 0);
  EXPECT_EQ(prefix->IsEqual(*abc), 0);
  EXPECT_EQ(abc->IsEqual(*lastDiffers), 0);
  EXPECT_EQ(abc->IsDifferent(*lastDiffers), 1);
  EXPECT_EQ(abc->IsDifferent(*abcCopy), 0);
}

TEST(ByteArray, HexText) {
  sim::ScopedMachine machine;
  EXPECT_EQ(MakeBytes({0x01, 0xAB, 0x00})->ToHexText(), L"0x1, 0xab, 0x0");
  EXPECT_EQ(MakeBytes({0xFF})->ToHexText(), L"0xff");
  EXPECT_EQ(CRyByteArray(0, "CRyByteArray").ToHexText(), L"");
}

}  // namespace
