#include "InstalledLibrary.h"

#include <cstdio>

#include "RegistryText.h"
#include "framework/Win32.h"

namespace {
const char kKey[] = "SOFTWARE\\Brimfold\\corvane3";
const char kValue[] = "path_svr_data";
}  // namespace

bool ComposeInstalledLibraryPath(const std::string& dir, std::string& path) {
  char buffer[INSTALLED_PATH_BUFFER];
  const int length = std::snprintf(buffer, sizeof buffer, "%s\\default.wbk", dir.c_str());
  if (length < 0 || static_cast<size_t>(length) >= sizeof buffer) return false;
  path.assign(buffer, static_cast<size_t>(length));
  return true;
}

InstalledPathResult InstalledLibraryPath(std::string& path) {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ | KEY_WOW64_64KEY, &hKey) !=
      ERROR_SUCCESS) {
    return INSTALLED_NO_KEY;
  }
  char data[INSTALLED_PATH_BUFFER];
  DWORD type = REG_NONE;
  DWORD size = sizeof data;
  const LONG status =
      ::RegQueryValueExA(hKey, kValue, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  ::RegCloseKey(hKey);
  if (status != ERROR_SUCCESS || size > sizeof data) return INSTALLED_VALUE_UNREADABLE;

  // Text only (an expandable string as stored), empty or ending with its NUL.
  std::string dir;
  if (TakeRegistryText(type, data, size, sizeof data, dir) != REGISTRY_TEXT_OK) {
    return INSTALLED_VALUE_UNREADABLE;
  }
  if (!ComposeInstalledLibraryPath(dir, path)) return INSTALLED_PATH_TOO_LONG;
  return INSTALLED_PATH_OK;
}
