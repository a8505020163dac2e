// Where the installed input method keeps its phrase library: the directory in
// the registry value "path_svr_data" under HKLM\SOFTWARE\Brimfold\corvane3
// (64-bit view), and "default.wbk" in it.
#pragma once

#include <cstddef>
#include <string>

enum InstalledPathResult {
  INSTALLED_PATH_OK = 0,
  INSTALLED_NO_KEY,            // the key cannot be opened: the input method is not installed
  INSTALLED_VALUE_UNREADABLE,  // missing, not text, not terminated or longer than 260 bytes
  INSTALLED_PATH_TOO_LONG      // "<dir>\default.wbk" does not fit 260 bytes with its NUL
};

// Bytes of the directory and the path buffers, terminator included.
constexpr size_t INSTALLED_PATH_BUFFER = 260;

// "<dir>\default.wbk" into `path`; false, leaving `path` alone, when it would
// not fit INSTALLED_PATH_BUFFER bytes with its terminator.
bool ComposeInstalledLibraryPath(const std::string& dir, std::string& path);

// Reads the registry value and composes the path. `path` is set only with
// INSTALLED_PATH_OK.
InstalledPathResult InstalledLibraryPath(std::string& path);
