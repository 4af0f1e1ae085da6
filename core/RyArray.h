#pragma once
// Fixed-size array containers. A container is created with its final element
// count, its elements start at zero, and every access is bounds-checked with
// a status code instead of an exception.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "core/RyBase.h"
#include "core/RyStatus.h"
#include "os/Os.h"

template <typename Element>
class CRyArray : public CRyBase {
  static_assert(std::is_trivially_copyable_v<Element>,
                "storage is raw zero-filled memory from the local heap");

 public:
  CRyArray(std::uint32_t count, const char* name) : CRyBase(name) {
    if (Obtain(count)) {
      CRyArray::ZeroFill();
    } else {
      status = RyStatus::kFailed;
    }
  }
  ~CRyArray() override { Release(); }
  CRyArray(const CRyArray&) = delete;
  CRyArray& operator=(const CRyArray&) = delete;

  virtual std::uint32_t GetCount() const { return count; }

  virtual std::int32_t GetAt(std::uint32_t index, Element& out) const {
    if (index >= count) return RyStatus::kIndexOutOfRange;
    out = storage[index];
    return RyStatus::kSuccess;
  }

  virtual Element* GetAtPtr(std::uint32_t index) {
    return index < count ? storage + index : nullptr;
  }

  virtual std::int32_t SetAt(std::uint32_t index, Element value) {
    if (index >= count) return RyStatus::kIndexOutOfRange;
    storage[index] = value;
    return RyStatus::kSuccess;
  }

  virtual std::int32_t ZeroFill() {
    // One fill, not an element loop the compiler cannot widen: byte arrays
    // of a chunk are cleared several times per command.
    std::fill_n(storage, count, Element{});
    return RyStatus::kSuccess;
  }

  // Reverses the element order in place.
  virtual std::int32_t Reverse() {
    for (std::uint32_t low = 0, high = count; low + 1 < high; ++low, --high) {
      const Element kept = storage[low];
      storage[low] = storage[high - 1];
      storage[high - 1] = kept;
    }
    return RyStatus::kSuccess;
  }

  // Gives the container new zero-filled storage of newCount elements.
  virtual std::int32_t Allocate(std::uint32_t newCount) {
    Release();
    if (!Obtain(newCount)) {
      status = RyStatus::kFailed;
      return RyStatus::kFailed;
    }
    ZeroFill();
    status = RyStatus::kSuccess;
    return RyStatus::kSuccess;
  }

  // Releases the storage; the elements an owning array points to stay alive.
  virtual std::int32_t FreeStorage() {
    Release();
    return RyStatus::kSuccess;
  }

  const Element* GetData() const { return storage; }

 protected:
  Element* storage = nullptr;
  std::uint32_t count = 0;

 private:
  // On failure the container is left empty, so no access can reach storage
  // that does not exist.
  bool Obtain(std::uint32_t newCount) {
    if (newCount > std::numeric_limits<std::size_t>::max() / sizeof(Element)) return false;
    const std::size_t bytes = std::size_t{newCount} * sizeof(Element);
    // One byte at least, so that an empty container still owns storage.
    storage = static_cast<Element*>(os::LocalAlloc(LPTR, bytes == 0 ? 1 : bytes));
    if (storage == nullptr) return false;
    count = newCount;
    return true;
  }

  void Release() {
    if (storage != nullptr) os::LocalFree(storage);
    storage = nullptr;
    count = 0;
  }
};

// The plain container of 4-byte values.
using CRyUInt32Array = CRyArray<std::uint32_t>;
