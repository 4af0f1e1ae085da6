#pragma once
// Big-endian fields of CDBs, answers and image files.

#include <cstddef>
#include <cstdint>

namespace sim::be {

inline std::uint64_t Get(const std::uint8_t* bytes, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value = value << 8 | bytes[i];
  return value;
}

inline void Put(std::uint8_t* bytes, std::size_t width, std::uint64_t value) {
  for (std::size_t i = width; i-- > 0;) {
    bytes[i] = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;
  }
}

inline std::uint16_t Get16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(Get(bytes, 2));
}
inline std::uint32_t Get32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(Get(bytes, 4));
}
inline std::uint64_t Get64(const std::uint8_t* bytes) { return Get(bytes, 8); }

}  // namespace sim::be
