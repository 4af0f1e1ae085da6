#pragma once
// The decoder of images the configuration marks as encoded. The player's
// images are stored as they are written, so decoding is a copy; the object
// stays so that the load path is the one an encoded format would take.

#include <cstdint>
#include <memory>

#include "core/RyBase.h"

class CRyDecrypt : public CRyBase {
 public:
  // Status -1 when the decoded buffer cannot be allocated.
  CRyDecrypt(const std::uint8_t* bytes, std::uint32_t length);

  const std::uint8_t* GetBytes() const { return decoded.get(); }
  std::uint32_t GetLength() const { return length; }

 private:
  std::unique_ptr<std::uint8_t[]> decoded;
  std::uint32_t length = 0;
};
