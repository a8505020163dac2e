#include <cerrno>
#include <cstdio>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileIO.h"
#include "SaveError.h"
#include "SaveTarget.h"

namespace {

// Links followed before the target counts as a loop, as the system does.
const int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

int ResolveSaveTarget(const char* path, tagSAVETARGET* pTarget) {
  if (path == nullptr || *path == '\0') return SAVE_ERROR_BAD_NAME;
  std::string strPath = path;
  struct stat st;
  for (int nHops = 0;; ++nHops) {
    if (lstat(strPath.c_str(), &st) != 0) {
      if (errno != ENOENT) return SaveErrorFromErrno(errno);
      // A new file (or a link to one yet to be made): its folder must exist.
      struct stat folder;
      if (stat(FolderOf(strPath).c_str(), &folder) != 0) return SaveErrorFromErrno(errno);
      if (!S_ISDIR(folder.st_mode)) return SAVE_ERROR_NO_FOLDER;
      pTarget->strPath = strPath;
      pTarget->bExists = false;
      return SAVE_ERROR_NONE;
    }
    if (!S_ISLNK(st.st_mode)) break;
    if (nHops == kMaxLinkHops) return SAVE_ERROR_IO;
    // The link stays; the file it leads to is written.
    char link[4096];
    const ssize_t n = readlink(strPath.c_str(), link, sizeof(link));
    if (n < 0 || n >= static_cast<ssize_t>(sizeof(link))) return SAVE_ERROR_IO;
    const std::string strLink(link, static_cast<size_t>(n));
    strPath = strLink[0] == '/' ? strLink : FolderOf(strPath) + "/" + strLink;
  }
  if (!S_ISREG(st.st_mode)) return SAVE_ERROR_NOT_REGULAR;
  // Replacing a file with several names would cut the others off from the
  // new contents; writing it in place would risk it whole on a power cut.
  if (st.st_nlink > 1) return SAVE_ERROR_HARD_LINKS;
  // A file nobody may write is read-only on purpose, even to root.
  if ((st.st_mode & 0222) == 0) return SAVE_ERROR_READ_ONLY;
  if (access(strPath.c_str(), W_OK) != 0) {
    return errno == EACCES ? SAVE_ERROR_READ_ONLY : SaveErrorFromErrno(errno);
  }
  pTarget->strPath = strPath;
  pTarget->bExists = true;
  pTarget->nMode = st.st_mode & 07777;
  pTarget->nUid = static_cast<long>(st.st_uid);
  pTarget->nGid = static_cast<long>(st.st_gid);
  return SAVE_ERROR_NONE;
}

int CreateTempBeside(const tagSAVETARGET& target, CFileWriter& file, std::string* pTempPath) {
  static const char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::random_device seed;
  std::mt19937 rng(seed() ^ static_cast<unsigned>(getpid()));
  // Only the owner may read it while it is written; a new file gets the
  // usual permissions (through the umask) from the start.
  const unsigned nMode = target.bExists ? 0600 : 0666;
  for (int nTry = 0; nTry < 100; ++nTry) {
    std::string strName = target.strPath + ".~tmp";
    for (int i = 0; i < 8; ++i) strName += kChars[rng() % (sizeof(kChars) - 1)];
    if (file.CreateNew(strName.c_str(), nMode)) {
      *pTempPath = strName;
      return SAVE_ERROR_NONE;
    }
    // A name in use, by a rival save or a planted file: draw another.
    if (file.GetError() != EEXIST) return SaveErrorFromErrno(file.GetError());
  }
  return SAVE_ERROR_IO;
}

int CommitTemp(CFileWriter& file, const std::string& strTemp, const tagSAVETARGET& target) {
  const int fd = file.GetDescriptor();
  bool bOk = fd >= 0;
  if (bOk && CFileFaultSeam::Step()) bOk = false;
  if (bOk && target.bExists) {
    // The owner first: changing it may clear the set-id bits the mode restores.
    if (fchown(fd, static_cast<uid_t>(target.nUid), static_cast<gid_t>(target.nGid)) != 0) {
      // Only root may give a file away; keep at least the group if allowed.
      (void)fchown(fd, static_cast<uid_t>(-1), static_cast<gid_t>(target.nGid));
    }
    bOk = fchmod(fd, static_cast<mode_t>(target.nMode)) == 0;
  }
  int nError = bOk ? 0 : errno;
  if (bOk && !file.Sync()) {
    bOk = false;
    nError = file.GetError();
  }
  if (!file.Close() && bOk) {
    bOk = false;
    nError = file.GetError();
  }
  if (!bOk) return SaveErrorFromErrno(nError);

  if (CFileFaultSeam::Step() || std::rename(strTemp.c_str(), target.strPath.c_str()) != 0) {
    return SaveErrorFromErrno(errno);
  }
  // The rename is durable only once the folder is on the disk too.
  if (CFileFaultSeam::Step()) return SaveErrorFromErrno(errno);
  const int dir = open(FolderOf(target.strPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return SaveErrorFromErrno(errno);
  const bool bSynced = fsync(dir) == 0 || errno == EINVAL;  // some file systems cannot
  const int nSyncError = errno;
  close(dir);
  return bSynced ? SAVE_ERROR_NONE : SaveErrorFromErrno(nSyncError);
}
