// Firmware component images: the header scan, the marker, the image bytes
// with FFh beyond them, and the error record entry.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/RyStatus.h"
#include "player/RyFwComponent.h"
#include "tests/player_media/ImageFiles.h"
#include "tests/support/TestDeviceOwner.h"

namespace {

constexpr std::uint8_t kUsbMsc = 2;
constexpr const wchar_t* kUsbMscFile = L"C:\\usbmsc.sb";

std::string Version(const CRyVersionInfo& version) {
  return std::to_string(version.GetMajor()) + "." + std::to_string(version.GetMinor()) + "." +
         std::to_string(version.GetRevision());
}

std::vector<std::uint8_t> ImageOf(const CRyFwComponent& component) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(component.GetImageLength()));
  component.GetImageBytes(0, static_cast<std::uint32_t>(bytes.size()), bytes.data());
  return bytes;
}

class FwComponentTest : public ::testing::Test {
 protected:
  void Put(const mkimage::ImageFile& file) { test::PutImage(*machine, kUsbMscFile, file); }
  void PutRaw(const std::vector<std::uint8_t>& bytes) { machine->Files().Put(kUsbMscFile, bytes); }

  CRyFwComponent& Load() {
    component = std::make_unique<CRyFwComponent>(&owner, kUsbMsc, "CRyFwComponent");
    return *component;
  }
  std::string Product() {
    CRyVersionInfo version("CRyVersionInfo");
    component->GetProductVersion(version);
    return Version(version);
  }
  std::string Component() {
    CRyVersionInfo version("CRyVersionInfo");
    component->GetComponentVersion(version);
    return Version(version);
  }

  sim::ScopedMachine machine;
  test::TestDeviceOwner owner;
  std::unique_ptr<CRyFwComponent> component;
};

TEST_F(FwComponentTest, VersionedImageYieldsThePayloadAfterTheMarker) {
  const std::vector<std::uint8_t> payload = test::Payload(1000);
  Put(mkimage::VersionedImage({1, 2, 3}, {4, 5, 6}, payload));
  ASSERT_EQ(Load().GetStatus(), 0);
  EXPECT_EQ(component->GetHeaderState(), kHeaderBoth);
  EXPECT_EQ(Product(), "1.2.3");
  EXPECT_EQ(Component(), "4.5.6");
  EXPECT_EQ(ImageOf(*component), payload);
  EXPECT_EQ(owner.errorRecord.GetClassName(), "CRyFwComponent");
  EXPECT_EQ(owner.errorRecord.GetComponentIndex(), kUsbMsc);
  EXPECT_EQ(owner.errorRecord.GetStatus(), 0);
}

// How the header lines decide where the image starts.
struct HeaderCase {
  const char* name;
  std::vector<std::string> lines;
  bool withMarker;
  std::int32_t status;
  std::int32_t headerState;
  const char* product;
  const char* component;
  bool wholeFileIsImage;
};

class FwComponentHeaderTest : public FwComponentTest,
                              public ::testing::WithParamInterface<HeaderCase> {};

const std::string kLongLine(80, 'x');

