#pragma once
// Little-endian fields of the on-disk FAT records.

#include <cstdint>

inline void PutLittleEndian(std::uint8_t* record, std::uint32_t offset, std::uint32_t value,
                            std::uint32_t width) {
  for (std::uint32_t i = 0; i < width; ++i) {
    record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}
