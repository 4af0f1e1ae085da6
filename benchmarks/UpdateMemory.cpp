#include "benchmarks/UpdateMemory.h"

#include <algorithm>

#include "benchmarks/AllocationMeter.h"
#include "benchmarks/UpdateScene.h"

namespace bench {

std::int64_t UpdateMemory::SessionPeak() const {
  return std::max(connectPeak, heldAfterConnect + updatePeak);
}

UpdateMemory MeasureUpdateMemory() {
  // The scene's flash already holds every page the update writes, so what
  // grows is the engine (and the simulated machine's request logs).
  UpdateScene scene;
  UpdateMemory memory;
  memory.largestImage = scene.LargestImageBytes();
  memory.totalImage = scene.TotalImageBytes();

  const std::int64_t beforeConnect = HeapBytesInUse();
  ResetHeapPeak();
  memory.connectStatus = scene.Connect();
  memory.connectPeak = HeapPeakBytes() - beforeConnect;
  if (memory.connectStatus != 0) return memory;

  const std::int64_t afterConnect = HeapBytesInUse();
  memory.heldAfterConnect = afterConnect - beforeConnect;
  ResetHeapPeak();
  memory.updateStatus = scene.Update();
  memory.updatePeak = HeapPeakBytes() - afterConnect;
  return memory;
}

}  // namespace bench
