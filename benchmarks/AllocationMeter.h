#pragma once
// Bytes the process holds on the heap, counted by replacing the C
// allocation functions of the benchmark program, so that everything is
// seen: operator new, the containers, the simulated machine and every
// thread.

#include <cstdint>

namespace bench {

// Usable bytes of every live block.
std::int64_t HeapBytesInUse();
// The highest HeapBytesInUse since the last ResetHeapPeak.
std::int64_t HeapPeakBytes();
void ResetHeapPeak();

}  // namespace bench
