// Simulated backend of the registry services. Key handles live in the
// machine's handle table; the functions report through their LSTATUS result
// and leave the thread's last error alone, as on Windows.

#include "os/Registry.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "KernelObjects.h"
#include "RegistryKey.h"
#include "sim/Machine.h"
#include "sim/RegistryTree.h"

namespace os {

namespace {

using sim::RegistryKey;

constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kMaximumAllowed = 0x02000000;

class RegistryKeyHandle : public sim::KernelObject {
 public:
  RegistryKeyHandle(std::shared_ptr<RegistryKey> openedKey, REGSAM grantedAccess)
      : key(std::move(openedKey)), access(grantedAccess) {}
  bool IsSignaled() const override { return false; }

  const std::shared_ptr<RegistryKey> key;
  const REGSAM access;
};

sim::Machine& machine() { return sim::Machine::Current(); }
sim::RegistryTree& tree() { return sim::RegistryTree::Of(machine()); }

REGSAM GrantedAccess(REGSAM desired) {
  REGSAM granted = desired;
  if ((desired & GENERIC_READ) != 0) granted |= KEY_READ;
  if ((desired & GENERIC_WRITE) != 0) granted |= KEY_WRITE;
  if ((desired & (kGenericAll | kMaximumAllowed)) != 0) granted |= KEY_ALL_ACCESS;
  return granted;
}

// An open key with the rights a call needs. Windows 9x keeps no security,
// so only the NT family refuses a handle opened without them.
LSTATUS Resolve(HKEY handle, REGSAM needed, std::shared_ptr<RegistryKey>& key) {
  key = tree().PredefinedKey(handle);
  if (key != nullptr) return ERROR_SUCCESS;
  auto opened = std::dynamic_pointer_cast<RegistryKeyHandle>(
      machine().FindObject(static_cast<HANDLE>(handle)));
  if (opened == nullptr) return ERROR_INVALID_HANDLE;
  const bool enforcesAccess = machine().GetWindowsVersion().platformId == VER_PLATFORM_WIN32_NT;
  if (enforcesAccess && (opened->access & needed) != needed) return ERROR_ACCESS_DENIED;
  key = opened->key;
  return ERROR_SUCCESS;
}

HKEY NewHandle(std::shared_ptr<RegistryKey> key, REGSAM desired) {
  return static_cast<HKEY>(machine().AddObject(
      std::make_shared<RegistryKeyHandle>(std::move(key), GrantedAccess(desired))));
}

// A relative path may not begin with a backslash.
LSTATUS SplitSubKey(LPCWSTR subKey, std::vector<std::wstring>& names) {
  if (subKey == nullptr) {
    names.clear();
    return ERROR_SUCCESS;
  }
  if (subKey[0] == L'\\') return ERROR_BAD_PATHNAME;
  names = sim::SplitKeyPath(subKey);
  return ERROR_SUCCESS;
}

// The key a relative path starts from and the names along it; opening
// needs no right on that key.
LSTATUS ResolvePath(HKEY key, LPCWSTR subKey, std::shared_ptr<RegistryKey>& parent,
                    std::vector<std::wstring>& names) {
  const LSTATUS status = Resolve(key, 0, parent);
  return status == ERROR_SUCCESS ? SplitSubKey(subKey, names) : status;
}

std::wstring ValueName(LPCWSTR valueName) { return valueName == nullptr ? L"" : valueName; }

}  // namespace

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM desired, PHKEY result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::shared_ptr<RegistryKey> parent;
  std::vector<std::wstring> names;
  const LSTATUS status = ResolvePath(key, subKey, parent, names);
  if (status != ERROR_SUCCESS) return status;
  std::shared_ptr<RegistryKey> target;
  {
    std::lock_guard<std::mutex> lock(tree().Mutex());
    if (parent->deleted) return ERROR_KEY_DELETED;
    target = sim::RegistryTree::Find(parent, names);
  }
  if (target == nullptr) return ERROR_FILE_NOT_FOUND;
  *result = NewHandle(std::move(target), desired);
  return ERROR_SUCCESS;
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM desired,
                        LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
  if (result == nullptr || subKey == nullptr) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::shared_ptr<RegistryKey> parent;
  std::vector<std::wstring> names;
  LSTATUS status = ResolvePath(key, subKey, parent, names);
  if (status != ERROR_SUCCESS) return status;
  std::shared_ptr<RegistryKey> target;
  bool created = false;
  {
    std::lock_guard<std::mutex> lock(tree().Mutex());
    if (parent->deleted) return ERROR_KEY_DELETED;
    target = sim::RegistryTree::Find(parent, names);
    if (target == nullptr) {
      // Creating, unlike opening, needs the right to add subkeys.
      std::shared_ptr<RegistryKey> unused;
      status = Resolve(key, KEY_CREATE_SUB_KEY, unused);
      if (status != ERROR_SUCCESS) return status;
      target = tree().Create(parent, names, created);
    }
  }
  if (disposition != nullptr)
    *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  *result = NewHandle(std::move(target), desired);
  return ERROR_SUCCESS;
}

