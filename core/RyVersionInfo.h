#pragma once
// A three-part firmware version: major, minor, revision. A plain value that
// is stored, transferred and shown, never ordered.

#include <cstdint>
#include <string>

#include "core/RyBase.h"
#include "core/RyOwningPtrArray.h"

class CRyByteArray;

class CRyVersionInfo : public CRyBase {
 public:
  explicit CRyVersionInfo(const char* name) : CRyBase(name) {}

  std::uint16_t GetMajor() const { return major; }
  std::uint16_t GetMinor() const { return minor; }
  std::uint16_t GetRevision() const { return revision; }
  // Each setter keeps the low 16 bits and returns the stored part.
  std::uint16_t SetMajor(std::uint32_t value) { return major = static_cast<std::uint16_t>(value); }
  std::uint16_t SetMinor(std::uint32_t value) { return minor = static_cast<std::uint16_t>(value); }
  std::uint16_t SetRevision(std::uint32_t value) {
    return revision = static_cast<std::uint16_t>(value);
  }

  // "%03d.%03d.%03d": 1.2.3 shows as 001.002.003.
  std::wstring ToString() const;

  // The form of a firmware image header line after its label: "%u.%u.%u".
  // Returns false when the text ends before the first number (not a version
  // line); otherwise the parts that were not reached are 0.
  bool ScanHeaderText(const char* text);

  // The 6-byte protocol record: major, minor, revision, each 16-bit
  // big-endian. A record that does not fit is neither read nor written.
  static constexpr std::uint32_t kRecordSize = 6;
  std::int32_t ReadRecord(const CRyByteArray& source, std::uint32_t offset);
  std::int32_t WriteRecord(CRyByteArray& target, std::uint32_t offset) const;

 private:
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t revision = 0;
};

// One version per system drive of the player, owned by the array.
class CRyVersionInfoPtrArray : public CRyOwningPtrArray<CRyVersionInfo> {
 public:
  CRyVersionInfoPtrArray(std::uint32_t count, const char* name)
      : CRyOwningPtrArray<CRyVersionInfo>(count, name, "CRyVersionInfo") {}
};
