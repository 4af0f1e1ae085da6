#include "sim/RegistryTree.h"

#include <cstring>

#include "CaseFold.h"
#include "RegistryKey.h"
#include "sim/Machine.h"

namespace sim {

namespace {

// 1 January 2004 as a FILETIME; the virtual clock counts from there.
constexpr std::uint64_t kClockEpoch = 0x01C3D00D1D3E8000ULL;
constexpr std::uint64_t kFileTimeUnitsPerMillisecond = 10000;

std::shared_ptr<RegistryKey> NewKey(const std::wstring& name) {
  auto key = std::make_shared<RegistryKey>();
  key->name = name;
  return key;
}

}  // namespace

RegistryTree::RegistryTree(Machine& owner)
    : machine(owner),
      classesRoot(NewKey(L"HKEY_CLASSES_ROOT")),
      currentUser(NewKey(L"HKEY_CURRENT_USER")),
      localMachine(NewKey(L"HKEY_LOCAL_MACHINE")),
      users(NewKey(L"HKEY_USERS")) {}

RegistryTree::~RegistryTree() = default;

RegistryTree& RegistryTree::Of(Machine& machine) { return machine.GetPart<RegistryTree>(); }

std::shared_ptr<RegistryKey> RegistryTree::PredefinedKey(HKEY key) const {
  if (key == HKEY_CLASSES_ROOT) return classesRoot;
  if (key == HKEY_CURRENT_USER) return currentUser;
  if (key == HKEY_LOCAL_MACHINE) return localMachine;
  if (key == HKEY_USERS) return users;
  return nullptr;
}

std::shared_ptr<RegistryKey> RegistryTree::Find(std::shared_ptr<RegistryKey> from,
                                                const std::vector<std::wstring>& names) {
  for (const std::wstring& name : names) {
    if (from == nullptr) break;
    from = from->FindSubkey(name);
  }
  return from;
}

std::shared_ptr<RegistryKey> RegistryTree::Create(std::shared_ptr<RegistryKey> from,
                                                  const std::vector<std::wstring>& names,
                                                  bool& created) {
  created = false;
  for (const std::wstring& name : names) {
    std::shared_ptr<RegistryKey> next = from->FindSubkey(name);
    created = next == nullptr;
    if (created) {
      next = NewKey(name);
      next->parent = from;
      Touch(*next);
      from->subkeys.emplace(FoldCase(name), next);
      Touch(*from);
    }
    from = next;
  }
  return from;
}

void RegistryTree::Remove(RegistryKey& parent, const std::wstring& subkeyName) {
  auto found = parent.subkeys.find(FoldCase(subkeyName));
  if (found == parent.subkeys.end()) return;
  found->second->MarkDeleted();
  parent.subkeys.erase(found);
}

void RegistryTree::Touch(RegistryKey& key) {
  const std::uint64_t time =
      kClockEpoch + std::uint64_t{machine.GetTickCount()} * kFileTimeUnitsPerMillisecond;
  key.lastWriteTime.dwLowDateTime = static_cast<DWORD>(time);
  key.lastWriteTime.dwHighDateTime = static_cast<DWORD>(time >> 32);
}

std::shared_ptr<RegistryKey> RegistryTree::SplitPath(const std::wstring& path,
                                                     std::vector<std::wstring>& names) const {
  names = SplitKeyPath(path);
  if (names.empty()) return nullptr;
  const std::wstring root = FoldCase(names.front());
  names.erase(names.begin());
  if (root == L"HKEY_LOCAL_MACHINE" || root == L"HKLM") return localMachine;
  if (root == L"HKEY_CURRENT_USER" || root == L"HKCU") return currentUser;
  if (root == L"HKEY_CLASSES_ROOT" || root == L"HKCR") return classesRoot;
  if (root == L"HKEY_USERS" || root == L"HKU") return users;
  return nullptr;
}

std::shared_ptr<RegistryKey> RegistryTree::FindPath(const std::wstring& path) const {
  std::vector<std::wstring> names;
  std::shared_ptr<RegistryKey> root = SplitPath(path, names);
  return root == nullptr ? nullptr : Find(root, names);
}

bool RegistryTree::CreateKey(const std::wstring& path) {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<std::wstring> names;
  std::shared_ptr<RegistryKey> root = SplitPath(path, names);
  if (root == nullptr) return false;
  bool created = false;
  Create(root, names, created);
  return true;
}

bool RegistryTree::SetValue(const std::wstring& path, const std::wstring& name, DWORD type,
                            std::vector<std::uint8_t> data) {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<std::wstring> names;
  std::shared_ptr<RegistryKey> root = SplitPath(path, names);
  if (root == nullptr) return false;
  bool created = false;
  std::shared_ptr<RegistryKey> key = Create(root, names, created);
  key->SetValue(name, type, std::move(data));
  Touch(*key);
  return true;
}

bool RegistryTree::SetStringValue(const std::wstring& path, const std::wstring& name,
                                  const std::wstring& text) {
  std::vector<std::uint8_t> data((text.size() + 1) * sizeof(wchar_t));
  std::memcpy(data.data(), text.c_str(), data.size());
  return SetValue(path, name, REG_SZ, std::move(data));
}

bool RegistryTree::SetDwordValue(const std::wstring& path, const std::wstring& name, DWORD value) {
  std::vector<std::uint8_t> data(sizeof value);
  std::memcpy(data.data(), &value, sizeof value);
  return SetValue(path, name, REG_DWORD, std::move(data));
}

bool RegistryTree::DeleteKey(const std::wstring& path) {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<std::wstring> names;
  std::shared_ptr<RegistryKey> root = SplitPath(path, names);
  if (root == nullptr || names.empty()) return false;
  const std::wstring last = names.back();
  names.pop_back();
  std::shared_ptr<RegistryKey> parent = Find(root, names);
  if (parent == nullptr || parent->FindSubkey(last) == nullptr) return false;
  Remove(*parent, last);
  Touch(*parent);
  return true;
}

bool RegistryTree::DeleteValue(const std::wstring& path, const std::wstring& name) {
  std::lock_guard<std::mutex> lock(mutex);
  std::shared_ptr<RegistryKey> key = FindPath(path);
  return key != nullptr && key->RemoveValue(name);
}

bool RegistryTree::KeyExists(const std::wstring& path) const {
  std::lock_guard<std::mutex> lock(mutex);
  return FindPath(path) != nullptr;
}

std::optional<RegistryValue> RegistryTree::GetValue(const std::wstring& path,
                                                    const std::wstring& name) const {
  std::lock_guard<std::mutex> lock(mutex);
  std::shared_ptr<RegistryKey> key = FindPath(path);
  const RegistryValueEntry* value = key == nullptr ? nullptr : key->FindValue(name);
  if (value == nullptr) return std::nullopt;
  return RegistryValue{value->type, value->data};
}

std::vector<std::wstring> RegistryTree::SubkeyNames(const std::wstring& path) const {
  std::lock_guard<std::mutex> lock(mutex);
  std::vector<std::wstring> names;
  std::shared_ptr<RegistryKey> key = FindPath(path);
  if (key == nullptr) return names;
  for (const auto& subkey : key->subkeys) names.push_back(subkey.second->name);
  return names;
}

}  // namespace sim
