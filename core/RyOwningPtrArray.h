#pragma once
// An array of pointers that owns the objects it points to: it creates one
// object per index at construction and deletes every non-null one at
// destruction.

#include <new>

#include "core/RyArray.h"

// Creates the element of one index; nullptr means it could not be created.
template <typename Object>
struct CRyNewElement {
  Object* operator()(std::uint32_t /*index*/, const char* elementName) const {
    return new (std::nothrow) Object(elementName);
  }
};

template <typename Object, typename CreateElement = CRyNewElement<Object>>
class CRyOwningPtrArray : public CRyArray<Object*> {
 public:
  CRyOwningPtrArray(std::uint32_t count, const char* name, const char* elementName,
                    CreateElement create = CreateElement())
      : CRyArray<Object*>(count, name) {
    if (this->status != RyStatus::kSuccess) return;
    // An element that cannot be created stays null; the others are made.
    for (std::uint32_t i = 0; i < this->count; ++i) this->storage[i] = create(i, elementName);
  }

  ~CRyOwningPtrArray() override { DeleteElements(); }

 private:
  void DeleteElements() {
    for (std::uint32_t i = 0; i < this->count; ++i) {
      delete this->storage[i];
      this->storage[i] = nullptr;
    }
  }
};
