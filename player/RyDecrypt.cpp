#include "player/RyDecrypt.h"

#include <cstring>
#include <new>

#include "core/RyStatus.h"

CRyDecrypt::CRyDecrypt(const std::uint8_t* bytes, std::uint32_t length) : CRyBase("CRyDecrypt") {
  decoded.reset(new (std::nothrow) std::uint8_t[length == 0 ? 1 : length]);
  if (decoded == nullptr) {
    status = RyStatus::kFailed;
    return;
  }
  if (length != 0) std::memcpy(decoded.get(), bytes, length);
  this->length = length;
}
