#include "InstalledLibrary.h"

#include "RegistryText.h"
#include "framework/PathText.h"
#include "framework/Win32.h"

namespace {
const wchar_t kKey[] = L"SOFTWARE\\Brimfold\\corvane3";
const wchar_t kValue[] = L"path_svr_data";
const wchar_t kFileName[] = L"\\default.wbk";
}  // namespace

bool ComposeInstalledLibraryPath(const std::wstring& dir, std::wstring& path) {
  const size_t length = dir.size() + (sizeof kFileName / sizeof kFileName[0] - 1);
  if (length >= INSTALLED_PATH_BUFFER) return false;
  path = dir + kFileName;
  return true;
}

InstalledPathResult InstalledLibraryPath(std::string& path) {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | KEY_WOW64_64KEY, &hKey) !=
      ERROR_SUCCESS) {
    return INSTALLED_NO_KEY;
  }
  wchar_t data[INSTALLED_PATH_BUFFER];
  DWORD type = REG_NONE;
  DWORD size = sizeof data;
  const LONG status =
      ::RegQueryValueExW(hKey, kValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  ::RegCloseKey(hKey);
  if (status != ERROR_SUCCESS || size > sizeof data) return INSTALLED_VALUE_UNREADABLE;

  // Text only (an expandable string as stored), empty or ending with its NUL.
  std::wstring dir;
  if (TakeRegistryText(type, data, size, INSTALLED_PATH_BUFFER, dir) != REGISTRY_TEXT_OK) {
    return INSTALLED_VALUE_UNREADABLE;
  }
  std::wstring wide;
  if (!ComposeInstalledLibraryPath(dir, wide)) return INSTALLED_PATH_TOO_LONG;
  const std::string strPath = PathFromSystem(wide.c_str());
  if (strPath.empty()) return INSTALLED_VALUE_UNREADABLE;
  path = strPath;
  return INSTALLED_PATH_OK;
}
