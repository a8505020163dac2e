#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "RecoveryPlatform.h"

CFileLock::CFileLock() : m_nHandle(-1) {}

CFileLock::~CFileLock() { Release(); }

bool CFileLock::Take(const char* path, bool bNew) {
  Release();
  const int flags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | (bNew ? O_EXCL : 0);
  const int fd = open(path, flags, 0600);
  if (fd < 0) return false;
  // flock belongs to the open file, so a second open in this process is
  // refused too, as on Windows.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return false;
  }
  m_nHandle = fd;
  return true;
}

void CFileLock::Release() {
  if (m_nHandle == -1) return;
  close(static_cast<int>(m_nHandle));
  m_nHandle = -1;
}

bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    const std::string part = path.substr(0, i);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ListFolder(const std::string& folder, std::vector<tagFOLDERFILE>* pFiles) {
  pFiles->clear();
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  while (const dirent* entry = readdir(dir)) {
    struct stat st;
    const std::string path = folder + "/" + entry->d_name;
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    pFiles->push_back(
        {entry->d_name, static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
  }
  closedir(dir);
  return true;
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(getpid()); }
