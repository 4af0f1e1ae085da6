// Simulated backend of the module services: the machine's module table.

#include "os/Modules.h"

#include "os/Kernel.h"
#include "sim/Machine.h"
#include "sim/ModuleTable.h"

namespace os {

namespace {

sim::ModuleTable& modules() { return sim::ModuleTable::Of(sim::Machine::Current()); }

// Success leaves the last error alone, as on Windows.
void SetErrorOnFailure(DWORD error) {
  if (error != ERROR_SUCCESS) SetLastError(error);
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR fileName) {
  HMODULE module = nullptr;
  SetErrorOnFailure(modules().Load(fileName, module));
  return module;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  FARPROC entry = nullptr;
  SetErrorOnFailure(modules().FindEntryPoint(module, procName, entry));
  return entry;
}

BOOL FreeLibrary(HMODULE module) {
  const DWORD error = modules().Free(module);
  SetErrorOnFailure(error);
  return error == ERROR_SUCCESS ? TRUE : FALSE;
}

}  // namespace os
