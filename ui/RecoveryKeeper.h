// Keeps the main dialog's library in a recovery file of its own while it has
// unsaved changes (libfile/RecoveryFiles.h), so that a crash or a power cut
// loses nothing, and offers at start the files earlier sessions left behind.
//
// A window timer looks once per interval (a minute) and writes only when the
// library's state changed since the last write. The window pays for a copy
// of the library (its records are plain blocks); the copy is written on a
// thread of its own, which never touches the window's library, so that a
// slow disk's flush never freezes the window.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "framework/Win32.h"

class CDialog;
class CEditHistory;
class CRecoveryFile;
class CTabrix;

class CRecoveryKeeper {
 public:
  enum : UINT_PTR { TIMER_ID = 0x5243 };
  enum : UINT { DEFAULT_INTERVAL_MS = 60 * 1000 };

  CRecoveryKeeper();
  // Waits for a write under way. The file stays, to be offered at the next
  // start, unless Discard removed it.
  ~CRecoveryKeeper();
  CRecoveryKeeper(const CRecoveryKeeper&) = delete;
  CRecoveryKeeper& operator=(const CRecoveryKeeper&) = delete;

  // The timer on hWnd, which sends WM_TIMER with TIMER_ID once per interval.
  void Start(HWND hWnd);
  // WM_TIMER with TIMER_ID: a write of lib when history says it is modified
  // and its state was not written yet; a file no longer needed (nothing
  // unsaved) goes.
  void OnTimer(const CTabrix& lib, const CEditHistory& history);
  // After a successful save: the file goes (the next change writes anew).
  void OnSaved();
  // At the end, when nothing is unsaved or the user chose not to save: the
  // file and its lock go, and the timer stops.
  void Discard();
  // At start: each left-behind file in turn, newest first, with the question
  // "上次未保存的词库已恢复，是否载入？". 是 loads it into lib through history,
  // modified and without a file name, and the file becomes this session's
  // own; 否 removes it and the next is offered. True when one was loaded (the
  // caller shows it); the files not offered stay for the next start.
  bool OfferLeftBehind(CDialog& owner, CTabrix& lib, CEditHistory& history);

  // The folder and the interval; empty and 0 until Start, which fills in
  // what was not set: %LOCALAPPDATA%\Tabrix\Recovery (or the folder the
  // environment variable TABRIX_RECOVERY_FOLDER names, for tests), and the milliseconds
  // of the environment variable TABRIX_RECOVERY_INTERVAL_MS when it holds a
  // number from 1 to 86,400,000 (tests lower it), else a minute.
  std::string m_strFolder;
  UINT m_nIntervalMs;

  // This session's file, empty before its first write.
  std::string GetPath() const;
  // Waits until a write under way has ended and takes its result.
  void WaitForWrite();

 private:
  void WriteCopy();  // on the writer thread
  // This session's file and its lock removed; the timer goes on.
  void DiscardFile();

  HWND m_hWnd;
  std::unique_ptr<CRecoveryFile> m_pFile;
  bool m_bWritten;        // the file holds the state m_nWrittenId
  uint64_t m_nWrittenId;  // CEditHistory::GetStateId
  // The write under way: the copy it writes, the state it holds, its result
  // (SaveError.h) once m_bDone is set.
  std::thread m_writer;
  std::unique_ptr<CTabrix> m_pCopy;
  uint64_t m_nWritingId;
  int m_nResult;
  std::atomic<bool> m_bDone;
};
