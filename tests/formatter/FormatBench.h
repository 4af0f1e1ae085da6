#pragma once
// The emulated player on Windows XP with a data drive of a chosen size,
// formatted the way the update sequence does it: volume open and locked,
// then the formatter with the configured label.

#include <cstdint>
#include <memory>

#include "device/RyScsiNt.h"
#include "player/RyDataDrive.h"
#include "tests/support/FixedCmdLineProcessor.h"
#include "tests/support/PlayerBench.h"

namespace test {

class FormatBench {
 public:
  static constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
  static constexpr std::uint8_t kLabel[] = {'K', '5', '2', '0'};

  explicit FormatBench(std::uint64_t dataDriveBytes, std::uint32_t sectorSize = 512);

  // Opens and locks the volume, formats with "K520" and closes again.
  // configured: FAT16 forced as the configuration forces it; otherwise the
  // formatter sees no configuration and chooses the type by size.
  std::int32_t Format(bool configured, const std::uint8_t* label = kLabel,
                      std::uint32_t labelLength = sizeof kLabel);
  std::uint64_t DataDriveBytes() const;

  std::unique_ptr<PlayerBench> bench;
  std::unique_ptr<CRyScsi_Nt> transport;
  std::unique_ptr<CRyDataDrive> dataDrive;
};

}  // namespace test