LSTATUS RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD,
                      LPWSTR className, LPDWORD classLength, PFILETIME lastWriteTime) {
  if (name == nullptr || nameLength == nullptr) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<RegistryKey> parent;
  const LSTATUS status = Resolve(key, KEY_ENUMERATE_SUB_KEYS, parent);
  if (status != ERROR_SUCCESS) return status;
  std::lock_guard<std::mutex> lock(tree().Mutex());
  if (parent->deleted) return ERROR_KEY_DELETED;
  if (index >= parent->subkeys.size()) return ERROR_NO_MORE_ITEMS;
  auto subkey = parent->subkeys.begin();
  std::advance(subkey, index);
  const std::wstring& subkeyName = subkey->second->name;
  // The name and its terminator must fit; a short buffer is left untouched.
  if (subkeyName.size() >= *nameLength) return ERROR_MORE_DATA;
  std::wmemcpy(name, subkeyName.c_str(), subkeyName.size() + 1);
  *nameLength = static_cast<DWORD>(subkeyName.size());
  // Keys carry no class text.
  if (className != nullptr && classLength != nullptr && *classLength > 0) className[0] = L'\0';
  if (classLength != nullptr) *classLength = 0;
  if (lastWriteTime != nullptr) *lastWriteTime = subkey->second->lastWriteTime;
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD dataLength) {
  if (reserved != nullptr || (data != nullptr && dataLength == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  std::shared_ptr<RegistryKey> owner;
  const LSTATUS status = Resolve(key, KEY_QUERY_VALUE, owner);
  if (status != ERROR_SUCCESS) return status;
  std::lock_guard<std::mutex> lock(tree().Mutex());
  if (owner->deleted) return ERROR_KEY_DELETED;
  const sim::RegistryValueEntry* value = owner->FindValue(ValueName(valueName));
  if (value == nullptr) {
    if (dataLength != nullptr) *dataLength = 0;
    return ERROR_FILE_NOT_FOUND;
  }
  if (type != nullptr) *type = value->type;
  if (dataLength == nullptr) return ERROR_SUCCESS;
  const auto size = static_cast<DWORD>(value->data.size());
  const DWORD room = *dataLength;
  *dataLength = size;
  if (data == nullptr) return ERROR_SUCCESS;
  if (room < size) return ERROR_MORE_DATA;
  std::copy(value->data.begin(), value->data.end(), data);
  return ERROR_SUCCESS;
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data,
                       DWORD dataLength) {
  if (data == nullptr && dataLength != 0) return ERROR_NOACCESS;
  std::shared_ptr<RegistryKey> owner;
  const LSTATUS status = Resolve(key, KEY_SET_VALUE, owner);
  if (status != ERROR_SUCCESS) return status;
  std::lock_guard<std::mutex> lock(tree().Mutex());
  if (owner->deleted) return ERROR_KEY_DELETED;
  owner->SetValue(ValueName(valueName), type,
                  data == nullptr ? std::vector<std::uint8_t>{}
                                  : std::vector<std::uint8_t>(data, data + dataLength));
  tree().Touch(*owner);
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
  if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
  std::shared_ptr<RegistryKey> parent;
  std::vector<std::wstring> names;
  const LSTATUS status = ResolvePath(key, subKey, parent, names);
  if (status != ERROR_SUCCESS) return status;
  std::lock_guard<std::mutex> lock(tree().Mutex());
  if (parent->deleted) return ERROR_KEY_DELETED;
  std::shared_ptr<RegistryKey> target = sim::RegistryTree::Find(parent, names);
  if (target == nullptr) return ERROR_FILE_NOT_FOUND;
  std::shared_ptr<RegistryKey> owner = target->parent.lock();
  // A root cannot go; the NT family deletes only keys without subkeys,
  // Windows 9x takes the whole subtree.
  const bool nt = machine().GetWindowsVersion().platformId == VER_PLATFORM_WIN32_NT;
  if (owner == nullptr || (nt && !target->subkeys.empty())) return ERROR_ACCESS_DENIED;
  sim::RegistryTree::Remove(*owner, target->name);
  tree().Touch(*owner);
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName) {
  std::shared_ptr<RegistryKey> owner;
  const LSTATUS status = Resolve(key, KEY_SET_VALUE, owner);
  if (status != ERROR_SUCCESS) return status;
  std::lock_guard<std::mutex> lock(tree().Mutex());
  if (owner->deleted) return ERROR_KEY_DELETED;
  if (!owner->RemoveValue(ValueName(valueName))) return ERROR_FILE_NOT_FOUND;
  tree().Touch(*owner);
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
  if (tree().PredefinedKey(key) != nullptr) return ERROR_SUCCESS;
  const auto handle = static_cast<HANDLE>(key);
  if (std::dynamic_pointer_cast<RegistryKeyHandle>(machine().FindObject(handle)) == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  machine().RemoveObject(handle);
  return ERROR_SUCCESS;
}

}  // namespace os
