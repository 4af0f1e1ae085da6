#pragma once
// A boot image held in memory, and a factory that hands it to the recovery
// channel the way the firmware image loader would.

#include <cstdint>
#include <vector>

#include "device/RyRecoveryImage.h"

namespace test {

class BufferImage : public CRyRecoveryImage {
 public:
  explicit BufferImage(std::vector<std::uint8_t> bytes) : bytes(std::move(bytes)) {}
  std::uint64_t GetImageLength() const override { return bytes.size(); }
  std::int32_t GetImageBytes(std::uint64_t offset, std::uint32_t length,
                             std::uint8_t* buffer) const override;

 private:
  std::vector<std::uint8_t> bytes;
};

class BufferImageFactory : public CRyRecoveryImageFactory {
 public:
  std::int32_t CreateRecoveryImage(std::uint8_t componentIndex, CRyRecoveryImage*& image) override;

  std::vector<std::uint8_t> bytes;
  std::int32_t loadStatus = 0;  // what the created image reports
  bool creatable = true;        // false: no object, -1
  std::vector<std::uint8_t> askedIndexes;
};

// Bytes that differ from block to block and from FFh fill.
std::vector<std::uint8_t> PatternBytes(std::size_t count);

}  // namespace test
