#include <gtest/gtest.h>

#include <cstring>

#include "core/RyByteArray.h"
#include "core/RyVersionInfo.h"
#include "sim/Machine.h"

namespace {

CRyVersionInfo MakeVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t revision) {
  CRyVersionInfo version("CRyVersionInfo");
  version.SetMajor(major);
  version.SetMinor(minor);
  version.SetRevision(revision);
  return version;
}

TEST(VersionInfo, Formatting) {
  struct Case {
    std::uint32_t major, minor, revision;
    const wchar_t* text;
  };
  const Case cases[] = {
      {0, 0, 0, L"000.000.000"},
      {1, 2, 3, L"001.002.003"},
      {0, 0, 7, L"000.000.007"},
      {1000, 20, 65535, L"1000.020.65535"},
      {65535, 65535, 65535, L"65535.65535.65535"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MakeVersion(c.major, c.minor, c.revision).ToString(), c.text);
  }
}

TEST(VersionInfo, SettersKeepLowSixteenBits) {
  CRyVersionInfo version("CRyVersionInfo");
  EXPECT_EQ(version.SetMajor(65537), 1);
  EXPECT_EQ(version.SetMinor(0x12345678), 0x5678);
  EXPECT_EQ(version.SetRevision(65535), 65535);
  EXPECT_EQ(version.GetMajor(), 1);
  EXPECT_EQ(version.GetMinor(), 0x5678);
}

TEST(VersionInfo, CopyIsIndistinguishable) {
  class FailedVersion : public CRyVersionInfo {
   public:
    FailedVersion() : CRyVersionInfo("Component") {
      status = -12;
      systemError = 38;
    }
  };
  FailedVersion source;
  source.SetMajor(4);
  CRyVersionInfo copy(source);
  EXPECT_EQ(copy.GetObjectName(), "Component");
  EXPECT_EQ(copy.GetStatus(), -12);
  EXPECT_EQ(copy.GetSystemError(), 38u);
  EXPECT_EQ(copy.GetMajor(), 4);

  CRyVersionInfo assigned("CRyVersionInfo");
  assigned = source;
  EXPECT_EQ(assigned.GetObjectName(), "Component");
  EXPECT_EQ(assigned.GetStatus(), -12);
}

TEST(VersionInfo, HeaderTextScan) {
  struct Case {
    const char* text;
    bool versionLine;
    std::uint16_t major, minor, revision;
  };
  const Case cases[] = {
      {"1.2.3", true, 1, 2, 3},
      {"  2.4", true, 2, 4, 0},  // parts not reached stay 0
      {"\t10.20.30\r\n", true, 10, 20, 30},
      {"7", true, 7, 0, 0},
      {"1. 2. 3", true, 1, 2, 3},  // blanks before a number are skipped
      {"1 .2.3", true, 1, 0, 0},   // but not before a full stop
      {"1.x.3", true, 1, 0, 0},
      {"abc", true, 0, 0, 0},        // a mismatch is still a version line
      {"65537.2.3", true, 1, 2, 3},  // low 16 bits are kept
      {"+5.6.7", true, 5, 6, 7},
      {"-1.0.0", true, 65535, 0, 0},      // as the C library's %u reads it
      {"4294967297.0.0", true, 1, 0, 0},  // wraps modulo 2^32 on every build
      {"", false, 0, 0, 0},
      {"   \r\n", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    CRyVersionInfo version = MakeVersion(9, 9, 9);
    EXPECT_EQ(version.ScanHeaderText(c.text), c.versionLine) << c.text;
    if (!c.versionLine) continue;
    EXPECT_EQ(version.GetMajor(), c.major) << c.text;
    EXPECT_EQ(version.GetMinor(), c.minor) << c.text;
    EXPECT_EQ(version.GetRevision(), c.revision) << c.text;
  }
}

TEST(VersionInfo, ProtocolRecord) {
  sim::ScopedMachine machine;
  CRyByteArray answer(48, "CRyByteArray");
  const std::uint8_t record[6] = {0x00, 0x01, 0x00, 0x02, 0x01, 0x00};
  answer.WriteBytes(record, 6, 0);
  CRyVersionInfo version("CRyVersionInfo");
  ASSERT_EQ(version.ReadRecord(answer, 0), RyStatus::kSuccess);
  EXPECT_EQ(version.GetMajor(), 1);
  EXPECT_EQ(version.GetMinor(), 2);
  EXPECT_EQ(version.GetRevision(), 256);

  CRyByteArray cdb(16, "CRyByteArray");
  ASSERT_EQ(MakeVersion(1, 2, 3).WriteRecord(cdb, 4), RyStatus::kSuccess);
  const std::uint8_t expected[16] = {0, 0, 0, 0, 0, 1, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(cdb.GetData(), expected, 16), 0);
}

TEST(VersionInfo, ShortRecordChangesNothing) {
  sim::ScopedMachine machine;
  CRyByteArray shortAnswer(5, "CRyByteArray");
  shortAnswer.SetAt(0, 0x7F);
  CRyVersionInfo version = MakeVersion(4, 5, 6);
  EXPECT_EQ(version.ReadRecord(shortAnswer, 0), RyStatus::kFieldOutOfRange);
  EXPECT_EQ(version.ToString(), L"004.005.006");
  EXPECT_EQ(version.ReadRecord(shortAnswer, 0xFFFFFFFE), RyStatus::kFieldOutOfRange);

  EXPECT_EQ(version.WriteRecord(shortAnswer, 0), RyStatus::kFieldOutOfRange);
  std::uint8_t first = 0;
  shortAnswer.GetAt(0, first);
  EXPECT_EQ(first, 0x7F);
}

}  // namespace
