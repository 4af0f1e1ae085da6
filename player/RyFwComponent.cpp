#include "player/RyFwComponent.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "device/RyDeviceOwner.h"
#include "device/RyErrorRecord.h"
#include "player/RyDecrypt.h"
#include "player/RyImageFile.h"

namespace {

constexpr std::uint8_t kFill = 0xFF;

// Offset of the first byte after the first whole marker; false without one.
bool FindImageStart(const CRyByteArray& file, std::uint32_t& imageStart) {
  const std::uint8_t* bytes = file.GetData();
  const std::uint32_t count = file.GetCount();
  const std::uint32_t markerLength = sizeof CRyFwComponent::kImageMarker;
  for (std::uint32_t at = 0; count >= markerLength && at <= count - markerLength; ++at) {
    if (std::memcmp(bytes + at, CRyFwComponent::kImageMarker, markerLength) == 0) {
      imageStart = at + markerLength;
      return true;
    }
  }
  return false;
}

}  // namespace

CRyFwComponent::CRyFwComponent(CRyDeviceOwner* updater, std::uint8_t componentNumber,
                               const char* name)
    : CRyBase(name), updater(updater), componentNumber(componentNumber) {
  ScanHeader();
  status = LoadImage();
  CRyErrorRecord* record = updater != nullptr ? updater->GetErrorRecord() : nullptr;
  if (record != nullptr) record->RecordItem(*this, componentNumber);
}

std::int32_t CRyFwComponent::ReadFile(std::unique_ptr<CRyByteArray>& bytes) const {
  CRyConfigInfo* config = updater != nullptr ? updater->GetConfigInfo() : nullptr;
  std::string fileName;
  // Without a name there is no file to open.
  if (config == nullptr ||
      config->GetComponentFileName(componentNumber, fileName) != RyStatus::kSuccess) {
    return RyStatus::kFileOpenFailed;
  }
  return ReadImageFile(fileName, bytes);
}

int CRyFwComponent::IsEncoded() const {
  CRyConfigInfo* config = updater != nullptr ? updater->GetConfigInfo() : nullptr;
  int encoded = 0;
  if (config == nullptr || config->IsComponentEncrypted(componentNumber, encoded) != 0) return 0;
  return encoded;
}

std::int32_t CRyFwComponent::ScanHeader() {
  std::unique_ptr<CRyByteArray> file;
  header.state = kHeaderNone;
  if (const std::int32_t result = ReadFile(file); result != RyStatus::kSuccess) return result;
  return ScanImageHeader(*file, header);
}

std::int32_t CRyFwComponent::LoadImage() {
  const int encoded = IsEncoded();
  std::unique_ptr<CRyByteArray> file;
  if (const std::int32_t result = ReadFile(file); result != RyStatus::kSuccess) return result;
  std::uint32_t imageStart = 0;
  if (header.state != kHeaderNone && !FindImageStart(*file, imageStart)) {
    return RyStatus::kFileReadFailed;
  }
  const std::uint8_t* bytes = file->GetData() + imageStart;
  std::uint32_t length = file->GetCount() - imageStart;
  std::unique_ptr<CRyDecrypt> decoder;
  if (encoded == 1) {
    decoder.reset(new (std::nothrow) CRyDecrypt(bytes, length));
    if (decoder == nullptr) return RyStatus::kFailed;
    if (decoder->GetStatus() != RyStatus::kSuccess) return decoder->GetStatus();
    bytes = decoder->GetBytes();
    length = decoder->GetLength();
    // Only the decoded copy is read from here on: one image less held at once.
    file.reset();
  }
  std::unique_ptr<CRyByteArray> loaded(new (std::nothrow) CRyByteArray(length, "CRyByteArray"));
  if (loaded == nullptr || loaded->GetStatus() != RyStatus::kSuccess) return RyStatus::kFailed;
  if (const std::int32_t result = loaded->WriteBytes(bytes, length, 0);
      result != RyStatus::kSuccess) {
    return result;
  }
  image = std::move(loaded);
  return RyStatus::kSuccess;
}

std::uint64_t CRyFwComponent::GetImageLength() const {
  return image != nullptr ? image->GetCount() : 0;
}

std::int32_t CRyFwComponent::GetImageBytes(std::uint64_t offset, std::uint32_t length,
                                           CRyByteArray& out) const {
  const std::uint64_t imageLength = GetImageLength();
  const std::uint32_t wanted = offset > imageLength ? out.GetCount() : length;
  const std::uint32_t filled = std::min(wanted, out.GetCount());
  const std::uint64_t available = offset < imageLength ? imageLength - offset : 0;
  const auto copied = static_cast<std::uint32_t>(std::min<std::uint64_t>(filled, available));
  std::uint8_t* target = out.GetAtPtr(0);
  if (copied != 0) std::memcpy(target, image->GetData() + offset, copied);
  if (filled > copied) std::memset(target + copied, kFill, filled - copied);
  return RyStatus::kSuccess;
}

std::int32_t CRyFwComponent::GetImageBytes(std::uint64_t offset, std::uint32_t length,
                                           std::uint8_t* buffer) const {
  CRyByteArray bytes(length, "CRyArray");
  if (bytes.GetStatus() != RyStatus::kSuccess) return bytes.GetStatus();
  const std::int32_t result = GetImageBytes(offset, length, bytes);
  if (result == RyStatus::kSuccess && length != 0) std::memcpy(buffer, bytes.GetData(), length);
  return result;
}
