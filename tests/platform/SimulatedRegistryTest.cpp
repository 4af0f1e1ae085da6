// What only the simulated registry offers: keys and values a test writes
// by path, and the differences between the two Windows families.

#include <gtest/gtest.h>

#include <cstring>

#include "os/Os.h"
#include "sim/Machine.h"
#include "sim/RegistryTree.h"

namespace {

const wchar_t kInstance[] = L"HKLM\\Enum\\SCSI\\norvik__K520____________1\\MF&CHILD0000";

class SimulatedRegistryTest : public ::testing::Test {
 protected:
  sim::RegistryTree& Registry() { return sim::RegistryTree::Of(*machine); }
  HKEY OpenMachineKey(const wchar_t* path, REGSAM access = KEY_READ) {
    HKEY key = nullptr;
    EXPECT_EQ(os::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, access, &key), ERROR_SUCCESS);
    return key;
  }

  sim::ScopedMachine machine;
};

TEST_F(SimulatedRegistryTest, StringValueWrittenByPathReadsAsTheProgramReadsIt) {
  ASSERT_TRUE(Registry().SetStringValue(kInstance, L"CurrentDriveLetterAssignment", L"E"));
  HKEY key = OpenMachineKey(L"ENUM\\SCSI\\NORVIK__K520____________1\\mf&child0000");
  DWORD type = 0;
  wchar_t text[8] = {};
  DWORD length = sizeof text;
  ASSERT_EQ(os::RegQueryValueExW(key, L"currentdriveletterassignment", nullptr, &type,
                                 reinterpret_cast<LPBYTE>(text), &length),
            ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(length, 2 * sizeof(wchar_t));
  EXPECT_STREQ(text, L"E");
  os::RegCloseKey(key);
}

TEST_F(SimulatedRegistryTest, PathFunctionsNeedAKnownRoot) {
  EXPECT_FALSE(Registry().CreateKey(L"HKEY_NOWHERE\\Software"));
  EXPECT_FALSE(Registry().SetStringValue(L"Enum\\SCSI", L"x", L"y"));
  EXPECT_FALSE(Registry().DeleteKey(L"HKLM"));
  EXPECT_TRUE(Registry().CreateKey(L"HKEY_CURRENT_USER\\Software\\Vendor"));
  EXPECT_TRUE(Registry().KeyExists(L"hkcu\\software\\VENDOR"));
  EXPECT_FALSE(Registry().KeyExists(L"HKLM\\Software\\Vendor"));
}

TEST_F(SimulatedRegistryTest, PathFunctionsReadBackWhatWasWritten) {
  ASSERT_TRUE(Registry().SetDwordValue(kInstance, L"Removable", 1));
  ASSERT_TRUE(Registry().SetStringValue(kInstance, L"SCSILUN", L"0"));
  const std::optional<sim::RegistryValue> removable = Registry().GetValue(kInstance, L"removable");
  ASSERT_TRUE(removable);
  EXPECT_EQ(removable->type, REG_DWORD);
  EXPECT_EQ(removable->data, (std::vector<std::uint8_t>{1, 0, 0, 0}));
  EXPECT_TRUE(Registry().DeleteValue(kInstance, L"Removable"));
  EXPECT_FALSE(Registry().GetValue(kInstance, L"Removable"));
  EXPECT_EQ(Registry().SubkeyNames(L"HKLM\\Enum\\SCSI"),
            std::vector<std::wstring>{L"norvik__K520____________1"});
  EXPECT_TRUE(Registry().DeleteKey(L"HKLM\\Enum\\SCSI"));
  EXPECT_FALSE(Registry().KeyExists(kInstance));
}

TEST_F(SimulatedRegistryTest, KeyHandlesAreKernelHandles) {
  Registry().CreateKey(kInstance);
  const std::size_t before = machine->OpenHandleCount();
  HKEY key = OpenMachineKey(L"Enum\\SCSI");
  EXPECT_EQ(machine->OpenHandleCount(), before + 1);
  // An event is no key, and stays open.
  HANDLE event = os::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_EQ(os::RegCloseKey(static_cast<HKEY>(event)), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(os::CloseHandle(event));
  EXPECT_EQ(os::RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(machine->OpenHandleCount(), before);
}

TEST_F(SimulatedRegistryTest, Windows9xDeletesSubtreesAndKeepsNoSecurity) {
  machine->SetWindowsVersion(sim::WindowsVersion::Windows98());
  Registry().SetStringValue(kInstance, L"SCSILUN", L"0");
  HKEY enumerateOnly = OpenMachineKey(L"Enum\\SCSI\\norvik__K520____________1\\MF&CHILD0000",
                                      KEY_ENUMERATE_SUB_KEYS);
  DWORD length = 0;
  EXPECT_EQ(os::RegQueryValueExW(enumerateOnly, L"SCSILUN", nullptr, nullptr, nullptr, &length),
            ERROR_SUCCESS);
  os::RegCloseKey(enumerateOnly);
  EXPECT_EQ(os::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Enum\\SCSI"), ERROR_SUCCESS);
  EXPECT_FALSE(Registry().KeyExists(L"HKLM\\Enum\\SCSI"));
  EXPECT_TRUE(Registry().KeyExists(L"HKLM\\Enum"));
}

TEST_F(SimulatedRegistryTest, PredefinedKeysCannotBeDeleted) {
  EXPECT_EQ(os::RegDeleteKeyW(HKEY_LOCAL_MACHINE, L""), ERROR_ACCESS_DENIED);
}

TEST_F(SimulatedRegistryTest, KeyDeletedThroughItsOwnHandle) {
  Registry().CreateKey(kInstance);
  HKEY key = OpenMachineKey(L"Enum\\SCSI\\norvik__K520____________1\\MF&CHILD0000", KEY_ALL_ACCESS);
  EXPECT_EQ(os::RegDeleteKeyW(key, L""), ERROR_SUCCESS);
  EXPECT_FALSE(Registry().KeyExists(kInstance));
  EXPECT_EQ(os::RegSetValueExW(key, L"x", 0, REG_BINARY, nullptr, 0), ERROR_KEY_DELETED);
  os::RegCloseKey(key);
}

}  // namespace
