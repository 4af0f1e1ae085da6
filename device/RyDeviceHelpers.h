#pragma once
// Small helpers shared by the device code.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

inline std::uint32_t MaxU32(std::uint32_t a, std::uint32_t b) { return a > b ? a : b; }

inline void ZeroBytes(void* buffer, std::size_t count) { std::memset(buffer, 0, count); }

// Registry key texts of Windows 9x carry '_' where the INQUIRY fields have
// blanks.
inline void ReplaceBlanksWithUnderscores(std::string& text) {
  for (char& c : text) {
    if (c == ' ') c = '_';
  }
}
