// Driving another program's windows from outside, as a person would: finding
// its dialogs, pressing buttons, typing into edit boxes and file dialogs,
// reading message boxes, and reading or clicking the rows of its list view.
// Every wait is bounded; a wait that runs out fails the scenario.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The scenario's log, with the time since start. The formatted text is GBK,
// like every text of the driver and the editor; the log shows it as UTF-8.
void Log(const char* format, ...);
std::string Utf8(const std::string& gbk);

// Stops the scenario: logs the reason, runs the cleanup hook (which ends the
// program under test) and exits with status 1.
[[noreturn]] void Fail(const char* format, ...);
void SetFailHook(void (*hook)());

// Fails unless the two texts are equal.
void ExpectText(const std::string& what, const std::string& actual, const std::string& expected);

// Default bound of every wait, in milliseconds.
enum : DWORD { kWaitMs = 20000 };

// Polls pred every 20 ms until it is true or timeoutMs have passed.
template <class Pred>
bool PollUntil(DWORD timeoutMs, Pred pred) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (pred()) return true;
    if (::GetTickCount() - start >= timeoutMs) return pred();
    ::Sleep(20);
  }
}

class CProgramWindows {
 public:
  CProgramWindows() : m_hProcess(nullptr), m_dwPid(0) {}
  void Attach(HANDLE hProcess, DWORD dwPid) {
    m_hProcess = hProcess;
    m_dwPid = dwPid;
  }

  // A visible top-level dialog (#32770) of the program whose caption begins
  // with this one and no owner; waits until it is visible and enabled.
  HWND WaitForMainDialog(const std::string& caption, DWORD timeoutMs = kWaitMs) const;

  // A visible dialog owned by owner (caption ignored when null), or null.
  HWND FindOwnedDialog(HWND owner, const char* caption) const;
  // Waits for one; fails with the name when none comes.
  HWND WaitForOwnedDialog(HWND owner, const char* caption, const char* what,
                          DWORD timeoutMs = kWaitMs) const;
  // The file dialog owned by owner (it has a file-name box).
  HWND WaitForFileDialog(HWND owner, DWORD timeoutMs = kWaitMs) const;
  // A message box owned by owner (it has the static text 0xFFFF).
  HWND WaitForMessageBox(HWND owner, DWORD timeoutMs = kWaitMs) const;
  // Waits until owner has no visible owned dialog and is enabled again, and
  // its thread has finished the command it was running.
  void WaitForModalEnd(HWND owner, DWORD timeoutMs = kWaitMs) const;

  // A visible popup menu (#32768) of the program.
  HWND WaitForPopupMenu(DWORD timeoutMs = kWaitMs) const;

  // Logs every visible window of the program (for a failure's report).
  void DumpWindows() const;
  HWND WaitForTop(HWND owner, const char* caption, bool bFileBox, bool bMessageText,
                  const std::string& what, DWORD timeoutMs) const;

  HANDLE m_hProcess;
  DWORD m_dwPid;
};

// SendMessage with the wait bounded: fails when the window's thread does not
// answer in time (a hung program must not hang the scenario).
LRESULT SendBounded(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Returns when the window's thread has handled everything sent before
// (a sent WM_NULL comes back); fails when it does not within the bound.
void WaitIdle(HWND hWnd, DWORD timeoutMs = kWaitMs);

// The button click a person's press sends to the dialog (posted, since the
// command may run a modal loop of its own). The dialog must be enabled.
void PressButton(HWND hDlg, int id);

// Window texts across processes (WM_SETTEXT and WM_GETTEXT are marshalled).
std::string WindowText(HWND hWnd);
void SetWindowTextTo(HWND hWnd, const std::string& text);
// A descendant of hParent with this control id (and class, when given).
HWND FindControl(HWND hParent, int id, const char* className);

// Types a full path into a file dialog's name box and presses its OK button.
void ChooseFile(HWND hFileDlg, const std::string& path);
// Chooses the item of a popup menu whose mnemonic is the letter given
// (what typing it does while the menu is open).
void ChooseMenuLetter(HWND hMenuWnd, char letter);
// Drops files on a window of another process as the shell does: a DROPFILES
// block with the wide names, placed in that process, and WM_DROPFILES.
void DropFiles(HWND hWnd, HANDLE hProcess, const std::vector<std::string>& gbkPaths);
// Presses Cancel in a file dialog.
void CancelFileDialog(HWND hFileDlg);

// The text of a message box, then its OK button.
std::string MessageBoxText(HWND hBox);
void DismissMessageBox(HWND hBox);
// Presses the message box's button id (IDYES, IDNO, IDCANCEL, ...).
void AnswerMessageBox(HWND hBox, int id);

// A report-view list of another process, read and driven through memory of
// that process (the messages carry pointers, which are not marshalled).
class CRemoteList {
 public:
  CRemoteList(HWND hList, HANDLE hProcess);
  ~CRemoteList();
  CRemoteList(const CRemoteList&) = delete;
  CRemoteList& operator=(const CRemoteList&) = delete;

  int Count() const;
  std::string Text(int item, int subItem) const;
  // 1 empty box, 2 ticked box, 0 no box.
  int StateImage(int item) const;
  void SetStateImage(int item, int image) const;
  int SelectionMark() const;
  // A click on the row's label; returns once the row is selected and is the
  // selection mark.
  void ClickRow(int item) const;
  // A double click on the row's label.
  void DoubleClickRow(int item) const;
  // Exactly these rows selected, as Ctrl+clicks would leave them.
  void SelectRows(const std::vector<int>& items) const;
  // A click on the row's checkbox; the caller waits for the box to change.
  void ClickCheckBox(int item) const;
  // Waits until Count() == count.
  void WaitForCount(int count, DWORD timeoutMs = kWaitMs) const;
  void WaitForStateImage(int item, int image, DWORD timeoutMs = kWaitMs) const;

 private:
  RECT ItemRect(int item, int code) const;
  int HitTest(POINT pt, UINT* pFlags) const;
  void Click(POINT pt) const;
  void Write(size_t offset, const void* data, size_t size) const;
  void Read(size_t offset, void* data, size_t size) const;

  HWND m_hList;
  HANDLE m_hProcess;
  char* m_pRemote;  // a page in the other process
};
