#include "benchmarks/AllocationMeter.h"

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

// glibc's own allocator behind the public names, which this file replaces.
extern "C" {
void* __libc_malloc(std::size_t size);
void __libc_free(void* block);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void* __libc_valloc(std::size_t size);
void* __libc_pvalloc(std::size_t size);
}

namespace {

// Constant-initialised: allocations begin before any constructor runs.
std::atomic<std::int64_t> inUse{0};
std::atomic<std::int64_t> peak{0};

void RaisePeak(std::int64_t now) {
  std::int64_t seen = peak.load(std::memory_order_relaxed);
  while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
  }
}

void* Counted(void* block) {
  if (block != nullptr) {
    const auto size = static_cast<std::int64_t>(malloc_usable_size(block));
    RaisePeak(inUse.fetch_add(size, std::memory_order_relaxed) + size);
  }
  return block;
}

void Uncount(void* block) {
  if (block != nullptr) {
    inUse.fetch_sub(static_cast<std::int64_t>(malloc_usable_size(block)),
                    std::memory_order_relaxed);
  }
}

bool IsValidAlignment(std::size_t alignment) {
  return alignment != 0 && (alignment & (alignment - 1)) == 0 && alignment % sizeof(void*) == 0;
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) { return Counted(__libc_malloc(size)); }

void free(void* block) {
  Uncount(block);
  __libc_free(block);
}

void* calloc(std::size_t count, std::size_t size) { return Counted(__libc_calloc(count, size)); }

void* realloc(void* block, std::size_t size) {
  const auto before = static_cast<std::int64_t>(block != nullptr ? malloc_usable_size(block) : 0);
  void* moved = __libc_realloc(block, size);
  // A failed resize keeps the old block; realloc(p, 0) frees it.
  if (moved == nullptr && size != 0) return nullptr;
  inUse.fetch_sub(before, std::memory_order_relaxed);
  return Counted(moved);
}

void* reallocarray(void* block, std::size_t count, std::size_t size) {
  std::size_t total = 0;
  if (__builtin_mul_overflow(count, size, &total)) {
    errno = ENOMEM;
    return nullptr;
  }
  return realloc(block, total);
}

void* memalign(std::size_t alignment, std::size_t size) {
  return Counted(__libc_memalign(alignment, size));
}

void* aligned_alloc(std::size_t alignment, std::size_t size) {
  return Counted(__libc_memalign(alignment, size));
}

int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
  if (!IsValidAlignment(alignment)) return EINVAL;
  void* block = Counted(__libc_memalign(alignment, size));
  if (block == nullptr) return ENOMEM;
  *out = block;
  return 0;
}

void* valloc(std::size_t size) { return Counted(__libc_valloc(size)); }

void* pvalloc(std::size_t size) { return Counted(__libc_pvalloc(size)); }

}  // extern "C"

namespace bench {

std::int64_t HeapBytesInUse() { return inUse.load(std::memory_order_relaxed); }

std::int64_t HeapPeakBytes() { return peak.load(std::memory_order_relaxed); }

void ResetHeapPeak() { peak.store(HeapBytesInUse(), std::memory_order_relaxed); }

}  // namespace bench