const HeaderCase kHeaderCases[] = {
    {"ComponentLineOnlyNeedsTheMarker",
     {"Component Version: 4.5.6"},
     false,
     -12,
     1,
     "0.0.0",
     "4.5.6",
     false},
    {"ComponentLineOnlyWithMarker",
     {"Component Version: 4.5.6"},
     true,
     0,
     1,
     "0.0.0",
     "4.5.6",
     false},
    {"EitherOrderAmongOtherLines",
     {"K520 firmware", "Component Version:7.8.9", "build 12", "Product Version:   1.2.3"},
     true,
     0,
     2,
     "1.2.3",
     "7.8.9",
     false},
    {"TwoNumbersLeaveTheThirdZero",
     {"Product Version: 1.2", "Component Version: 3.4.5"},
     true,
     0,
     2,
     "1.2.0",
     "3.4.5",
     false},
    {"EmptyProductLineDoesNotCount",
     {"Product Version:   ", "Comment"},
     true,
     0,
     3,
     "0.0.0",
     "0.0.0",
     true},
    {"VersionPartsKeepTheirLow16Bits",
     {"Product Version: 65537.2.3", "Component Version: 1.1.1"},
     true,
     0,
     2,
     "1.2.3",
     "1.1.1",
     false},
    // The scan stops at a line that is too long: what came before decides.
    {"LongLineBeforeTheVersionsEndsTheScan",
     {kLongLine, "Product Version: 1.2.3", "Component Version: 4.5.6"},
     true,
     0,
     3,
     "0.0.0",
     "0.0.0",
     true},
    {"LongLineBetweenTheVersionsKeepsTheFirst",
     {"Product Version: 1.2.3", kLongLine, "Component Version: 4.5.6"},
     true,
     0,
     0,
     "1.2.3",
     "0.0.0",
     false},
    {"LineOf79CharactersIsRead",
     {"Product Version: 1.2.3", std::string(79, 'y'), "Component Version: 4.5.6"},
     true,
     0,
     2,
     "1.2.3",
     "4.5.6",
     false},
};

TEST_P(FwComponentHeaderTest, LoadsAsTheHeaderSays) {
  const HeaderCase& c = GetParam();
  mkimage::ImageFile file;
  file.headerLines = c.lines;
  file.withMarker = c.withMarker;
  file.payload = test::Payload(300);
  Put(file);
  EXPECT_EQ(Load().GetStatus(), c.status);
  EXPECT_EQ(component->GetHeaderState(), c.headerState);
  EXPECT_EQ(Product(), c.product);
  EXPECT_EQ(Component(), c.component);
  EXPECT_EQ(owner.errorRecord.GetStatus(), c.status);
  if (c.status != 0) {
    EXPECT_EQ(component->GetImageLength(), 0u);
  } else if (c.wholeFileIsImage) {
    EXPECT_EQ(ImageOf(*component), mkimage::BuildImageFile(file));
  } else {
    EXPECT_EQ(ImageOf(*component), file.payload);
  }
}

