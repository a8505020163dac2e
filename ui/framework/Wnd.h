// CWnd: a thin wrapper over one window handle. A wrapper can merely be
// attached to a window, or subclass it: then the window's messages reach the
// virtual WindowProc, and the object is found from the handle (FromHandlePermanent),
// which the parent uses to reflect notifications back to the control
// (OnChildNotify) and the modal loop to give it PreTranslateMessage.
//
// No exception may leave a procedure the system calls: unwinding through the
// system's frames ends the program. The procedures of the framework run their
// handlers through CallGuarded, which stops an exception there, reports it
// (OnHandlerException) and lets the program go on.
#pragma once

#include <exception>
#include <string>

#include "Win32.h"

class CWnd {
 public:
  CWnd();
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd;
  operator HWND() const { return m_hWnd; }

  // The wrapper that subclassed (or, for a dialog, runs) this window, or null.
  static CWnd* FromHandlePermanent(HWND hWnd);

  // Wrapper only: no messages are routed to the object.
  BOOL Attach(HWND hWnd);
  HWND Detach();

  // Routes the window's messages through WindowProc until the window is
  // destroyed or UnsubclassWindow is called. PreSubclassWindow runs first.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  // Hooks for derived controls.
  virtual void PreSubclassWindow();
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // A notification the parent received about this control (WM_COMMAND,
  // WM_NOTIFY, WM_CTLCOLOR*): TRUE when handled, with the result in *pResult.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL DestroyWindow();

  // Gives pMsg to PreTranslateMessage of every wrapper from the message's
  // window up to hWndStop (included). TRUE when one of them consumed it; a
  // wrapper whose PreTranslateMessage throws is reported and passed over.
  static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

  // Window operations used by the dialogs.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  HWND GetDlgItem(int nID) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
  void SetDlgItemText(int nID, const char* text);
  std::string GetDlgItemText(int nID) const;
  // Control nID's text as GBK, read in its wide form; false when it holds a
  // character GBK lacks (the narrow text would show '?' in its place).
  bool GetDlgItemTextGbk(int nID, std::string* pText) const;
  void SetWindowText(const char* text);
  // The caption in UTF-16, set past the window's narrow procedure so that
  // every character stays (a file name outside the code page).
  void SetWindowTextWide(const wchar_t* text) {
    ::DefWindowProcW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  }
  std::string GetWindowText() const;
  HMENU GetSystemMenu(BOOL bRevert) const;
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  BOOL IsIconic() const;
  BOOL IsWindowVisible() const;
  void GetClientRect(RECT* pRect) const;
  void GetWindowRect(RECT* pRect) const;
  BOOL Invalidate(BOOL bErase = TRUE);
  BOOL EnableWindow(BOOL bEnable = TRUE);
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  void SetFont(HFONT hFont, BOOL bRedraw = TRUE);
  HFONT GetFont() const;
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse);
  BOOL KillTimer(UINT_PTR nIDEvent);
  // Centres the window over its owner, or over the work area of its monitor
  // when it has no visible owner; it is kept inside that work area.
  void CenterWindow();

 protected:
  // Messages of a subclassed window. The default hands the message to the
  // window's own procedure.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The message WindowProc is handling, to its window's own procedure.
  LRESULT Default();
  // After the last message of the window (WM_NCDESTROY); m_hWnd is null then.
  virtual void PostNcDestroy();
  // A handler of this window's messages let an exception out; its procedure
  // has stopped it. pszWhat is its text, null when it was no std::exception.
  // The default hands it on to the wrapper of the top-level window, so that
  // the dialog a control belongs to tells the user (CDialog).
  virtual void OnHandlerException(UINT message, const char* pszWhat);

  // Runs handler() for a message of hWnd and returns its result; an exception
  // it lets out is reported (ReportHandlerException) and fallback returned.
  template <typename R, typename F>
  static R CallGuarded(HWND hWnd, UINT message, R fallback, F&& handler) noexcept {
    try {
      return handler();
    } catch (const std::exception& e) {
      ReportHandlerException(hWnd, message, e.what());
    } catch (...) {
      ReportHandlerException(hWnd, message, nullptr);
    }
    return fallback;
  }
  // Writes the exception to the debugger's output and offers it to the
  // window's wrapper, if it still has one.
  static void ReportHandlerException(HWND hWnd, UINT message, const char* pszWhat) noexcept;

  // Bookkeeping for CDialog, which runs its window through a dialog procedure.
  void RegisterPermanent(HWND hWnd);
  void UnregisterPermanent();

 private:
  static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

  struct tagCURRENTMSG {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  WNDPROC m_pfnSuper;  // the window's own procedure while subclassed
  tagCURRENTMSG m_msgCurrent;
};
