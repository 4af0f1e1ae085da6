#pragma once
// The heap an update needs beyond what the engine holds once connected, and
// the whole connect and update beyond what was in use before.

#include <cstdint>

namespace bench {

struct UpdateMemory {
  std::int32_t connectStatus = 0;
  std::int32_t updateStatus = 0;
  std::int64_t heldAfterConnect = 0;  // the loaded images and the device objects
  std::int64_t connectPeak = 0;       // above the bytes in use before connecting
  std::int64_t updatePeak = 0;        // above the bytes in use after connecting
  std::uint64_t largestImage = 0;
  std::uint64_t totalImage = 0;

  // The session's peak above the bytes in use before connecting.
  std::int64_t SessionPeak() const;
};

UpdateMemory MeasureUpdateMemory();

}  // namespace bench
