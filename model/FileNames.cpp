#include "FileNames.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
uint32_t g_nPathCodePage = PATH_CODEPAGE_ANSI;
}

void SetPathCodePage(uint32_t codePage) {
#ifdef _WIN32
  g_nPathCodePage = codePage == PATH_CODEPAGE_UTF8 ? PATH_CODEPAGE_UTF8 : PATH_CODEPAGE_ANSI;
#else
  (void)codePage;
#endif
}

uint32_t GetPathCodePage() { return g_nPathCodePage; }

bool PathsAreUtf8() { return g_nPathCodePage == PATH_CODEPAGE_UTF8; }

namespace fs = std::filesystem;

// A narrow path as the file system takes it. On Windows it is converted as
// the file calls convert it, so that the trail byte 0x5C of a character is
// no separator, and without the exception a failed conversion would throw.
fs::path NativePath(const std::string& path) {
#ifdef _WIN32
  return fs::path(WidePath(path.c_str()));
#else
  return fs::path(path);
#endif
}

bool NarrowPath(const fs::path& path, std::string* out) {
#ifdef _WIN32
  return PathFromWide(path.c_str(), out) && !out->empty();
#else
  *out = path.native();
  return !out->empty();
#endif
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  // Read as the file system reads it, so that the last byte of a character is
  // not taken for a separator. '/' joins on every system, and is what the
  // messages show.
  const fs::path::string_type native = NativePath(folder).native();
  if (!native.empty() && (native.back() == '/' || native.back() == '\\')) return folder + name;
  return folder + "/" + name;
}

#ifdef _WIN32

namespace {
UINT SystemCodePage() { return g_nPathCodePage == PATH_CODEPAGE_UTF8 ? CP_UTF8 : CP_ACP; }
}  // namespace

std::wstring WidePath(const char* path) {
  if (!path || !*path) return std::wstring();
  // Invalid bytes fail the conversion rather than become U+FFFD, which could
  // name another file.
  const DWORD flags = MB_ERR_INVALID_CHARS;
  const int n = MultiByteToWideChar(SystemCodePage(), flags, path, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(SystemCodePage(), flags, path, -1, &wide[0], n);
  wide.resize(static_cast<size_t>(n) - 1);
  return wide;
}

bool PathFromWide(const wchar_t* wide, std::string* out) {
  out->clear();
  BOOL lossy = FALSE;
  const bool utf8 = SystemCodePage() == CP_UTF8;
  BOOL* pLossy = utf8 ? nullptr : &lossy;
  // A lone surrogate fails rather than become U+FFFD, another name.
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : 0;
  const int n = WideCharToMultiByte(SystemCodePage(), flags, wide, -1, nullptr, 0, nullptr, pLossy);
  if (n <= 0 || lossy) return false;
  out->assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(SystemCodePage(), flags, wide, -1, &(*out)[0], n, nullptr, nullptr);
  out->resize(static_cast<size_t>(n) - 1);
  return true;
}

std::FILE* OpenFileByPath(const char* path, const char* mode) {
  const std::wstring wide = WidePath(path);
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return wide.empty() ? nullptr : _wfopen(wide.c_str(), wideMode.c_str());
}

int RemoveFileByPath(const char* path) {
  const std::wstring wide = WidePath(path);
  return wide.empty() ? -1 : _wremove(wide.c_str());
}

#else

std::FILE* OpenFileByPath(const char* path, const char* mode) { return std::fopen(path, mode); }

int RemoveFileByPath(const char* path) { return std::remove(path); }

#endif
