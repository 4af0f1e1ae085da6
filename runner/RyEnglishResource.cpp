#include "runner/RyEnglishResource.h"

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "runner/EnglishTexts.h"
#include "runner/SenseTexts.h"

namespace {

// The one "%s" of a component text replaced by the component's name.
std::wstring FormatWithName(const std::wstring& format, const std::wstring& name) {
  const std::size_t at = format.find(L"%s");
  if (at == std::wstring::npos) return format;
  return format.substr(0, at) + name + format.substr(at + 2);
}

}  // namespace

CRyEnglishResource::CRyEnglishResource(const CRyConfigInfo* config)
    : CRyResource("CRyResource"), config(config) {}

std::int32_t CRyEnglishResource::GetText(int textNumber, std::wstring& out) {
  if (english::SenseText(textNumber, out)) return RyStatus::kSuccess;
  const wchar_t* text = english::FindNumberedText(textNumber);
  if (text == nullptr) {
    status = RyStatus::kTextLoadFailed;
    return status;
  }
  out = text;
  return RyStatus::kSuccess;
}

std::int32_t CRyEnglishResource::GetSenseCodeText(std::uint16_t code, std::wstring& out,
                                                  int /*useEnglish*/) {
  const int textNumber = english::SenseTextNumber(code);
  if (textNumber == 0) {
    GetText(english::kUnknownSenseText, out);
    return RyStatus::kUnknownSenseCode;
  }
  return GetText(textNumber, out);
}

std::int32_t CRyEnglishResource::GetStatusText(std::int32_t code, std::wstring& out) {
  const int textNumber = english::StatusTextNumber(code);
  if (textNumber == 0) {
    GetText(english::kNoMessageText, out);
    return RyStatus::kNoMessageEntry;
  }
  return GetText(textNumber, out);
}

void CRyEnglishResource::GetPhaseText(int phase, std::wstring& out) {
  out.clear();
  const int textNumber = english::PhaseTextNumber(phase);
  if (textNumber == 0) return;
  std::wstring text;
  if (GetText(textNumber, text) != RyStatus::kSuccess) return;
  const std::uint8_t component = english::PhaseComponent(phase);
  if (component == 0) {
    out = text;
    return;
  }
  std::wstring name;
  if (config == nullptr || config->GetComponentDisplayName(component, name) != RyStatus::kSuccess) {
    return;
  }
  out = FormatWithName(text, name);
}
