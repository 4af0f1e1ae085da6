// How libraries and their entry points are found. The same tests run
// against the simulated machine and, under Wine, against the real system.

#include <gtest/gtest.h>

#include "BehaviourMachine.h"
#include "os/Os.h"

namespace {

using TickCountFunction = DWORD(WINAPI*)();

class ModuleBehaviour : public ::testing::Test {
 protected:
  BehaviourMachine machine;
};

TEST_F(ModuleBehaviour, MissingLibraryIsNotFound) {
  const wchar_t* const names[] = {
      L"ombra-no-such-library.dll",
      L"ombra-no-such-library",      // ".dll" is added
      L"C:\\nowhere\\KERNEL32.DLL",  // a path is looked at, not just its file name
      L"kernel32.",                  // a trailing dot means no extension
      L"",
  };
  for (const wchar_t* name : names) {
    os::SetLastError(0);
    EXPECT_EQ(os::LoadLibraryW(name), nullptr) << "name " << testing::PrintToString(name);
    EXPECT_EQ(os::GetLastError(), ERROR_MOD_NOT_FOUND);
  }
  os::SetLastError(0);
  EXPECT_EQ(os::LoadLibraryW(nullptr), nullptr);
  EXPECT_EQ(os::GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(ModuleBehaviour, LoadsOfOneLibraryShareItsHandle) {
  HMODULE first = os::LoadLibraryW(L"KERNEL32.DLL");
  ASSERT_NE(first, nullptr);
  HMODULE second = os::LoadLibraryW(L"kernel32");
  EXPECT_EQ(second, first);
  EXPECT_TRUE(os::FreeLibrary(second));
  EXPECT_TRUE(os::FreeLibrary(first));
}

TEST_F(ModuleBehaviour, EntryPointsAreFoundByTheirExactName) {
  HMODULE library = os::LoadLibraryW(L"KERNEL32.DLL");
  ASSERT_NE(library, nullptr);
  FARPROC found = os::GetProcAddress(library, "GetTickCount");
  ASSERT_NE(found, nullptr);
  auto tickCount = reinterpret_cast<TickCountFunction>(reinterpret_cast<void (*)()>(found));
  const DWORD before = os::GetTickCount();
  EXPECT_LT(tickCount() - before, 60000u);  // it is the system's tick count

  for (const char* name : {"gettickcount", "NoSuchEntryPoint", ""}) {
    os::SetLastError(0);
    EXPECT_EQ(os::GetProcAddress(library, name), nullptr) << name;
    EXPECT_EQ(os::GetLastError(), ERROR_PROC_NOT_FOUND) << name;
  }
  os::FreeLibrary(library);
}

TEST_F(ModuleBehaviour, ValueThatIsNoModuleIsRefused) {
  const auto notAModule = reinterpret_cast<HMODULE>(static_cast<ULONG_PTR>(0x04320000));
  os::SetLastError(0);
  EXPECT_EQ(os::GetProcAddress(notAModule, "GetTickCount"), nullptr);
  EXPECT_EQ(os::GetLastError(), ERROR_MOD_NOT_FOUND);
  os::SetLastError(0);
  EXPECT_FALSE(os::FreeLibrary(notAModule));
  EXPECT_EQ(os::GetLastError(), ERROR_MOD_NOT_FOUND);
}

}  // namespace
