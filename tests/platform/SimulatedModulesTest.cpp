// What only the simulated machine's module table offers: libraries the test
// installs, takes away or breaks.

#include <gtest/gtest.h>

#include "os/Os.h"
#include "sim/Machine.h"
#include "sim/ModuleTable.h"

namespace {

int FirstEntry() { return 1; }
int SecondEntry() { return 2; }

int Call(FARPROC entry) {
  return reinterpret_cast<int (*)()>(reinterpret_cast<void (*)()>(entry))();
}

class SimulatedModulesTest : public ::testing::Test {
 protected:
  sim::ModuleTable& Modules() { return sim::ModuleTable::Of(*machine); }
  void Install(const wchar_t* fileName, int (*entry)()) {
    sim::ModuleImage image;
    image.fileName = fileName;
    image.exports["Entry"] = sim::ExportOf(entry);
    Modules().Install(image);
  }

  sim::ScopedMachine machine;
};

TEST_F(SimulatedModulesTest, NothingIsInstalledOnAFreshMachine) {
  os::SetLastError(0);
  EXPECT_EQ(os::LoadLibraryW(L"WNASPI32.DLL"), nullptr);
  EXPECT_EQ(os::GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST_F(SimulatedModulesTest, LastFreeUnloadsTheLibrary) {
  Install(L"WNASPI32.DLL", FirstEntry);
  HMODULE first = os::LoadLibraryW(L"wnaspi32.dll");
  HMODULE second = os::LoadLibraryW(L"WNASPI32");
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(second, first);
  EXPECT_EQ(Modules().LoadCount(L"WNASPI32.DLL"), 2u);
  EXPECT_TRUE(os::FreeLibrary(first));
  EXPECT_NE(os::GetProcAddress(first, "Entry"), nullptr);
  EXPECT_TRUE(os::FreeLibrary(first));
  EXPECT_EQ(Modules().LoadCount(L"WNASPI32.DLL"), 0u);
  os::SetLastError(0);
  EXPECT_EQ(os::GetProcAddress(first, "Entry"), nullptr);
  EXPECT_EQ(os::GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_FALSE(os::FreeLibrary(first));
}

TEST_F(SimulatedModulesTest, LoadedCopyOutlivesItsFile) {
  Install(L"WNASPI32.DLL", FirstEntry);
  HMODULE loaded = os::LoadLibraryW(L"WNASPI32.DLL");
  ASSERT_NE(loaded, nullptr);
  // Replaced and then deleted while loaded: the loaded copy keeps its code.
  Install(L"WNASPI32.DLL", SecondEntry);
  EXPECT_EQ(Call(os::GetProcAddress(loaded, "Entry")), 1);
  ASSERT_TRUE(Modules().Uninstall(L"wnaspi32.dll"));
  EXPECT_EQ(Call(os::GetProcAddress(loaded, "Entry")), 1);
  EXPECT_EQ(os::LoadLibraryW(L"WNASPI32.DLL"), nullptr);
  EXPECT_TRUE(os::FreeLibrary(loaded));
}

TEST_F(SimulatedModulesTest, ReplacedFileServesTheNextFirstLoad) {
  Install(L"WNASPI32.DLL", FirstEntry);
  HMODULE loaded = os::LoadLibraryW(L"WNASPI32.DLL");
  os::FreeLibrary(loaded);
  Install(L"WNASPI32.DLL", SecondEntry);
  HMODULE reloaded = os::LoadLibraryW(L"WNASPI32.DLL");
  EXPECT_EQ(reloaded, loaded);
  EXPECT_EQ(Call(os::GetProcAddress(reloaded, "Entry")), 2);
  os::FreeLibrary(reloaded);
}

TEST_F(SimulatedModulesTest, LibraryInstalledWithAPathIsFoundByPathOrName) {
  Install(L"C:\\Program Files\\ombra\\rdmx0409.dll", FirstEntry);
  Install(L"rdmx0407.dll", SecondEntry);
  struct Case {
    const wchar_t* name;
    bool found;
  };
  const Case cases[] = {
      {L"c:\\program files\\OMBRA\\RDMX0409.DLL", true},
      {L"rdmx0409.dll", true},
      {L"D:\\elsewhere\\rdmx0409.dll", false},
      {L"C:\\Program Files\\ombra\\rdmx0407.dll", false},
      {L"RDMX0407", true},
  };
  for (const Case& c : cases) {
    HMODULE module = os::LoadLibraryW(c.name);
    EXPECT_EQ(module != nullptr, c.found) << testing::PrintToString(c.name);
    if (module != nullptr) os::FreeLibrary(module);
  }
}

TEST_F(SimulatedModulesTest, EntryPointsAreLookedUpByNameOnly) {
  Install(L"WNASPI32.DLL", FirstEntry);
  HMODULE loaded = os::LoadLibraryW(L"WNASPI32.DLL");
  EXPECT_EQ(Modules().LoadedImage(loaded)->fileName, L"WNASPI32.DLL");
  os::SetLastError(0);
  EXPECT_EQ(os::GetProcAddress(loaded, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(1))),
            nullptr);
  EXPECT_EQ(os::GetLastError(), ERROR_PROC_NOT_FOUND);
  os::FreeLibrary(loaded);
  EXPECT_EQ(Modules().LoadedImage(loaded), nullptr);
}

}  // namespace
