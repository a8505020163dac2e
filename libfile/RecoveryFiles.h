// Recovery files: while an editing session has unsaved changes, its library
// is written to a file of its own in a recovery folder, the way a library is
// saved, so that a crash or a power cut loses nothing. Beside each file
// (NAME.wbk) is its lock file (NAME.wbk.lock), which the session that writes
// the file keeps locked while it runs: no other session takes a file whose
// lock it cannot take, and a file whose lock can be taken was left behind by
// a session that ended without removing it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "RecoveryPlatform.h"

class CTabrix;

class CRecoveryFile {
 public:
  CRecoveryFile() : m_nModified(0) {}
  // The lock goes; the files stay, to be found at the next start.
  ~CRecoveryFile() = default;
  CRecoveryFile(const CRecoveryFile&) = delete;
  CRecoveryFile& operator=(const CRecoveryFile&) = delete;

  // A name of this session's own in folder (made as needed), its lock
  // taken; nothing is written yet. False when the folder or the lock file
  // cannot be made.
  bool Create(const std::string& folder);
  // Takes the recovery file at path when its lock can be taken.
  bool Take(const std::string& path);
  bool IsHeld() const { return m_lock.IsHeld(); }
  const std::string& GetPath() const { return m_strPath; }
  // When the file was last written (found files only; the system's units).
  int64_t GetModified() const { return m_nModified; }

  // lib written to the file through CTabrix::Save: the old file is replaced
  // only once the new one is whole on the disk. SAVE_ERROR_... (SaveError.h).
  int Write(CTabrix& lib);
  // Removes the file written; the lock stays held for the next write.
  void RemoveFile();
  // Removes the file and its lock file; nothing is held afterwards.
  void Discard();
  // Lets the lock go and leaves both files, for the next start to find.
  void Release();

 private:
  friend std::vector<std::unique_ptr<CRecoveryFile>> FindLeftBehind(const std::string& folder);

  std::string m_strPath;
  int64_t m_nModified;
  CFileLock m_lock;
};

// The recovery files left behind in folder, newest first, each taken (its
// lock held); the files of running sessions are left alone. On the way,
// what ended sessions left without anything to recover is removed: lock
// files without their recovery file, and the temporary files of a write cut
// short.
std::vector<std::unique_ptr<CRecoveryFile>> FindLeftBehind(const std::string& folder);
