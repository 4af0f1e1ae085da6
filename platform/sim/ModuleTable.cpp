#include "sim/ModuleTable.h"

#include "CaseFold.h"
#include "sim/Machine.h"

namespace sim {

namespace {

// Libraries are mapped at 64 KiB boundaries; their handle is the address.
constexpr std::uintptr_t kModuleSpacing = 0x10000;

// Where the file name begins in a path.
std::size_t FileStart(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? 0 : slash + 1;
}

// What LoadLibrary looks for: the name as given, with ".DLL" added when its
// file name has no extension; a trailing dot means "no extension".
std::wstring LibraryFileName(const std::wstring& requested) {
  std::wstring name = requested;
  const std::size_t fileStart = FileStart(name);
  if (name.size() == fileStart) return name;
  if (name.back() == L'.') {
    name.pop_back();
  } else if (name.find(L'.', fileStart) == std::wstring::npos) {
    name += L".DLL";
  }
  return FoldCase(name);
}

bool IsOrdinal(const char* name) { return reinterpret_cast<std::uintptr_t>(name) <= 0xFFFF; }

}  // namespace

ModuleTable::ModuleTable(Machine&) {}

ModuleTable& ModuleTable::Of(Machine& machine) { return machine.GetPart<ModuleTable>(); }

void ModuleTable::Install(ModuleImage image) {
  std::lock_guard<std::mutex> lock(mutex);
  File& file = files[FoldCase(image.fileName)];
  file.image = std::make_shared<const ModuleImage>(std::move(image));
  if (file.base == 0) {
    file.base = nextBase;
    nextBase += kModuleSpacing;
  }
}

bool ModuleTable::Uninstall(const std::wstring& fileName) {
  std::lock_guard<std::mutex> lock(mutex);
  return files.erase(FoldCase(fileName)) == 1;
}

unsigned ModuleTable::LoadCount(const std::wstring& fileName) const {
  std::lock_guard<std::mutex> lock(mutex);
  const File* file = FindFile(fileName);
  if (file == nullptr) return 0;
  auto module = loaded.find(file->base);
  return module == loaded.end() ? 0 : module->second.loads;
}

const ModuleTable::File* ModuleTable::FindFile(const std::wstring& requestedName) const {
  const std::wstring wanted = LibraryFileName(requestedName);
  if (wanted.empty()) return nullptr;
  // A path names one file; a bare name is searched for, and found wherever
  // a module of that name was installed.
  const bool byPath = FileStart(wanted) != 0;
  for (const auto& file : files) {
    if (file.first == wanted || (!byPath && file.first.substr(FileStart(file.first)) == wanted)) {
      return &file.second;
    }
  }
  return nullptr;
}

DWORD ModuleTable::Load(const wchar_t* fileName, HMODULE& module) {
  module = nullptr;
  if (fileName == nullptr) return ERROR_INVALID_PARAMETER;
  std::lock_guard<std::mutex> lock(mutex);
  const File* file = FindFile(fileName);
  if (file == nullptr) return ERROR_MOD_NOT_FOUND;
  LoadedModule& copy = loaded[file->base];
  if (copy.loads == 0) copy.image = file->image;
  ++copy.loads;
  module = reinterpret_cast<HMODULE>(file->base);
  return ERROR_SUCCESS;
}

DWORD ModuleTable::FindEntryPoint(HMODULE module, const char* name, FARPROC& entry) const {
  entry = nullptr;
  // The program's own executable exports nothing.
  if (module == nullptr) return ERROR_PROC_NOT_FOUND;
  std::shared_ptr<const ModuleImage> image = LoadedImage(module);
  if (image == nullptr) return ERROR_MOD_NOT_FOUND;
  // The images export by name only.
  if (name == nullptr || IsOrdinal(name)) return ERROR_PROC_NOT_FOUND;
  auto found = image->exports.find(name);
  if (found == image->exports.end() || found->second == nullptr) return ERROR_PROC_NOT_FOUND;
  entry = found->second;
  return ERROR_SUCCESS;
}

DWORD ModuleTable::Free(HMODULE module) {
  std::lock_guard<std::mutex> lock(mutex);
  auto found = loaded.find(reinterpret_cast<std::uintptr_t>(module));
  if (found == loaded.end()) return ERROR_MOD_NOT_FOUND;
  if (--found->second.loads == 0) loaded.erase(found);
  return ERROR_SUCCESS;
}

std::shared_ptr<const ModuleImage> ModuleTable::LoadedImage(HMODULE module) const {
  std::lock_guard<std::mutex> lock(mutex);
  auto found = loaded.find(reinterpret_cast<std::uintptr_t>(module));
  return found == loaded.end() ? nullptr : found->second.image;
}

}  // namespace sim
