#include "LibraryFiles.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <random>

#include "FileNames.h"
#include "LoadReport.h"
#include "ProgressBar.h"
#include "SaveError.h"
#include "Tabrix.h"
#include "Warnings.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
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
      Warn(ctx, "damaged library",
           ShownPath(ctx, path) + ": " + DamageSummary(report) + "; going on with those");
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
  FILE* f = OpenFileByPath(path.c_str(), "rb");
  if (f == nullptr) return false;
  uint8_t chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
  bool ok = ferror(f) == 0;
  fclose(f);
  return ok;
}

namespace {

namespace fs = std::filesystem;

}  // namespace

bool MakeFolder(const std::string& path) {
  if (path.empty()) return false;
  const fs::path folder = NativePath(path);
  std::error_code ec;
  fs::create_directories(folder, ec);
  // Whatever that said, the folder counts when it is there now: another
  // process may have made it meanwhile.
  return fs::is_directory(folder, ec);
}
