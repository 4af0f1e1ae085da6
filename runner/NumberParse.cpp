#include "runner/NumberParse.h"

namespace {

bool ParseDigits(const std::string& text, unsigned base, std::uint64_t maximum,
                 std::uint64_t& out) {
  if (text.empty() || text.size() > 20) return false;
  std::uint64_t value = 0;
  for (const char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    if (value > (maximum - digit) / base) return false;
    value = value * base + digit;
  }
  out = value;
  return true;
}

}  // namespace

bool ParseDecimal(const std::string& text, std::uint64_t maximum, std::uint64_t& out) {
  return ParseDigits(text, 10, maximum, out);
}

bool ParseHex(const std::string& text, std::uint64_t maximum, std::uint64_t& out) {
  return ParseDigits(text, 16, maximum, out);
}