INSTANTIATE_TEST_SUITE_P(Headers, FwComponentHeaderTest, ::testing::ValuesIn(kHeaderCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(FwComponentTest, LineEndsOfEitherKindAreRead) {
  for (const char* lineEnd : {"\n", "\r\n"}) {
    mkimage::ImageFile file = mkimage::VersionedImage({1, 0, 0}, {2, 0, 0}, test::Payload(10));
    file.lineEnd = lineEnd;
    Put(file);
    ASSERT_EQ(Load().GetStatus(), 0) << "line end of " << std::string(lineEnd).size();
    EXPECT_EQ(Product(), "1.0.0");
    EXPECT_EQ(Component(), "2.0.0");
    EXPECT_EQ(ImageOf(*component), file.payload);
  }
}

TEST_F(FwComponentTest, RawDataIsTakenWholeEvenWithAMarkerInside) {
  std::vector<std::uint8_t> raw = test::Payload(64);
  const std::vector<std::uint8_t> marker(std::begin(CRyFwComponent::kImageMarker),
                                         std::end(CRyFwComponent::kImageMarker));
  raw.insert(raw.begin() + 20, marker.begin(), marker.end());
  PutRaw(raw);
  ASSERT_EQ(Load().GetStatus(), 0);
  EXPECT_EQ(component->GetHeaderState(), kHeaderNone);
  EXPECT_EQ(ImageOf(*component), raw);
}

TEST_F(FwComponentTest, FirstMarkerWinsAndLaterCopiesBelongToTheImage) {
  std::vector<std::uint8_t> payload = test::Payload(40);
  payload.insert(payload.begin() + 10, std::begin(CRyFwComponent::kImageMarker),
                 std::end(CRyFwComponent::kImageMarker));
  Put(mkimage::VersionedImage({1, 2, 3}, {4, 5, 6}, payload));
  ASSERT_EQ(Load().GetStatus(), 0);
  EXPECT_EQ(ImageOf(*component), payload);
}

TEST_F(FwComponentTest, MarkerCutShortAtTheEndIsNoMarker) {
  mkimage::ImageFile file;
  file.headerLines = {"Product Version: 1.2.3"};
  file.withMarker = false;
  std::vector<std::uint8_t> bytes = mkimage::BuildImageFile(file);
  bytes.insert(bytes.end(), {0x1A, 'R', 'D', 'M'});
  PutRaw(bytes);
  EXPECT_EQ(Load().GetStatus(), -12);
}

TEST_F(FwComponentTest, MissingFileFailsAndIsRecorded) {
  EXPECT_EQ(Load().GetStatus(), -11);
  EXPECT_EQ(component->GetImageLength(), 0u);
  EXPECT_EQ(owner.errorRecord.GetStatus(), -11);
  EXPECT_EQ(owner.errorRecord.GetComponentIndex(), kUsbMsc);
}

TEST_F(FwComponentTest, FileOpenedExclusivelyElsewhereCannotBeLoaded) {
  Put(mkimage::VersionedImage({1, 2, 3}, {4, 5, 6}, test::Payload(10)));
  const HANDLE writer = os::CreateFileW(kUsbMscFile, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Load().GetStatus(), -11);
  os::CloseHandle(writer);
}

TEST_F(FwComponentTest, EmptyFileIsAnEmptyImage) {
  PutRaw({});
  ASSERT_EQ(Load().GetStatus(), 0);
  EXPECT_EQ(component->GetImageLength(), 0u);
}

TEST_F(FwComponentTest, NoMemoryForTheImageGivesMinusOne) {
  Put(mkimage::VersionedImage({1, 2, 3}, {4, 5, 6}, test::Payload(4096)));
  machine->FailAllocationsAfter(1);  // the file is read, the image finds no memory
  EXPECT_EQ(Load().GetStatus(), -1);
  EXPECT_EQ(component->GetImageLength(), 0u);
}

// GetImageBytes: image bytes while they last, FFh from the end on.
struct SliceCase {
  std::uint64_t offset;
  std::uint32_t length;
  std::uint32_t outCount;
  std::uint32_t imageBytes;  // how many come from the image, the rest FFh
};

TEST_F(FwComponentTest, ImageBytesAreFilledWithFFhBeyondTheImage) {
  const std::vector<std::uint8_t> payload = test::Payload(1000);
  Put(mkimage::VersionedImage({1, 2, 3}, {4, 5, 6}, payload));
  ASSERT_EQ(Load().GetStatus(), 0);
  const SliceCase cases[] = {
      {900, 200, 200, 100},  // 100 image bytes, then 100 FFh
      {0, 1000, 1000, 1000}, {1000, 16, 16, 0},
      {1001, 4, 16, 0},  // past the end: the whole buffer, whatever the length
      {990, 8, 16, 8},   // the bytes beyond the length stay as they were
  };
  for (const SliceCase& c : cases) {
    CRyByteArray out(c.outCount, "CRyByteArray");
    for (std::uint32_t i = 0; i < c.outCount; ++i) out.SetAt(i, 0x5A);
    ASSERT_EQ(component->GetImageBytes(c.offset, c.length, out), 0);
    const std::uint32_t filled = c.offset > 1000 ? c.outCount : c.length;
    for (std::uint32_t i = 0; i < c.outCount; ++i) {
      std::uint8_t expected = 0x5A;
      if (i < c.imageBytes) {
        expected = payload[static_cast<std::size_t>(c.offset) + i];
      } else if (i < filled) {
        expected = 0xFF;
      }
      std::uint8_t actual = 0;
      out.GetAt(i, actual);
      ASSERT_EQ(actual, expected) << "offset " << c.offset << " byte " << i;
    }
  }
  std::uint8_t plain[200] = {};
  ASSERT_EQ(component->GetImageBytes(900, 200, plain), 0);
  EXPECT_EQ(plain[99], payload[999]);
  EXPECT_EQ(plain[100], 0xFF);
  EXPECT_EQ(plain[199], 0xFF);
}

}  // namespace
