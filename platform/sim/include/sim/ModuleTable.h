#pragma once
// Libraries the simulated machine can load. A test installs each one by file
// name with its entry points (WNASPI32.DLL, a language library) before the
// program calls LoadLibraryW; installing none, or one that lacks an entry
// point, is how a test takes them away.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "os/Win32Types.h"

namespace sim {

class Machine;

struct ModuleImage {
  // "WNASPI32.DLL", or a path ("C:\\ombra\\rdmx0409.dll"); found without
  // regard to case, by a bare name wherever it lies, by a path only there.
  std::wstring fileName;
  std::map<std::string, FARPROC> exports;  // GetProcAddress names, case significant
};

// An exported entry point from any function.
template <typename Function>
FARPROC ExportOf(Function* function) {
  // void (*)() converts to and from every function pointer type.
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

class ModuleTable {
 public:
  explicit ModuleTable(Machine& machine);
  static ModuleTable& Of(Machine& machine);

  // A file name installed again gets the new image from its next first load
  // on; a copy that is loaded keeps its image and handle until freed.
  void Install(ModuleImage image);
  // Deletes the file; a loaded copy stays usable until freed.
  bool Uninstall(const std::wstring& fileName);
  // Loads of the file not yet freed.
  unsigned LoadCount(const std::wstring& fileName) const;

  // The seam's calls; each returns the Win32 error it ends with.
  DWORD Load(const wchar_t* fileName, HMODULE& module);
  DWORD FindEntryPoint(HMODULE module, const char* name, FARPROC& entry) const;
  DWORD Free(HMODULE module);
  // The image behind a loaded module (for its resources); null for none.
  std::shared_ptr<const ModuleImage> LoadedImage(HMODULE module) const;

 private:
  struct File {
    std::shared_ptr<const ModuleImage> image;
    std::uintptr_t base = 0;
  };
  struct LoadedModule {
    std::shared_ptr<const ModuleImage> image;
    unsigned loads = 0;
  };

  const File* FindFile(const std::wstring& requestedName) const;

  mutable std::mutex mutex;
  std::map<std::wstring, File> files;  // by folded name as installed
  std::map<std::uintptr_t, LoadedModule> loaded;
  std::uintptr_t nextBase = 0x10000000;
};

}  // namespace sim
