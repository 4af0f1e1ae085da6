#include "runner/TextEncoding.h"

#include <cstdint>

namespace {

void AppendCodePoint(std::uint32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

}  // namespace

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t code = static_cast<std::uint32_t>(text[i]);
    if (IsHighSurrogate(code) && i + 1 < text.size() &&
        IsLowSurrogate(static_cast<std::uint32_t>(text[i + 1]))) {
      const std::uint32_t low = static_cast<std::uint32_t>(text[++i]);
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
    } else if (IsHighSurrogate(code) || IsLowSurrogate(code) || code > 0x10FFFF) {
      code = 0xFFFD;
    }
    AppendCodePoint(code, out);
  }
  return out;
}

std::wstring FromAscii(const std::string& text) {
  std::wstring out;
  out.reserve(text.size());
  for (const char c : text) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
  return out;
}
