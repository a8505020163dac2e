#include "FilePaths.h"

#include <cerrno>
#include <cstdio>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "FileNames.h"

namespace fs = std::filesystem;

// A narrow path as the file system takes it. On Windows a narrow path is in
// the process's path code page (FileNames.h), converted as the file calls
// convert it, so that the trail byte 0x5C of a character is no separator,
// and without the exception a failed conversion would throw.
fs::path NativePath(const std::string& path) {
#ifdef _WIN32
  return fs::path(WidePath(path.c_str()));
#else
  return fs::path(path);
#endif
}

// The narrow form of a path the file system gave; false when there is none.
bool NarrowPath(const fs::path& path, std::string* out) {
#ifdef _WIN32
  return PathFromWide(path.c_str(), out) && !out->empty();
#else
  *out = path.native();
  return !out->empty();
#endif
}

CTempFile::~CTempFile() {
  if (!m_strPath.empty()) RemoveFileByPath(m_strPath.c_str());
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

bool CTempFile::Create(const std::string& bytes) {
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  std::string dir;
  if (ec || !NarrowPath(temp, &dir)) return false;
#ifdef _WIN32
  unsigned long pid = static_cast<unsigned long>(_getpid());
#else
  unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "wbk-" + std::to_string(pid) + "-" + std::to_string(rd() % 1000000) + ".txt";
    std::string path = JoinPath(dir, name);
    // Exclusive creation: a name already taken (by another process) is never reused.
#ifdef _WIN32
    const std::wstring wide = WidePath(path.c_str());
    int fd = _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    FILE* f = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
#else
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    FILE* f = fd >= 0 ? fdopen(fd, "wb") : nullptr;
#endif
    if (f == nullptr) {
      if (fd < 0 && errno == EEXIST) continue;
      if (fd >= 0) {
#ifdef _WIN32
        _close(fd);
#else
        close(fd);
#endif
        RemoveFileByPath(path.c_str());
      }
      return false;
    }
    m_strPath = path;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    return ok;
  }
  return false;
}
