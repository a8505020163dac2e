#include "RecoveryKeeper.h"

#include <shlobj.h>

#include <cstdlib>
#include <new>
#include <system_error>
#include <utility>
#include <vector>

#include "EditHistory.h"
#include "FileNames.h"
#include "LibraryMessages.h"
#include "LoadReport.h"
#include "RecoveryFiles.h"
#include "SaveError.h"
#include "Tabrix.h"
#include "framework/Dialog.h"

namespace {

const char kOfferQuestion[] = "上次未保存的词库已恢复，是否载入？";
const char kLoadFailed[] = "载入词库失败！";
const char kIntervalVariable[] = "TABRIX_RECOVERY_INTERVAL_MS";
const unsigned long kMaxIntervalMs = 24ul * 60 * 60 * 1000;

// %LOCALAPPDATA%\Tabrix\Recovery: the user's own, on this machine only.
// TABRIX_RECOVERY_FOLDER names another: the window tests, which run side by
// side in one Windows profile, each keep a folder of their own, so that none
// offers another's file.
std::string DefaultFolder() {
  std::string path;
  wchar_t wszGiven[1024] = {};
  const DWORD nGiven = ::GetEnvironmentVariableW(L"TABRIX_RECOVERY_FOLDER", wszGiven, 1024);
  if (nGiven > 0 && nGiven < 1024 && PathFromWide(wszGiven, &path)) return path;
  PWSTR pWide = nullptr;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &pWide)) &&
      PathFromWide(pWide, &path) && !path.empty()) {
    path += "\\Tabrix\\Recovery";
  } else {
    path.clear();  // no such folder, or one the code page cannot spell
  }
  ::CoTaskMemFree(pWide);
  return path;
}

UINT IntervalFromEnvironment() {
  char text[32] = {};
  const DWORD n = ::GetEnvironmentVariableA(kIntervalVariable, text, sizeof text);
  if (n == 0 || n >= sizeof text) return CRecoveryKeeper::DEFAULT_INTERVAL_MS;
  char* end = nullptr;
  const unsigned long ms = std::strtoul(text, &end, 10);
  if (end == text || *end != '\0' || ms == 0 || ms > kMaxIntervalMs) {
    return CRecoveryKeeper::DEFAULT_INTERVAL_MS;
  }
  return static_cast<UINT>(ms);
}

}  // namespace

CRecoveryKeeper::CRecoveryKeeper()
    : m_nIntervalMs(0),
      m_hWnd(nullptr),
      m_bWritten(false),
      m_nWrittenId(0),
      m_nWritingId(0),
      m_nResult(SAVE_ERROR_NONE),
      m_bDone(false) {}

CRecoveryKeeper::~CRecoveryKeeper() { WaitForWrite(); }

void CRecoveryKeeper::Start(HWND hWnd) {
  m_hWnd = hWnd;
  if (m_strFolder.empty()) m_strFolder = DefaultFolder();
  if (m_nIntervalMs == 0) m_nIntervalMs = IntervalFromEnvironment();
  if (!m_strFolder.empty()) ::SetTimer(m_hWnd, TIMER_ID, m_nIntervalMs, nullptr);
}

std::string CRecoveryKeeper::GetPath() const { return m_pFile ? m_pFile->GetPath() : ""; }

void CRecoveryKeeper::WriteCopy() {
  m_nResult = m_pFile->Write(*m_pCopy);
  m_bDone.store(true, std::memory_order_release);
}

void CRecoveryKeeper::WaitForWrite() {
  if (m_writer.joinable()) m_writer.join();
  if (!m_pCopy) return;
  if (m_nResult == SAVE_ERROR_NONE) {
    m_bWritten = true;
    m_nWrittenId = m_nWritingId;
  }
  // A failed write is tried again at the next tick: the state stays unwritten.
  m_pCopy.reset();
}

void CRecoveryKeeper::OnTimer(const CTabrix& lib, const CEditHistory& history) {
  if (m_pCopy) {
    // A slow disk: the next tick looks again.
    if (!m_bDone.load(std::memory_order_acquire)) return;
    WaitForWrite();
  }
  if (!history.IsModified()) {
    // Nothing unsaved any more (an undo back to the saved state, a library
    // loaded): nothing to recover.
    if (m_bWritten) m_pFile->RemoveFile();
    m_bWritten = false;
    return;
  }
  const uint64_t nState = history.GetStateId();
  if (m_bWritten && nState == m_nWrittenId) return;
  if (!m_pFile) {
    std::unique_ptr<CRecoveryFile> pFile(new (std::nothrow) CRecoveryFile);
    if (!pFile || m_strFolder.empty() || !pFile->Create(m_strFolder)) return;
    m_pFile = std::move(pFile);
  }
  // Without memory for the copy now, the next tick tries again.
  std::unique_ptr<CTabrix> pCopy(new (std::nothrow) CTabrix);
  if (!pCopy || !pCopy->CopyFrom(lib)) return;
  m_pCopy = std::move(pCopy);
  m_nWritingId = nState;
  m_bDone.store(false, std::memory_order_relaxed);
  try {
    m_writer = std::thread(&CRecoveryKeeper::WriteCopy, this);
  } catch (const std::system_error&) {
    WriteCopy();  // no thread to be had: the window waits this once
    WaitForWrite();
  }
}

void CRecoveryKeeper::OnSaved() {
  WaitForWrite();
  if (m_pFile) m_pFile->RemoveFile();
  m_bWritten = false;
}

void CRecoveryKeeper::Discard() {
  if (m_hWnd) ::KillTimer(m_hWnd, TIMER_ID);
  DiscardFile();
}

void CRecoveryKeeper::DiscardFile() {
  WaitForWrite();
  if (m_pFile) m_pFile->Discard();
  m_pFile.reset();
  m_bWritten = false;
}

bool CRecoveryKeeper::OfferLeftBehind(CDialog& owner, CTabrix& lib, CEditHistory& history) {
  if (m_strFolder.empty()) return false;
  std::vector<std::unique_ptr<CRecoveryFile>> found = FindLeftBehind(m_strFolder);
  for (std::unique_ptr<CRecoveryFile>& pFound : found) {
    if (owner.MessageBox(kOfferQuestion, nullptr, MB_YESNO | MB_ICONQUESTION) != IDYES) {
      pFound->Discard();
      continue;
    }
    CTabrix loaded;
    tagLOADREPORT report;
    const int nLoaded = loaded.Load(pFound->GetPath().c_str(), &report);
    if (!nLoaded && report.nStatus != LOAD_DAMAGED) {
      // Nothing in it can be had: it would only be offered again.
      owner.MessageBox(kLoadFailed);
      pFound->Discard();
      continue;
    }
    if (!history.Replace(lib, loaded, "")) {
      owner.MessageBox(kLoadFailed);  // no memory: the file stays for the next start
      return false;
    }
    // Not the content of any file the user has: modified, without a name.
    history.MarkUnsaved();
    // The file is this session's own from now on; a damaged one is written
    // anew, whole, at the next tick.
    DiscardFile();
    m_pFile = std::move(pFound);
    m_bWritten = nLoaded != 0;
    m_nWrittenId = history.GetStateId();
    const std::string strOutcome = LoadOutcomeMessage(report);
    if (!strOutcome.empty()) owner.MessageBox(strOutcome.c_str());
    return true;
  }
  return false;
}
