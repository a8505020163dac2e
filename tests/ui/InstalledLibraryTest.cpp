// The installed library's path from the registry value "path_svr_data".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstalledLibrary.h"
#include "RegistryFixtures.h"

namespace {

TEST(InstalledLibraryPathTest, ComposesDirectoryAndFileName) {
  std::wstring path = L"untouched";
  ASSERT_TRUE(ComposeInstalledLibraryPath(L"C:\\IME\\data", path));
  EXPECT_TRUE(path == L"C:\\IME\\data\\default.wbk");
  ASSERT_TRUE(ComposeInstalledLibraryPath(L"", path));
  EXPECT_TRUE(path == L"\\default.wbk");
}

TEST(InstalledLibraryPathTest, PathMustFitTheBufferWhole) {
  // "\default.wbk" is 12 characters: a directory of 247 gives 259 and the
  // NUL, one character more does not fit and is refused, never cut. The
  // count is in characters, whatever bytes they take as a narrow path.
  for (const wchar_t c : {L'd', L'\uD55C'}) {
    std::wstring path = L"untouched";
    ASSERT_TRUE(ComposeInstalledLibraryPath(std::wstring(247, c), path));
    EXPECT_EQ(path.size(), 259u);
    EXPECT_TRUE(path == std::wstring(247, c) + L"\\default.wbk");
    path = L"untouched";
    EXPECT_FALSE(ComposeInstalledLibraryPath(std::wstring(248, c), path));
    EXPECT_TRUE(path == L"untouched");
    EXPECT_FALSE(ComposeInstalledLibraryPath(std::wstring(400, c), path));
    EXPECT_TRUE(path == L"untouched");
  }
}

struct tagREGCASE {
  const char* pszName;
  bool bKey;    // create the key
  bool bValue;  // set the value
  DWORD dwType;
  std::string strData;  // raw bytes stored
  InstalledPathResult expected;
  std::string strPath;  // with INSTALLED_PATH_OK
};

std::vector<tagREGCASE> RegistryCases() {
  const std::string dir247(247, 'd');
  const std::string dir248(248, 'd');
  const std::string dir259(259, 'd');
  return {
      {"present", true, true, REG_SZ, std::string("C:\\IME\\data", 12), INSTALLED_PATH_OK,
       "C:\\IME\\data\\default.wbk"},
      {"empty", true, true, REG_SZ, std::string("", 1), INSTALLED_PATH_OK, "\\default.wbk"},
      {"no data at all", true, true, REG_SZ, std::string(), INSTALLED_PATH_OK, "\\default.wbk"},
      {"expandable, taken as stored", true, true, REG_EXPAND_SZ,
       std::string("%SystemRoot%\\ime", 17), INSTALLED_PATH_OK, "%SystemRoot%\\ime\\default.wbk"},
      // Wine hands an unterminated text back terminated; nothing past it is read.
      {"stored without terminator", true, true, REG_SZ, std::string("C:\\abc"), INSTALLED_PATH_OK,
       "C:\\abc\\default.wbk"},
      {"text ends at its first NUL", true, true, REG_SZ, std::string("C:\\a\0C:\\b", 10),
       INSTALLED_PATH_OK, "C:\\a\\default.wbk"},
      {"longest directory", true, true, REG_SZ, dir247 + '\0', INSTALLED_PATH_OK,
       dir247 + "\\default.wbk"},
      {"missing key", false, false, REG_SZ, std::string(), INSTALLED_NO_KEY, ""},
      {"missing value", true, false, REG_SZ, std::string(), INSTALLED_VALUE_UNREADABLE, ""},
      {"number", true, true, REG_DWORD, std::string("\x05\0\0\0", 4), INSTALLED_VALUE_UNREADABLE,
       ""},
      {"binary", true, true, REG_BINARY, std::string("C:\\\0", 4), INSTALLED_VALUE_UNREADABLE, ""},
      {"string list", true, true, REG_MULTI_SZ, std::string("C:\\\0\0", 5),
       INSTALLED_VALUE_UNREADABLE, ""},
      {"value of 300 bytes", true, true, REG_SZ, std::string(299, 'v') + '\0',
       INSTALLED_VALUE_UNREADABLE, ""},
      {"value of 261 bytes", true, true, REG_SZ, std::string(260, 'v') + '\0',
       INSTALLED_VALUE_UNREADABLE, ""},
      {"directory too long for the path", true, true, REG_SZ, dir248 + '\0',
       INSTALLED_PATH_TOO_LONG, ""},
      {"value of 260 bytes", true, true, REG_SZ, dir259 + '\0', INSTALLED_PATH_TOO_LONG, ""},
  };
}

TEST(InstalledLibraryRegistryTest, EveryKindOfValue) {
  for (const tagREGCASE& c : RegistryCases()) {
    SCOPED_TRACE(c.pszName);
    CInstalledKey key;
    if (c.bKey) {
      ASSERT_TRUE(key.Create());
    }
    if (c.bValue) {
      ASSERT_TRUE(key.SetValue(c.dwType, c.strData.data(), static_cast<DWORD>(c.strData.size())));
    }
    std::string path = "untouched";
    EXPECT_EQ(InstalledLibraryPath(path), c.expected);
    EXPECT_EQ(path, c.expected == INSTALLED_PATH_OK ? c.strPath : std::string("untouched"));
  }
}

TEST(InstalledLibraryRegistryTest, KeyOfThe32BitViewIsNotRead) {
  CInstalledKey key;
  HKEY hKey = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brimfold\\corvane3", 0, nullptr, 0,
                            KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &hKey, nullptr),
            ERROR_SUCCESS);
  const char dir[] = "C:\\wow";
  RegSetValueExA(hKey, "path_svr_data", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir), sizeof dir);
  RegCloseKey(hKey);
  std::string path;
  EXPECT_EQ(InstalledLibraryPath(path), INSTALLED_NO_KEY);
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brimfold\\corvane3", KEY_WOW64_32KEY, 0);
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brimfold", KEY_WOW64_32KEY, 0);
}

// A folder whose name GBK cannot spell (written wide, as an installer of
// another language would): the path reaches it, in the editor's path form.
TEST(InstalledLibraryRegistryTest, AFolderOfAnyNameIsReadWide) {
  CInstalledKey key;
  ASSERT_TRUE(key.Create());
  HKEY hKey = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Brimfold\\corvane3", 0,
                          KEY_SET_VALUE | KEY_WOW64_64KEY, &hKey),
            ERROR_SUCCESS);
  const wchar_t dir[] = L"C:\\\uD55C\uAD6D\\\u8BCD\u5E93";  // C:\한국\词库
  ASSERT_EQ(RegSetValueExW(hKey, L"path_svr_data", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir),
                           sizeof dir),
            ERROR_SUCCESS);
  RegCloseKey(hKey);
  std::string path;
  ASSERT_EQ(InstalledLibraryPath(path), INSTALLED_PATH_OK);
  EXPECT_EQ(path, u8"C:\\\uD55C\uAD6D\\\u8BCD\u5E93\\default.wbk");
}

}  // namespace
