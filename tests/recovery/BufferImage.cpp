#include "tests/recovery/BufferImage.h"

namespace test {

std::int32_t BufferImage::GetImageBytes(std::uint64_t offset, std::uint32_t length,
                                        std::uint8_t* buffer) const {
  for (std::uint32_t i = 0; i < length; ++i) {
    const std::uint64_t at = offset + i;
    buffer[i] = at < bytes.size() ? bytes[static_cast<std::size_t>(at)] : 0xFF;
  }
  return 0;
}

std::int32_t BufferImageFactory::CreateRecoveryImage(std::uint8_t componentIndex,
                                                     CRyRecoveryImage*& image) {
  askedIndexes.push_back(componentIndex);
  if (!creatable) return -1;
  image = new BufferImage(bytes);
  return loadStatus;
}

std::vector<std::uint8_t> PatternBytes(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i)
    bytes[i] = static_cast<std::uint8_t>((i * 7 + i / 4096) % 251);
  return bytes;
}

}  // namespace test
