#include "core/RyVersionInfo.h"

#include <cwchar>

#include "core/RyByteArray.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One "%u" conversion: blanks skipped, an optional sign, decimal digits.
// The value wraps modulo 2^32, the same on every compiler and C library.
enum class Scan { kNumber, kEnd, kNoMatch };

Scan ScanUnsigned(const char*& cursor, std::uint32_t& value) {
  while (IsBlank(*cursor)) ++cursor;
  if (*cursor == '\0') return Scan::kEnd;
  const char* digits = cursor;
  const bool negative = *digits == '-';
  if (*digits == '-' || *digits == '+') ++digits;
  if (!IsDigit(*digits)) return Scan::kNoMatch;
  std::uint32_t number = 0;
  for (; IsDigit(*digits); ++digits)
    number = number * 10u + static_cast<std::uint32_t>(*digits - '0');
  value = negative ? 0u - number : number;
  cursor = digits;
  return Scan::kNumber;
}

}  // namespace

std::wstring CRyVersionInfo::ToString() const {
  wchar_t text[24];
  std::swprintf(text, sizeof text / sizeof text[0], L"%03d.%03d.%03d", int{major}, int{minor},
                int{revision});
  return text;
}

bool CRyVersionInfo::ScanHeaderText(const char* text) {
  std::uint32_t parts[3] = {0, 0, 0};
  const char* cursor = text != nullptr ? text : "";
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (*cursor != '.') break;
      ++cursor;
    }
    const Scan scanned = ScanUnsigned(cursor, parts[i]);
    if (scanned == Scan::kEnd && i == 0) return false;
    if (scanned != Scan::kNumber) break;
  }
  SetMajor(parts[0]);
  SetMinor(parts[1]);
  SetRevision(parts[2]);
  return true;
}

std::int32_t CRyVersionInfo::ReadRecord(const CRyByteArray& source, std::uint32_t offset) {
  std::uint8_t record[kRecordSize];
  const std::int32_t result = source.ReadBytes(record, kRecordSize, offset);
  if (result != RyStatus::kSuccess) return result;
  SetMajor((record[0] << 8) | record[1]);
  SetMinor((record[2] << 8) | record[3]);
  SetRevision((record[4] << 8) | record[5]);
  return RyStatus::kSuccess;
}

std::int32_t CRyVersionInfo::WriteRecord(CRyByteArray& target, std::uint32_t offset) const {
  const std::uint8_t record[kRecordSize] = {
      static_cast<std::uint8_t>(major >> 8),    static_cast<std::uint8_t>(major),
      static_cast<std::uint8_t>(minor >> 8),    static_cast<std::uint8_t>(minor),
      static_cast<std::uint8_t>(revision >> 8), static_cast<std::uint8_t>(revision)};
  return target.WriteBytes(record, kRecordSize, offset);
}
