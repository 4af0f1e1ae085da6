#pragma once
// One key of the simulated registry. Nodes are guarded by the mutex of the
// tree they belong to; an open handle keeps its node alive after the key is
// deleted, and finds it marked so.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "os/Win32Types.h"

namespace sim {

struct RegistryValueEntry {
  std::wstring name;  // as it was first written
  DWORD type = 0;
  std::vector<std::uint8_t> data;
};

struct RegistryKey {
  std::wstring name;
  std::weak_ptr<RegistryKey> parent;  // empty for a root
  // Subkeys by folded name, which is the order they are enumerated in.
  std::map<std::wstring, std::shared_ptr<RegistryKey>> subkeys;
  // Values in the order they were created.
  std::vector<RegistryValueEntry> values;
  FILETIME lastWriteTime = {0, 0};
  bool deleted = false;

  std::shared_ptr<RegistryKey> FindSubkey(const std::wstring& subkeyName) const;
  RegistryValueEntry* FindValue(const std::wstring& valueName);
  void SetValue(const std::wstring& valueName, DWORD type, std::vector<std::uint8_t> data);
  bool RemoveValue(const std::wstring& valueName);
  // Marks this key and everything below it deleted.
  void MarkDeleted();
};

// The names of a relative key path ("A\B\C"); empty components are skipped.
std::vector<std::wstring> SplitKeyPath(const std::wstring& path);

}  // namespace sim
