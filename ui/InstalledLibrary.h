// Where the installed input method keeps its phrase library: the directory in
// the registry value "path_svr_data" under HKLM\SOFTWARE\Brimfold\corvane3
// (64-bit view), and "default.wbk" in it. The value is read wide, so that the
// folder may have any name; lengths are in UTF-16 characters.
#pragma once

#include <cstddef>
#include <string>

enum InstalledPathResult {
  INSTALLED_PATH_OK = 0,
  INSTALLED_NO_KEY,            // the key cannot be opened: the input method is not installed
  INSTALLED_VALUE_UNREADABLE,  // missing, not text, not terminated or longer than 260 characters
  INSTALLED_PATH_TOO_LONG      // "<dir>\default.wbk" does not fit 260 characters with its NUL
};

// Characters of the directory and the path buffers, terminator included.
constexpr size_t INSTALLED_PATH_BUFFER = 260;

// "<dir>\default.wbk" into `path`; false, leaving `path` alone, when it would
// not fit INSTALLED_PATH_BUFFER characters with its terminator.
bool ComposeInstalledLibraryPath(const std::wstring& dir, std::wstring& path);

// Reads the registry value and composes the path, in the process's path form
// (PathText.h). `path` is set only with INSTALLED_PATH_OK.
InstalledPathResult InstalledLibraryPath(std::string& path);
