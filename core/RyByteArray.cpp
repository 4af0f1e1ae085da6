#include "core/RyByteArray.h"

#include <cstring>
#include <cwchar>

bool CRyByteArray::Fits(std::uint32_t offset, std::uint32_t length) const {
  // Written so that offset + length cannot wrap around.
  return length <= count && offset <= count - length;
}

std::int32_t CRyByteArray::ReadBigEndian(std::uint64_t& out, std::uint32_t offset,
                                         std::uint32_t width) const {
  if (!Fits(offset, width)) return RyStatus::kFieldOutOfRange;
  std::uint64_t value = 0;
  for (std::uint32_t i = 0; i < width; ++i) value = (value << 8) | storage[offset + i];
  out = value;
  return RyStatus::kSuccess;
}

std::int32_t CRyByteArray::WriteBigEndian(std::uint64_t value, std::uint32_t offset,
                                          std::uint32_t width) {
  if (!Fits(offset, width)) return RyStatus::kFieldOutOfRange;
  for (std::uint32_t i = width; i-- > 0;) {
    storage[offset + i] = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;
  }
  return RyStatus::kSuccess;
}

std::int32_t CRyByteArray::ReadU16BE(std::uint16_t& out, std::uint32_t offset) const {
  std::uint64_t value = 0;
  const std::int32_t result = ReadBigEndian(value, offset, 2);
  if (result == RyStatus::kSuccess) out = static_cast<std::uint16_t>(value);
  return result;
}

std::int32_t CRyByteArray::ReadU32BE(std::uint32_t& out, std::uint32_t offset) const {
  std::uint64_t value = 0;
  const std::int32_t result = ReadBigEndian(value, offset, 4);
  if (result == RyStatus::kSuccess) out = static_cast<std::uint32_t>(value);
  return result;
}

std::int32_t CRyByteArray::ReadU64BE(std::uint64_t& out, std::uint32_t offset) const {
  return ReadBigEndian(out, offset, 8);
}

std::int32_t CRyByteArray::ReadFlag(int& out, std::uint32_t offset) const {
  std::uint64_t value = 0;
  const std::int32_t result = ReadBigEndian(value, offset, 1);
  if (result == RyStatus::kSuccess) out = value != 0 ? 1 : 0;
  return result;
}

std::int32_t CRyByteArray::ReadBytes(void* destination, std::uint32_t length,
                                     std::uint32_t offset) const {
  if (length == 0) return RyStatus::kSuccess;
  if (!Fits(offset, length)) return RyStatus::kFieldOutOfRange;
  std::memcpy(destination, storage + offset, length);
  return RyStatus::kSuccess;
}

std::int32_t CRyByteArray::WriteU16BE(std::uint16_t value, std::uint32_t offset) {
  return WriteBigEndian(value, offset, 2);
}

std::int32_t CRyByteArray::WriteU32BE(std::uint32_t value, std::uint32_t offset) {
  return WriteBigEndian(value, offset, 4);
}

std::int32_t CRyByteArray::WriteU64BE(std::uint64_t value, std::uint32_t offset) {
  return WriteBigEndian(value, offset, 8);
}

std::int32_t CRyByteArray::WriteBytes(const void* source, std::uint32_t length,
                                      std::uint32_t offset) {
  if (length == 0) return RyStatus::kSuccess;
  if (!Fits(offset, length)) return RyStatus::kFieldOutOfRange;
  std::memmove(storage + offset, source, length);
  return RyStatus::kSuccess;
}

int CRyByteArray::IsEqual(const CRyByteArray& other) const {
  if (count != other.count) return 0;
  return count == 0 || std::memcmp(storage, other.storage, count) == 0 ? 1 : 0;
}

int CRyByteArray::IsDifferent(const CRyByteArray& other) const { return IsEqual(other) ? 0 : 1; }

std::wstring CRyByteArray::ToHexText() const {
  std::wstring text;
  for (std::uint32_t i = 0; i < count; ++i) {
    wchar_t entry[8];
    std::swprintf(entry, sizeof entry / sizeof entry[0], i + 1 < count ? L"0x%x, " : L"0x%x",
                  static_cast<unsigned>(storage[i]));
    text += entry;
  }
  return text;
}
