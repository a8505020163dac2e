// Windows: ReplaceFile puts the new file in the old one's place and keeps
// the old file's attributes, security and creation time; a new file goes in
// with MoveFileEx and write-through. Windows has no call to flush a folder,
// so the write-through replace is what makes the new entry durable.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "FileIO.h"
#include "FileNames.h"
#include "SaveError.h"
#include "SaveTarget.h"

namespace {

int SaveErrorFromWin32(DWORD nError) {
  switch (nError) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return SAVE_ERROR_NO_SPACE;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return SAVE_ERROR_NO_PERMISSION;
    case ERROR_WRITE_PROTECT:
      return SAVE_ERROR_READ_ONLY;
    case ERROR_PATH_NOT_FOUND:
      return SAVE_ERROR_NO_FOLDER;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return SAVE_ERROR_BAD_NAME;
    default:
      return SAVE_ERROR_IO;
  }
}

// The folder part of a path. In the ANSI code page a trail byte of a
// double-byte character may look like a backslash; in UTF-8 none can.
std::string FolderOf(const std::string& path) {
  size_t nCut = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (!PathsAreUtf8() && IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') nCut = i;
  }
  if (nCut == std::string::npos) return ".";
  if (path[nCut] == ':') return path.substr(0, nCut + 1);
  return path.substr(0, nCut == 0 || path[nCut - 1] == ':' ? nCut + 1 : nCut);
}

}  // namespace

int ResolveSaveTarget(const char* path, tagSAVETARGET* pTarget) {
  if (path == nullptr || *path == '\0') return SAVE_ERROR_BAD_NAME;
  std::string strPath = path;
  // Opening with no access follows links and reaches devices, so that what
  // the name stands for can be asked.
  const std::wstring wide = WidePath(path);
  if (wide.empty()) return SAVE_ERROR_BAD_NAME;  // no file system name
  HANDLE h = CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD nError = GetLastError();
    const bool bNameError = nError == ERROR_PATH_NOT_FOUND || nError == ERROR_INVALID_NAME ||
                            nError == ERROR_BAD_PATHNAME;
    if (nError != ERROR_FILE_NOT_FOUND && !bNameError) return SaveErrorFromWin32(nError);
    // The folder says which: missing, or there but the name is not one a file can have.
    const DWORD nFolder = GetFileAttributesW(WidePath(FolderOf(strPath).c_str()).c_str());
    if (nFolder == INVALID_FILE_ATTRIBUTES || !(nFolder & FILE_ATTRIBUTE_DIRECTORY)) {
      return SAVE_ERROR_NO_FOLDER;
    }
    if (bNameError) return SAVE_ERROR_BAD_NAME;
    pTarget->strPath = strPath;
    pTarget->bExists = false;
    return SAVE_ERROR_NONE;
  }
  BY_HANDLE_FILE_INFORMATION info;
  const bool bDisk = GetFileType(h) == FILE_TYPE_DISK;
  const bool bInfo = bDisk && GetFileInformationByHandle(h, &info);
  int nResult = SAVE_ERROR_NONE;
  if (!bDisk || (bInfo && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))) {
    nResult = SAVE_ERROR_NOT_REGULAR;
  } else if (!bInfo) {
    nResult = SaveErrorFromWin32(GetLastError());
  } else if (info.nNumberOfLinks > 1) {
    nResult = SAVE_ERROR_HARD_LINKS;
  } else if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
    nResult = SAVE_ERROR_READ_ONLY;
  } else if (GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) {
    // A link: the file it leads to is the one replaced; the link stays.
    wchar_t final[MAX_PATH + 8];
    const DWORD n =
        GetFinalPathNameByHandleW(h, final, sizeof(final) / sizeof(final[0]), FILE_NAME_NORMALIZED);
    std::wstring strFinal = n > 0 && n < sizeof(final) / sizeof(final[0]) ? final : L"";
    if (strFinal.compare(0, 4, L"\\\\?\\") == 0) strFinal.erase(0, 4);
    if (strFinal.empty() || !PathFromWide(strFinal.c_str(), &strPath)) nResult = SAVE_ERROR_IO;
  }
  CloseHandle(h);
  if (nResult != SAVE_ERROR_NONE) return nResult;
  pTarget->strPath = strPath;
  pTarget->bExists = true;
  pTarget->nAttributes = info.dwFileAttributes;
  return SAVE_ERROR_NONE;
}

int CreateTempBeside(const tagSAVETARGET& target, CFileWriter& file, std::string* pTempPath) {
  static const char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::random_device seed;
  std::mt19937 rng(seed() ^ static_cast<unsigned>(GetCurrentProcessId()));
  for (int nTry = 0; nTry < 100; ++nTry) {
    std::string strName = target.strPath + ".~tmp";
    for (int i = 0; i < 8; ++i) strName += kChars[rng() % (sizeof(kChars) - 1)];
    if (file.CreateNew(strName.c_str(), 0600)) {
      *pTempPath = strName;
      return SAVE_ERROR_NONE;
    }
    // A name in use, by a rival save or a planted file: draw another.
    if (file.GetError() != EEXIST) return SaveErrorFromErrno(file.GetError());
  }
  return SAVE_ERROR_IO;
}

int CommitTemp(CFileWriter& file, const std::string& strTemp, const tagSAVETARGET& target) {
  bool bOk = !CFileFaultSeam::Step();  // the attributes come with ReplaceFile
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

  if (CFileFaultSeam::Step()) return SaveErrorFromErrno(errno);
  BOOL bReplaced;
  if (target.bExists) {
    bReplaced =
        ReplaceFileW(WidePath(target.strPath.c_str()).c_str(), WidePath(strTemp.c_str()).c_str(),
                     nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
  } else {
    bReplaced = MoveFileExW(WidePath(strTemp.c_str()).c_str(),
                            WidePath(target.strPath.c_str()).c_str(), MOVEFILE_WRITE_THROUGH);
  }
  if (!bReplaced) return SaveErrorFromWin32(GetLastError());
  // ReplaceFile carries the attributes over on Windows; not every
  // implementation of it does, so they are set once more.
  const DWORD nKeep =
      target.nAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (target.bExists && nKeep != 0) {
    SetFileAttributesW(WidePath(target.strPath.c_str()).c_str(), nKeep);
  }
  // Where a POSIX system flushes the folder: nothing more to do here.
  if (CFileFaultSeam::Step()) return SaveErrorFromErrno(errno);
  return SAVE_ERROR_NONE;
}
