// Windows: the lock is the file kept open without FILE_SHARE_WRITE or
// FILE_SHARE_DELETE, so that no other open for writing, and no delete or
// rename, succeeds while it is held.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "FileNames.h"
#include "RecoveryPlatform.h"

CFileLock::CFileLock() : m_nHandle(-1) {}

CFileLock::~CFileLock() { Release(); }

bool CFileLock::Take(const char* path, bool bNew) {
  Release();
  const std::wstring wide = WidePath(path);
  if (wide.empty()) return false;
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         bNew ? CREATE_NEW : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  m_nHandle = reinterpret_cast<intptr_t>(h);
  return true;
}

void CFileLock::Release() {
  if (m_nHandle == -1) return;
  CloseHandle(reinterpret_cast<HANDLE>(m_nHandle));
  m_nHandle = -1;
}

bool MakeFolders(const std::string& path) {
  // Cut on the wide name: in the ANSI code page a trail byte may look like
  // a backslash.
  const std::wstring wide = WidePath(path.c_str());
  if (wide.empty()) return false;
  for (size_t i = 1; i <= wide.size(); ++i) {
    if (i < wide.size() && wide[i] != L'\\' && wide[i] != L'/') continue;
    const std::wstring part = wide.substr(0, i);
    if (part.size() == 2 && part[1] == L':') continue;  // a drive
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
      // A folder one may not create may still exist (a share's root).
      const DWORD attributes = GetFileAttributesW(part.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
      }
    }
  }
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ListFolder(const std::string& folder, std::vector<tagFOLDERFILE>* pFiles) {
  pFiles->clear();
  const std::wstring wide = WidePath(folder.c_str());
  if (wide.empty()) return false;
  WIN32_FIND_DATAW data;
  HANDLE h = FindFirstFileExW((wide + L"\\*").c_str(), FindExInfoBasic, &data,
                              FindExSearchNameMatch, nullptr, 0);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    std::string name;
    // A name the process's code page cannot spell is none of ours.
    if (!PathFromWide(data.cFileName, &name)) continue;
    const int64_t modified = (static_cast<int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime;
    pFiles->push_back({name, modified});
  } while (FindNextFileW(h, &data));
  FindClose(h);
  return true;
}

uint32_t CurrentProcessId() { return static_cast<uint32_t>(GetCurrentProcessId()); }
