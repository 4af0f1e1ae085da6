#pragma once
// Sense data as the emulated devices report it: fixed format (70h), 18
// bytes, sense key in byte 2, additional sense code and qualifier in bytes
// 12 and 13. The player's own refusals use the vendor-specific key 9 with a
// 16-bit code in bytes 12-13 (see PlayerSenseCodes.h).

#include <cstdint>
#include <vector>

#include "sim/StorageDevice.h"

namespace sim {

namespace SenseKey {
inline constexpr std::uint8_t kNoSense = 0x00;
inline constexpr std::uint8_t kNotReady = 0x02;
inline constexpr std::uint8_t kMediumError = 0x03;
inline constexpr std::uint8_t kIllegalRequest = 0x05;
inline constexpr std::uint8_t kUnitAttention = 0x06;
inline constexpr std::uint8_t kVendorSpecific = 0x09;
inline constexpr std::uint8_t kAbortedCommand = 0x0B;
}  // namespace SenseKey

struct SenseData {
  std::uint8_t key = SenseKey::kNoSense;
  std::uint8_t asc = 0;
  std::uint8_t ascq = 0;

  static constexpr std::uint32_t kLength = 18;

  // Key 9 with code in bytes 12 (high) and 13 (low).
  static constexpr SenseData Vendor(std::uint16_t code) {
    return SenseData{SenseKey::kVendorSpecific, static_cast<std::uint8_t>(code >> 8),
                     static_cast<std::uint8_t>(code & 0xFF)};
  }
  bool IsVendor() const { return key == SenseKey::kVendorSpecific; }
  std::uint16_t VendorCode() const { return static_cast<std::uint16_t>(asc << 8 | ascq); }

  // The 18 fixed-format bytes.
  std::vector<std::uint8_t> Bytes() const;
  // Reads key, ASC and ASCQ back from fixed-format bytes; a short buffer
  // reads as no sense.
  static SenseData FromBytes(const std::vector<std::uint8_t>& bytes);

  bool operator==(const SenseData& other) const {
    return key == other.key && asc == other.asc && ascq == other.ascq;
  }
  bool operator!=(const SenseData& other) const { return !(*this == other); }
};

// The standard conditions the devices report.
namespace Sense {
// Unknown operation code.
inline constexpr SenseData kInvalidOperationCode{SenseKey::kIllegalRequest, 0x20, 0x00};
// A block address or range beyond the medium.
inline constexpr SenseData kLbaOutOfRange{SenseKey::kIllegalRequest, 0x21, 0x00};
// A CDB too short for its operation code, or a field the device does not
// support (INQUIRY vital product data).
inline constexpr SenseData kInvalidFieldInCdb{SenseKey::kIllegalRequest, 0x24, 0x00};
// The host's transfer does not fit the command: wrong direction, bytes sent
// to a command that takes none or a different number of them, or room for
// fewer bytes than the command answers.
inline constexpr SenseData kDataPhaseError{SenseKey::kAbortedCommand, 0x4B, 0x00};
// No medium: no data drive on the player.
inline constexpr SenseData kMediumNotPresent{SenseKey::kNotReady, 0x3A, 0x00};
// The first command after a chip reset, when the player is set to report it.
inline constexpr SenseData kResetOccurred{SenseKey::kUnitAttention, 0x29, 0x00};
// What a vanished device answers if it is asked at all.
inline constexpr SenseData kLogicalUnitNotSupported{SenseKey::kIllegalRequest, 0x25, 0x00};
}  // namespace Sense

ScsiResult Good(std::vector<std::uint8_t> dataIn = {});
ScsiResult CheckCondition(const SenseData& sense);

}  // namespace sim
