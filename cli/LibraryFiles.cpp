#include "LibraryFiles.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <random>

#include "ProgressBar.h"
#include "Tabrix.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

namespace {

// Routes the library's progress to a bar for the duration of one call.
class CProgressScope {
 public:
  CProgressScope(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& label)
      : m_lib(lib), m_bar(ctx, label) {
    m_lib.m_funProgress = &CProgressBar::OnLibraryProgress;
    m_lib.m_pProgressData = &m_bar;
  }
  ~CProgressScope() {
    m_lib.m_funProgress = nullptr;
    m_lib.m_pProgressData = nullptr;
  }

 private:
  CTabrix& m_lib;
  CProgressBar m_bar;
};

}  // namespace

bool LoadLibraryFile(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path) {
  int ok;
  {
    CProgressScope scope(ctx, lib, "loading");
    ok = lib.Load(path.c_str());
  }
  if (!ok) {
    *ctx.pErr << "error: " << ShownPath(ctx, path)
              << ": cannot be read as a phrase library (missing, unreadable, or not a .wbk file)\n";
  }
  return ok != 0;
}

bool SaveLibraryFile(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path) {
  int ok;
  {
    CProgressScope scope(ctx, lib, "saving");
    ok = lib.Save(path.c_str());
  }
  if (!ok) *ctx.pErr << "error: " << ShownPath(ctx, path) << ": the library could not be saved\n";
  return ok != 0;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out) {
  out->clear();
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  uint8_t chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
  bool ok = ferror(f) == 0;
  fclose(f);
  return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = fflush(f) == 0 && ok;
  ok = fclose(f) == 0 && ok;
  return ok;
}

CTempFile::~CTempFile() {
  if (!m_strPath.empty()) remove(m_strPath.c_str());
}

bool CTempFile::Create(const std::string& bytes) {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  if (ec) return false;
#ifdef _WIN32
  unsigned long pid = static_cast<unsigned long>(_getpid());
#else
  unsigned long pid = static_cast<unsigned long>(getpid());
#endif
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "wbk-" + std::to_string(pid) + "-" + std::to_string(rd() % 1000000) + ".txt";
    std::string path = (dir / name).string();
    // Exclusive creation: a name already taken (by another process) is never reused.
#ifdef _WIN32
    int fd = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
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
        remove(path.c_str());
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
