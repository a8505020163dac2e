#include "CliContext.h"

#include <ostream>

#include "FileNames.h"
#include "GbkText.h"
#include "TextEncoding.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

std::ostream& ReportStream(const tagCLICONTEXT& ctx, bool bDataOnStdout) {
  // A stream without buffer takes everything and writes nothing.
  static std::ostream s_nowhere(nullptr);
  if (ctx.bQuiet) return s_nowhere;
  return bDataOnStdout ? *ctx.pErr : *ctx.pOut;
}

std::string Shown(const tagCLICONTEXT& ctx, const std::string& gbk) {
  return GbkForDisplay(gbk, ctx.nCodePage);
}

std::string Shown(const tagCLICONTEXT& ctx, const char* field, size_t width) {
  return Shown(ctx, FieldText(field, width));
}

std::string ShownPath(const tagCLICONTEXT& ctx, const std::string& path) {
  std::string out;
  if (ConvertCodePage(FileNameCodePage(), ctx.nCodePage, path, &out)) return out;
  // A UTF-8 name on a console of another code page: what it cannot show is
  // '?', as in the system's own listings.
  if (FileNameCodePage() == CODEPAGE_UTF8 && ctx.nCodePage != CODEPAGE_UTF8) {
    return ConvertEachCharacter(CODEPAGE_UTF8, ctx.nCodePage, path, "?");
  }
  return path;
}

namespace {

void WriteRefusal(const tagCLICONTEXT& ctx, const std::string& path, const char* kind,
                  bool* pRefused) {
  *ctx.pErr << "error: " << ShownPath(ctx, path) << ": not a regular file (" << kind
            << "); nothing was read from it\n";
  *pRefused = true;
}

}  // namespace

#ifdef _WIN32

std::FILE* OpenInputFile(const tagCLICONTEXT& ctx, const std::string& path, bool* pRefused,
                         uint64_t* pSize) {
  *pRefused = false;
  struct _stati64 st;
  const std::wstring wide = WidePath(path.c_str());
  int fd = wide.empty() ? -1 : _wopen(wide.c_str(), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    // Windows opens no folder at all; it is still named for what it is.
    if (!wide.empty() && _wstati64(wide.c_str(), &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFDIR) {
      WriteRefusal(ctx, path, "a folder", pRefused);
    }
    return nullptr;
  }
  if (_fstati64(fd, &st) != 0) {
    _close(fd);
    return nullptr;
  }
  // A console, a pipe or a device such as NUL is no disk file, whatever the
  // C library makes of its mode.
  DWORD type = GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
  if ((st.st_mode & _S_IFMT) != _S_IFREG || type != FILE_TYPE_DISK) {
    const char* kind = (st.st_mode & _S_IFMT) == _S_IFDIR ? "a folder"
                       : type == FILE_TYPE_PIPE           ? "a pipe"
                                                          : "a device";
    _close(fd);
    WriteRefusal(ctx, path, kind, pRefused);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "rb");
  if (file == nullptr) {
    _close(fd);
    return nullptr;
  }
  if (pSize != nullptr) *pSize = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  return file;
}

#else

std::FILE* OpenInputFile(const tagCLICONTEXT& ctx, const std::string& path, bool* pRefused,
                         uint64_t* pSize) {
  *pRefused = false;
  // Without O_NONBLOCK the open of a FIFO waits for a writer, maybe for ever.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0) {
    close(fd);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {
    const char* kind = S_ISDIR(st.st_mode)                          ? "a folder"
                       : S_ISFIFO(st.st_mode)                       ? "a FIFO"
                       : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? "a device"
                       : S_ISSOCK(st.st_mode)                       ? "a socket"
                                                                    : "some other kind";
    close(fd);
    WriteRefusal(ctx, path, kind, pRefused);
    return nullptr;
  }
  int flags = fcntl(fd, F_GETFL);
  if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    close(fd);
    return nullptr;
  }
  if (pSize != nullptr) *pSize = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  return file;
}

#endif

bool RefuseSpecialFile(const tagCLICONTEXT& ctx, const std::string& path) {
  bool refused = false;
  std::FILE* file = OpenInputFile(ctx, path, &refused);
  if (file != nullptr) std::fclose(file);
  return refused;
}
