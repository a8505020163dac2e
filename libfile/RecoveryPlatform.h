// The few system calls the recovery files need beyond the library's save:
// a lock file held while its owner runs, making folders, listing a folder.
// One implementation per system (RecoveryPlatformPosix.cpp,
// RecoveryPlatformWin32.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A lock on a file, held while this object keeps it open: nobody else, in
// this process or another, can take it meanwhile, and on Windows nobody can
// delete or write the file either. The system lets it go when the process
// ends, however it ends.
class CFileLock {
 public:
  CFileLock();
  ~CFileLock();
  CFileLock(const CFileLock&) = delete;
  CFileLock& operator=(const CFileLock&) = delete;

  // Takes the lock of the file at path, creating the file when it is missing
  // (bNew: it must not exist yet). False when another holder has it or the
  // file cannot be opened or made.
  bool Take(const char* path, bool bNew);
  void Release();
  bool IsHeld() const { return m_nHandle != -1; }

 private:
  intptr_t m_nHandle;  // the open file: a descriptor or a HANDLE; -1 when free
};

// Makes the folder and every missing folder above it; true when it exists.
bool MakeFolders(const std::string& path);

struct tagFOLDERFILE {
  std::string strName;  // without the folder
  int64_t nModified;    // the last write, in the system's own units
};
// The regular files of a folder (not its folders), in no order; false when
// the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<tagFOLDERFILE>* pFiles);
uint32_t CurrentProcessId();
