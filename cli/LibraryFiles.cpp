#include "LibraryFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <random>

#include "LoadReport.h"
#include "ProgressBar.h"
#include "SaveError.h"
#include "Tabrix.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <process.h>
#include <windows.h>
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

std::string DamageSummary(const tagLOADREPORT& report) {
  return std::string("damaged (") + DamageName(report.nDamage) +
         "): " + std::to_string(report.nKept) + " of " + std::to_string(report.nAnnounced) +
         " phrases recovered";
}

bool LoadLibraryFile(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path,
                     LoadDamagePolicy policy, tagLOADREPORT* pReport) {
  tagLOADREPORT local;
  tagLOADREPORT& report = pReport ? *pReport : local;
  int ok;
  {
    CProgressScope scope(ctx, lib, "loading");
    ok = lib.Load(path.c_str(), &report);
  }
  if (ok) return true;
  if (report.nStatus == LOAD_DAMAGED) {
    if (policy == DAMAGE_SHOW) return true;
    if (policy == DAMAGE_SALVAGE) {
      *ctx.pErr << "warning: " << ShownPath(ctx, path) << ": " << DamageSummary(report)
                << "; going on with those\n";
      return true;
    }
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": the library is " << DamageSummary(report)
              << "; nothing was written (--salvage goes on with the recovered phrases)\n";
    lib.Free();
    return false;
  }
  if (report.nStatus == LOAD_NOT_REGULAR) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": not a regular file\n";
  } else if (report.nStatus == LOAD_NO_MEMORY) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": out of memory\n";
  } else {
    *ctx.pErr << "error: " << ShownPath(ctx, path)
              << ": cannot be read as a phrase library (missing, unreadable, or not a .wbk file)\n";
  }
  return false;
}

bool SaveLibraryFile(const tagCLICONTEXT& ctx, CTabrix& lib, const std::string& path) {
  int ok;
  int nError = SAVE_ERROR_NONE;
  {
    CProgressScope scope(ctx, lib, "saving");
    ok = lib.Save(path.c_str(), &nError);
  }
  if (!ok) {
    *ctx.pErr << "error: " << ShownPath(ctx, path)
              << ": the library could not be saved: " << SaveErrorText(nError) << "\n";
  }
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

namespace {

// The system's folder for temporary files, as a narrow path.
std::string TempFolder() {
#ifdef _WIN32
  char buffer[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof buffer, buffer);
  if (n > 0 && n < sizeof buffer) return std::string(buffer, n);
  return ".";
#else
  const char* dir = getenv("TMPDIR");
  return dir != nullptr && *dir != '\0' ? dir : "/tmp";
#endif
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == S_IFDIR;
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  char last = folder.back();
  if (last == '/' || last == '\\') return folder + name;
  return folder + "/" + name;
}

bool MakeFolder(const std::string& path) {
  if (path.empty()) return false;
  std::vector<std::string> prefixes;
  for (size_t i = 1; i < path.size(); ++i) {
#ifdef _WIN32
    // A path in a double-byte code page: the second byte of a character can
    // be 0x5C and is not a separator.
    if (IsDBCSLeadByte(static_cast<BYTE>(path[i - 1]))) {
      ++i;
      continue;
    }
#endif
    if (path[i] == '/' || path[i] == '\\') prefixes.push_back(path.substr(0, i));
  }
  prefixes.push_back(path);
  for (const std::string& prefix : prefixes) {
    if (IsFolder(prefix)) continue;
#ifdef _WIN32
    _mkdir(prefix.c_str());
#else
    mkdir(prefix.c_str(), 0777);
#endif
  }
  return IsFolder(path);
}

bool CTempFile::Create(const std::string& bytes) {
  std::string dir = TempFolder();
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
