#include "InputFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
#include <share.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "FileNames.h"

namespace {

std::FILE* Refuse(InputKind nKind, InputKind* pKind) {
  if (pKind != nullptr) *pKind = nKind;
  return nullptr;
}

}  // namespace

const char* InputKindName(InputKind nKind) {
  switch (nKind) {
    case INPUT_FOLDER:
      return "a folder";
    case INPUT_FIFO:
      return "a FIFO";
    case INPUT_PIPE:
      return "a pipe";
    case INPUT_DEVICE:
      return "a device";
    case INPUT_SOCKET:
      return "a socket";
    case INPUT_OTHER:
      return "some other kind";
    default:
      return "a file";
  }
}

#ifdef _WIN32

std::FILE* OpenInputFile(const char* path, InputSharing nSharing, uint64_t* pSize,
                         InputKind* pKind) {
  const std::wstring wide = WidePath(path);
  if (wide.empty()) {
    errno = ENOENT;
    return Refuse(INPUT_UNOPENED, pKind);
  }
  const int nShare = nSharing == INPUT_EXCLUSIVE ? _SH_DENYRW : _SH_DENYNO;
  const int fd = _wsopen(wide.c_str(), _O_RDONLY | _O_BINARY, nShare);
  if (fd < 0) {
    // Windows opens no folder at all; it is still named for what it is.
    const int nError = errno;
    struct _stati64 folder;
    const bool bFolder =
        _wstati64(wide.c_str(), &folder) == 0 && (folder.st_mode & _S_IFMT) == _S_IFDIR;
    errno = nError;
    return Refuse(bFolder ? INPUT_FOLDER : INPUT_UNOPENED, pKind);
  }
  struct _stati64 st;
  if (_fstati64(fd, &st) != 0) {
    const int nError = errno;
    _close(fd);
    errno = nError;
    return Refuse(INPUT_UNOPENED, pKind);
  }
  // A console, a pipe or a device such as NUL is no disk file, whatever the
  // C library makes of its mode.
  const DWORD type = GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(fd)));
  if ((st.st_mode & _S_IFMT) != _S_IFREG || type != FILE_TYPE_DISK) {
    const InputKind nKind = (st.st_mode & _S_IFMT) == _S_IFDIR ? INPUT_FOLDER
                            : type == FILE_TYPE_PIPE           ? INPUT_PIPE
                                                               : INPUT_DEVICE;
    _close(fd);
    return Refuse(nKind, pKind);
  }
  std::FILE* file = _fdopen(fd, "rb");
  if (file == nullptr) {
    _close(fd);
    return Refuse(INPUT_UNOPENED, pKind);
  }
  if (pSize != nullptr) *pSize = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  if (pKind != nullptr) *pKind = INPUT_REGULAR;
  return file;
}

#else

std::FILE* OpenInputFile(const char* path, InputSharing nSharing, uint64_t* pSize,
                         InputKind* pKind) {
  (void)nSharing;  // POSIX files have no share modes
  // Without O_NONBLOCK the open of a FIFO waits for a writer, maybe for ever.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Refuse(INPUT_UNOPENED, pKind);
  struct stat st;
  if (fstat(fd, &st) != 0) {
    const int nError = errno;
    close(fd);
    errno = nError;
    return Refuse(INPUT_UNOPENED, pKind);
  }
  if (!S_ISREG(st.st_mode)) {
    const InputKind nKind = S_ISDIR(st.st_mode)                          ? INPUT_FOLDER
                            : S_ISFIFO(st.st_mode)                       ? INPUT_FIFO
                            : S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode) ? INPUT_DEVICE
                            : S_ISSOCK(st.st_mode)                       ? INPUT_SOCKET
                                                                         : INPUT_OTHER;
    close(fd);
    return Refuse(nKind, pKind);
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags != -1) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* file = fdopen(fd, "rb");
  if (file == nullptr) {
    close(fd);
    return Refuse(INPUT_UNOPENED, pKind);
  }
  if (pSize != nullptr) *pSize = st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0;
  if (pKind != nullptr) *pKind = INPUT_REGULAR;
  return file;
}

#endif
