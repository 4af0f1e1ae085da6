// What every transport shares: SendCommand, the READ(10)/WRITE(10) sector
// defaults, the identity test, the media query and the sense text.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/RyStatus.h"
#include "device/RyScsi.h"
#include "device/RyScsiInquiry.h"
#include "player/RyLogicalDriveCommands.h"
#include "player/RyLogicalMediaCommands.h"
#include "sim/Machine.h"
#include "tests/support/CommandExchange.h"
#include "tests/support/TestDeviceOwner.h"

namespace {

// A transport whose device is a script: each Execute is logged and answered
// with the prepared bytes and result.
class ScriptedTransport : public CRyScsi {
 public:
  explicit ScriptedTransport(CRyDeviceOwner* owner) : CRyScsi(owner, "CRyScsi_Nt") {}

  struct Call {
    std::vector<std::uint8_t> request;
    std::int32_t cdbLength;
    std::int32_t dataOut;
    std::uint32_t answerLength;
  };
  std::vector<Call> calls;
  std::vector<std::uint8_t> answer;
  std::int32_t result = 0;

  std::int32_t Execute(const CRyByteArray& request, std::int32_t cdbLength, std::int32_t dataOut,
                       CRyByteArray& answerBuffer) override {
    calls.push_back({test::BytesOf(request), cdbLength, dataOut, answerBuffer.GetCount()});
    const auto length = static_cast<std::uint32_t>(answer.size());
    answerBuffer.WriteBytes(answer.data(),
                            length < answerBuffer.GetCount() ? length : answerBuffer.GetCount(), 0);
    return result;
  }

  using CRyScsi::SenseText;
  using CRyScsi::StoreSenseData;

