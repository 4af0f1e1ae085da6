#pragma once
// A table of texts looked up by a number.

#include <cstddef>

template <typename Key>
struct KeyedText {
  Key key;
  const wchar_t* text;
};

// Null when the table has no entry for key.
template <typename Key, std::size_t N>
const wchar_t* FindKeyedText(const KeyedText<Key> (&table)[N], Key key) {
  for (const KeyedText<Key>& entry : table) {
    if (entry.key == key) return entry.text;
  }
  return nullptr;
}
