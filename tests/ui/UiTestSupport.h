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
