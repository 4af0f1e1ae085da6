#include "device/RyScsi.h"

#include <cwctype>

#include "app/RyConfigInfo.h"
#include "core/RyResource.h"
#include "core/RyStatus.h"
#include "device/RyDeviceOwner.h"
#include "device/RyErrorRecord.h"
#include "device/RyReadWrite.h"
#include "os/Os.h"
#include "player/RyLogicalMediaCommands.h"
#include "player/RyScsiCommand.h"
#include "player/RyVendorCodes.h"

namespace {

constexpr std::uint8_t kVendorSenseKey = 0x09;
constexpr std::uint32_t kSenseKeyByte = 2;
constexpr std::uint32_t kVendorCodeOffset = 12;
constexpr std::uint32_t kInquiryVendorOffset = 8;
constexpr std::uint32_t kInquiryProductOffset = 16;

bool EqualIgnoringCase(const std::uint8_t* field, const std::string& expected) {
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto a = static_cast<unsigned char>(field[i]);
    const auto b = static_cast<unsigned char>(expected[i]);
    if (std::towlower(a) != std::towlower(b)) return false;
  }
  return true;
}

// Prefix form: the product without its trailing blanks must occur, case
// significant, in the text that starts at the product field.
bool ContainsProduct(const std::uint8_t (&inquiry)[CRyScsi::kInquiryLength],
                     const std::string& product) {
  const std::string wanted = product.substr(0, product.find_last_not_of(' ') + 1);
  std::string text;
  for (std::uint32_t i = kInquiryProductOffset; i < CRyScsi::kInquiryLength && inquiry[i] != 0;
       ++i) {
    text += static_cast<char>(inquiry[i]);
  }
  return text.find(wanted) != std::string::npos;
}

}  // namespace

CRyScsi::CRyScsi(CRyDeviceOwner* owner, const char* name) : CRyBase(name), owner(owner) {}

CRyScsi::~CRyScsi() { CloseHandleIfOpen(); }

void CRyScsi::CloseHandleIfOpen() {
  if (handle != INVALID_HANDLE_VALUE && handle != nullptr) os::CloseHandle(handle);
  handle = INVALID_HANDLE_VALUE;
}

std::int32_t CRyScsi::Report(std::int32_t code, std::uint32_t error) {
  return Record(code, error, nullptr);
}

std::int32_t CRyScsi::ReportWithText(std::int32_t code, std::uint32_t error,
                                     const std::wstring& text) {
  return Record(code, error, &text);
}

std::int32_t CRyScsi::Record(std::int32_t code, std::uint32_t error, const std::wstring* text) {
  status = code;
  systemError = error;
  CRyErrorRecord* record = owner != nullptr ? owner->GetErrorRecord() : nullptr;
  if (record != nullptr && text != nullptr) record->RecordText(*this, *text);
  if (record != nullptr && text == nullptr) record->Record(*this);
  status = RyStatus::kSuccess;
  systemError = 0;
  return code;
}

void CRyScsi::FetchIdentity(std::string& product, std::string& vendor) const {
  const CRyConfigInfo* config = owner != nullptr ? owner->GetConfigInfo() : nullptr;
  if (config == nullptr) return;
  config->GetScsiProductId(product);
  config->GetScsiVendorId(vendor);
}

std::int32_t CRyScsi::SendCommand(CRyScsiCommand& command) {
  // A command whose construction failed is never sent.
  if (command.GetStatus() != RyStatus::kSuccess) return command.GetStatus();
  command.BuildCdb();
  CRyByteArray answer(command.GetDataInLength(), "CRyByteArray");
  if (answer.GetStatus() != RyStatus::kSuccess) return answer.GetStatus();
  const int dataOut = command.IsDataOut();
  const std::int32_t result =
      Execute(command.GetCommandBuffer(), static_cast<std::int32_t>(command.GetCdbLength()),
              dataOut, answer);
  if (result != RyStatus::kSuccess) return result;
  if (dataOut != 0) return RyStatus::kSuccess;
  return command.StoreAnswer(answer);
}

