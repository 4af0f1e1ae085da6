// How the registry functions behave. The same tests run against the
// simulated machine and, under Wine, against the real system; they work
// below a key of their own in HKEY_CURRENT_USER and remove it afterwards.

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "BehaviourMachine.h"
#include "os/Os.h"

namespace {

const wchar_t kTestRoot[] = L"Software\\OmbraBehaviourTest";

// Removes a key and everything below it.
void DeleteTree(HKEY parent, const std::wstring& name) {
  HKEY key = nullptr;
  if (os::RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  for (;;) {
    wchar_t child[256];
    DWORD length = 256;
    if (os::RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    DeleteTree(key, child);
  }
  os::RegCloseKey(key);
  os::RegDeleteKeyW(parent, name.c_str());
}

std::vector<std::uint8_t> StringData(const wchar_t* text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
  return std::vector<std::uint8_t>(bytes, bytes + (std::wcslen(text) + 1) * sizeof(wchar_t));
}

class RegistryBehaviour : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteTree(HKEY_CURRENT_USER, kTestRoot);
    ASSERT_EQ(os::RegCreateKeyExW(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &root, nullptr),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    os::RegCloseKey(root);
    DeleteTree(HKEY_CURRENT_USER, kTestRoot);
  }

  void CreateKey(const wchar_t* path) {
    HKEY key = nullptr;
    ASSERT_EQ(os::RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
              ERROR_SUCCESS);
    os::RegCloseKey(key);
  }
  void SetString(const wchar_t* name, const wchar_t* text) {
    const std::vector<std::uint8_t> data = StringData(text);
    ASSERT_EQ(
        os::RegSetValueExW(root, name, 0, REG_SZ, data.data(), static_cast<DWORD>(data.size())),
        ERROR_SUCCESS);
  }
  HKEY Open(const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    EXPECT_EQ(os::RegOpenKeyExW(root, path, 0, access, &key), ERROR_SUCCESS);
    return key;
  }

  BehaviourMachine machine;
  HKEY root = nullptr;
};

TEST_F(RegistryBehaviour, CreateTellsWhetherTheKeyIsNew) {
  for (DWORD expected : {REG_CREATED_NEW_KEY, REG_OPENED_EXISTING_KEY}) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(os::RegCreateKeyExW(root, L"Device\\Instance", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, expected);
    os::RegCloseKey(key);
  }
}

TEST_F(RegistryBehaviour, OpenFollowsRelativePathsWithoutRegardToCase) {
  CreateKey(L"Enum\\Scsi");
  struct Case {
    const wchar_t* path;
    LSTATUS expected;
  };
  const Case cases[] = {
      {L"Enum\\Scsi", ERROR_SUCCESS},        {L"ENUM\\scsi", ERROR_SUCCESS},
      {L"Enum\\Scsi\\", ERROR_SUCCESS},      {L"Enum\\\\Scsi", ERROR_SUCCESS},
      {L"\\Enum\\Scsi", ERROR_BAD_PATHNAME}, {L"Enum\\Ide", ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    HKEY key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
    EXPECT_EQ(os::RegOpenKeyExW(root, c.path, 0, KEY_READ, &key), c.expected)
        << testing::PrintToString(c.path);
    if (c.expected == ERROR_SUCCESS) {
      EXPECT_EQ(os::RegCloseKey(key), ERROR_SUCCESS);
    } else {
      EXPECT_EQ(key, nullptr);
    }
  }
}

TEST_F(RegistryBehaviour, OpenWithoutSubkeyGivesANewHandle) {
  for (const wchar_t* path : {static_cast<const wchar_t*>(nullptr), L""}) {
    HKEY again = Open(path, KEY_READ);
    EXPECT_NE(again, root);
    EXPECT_EQ(os::RegCloseKey(again), ERROR_SUCCESS);
  }
}

TEST_F(RegistryBehaviour, BadArgumentsAndHandles) {
  const auto notAKey = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x4321));
  HKEY key = nullptr;
  EXPECT_EQ(os::RegOpenKeyExW(root, L"x", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(os::RegOpenKeyExW(notAKey, L"x", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(os::RegCloseKey(notAKey), ERROR_INVALID_HANDLE);
  // Closing a predefined key is allowed and changes nothing.
  EXPECT_EQ(os::RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
  EXPECT_EQ(os::RegOpenKeyExW(HKEY_CURRENT_USER, kTestRoot, 0, KEY_READ, &key), ERROR_SUCCESS);
  os::RegCloseKey(key);
}

TEST_F(RegistryBehaviour, SubkeysAreEnumeratedInNameOrder) {
  for (const wchar_t* name : {L"b", L"A", L"c", L"B2", L"a1"}) CreateKey(name);
  const wchar_t* const expected[] = {L"A", L"a1", L"b", L"B2", L"c"};
  DWORD index = 0;
  for (const wchar_t* name : expected) {
    wchar_t found[16];
    DWORD length = 16;
    ASSERT_EQ(os::RegEnumKeyExW(root, index++, found, &length, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(found, name);
    EXPECT_EQ(length, std::wcslen(name));  // without the terminator
  }
  wchar_t found[16];
  DWORD length = 16;
  EXPECT_EQ(os::RegEnumKeyExW(root, index, found, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryBehaviour, EnumerationNeedsRoomForTheTerminator) {
  CreateKey(L"ab");
  wchar_t name[4] = L"zzz";
  DWORD length = 2;
  EXPECT_EQ(os::RegEnumKeyExW(root, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  EXPECT_EQ(length, 2u);
  EXPECT_STREQ(name, L"zzz");
  length = 3;
  wchar_t className[8] = L"q";
  DWORD classLength = 8;
  FILETIME written = {0, 0};
  EXPECT_EQ(os::RegEnumKeyExW(root, 0, name, &length, nullptr, className, &classLength, &written),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, L"ab");
  EXPECT_EQ(classLength, 0u);
  EXPECT_STREQ(className, L"");
  EXPECT_NE(written.dwHighDateTime, 0u);
}

TEST_F(RegistryBehaviour, StringValueSizeCountsTheTerminator) {
  SetString(L"SCSILUN", L"0");
  const DWORD size = 2 * sizeof(wchar_t);
  DWORD type = 99;
  DWORD length = 0;
  EXPECT_EQ(os::RegQueryValueExW(root, L"scsilun", nullptr, &type, nullptr, &length),
            ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(length, size);

  wchar_t text[4] = {L'x', L'x', L'x', L'x'};
  length = sizeof text;
  EXPECT_EQ(os::RegQueryValueExW(root, L"SCSILUN", nullptr, &type, reinterpret_cast<LPBYTE>(text),
                                 &length),
            ERROR_SUCCESS);
  EXPECT_EQ(length, size);
  EXPECT_STREQ(text, L"0");

  // Everything but the value's existence may be left unasked.
  EXPECT_EQ(os::RegQueryValueExW(root, L"SCSILUN", nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
}

TEST_F(RegistryBehaviour, ShortBufferGetsTheSizeAndStaysUntouched) {
  SetString(L"CurrentDriveLetterAssignment", L"E");
  std::uint8_t data[2] = {9, 9};
  DWORD type = 99;
  DWORD length = sizeof data;
  EXPECT_EQ(
      os::RegQueryValueExW(root, L"CurrentDriveLetterAssignment", nullptr, &type, data, &length),
      ERROR_MORE_DATA);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(length, 2 * sizeof(wchar_t));
  EXPECT_EQ(data[0], 9);
  // A buffer without its length is refused.
  type = 99;
  EXPECT_EQ(
      os::RegQueryValueExW(root, L"CurrentDriveLetterAssignment", nullptr, &type, data, nullptr),
      ERROR_INVALID_PARAMETER);
  EXPECT_EQ(type, 99u);
  DWORD reserved = 0;
  length = sizeof data;
  EXPECT_EQ(os::RegQueryValueExW(root, L"CurrentDriveLetterAssignment", &reserved, nullptr, nullptr,
                                 &length),
            ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryBehaviour, MissingValueReportsNoData) {
  for (const wchar_t* name : {L"Missing", static_cast<const wchar_t*>(nullptr)}) {
    DWORD type = 99;
    DWORD length = 7;
    EXPECT_EQ(os::RegQueryValueExW(root, name, nullptr, &type, nullptr, &length),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(type, 99u);
    EXPECT_EQ(length, 0u);
  }
  EXPECT_EQ(os::RegDeleteValueW(root, L"Missing"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryBehaviour, DeletedValueIsGone) {
  SetString(L"Driver", L"x");
  EXPECT_EQ(os::RegDeleteValueW(root, L"DRIVER"), ERROR_SUCCESS);
  EXPECT_EQ(os::RegQueryValueExW(root, L"Driver", nullptr, nullptr, nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryBehaviour, HandleOpenedWithoutTheRightIsRefused) {
  SetString(L"SCSILUN", L"0");
  CreateKey(L"Child");
  HKEY enumerateOnly = Open(L"", KEY_ENUMERATE_SUB_KEYS);
  DWORD length = 0;
  EXPECT_EQ(os::RegQueryValueExW(enumerateOnly, L"SCSILUN", nullptr, nullptr, nullptr, &length),
            ERROR_ACCESS_DENIED);
  os::RegCloseKey(enumerateOnly);
  HKEY queryOnly = Open(L"", KEY_QUERY_VALUE);
  wchar_t name[16];
  length = 16;
  EXPECT_EQ(os::RegEnumKeyExW(queryOnly, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_ACCESS_DENIED);
  os::RegCloseKey(queryOnly);
}

TEST_F(RegistryBehaviour, KeyWithSubkeysIsNotDeleted) {
  CreateKey(L"Parent\\Child");
  EXPECT_EQ(os::RegDeleteKeyW(root, L"Parent"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(os::RegDeleteKeyW(root, L"Parent\\Child"), ERROR_SUCCESS);
  EXPECT_EQ(os::RegDeleteKeyW(root, L"Parent"), ERROR_SUCCESS);
  EXPECT_EQ(os::RegDeleteKeyW(root, L"Parent"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryBehaviour, HandleOfADeletedKeyStillCloses) {
  CreateKey(L"Gone");
  HKEY gone = Open(L"Gone", KEY_READ);
  ASSERT_EQ(os::RegDeleteKeyW(root, L"Gone"), ERROR_SUCCESS);
  DWORD length = 0;
  EXPECT_EQ(os::RegQueryValueExW(gone, L"x", nullptr, nullptr, nullptr, &length),
            ERROR_KEY_DELETED);
  wchar_t name[16];
  length = 16;
  EXPECT_EQ(os::RegEnumKeyExW(gone, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_KEY_DELETED);
  EXPECT_EQ(os::RegCloseKey(gone), ERROR_SUCCESS);
}

TEST_F(RegistryBehaviour, FailuresLeaveTheLastErrorAlone) {
  os::SetLastError(77);
  HKEY key = nullptr;
  EXPECT_NE(os::RegOpenKeyExW(root, L"Missing", 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_NE(os::RegQueryValueExW(root, L"Missing", nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_NE(os::RegCloseKey(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x4321))), ERROR_SUCCESS);
  EXPECT_EQ(os::GetLastError(), 77u);
}

}  // namespace
