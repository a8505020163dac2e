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

CTempFile::~CTempFile() {
  if (!m_strPath.empty()) RemoveFileByPath(m_strPath.c_str());
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
