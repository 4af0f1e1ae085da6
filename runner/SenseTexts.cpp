#include "runner/SenseTexts.h"

#include "runner/KeyedText.h"

namespace english {

namespace {

// Codes are numbered consecutively through these ranges, in this order.
struct SenseRange {
  std::uint16_t first;
  std::uint16_t last;
  const wchar_t* area;
};

constexpr SenseRange kRanges[] = {
    {0x0101, 0x010F, L"The player refused the command"},
    {0x0200, 0x020D, L"The player reported a transfer error"},
    {0x0210, 0x0210, L"The player reported a transfer error"},
    {0x0301, 0x0303, L"The player reported a hardware error"},
    {0x0401, 0x0428, L"The player reported a logical drive error"},
    {0x0500, 0x0515, L"The player reported a logical media error"},
    {0x0000, 0x0000, L"The player reported no error"},
    {0x0516, 0x051A, L"The player reported a logical media error"},
    {0x0600, 0x060D, L"The player reported a flash error"},
    {0x0700, 0x0704, L"The player reported a chip error"},
    {0x0800, 0x0805, L"The player reported a system drive error"},
    {0x0810, 0x0813, L"The player reported a system drive error"},
    {0x0820, 0x0824, L"The player reported a system drive error"},
    {0x0830, 0x0849, L"The player reported a system drive error"},
    {0x0850, 0x0855, L"The player reported a system drive error"},
    {0x0860, 0x0879, L"The player reported a system drive error"},
    {0x0880, 0x0885, L"The player reported a system drive error"},
};

// The codes whose cause is known precisely.
constexpr KeyedText<std::uint16_t> kKnownCodes[] = {
    {0x0000, L"The player reported no error"},
    {0x0101, L"The player does not know this command"},
    {0x0102, L"The player does not provide this information type"},
    {0x0401, L"No logical drive of the player has this drive number"},
    {0x0402, L"The sectors lie beyond the end of the logical drive"},
    {0x0403, L"Only system drives keep version records"},
    {0x0501, L"Too many logical drives were requested"},
    {0x0502, L"The logical drives do not fit into the player's flash"},
    {0x0503, L"A logical drive of an unknown type was requested"},
    {0x0504, L"A second data drive was requested"},
    {0x0505, L"The player's flash must be erased before it is cut anew"},
    {0x0510, L"The player's logical table is damaged"},
};

// Calls visit(range, first text number of the range) until it returns true.
template <typename Visit>
bool ForEachRange(Visit visit) {
  int textNumber = kFirstSenseText;
  for (const SenseRange& range : kRanges) {
    if (visit(range, textNumber)) return true;
    textNumber += range.last - range.first + 1;
  }
  return false;
}

std::wstring Describe(const SenseRange& range, std::uint16_t code) {
  if (const wchar_t* known = FindKeyedText(kKnownCodes, code)) return known;
  static constexpr wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring hex;
  for (int shift = 12; shift >= 0; shift -= 4) hex += kDigits[(code >> shift) & 0xF];
  return std::wstring(range.area) + L" (code " + hex + L"h)";
}

}  // namespace

int SenseTextNumber(std::uint16_t code) {
  int found = 0;
  ForEachRange([&](const SenseRange& range, int firstText) {
    if (code < range.first || code > range.last) return false;
    found = firstText + (code - range.first);
    return true;
  });
  return found;
}

bool SenseText(int textNumber, std::wstring& out) {
  return ForEachRange([&](const SenseRange& range, int firstText) {
    const int count = range.last - range.first + 1;
    if (textNumber < firstText || textNumber >= firstText + count) return false;
    out = Describe(range, static_cast<std::uint16_t>(range.first + (textNumber - firstText)));
    return true;
  });
}

}  // namespace english