std::int32_t CRyScsi::ReadSectors(CRyByteArray& data, std::uint32_t count,
                                  std::uint32_t firstSector, std::uint32_t sectorSize) {
  CRyRead read(firstSector, count, sectorSize);
  if (read.GetStatus() != RyStatus::kSuccess) return read.GetStatus();
  const std::int32_t result = SendCommand(read);
  if (result != RyStatus::kSuccess) return result;
  return read.CopyData(data);
}

std::int32_t CRyScsi::WriteSectors(const CRyByteArray& data, std::uint32_t count,
                                   std::uint32_t firstSector, std::uint32_t sectorSize) {
  CRyWrite write(firstSector, count, sectorSize);
  if (write.GetStatus() != RyStatus::kSuccess) return write.GetStatus();
  const std::int32_t result = write.SetPayload(data);
  if (result != RyStatus::kSuccess) return result;
  return SendCommand(write);
}

std::int32_t CRyScsi::SetDriveLayout(const DiskGeometry&, std::uint32_t) {
  return RyStatus::kSuccess;
}

std::int32_t CRyScsi::GetDriveLayout(DriveLayout&) { return RyStatus::kSuccess; }

std::int32_t CRyScsi::FindPhysicalDrive() { return RyStatus::kSuccess; }

bool CRyScsi::MatchInquiry(const std::uint8_t (&inquiry)[kInquiryLength],
                           const std::string& product, const std::string& vendor) const {
  const CRyConfigInfo* config = owner != nullptr ? owner->GetConfigInfo() : nullptr;
  const bool prefixMatch = config != nullptr && config->UseProductPrefixMatch() != 0;
  if (product.size() > kInquiryLength - kInquiryProductOffset) return false;
  const bool productMatches = prefixMatch
                                  ? ContainsProduct(inquiry, product)
                                  : EqualIgnoringCase(inquiry + kInquiryProductOffset, product);
  if (!productMatches) return false;
  if (vendor.size() > kInquiryLength - kInquiryVendorOffset) return false;
  return EqualIgnoringCase(inquiry + kInquiryVendorOffset, vendor);
}

std::int32_t CRyScsi::QueryPlayerMediaFlag(int& flag) {
  CRyGetLogicalMediaInfo query(RyVendor::kMediaInfoPlayerFlag);
  if (query.GetStatus() != RyStatus::kSuccess) return query.GetStatus();
  const std::int32_t result = SendCommand(query);
  if (result != RyStatus::kSuccess) return result;
  return query.GetFlag(flag);
}

void CRyScsi::StoreSenseData(const std::uint8_t* bytes, std::uint32_t length) {
  auto sense = std::make_unique<CRyByteArray>(length, "CRyByteArray");
  if (sense->GetStatus() != RyStatus::kSuccess) {
    senseData.reset();
    return;
  }
  sense->WriteBytes(bytes, length, 0);
  senseData = std::move(sense);
}

std::wstring CRyScsi::SenseText() const {
  if (senseData == nullptr) return std::wstring();
  std::uint8_t senseKey = 0;
  senseData->GetAt(kSenseKeyByte, senseKey);
  std::uint16_t code = 0;
  CRyResource* resource = owner != nullptr ? owner->GetResource() : nullptr;
  if (senseKey != kVendorSenseKey || resource == nullptr ||
      senseData->ReadU16BE(code, kVendorCodeOffset) != RyStatus::kSuccess) {
    return senseData->ToHexText();
  }
  std::wstring text;
  const std::int32_t result = resource->GetSenseCodeText(code, text, 0);
  if (result == RyStatus::kUnknownSenseCode) return text + L"\r\n" + senseData->ToHexText();
  if (result != RyStatus::kSuccess) return senseData->ToHexText();
  return text;
}
