#pragma once
// Image files for the tests, put on the simulated machine's C: drive.

#include <cstdint>
#include <vector>

#include "sim/FileStore.h"
#include "sim/Machine.h"
#include "tools/mkimage/ImageWriter.h"

namespace test {

// Bytes 0, 1, 2, ... wrapping at 251, so that no run of them looks like the
// marker and a shifted copy differs everywhere.
inline std::vector<std::uint8_t> Payload(std::size_t length) {
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i % 251);
  return bytes;
}

inline void PutImage(sim::Machine& machine, const wchar_t* name, const mkimage::ImageFile& file) {
  machine.Files().Put(name, mkimage::BuildImageFile(file));
}

}  // namespace test
