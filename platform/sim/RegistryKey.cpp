#include "RegistryKey.h"

#include "CaseFold.h"

namespace sim {

std::shared_ptr<RegistryKey> RegistryKey::FindSubkey(const std::wstring& subkeyName) const {
  auto found = subkeys.find(FoldCase(subkeyName));
  return found == subkeys.end() ? nullptr : found->second;
}

RegistryValueEntry* RegistryKey::FindValue(const std::wstring& valueName) {
  const std::wstring folded = FoldCase(valueName);
  for (RegistryValueEntry& value : values) {
    if (FoldCase(value.name) == folded) return &value;
  }
  return nullptr;
}

void RegistryKey::SetValue(const std::wstring& valueName, DWORD type,
                           std::vector<std::uint8_t> data) {
  RegistryValueEntry* value = FindValue(valueName);
  if (value == nullptr) {
    values.push_back({valueName, type, std::move(data)});
    return;
  }
  value->type = type;
  value->data = std::move(data);
}

bool RegistryKey::RemoveValue(const std::wstring& valueName) {
  RegistryValueEntry* value = FindValue(valueName);
  if (value == nullptr) return false;
  values.erase(values.begin() + (value - values.data()));
  return true;
}

void RegistryKey::MarkDeleted() {
  deleted = true;
  for (auto& subkey : subkeys) subkey.second->MarkDeleted();
}

std::vector<std::wstring> SplitKeyPath(const std::wstring& path) {
  std::vector<std::wstring> names;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(L'\\', start);
    if (end == std::wstring::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

}  // namespace sim
