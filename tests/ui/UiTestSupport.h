// Helpers of the window tests: a message pump, texts of real controls, small
// library files and a driver for the platform's own modal dialogs. The
// registry fixtures are in tests/support/RegistryFixtures.h.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Runs the messages waiting in this thread's queue, keyboard navigation of
// dialogs included.
void PumpMessages();

// Pumps messages until done() holds or about 20 s have passed; done()'s last
// answer.
template <typename F>
bool PumpUntil(F done) {
  for (int i = 0; i < 400; ++i) {
    PumpMessages();
    if (done()) return true;
    ::Sleep(50);
  }
  return done();
}

// A window's text as GBK, whatever the process's code page is.
std::string WindowTextGbk(HWND hWnd);

struct tagTESTGROUP {
  std::string strName;
  std::string strEditor;
  std::string strRemark;
  int32_t bEnable;
  std::vector<std::string> phrases;
};

// Writes a library file with these groups and phrases; false on failure.
bool WriteLibrary(const std::string& path, const std::vector<tagTESTGROUP>& groups);

// "Z:/a/b" -> "Z:\a\b".
std::string BackslashPath(std::string path);

// Watches, from a thread of its own, for a modal dialog (class #32770) of the
// calling thread that is owned by hOwner, and runs the action on it once it
// is visible; the action returns false to be tried again a moment later.
// Gives up after 20 seconds. The destructor waits for the thread.
class COwnedDialogDriver {
 public:
  using Action = std::function<bool(HWND hDialog)>;
  COwnedDialogDriver(HWND hOwner, Action action);
  ~COwnedDialogDriver();
  COwnedDialogDriver(const COwnedDialogDriver&) = delete;
  COwnedDialogDriver& operator=(const COwnedDialogDriver&) = delete;
  // True once the action has run to the end. Waits for the driver's thread:
  // the dialog may have ended on the action's last message before the
  // thread recorded that it was done.
  bool Done() {
    if (m_thread.joinable()) m_thread.join();
    return m_bDone;
  }

 private:
  void Run(HWND hOwner, DWORD uiThread, Action action);
  std::atomic<bool> m_bDone;
  std::thread m_thread;
};

// A visible, enabled dialog (#32770) of hOwner's thread that hOwner owns, or
// null.
HWND FindOwnedDialog(HWND hOwner);

// Actions on the platform's file dialog, for a COwnedDialogDriver. Each
// returns false while the dialog has no file name box yet.
// Types `path` (GBK) into the file name box and presses OK, or cancels the
// dialog when `path` is empty.
COwnedDialogDriver::Action AnswerFileDialog(const std::string& path);
// Types a name that only UTF-16 can carry, and presses OK.
COwnedDialogDriver::Action AnswerFileDialogWide(const std::wstring& path);
// Types `path` into a save dialog for a file that exists, presses OK,
// and answers the question that follows with nAnswer (IDYES or IDNO); after
// "否" the dialog, which stays for another name, is cancelled. *pQuestion:
// the question's text, empty when no yes-or-no question came.
COwnedDialogDriver::Action AnswerOverwriteQuestion(const std::wstring& path, int nAnswer,
                                                   std::string* pQuestion);
// The file name box: a plain edit (item dialog) or the edit inside the file
// name combo box (classic dialog).
HWND FileNameEdit(HWND hDialog);

// The wide form of a GBK text, and the GBK form of a wide one.
std::wstring WideGbk(const std::string& gbk);
std::string GbkWide(const std::wstring& wide);

// What the shell posts for a drop: DROPFILES and the wide names.
HDROP MakeDrop(const std::vector<std::wstring>& paths);

// Files by their wide names, whatever the code page can spell: the test's
// own road, apart from the program's.
bool WriteFileWide(const std::wstring& path, const std::string& bytes);
// The file's bytes; false when it cannot be read.
bool ReadFileWide(const std::wstring& path, std::string* pBytes);
// The names in a folder (without "." and ".."), sorted.
std::vector<std::wstring> FolderNamesWide(const std::wstring& dir);
// Removes the files of a folder, which the narrow clean-up of a scratch
// folder cannot name.
void RemoveFilesWide(const std::wstring& dir);
// RemoveFilesWide when it goes out of scope: declared after the scratch
// folder, it empties the folder before the folder's own clean-up runs.
class CRemoveFilesWide {
 public:
  explicit CRemoveFilesWide(std::wstring dir) : m_strDir(std::move(dir)) {}
  ~CRemoveFilesWide() { RemoveFilesWide(m_strDir); }
  CRemoveFilesWide(const CRemoveFilesWide&) = delete;
  CRemoveFilesWide& operator=(const CRemoveFilesWide&) = delete;

 private:
  std::wstring m_strDir;
};
