#pragma once
// Windows compares file names, registry key names and value names without
// regard to letter case. The names the machine meets are ASCII; other
// characters compare as they are.

#include <string>

namespace sim {

inline wchar_t FoldCase(wchar_t c) {
  return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// The key under which a name is filed: upper case, so that names sort as
// the NT registry sorts them.
inline std::wstring FoldCase(const std::wstring& name) {
  std::wstring folded = name;
  for (wchar_t& c : folded) c = FoldCase(c);
  return folded;
}

}  // namespace sim
