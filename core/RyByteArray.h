#pragma once
// The byte buffer through which every command block, answer, sector and
// image passes. Multi-byte fields are big-endian, as on the player's wire;
// a field that would reach past the end is refused before anything is
// touched.

#include <cstdint>
#include <string>

#include "core/RyArray.h"

class CRyByteArray : public CRyArray<std::uint8_t> {
 public:
  CRyByteArray(std::uint32_t count, const char* name) : CRyArray<std::uint8_t>(count, name) {}

  std::int32_t ReadU16BE(std::uint16_t& out, std::uint32_t offset) const;
  std::int32_t ReadU32BE(std::uint32_t& out, std::uint32_t offset) const;
  std::int32_t ReadU64BE(std::uint64_t& out, std::uint32_t offset) const;
  // out becomes 1 when the byte is not 0, else 0.
  std::int32_t ReadFlag(int& out, std::uint32_t offset) const;
  std::int32_t ReadBytes(void* destination, std::uint32_t length, std::uint32_t offset) const;

  std::int32_t WriteU16BE(std::uint16_t value, std::uint32_t offset);
  std::int32_t WriteU32BE(std::uint32_t value, std::uint32_t offset);
  std::int32_t WriteU64BE(std::uint64_t value, std::uint32_t offset);
  std::int32_t WriteBytes(const void* source, std::uint32_t length, std::uint32_t offset);

  // 1 when both buffers have the same count and bytes, else 0.
  int IsEqual(const CRyByteArray& other) const;
  int IsDifferent(const CRyByteArray& other) const;

  // "0x1, 0xab, 0x0" for the bytes 01h, ABh, 00h; empty for an empty buffer.
  std::wstring ToHexText() const;

 private:
  bool Fits(std::uint32_t offset, std::uint32_t length) const;
  std::int32_t ReadBigEndian(std::uint64_t& out, std::uint32_t offset, std::uint32_t width) const;
  std::int32_t WriteBigEndian(std::uint64_t value, std::uint32_t offset, std::uint32_t width);
};
