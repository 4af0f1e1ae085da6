#pragma once
// The registry of the simulated machine: keys with values, names compared
// without regard to case, subkeys enumerated in the order of their upper-case
// names as on Windows NT. Tests fill it through the path functions below;
// the program reaches it through the os::Reg* functions, whose handles live
// in the machine's handle table.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "os/Win32Types.h"

namespace sim {

class Machine;
struct RegistryKey;

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> data;
};

class RegistryTree {
 public:
  explicit RegistryTree(Machine& machine);
  ~RegistryTree();
  RegistryTree(const RegistryTree&) = delete;
  RegistryTree& operator=(const RegistryTree&) = delete;
  static RegistryTree& Of(Machine& machine);

  // A path is a root name, "HKEY_LOCAL_MACHINE" (or "HKLM"), "HKEY_CURRENT_USER"
  // ("HKCU"), "HKEY_CLASSES_ROOT" ("HKCR") or "HKEY_USERS" ("HKU"), then key
  // names separated by backslashes. Writing creates the missing keys on the
  // way. False for a path without a known root, or for a key or value that
  // is not there when reading or deleting.
  bool CreateKey(const std::wstring& path);
  bool SetValue(const std::wstring& path, const std::wstring& name, DWORD type,
                std::vector<std::uint8_t> data);
  // REG_SZ: the text and its terminating NUL, in the wchar_t of the build.
  bool SetStringValue(const std::wstring& path, const std::wstring& name, const std::wstring& text);
  bool SetDwordValue(const std::wstring& path, const std::wstring& name, DWORD value);
  // The key with everything below it.
  bool DeleteKey(const std::wstring& path);
  bool DeleteValue(const std::wstring& path, const std::wstring& name);
  bool KeyExists(const std::wstring& path) const;
  std::optional<RegistryValue> GetValue(const std::wstring& path, const std::wstring& name) const;
  // In enumeration order.
  std::vector<std::wstring> SubkeyNames(const std::wstring& path) const;

  // For the seam. Every node is guarded by Mutex().
  std::mutex& Mutex() const { return mutex; }
  // The key behind a predefined handle (HKEY_LOCAL_MACHINE, ...); null for
  // any other value.
  std::shared_ptr<RegistryKey> PredefinedKey(HKEY key) const;
  // The key below `from` reached by `names`; null when one is missing.
  static std::shared_ptr<RegistryKey> Find(std::shared_ptr<RegistryKey> from,
                                           const std::vector<std::wstring>& names);
  // The same, creating what is missing; `created` tells whether the last
  // key is new.
  std::shared_ptr<RegistryKey> Create(std::shared_ptr<RegistryKey> from,
                                      const std::vector<std::wstring>& names, bool& created);
  // Unlinks a subkey and marks it and its subtree deleted.
  static void Remove(RegistryKey& parent, const std::wstring& subkeyName);
  void Touch(RegistryKey& key);

 private:
  // The root key of a path and the names after it; null for no known root.
  std::shared_ptr<RegistryKey> SplitPath(const std::wstring& path,
                                         std::vector<std::wstring>& names) const;
  std::shared_ptr<RegistryKey> FindPath(const std::wstring& path) const;

  Machine& machine;
  mutable std::mutex mutex;
  std::shared_ptr<RegistryKey> classesRoot, currentUser, localMachine, users;
};

}  // namespace sim