  std::int32_t Open() override { return 0; }
  std::int32_t LockVolume(std::int32_t) override { return 0; }
  std::int32_t LockForFormat(std::int32_t) override { return 0; }
  std::int32_t ReleaseAfterFormat(std::int32_t) override { return 0; }
  std::int32_t UnlockVolume(std::int32_t) override { return 0; }
  std::int32_t Close() override { return 0; }
  std::int32_t DismountVolume() override { return 0; }
  std::int32_t GetDriveGeometry(DiskGeometry&) override { return 0; }
  std::int32_t FindPlayerDrive() override { return 0; }
};

class TransportBaseTest : public ::testing::Test {
 protected:
  sim::ScopedMachine machine;
  test::TestDeviceOwner owner;
  ScriptedTransport transport{&owner};
};

TEST_F(TransportBaseTest, DataInCommandStoresTheAnswer) {
  CRyGetLogicalDriveInfo sectorSize(2, 0);
  transport.answer = {0x00, 0x00, 0x08, 0x00};
  ASSERT_EQ(transport.SendCommand(sectorSize), 0);
  ASSERT_EQ(transport.calls.size(), 1u);
  EXPECT_EQ(transport.calls[0].cdbLength, 16);
  EXPECT_EQ(transport.calls[0].dataOut, 0);
  EXPECT_EQ(transport.calls[0].answerLength, 4u);
  EXPECT_EQ(transport.calls[0].request, test::CdbBytes(sectorSize));
  std::uint32_t value = 0;
  EXPECT_EQ(sectorSize.GetValue(value), 0);
  EXPECT_EQ(value, 2048u);
}

TEST_F(TransportBaseTest, FailedExchangeIsPassedOnWithoutAnswer) {
  CRyGetLogicalDriveInfo sectorSize(2, 0);
  transport.result = RyStatus::kScsiRequestFailed;
  EXPECT_EQ(transport.SendCommand(sectorSize), RyStatus::kScsiRequestFailed);
  std::uint32_t value = 7;
  EXPECT_NE(sectorSize.GetValue(value), 0);
  EXPECT_EQ(value, 7u);
}

TEST_F(TransportBaseTest, CommandThatFailedConstructionIsNeverSent) {
  CRyGetLogicalMediaInfo unsupported(3);
  EXPECT_EQ(transport.SendCommand(unsupported), RyStatus::kUnsupportedInfoType);
  EXPECT_TRUE(transport.calls.empty());
}

TEST_F(TransportBaseTest, SectorDefaultsUseReadAndWriteTen) {
  CRyByteArray data(1024, "CRyByteArray");
  transport.answer.assign(1024, 0x5A);
  ASSERT_EQ(transport.ReadSectors(data, 2, 100, 512), 0);
  EXPECT_EQ(transport.calls.back().request,
            (std::vector<std::uint8_t>{0x28, 0, 0, 0, 0, 100, 0, 0, 2, 0}));
  EXPECT_EQ(transport.calls.back().answerLength, 1024u);
  EXPECT_EQ(data.GetData()[1023], 0x5A);

  CRyByteArray payload(512, "CRyByteArray");
  payload.SetAt(0, 0xA5);
  ASSERT_EQ(transport.WriteSectors(payload, 1, 100, 512), 0);
  const ScriptedTransport::Call& write = transport.calls.back();
  EXPECT_EQ(write.dataOut, 1);
  EXPECT_EQ(write.cdbLength, 10);
  ASSERT_EQ(write.request.size(), 522u);
  EXPECT_EQ(write.request[0], 0x2A);
  EXPECT_EQ(write.request[10], 0xA5);

  CRyByteArray tooLong(600, "CRyByteArray");
  EXPECT_EQ(transport.WriteSectors(tooLong, 1, 100, 512), RyStatus::kPayloadTooLong);
}

TEST_F(TransportBaseTest, IdentityIgnoresCaseButNotTheTrailingBlanks) {
  struct Case {
    const char* vendor;
    const char* product;
    bool matches;
  };
  const Case cases[] = {
      {"norvik  ", "K520            ", true},  {"NORVIK  ", "k520            ", true},
      {"norvik  ", "K520X           ", false}, {"norvi   ", "K520            ", false},
      {"other   ", "K520            ", false}, {"norvik  ", "K52             ", false},
  };
  std::string product, vendor;
  owner.config.GetScsiProductId(product);
  owner.config.GetScsiVendorId(vendor);
  for (const Case& c : cases) {
    std::uint8_t inquiry[CRyScsi::kInquiryLength] = {};
    std::memcpy(inquiry + 8, c.vendor, 8);
    std::memcpy(inquiry + 16, c.product, 16);
    EXPECT_EQ(transport.MatchInquiry(inquiry, product, vendor), c.matches)
        << c.vendor << "|" << c.product;
  }
}

TEST_F(TransportBaseTest, MediaFlagQuery) {
  for (std::uint8_t byte : {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{0x80}}) {
    transport.answer = {byte};
    int flag = -1;
    ASSERT_EQ(transport.QueryPlayerMediaFlag(flag), 0);
    EXPECT_EQ(flag, byte != 0 ? 1 : 0);
    EXPECT_EQ(transport.calls.back().request[1], 0x02);
    EXPECT_EQ(transport.calls.back().request[2], 9);
  }
  transport.result = RyStatus::kScsiRequestFailed;
  int flag = -1;
  EXPECT_EQ(transport.QueryPlayerMediaFlag(flag), RyStatus::kScsiRequestFailed);
}

std::vector<std::uint8_t> VendorSense(std::uint8_t high, std::uint8_t low) {
  std::vector<std::uint8_t> sense(18, 0);
  sense[0] = 0x70;
  sense[2] = 0x09;
  sense[7] = 10;
  sense[12] = high;
  sense[13] = low;
  return sense;
}

TEST_F(TransportBaseTest, SenseTexts) {
  EXPECT_EQ(transport.SenseText(), L"");

  const std::vector<std::uint8_t> standard = {0x70, 0x00, 0x05, 0x00};
  transport.StoreSenseData(standard.data(), 4);
  EXPECT_EQ(transport.SenseText(), L"0x70, 0x0, 0x5, 0x0");

  owner.resource.texts[621] = L"Unknown device error.";
  owner.resource.texts[260] = L"Drive not found.";
  owner.resource.senseCodes[0x0405] = 260;
  const std::vector<std::uint8_t> known = VendorSense(0x04, 0x05);
  transport.StoreSenseData(known.data(), 18);
  EXPECT_EQ(transport.SenseText(), L"Drive not found.");
  EXPECT_EQ(owner.resource.lastUseEnglish, 0);

  const std::vector<std::uint8_t> unknown = VendorSense(0x12, 0x34);
  transport.StoreSenseData(unknown.data(), 18);
  EXPECT_EQ(transport.SenseText(),
            L"Unknown device error.\r\n0x70, 0x0, 0x9, 0x0, 0x0, 0x0, 0x0, 0xa, 0x0, 0x0, 0x0, "
            L"0x0, 0x12, 0x34, 0x0, 0x0, 0x0, 0x0");

  // Sense key 9 with flag bits set is not the vendor form.
  std::vector<std::uint8_t> flagged = VendorSense(0x04, 0x05);
  flagged[2] = 0x89;
  transport.StoreSenseData(flagged.data(), 18);
  EXPECT_EQ(transport.SenseText().rfind(L"0x70, 0x0, 0x89", 0), 0u);
}

TEST_F(TransportBaseTest, SenseTextWithoutTextSourceIsTheByteList) {
  owner.withResource = false;
  const std::vector<std::uint8_t> known = VendorSense(0x04, 0x05);
  transport.StoreSenseData(known.data(), 18);
  EXPECT_EQ(transport.SenseText().rfind(L"0x70, 0x0, 0x9", 0), 0u);
  // Too short to carry a vendor code: the bytes are all there is.
  const std::vector<std::uint8_t> shortVendor = {0x70, 0x00, 0x09};
  owner.withResource = true;
  transport.StoreSenseData(shortVendor.data(), 3);
  EXPECT_EQ(transport.SenseText(), L"0x70, 0x0, 0x9");
}

}  // namespace
