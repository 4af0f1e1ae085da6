#include "tests/support/TableResource.h"

#include "core/RyStatus.h"

namespace test {

std::int32_t TableResource::GetText(int textNumber, std::wstring& out) {
  auto found = texts.find(textNumber);
  if (found == texts.end()) return RyStatus::kTextLoadFailed;
  out = found->second;
  return RyStatus::kSuccess;
}

std::int32_t TableResource::GetSenseCodeText(std::uint16_t code, std::wstring& out,
                                             int useEnglish) {
  lastUseEnglish = useEnglish;
  auto found = senseCodes.find(code);
  if (found == senseCodes.end()) {
    const std::int32_t result = GetText(kUnknownSenseCodeText, out);
    return result == RyStatus::kSuccess ? RyStatus::kUnknownSenseCode : result;
  }
  return GetText(found->second, out);
}

}  // namespace test
