#include "Wnd.h"

#include <cstdio>
#include <unordered_map>
#include <vector>

namespace {

// Windows that have a wrapper of their own. One user-interface thread only.
std::unordered_map<HWND, CWnd*>& PermanentMap() {
  static std::unordered_map<HWND, CWnd*> map;
  return map;
}

}  // namespace

CWnd::CWnd() : m_hWnd(nullptr), m_pfnSuper(nullptr), m_msgCurrent{0, 0, 0} {}

CWnd::~CWnd() {
  if (m_pfnSuper) {
    UnsubclassWindow();
  } else {
    UnregisterPermanent();
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (!hWnd) return nullptr;
  auto it = PermanentMap().find(hWnd);
  return it == PermanentMap().end() ? nullptr : it->second;
}

void CWnd::RegisterPermanent(HWND hWnd) {
  m_hWnd = hWnd;
  PermanentMap()[hWnd] = this;
}

void CWnd::UnregisterPermanent() {
  if (!m_hWnd) return;
  auto it = PermanentMap().find(m_hWnd);
  if (it != PermanentMap().end() && it->second == this) PermanentMap().erase(it);
}

BOOL CWnd::Attach(HWND hWnd) {
  if (m_hWnd || !hWnd) return FALSE;
  m_hWnd = hWnd;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (m_pfnSuper) UnsubclassWindow();
  m_hWnd = nullptr;
  return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (m_hWnd || !hWnd || !::IsWindow(hWnd) || FromHandlePermanent(hWnd)) return FALSE;
  RegisterPermanent(hWnd);
  PreSubclassWindow();
  m_pfnSuper = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
  if (!m_pfnSuper) {
    UnregisterPermanent();
    m_hWnd = nullptr;
    return FALSE;
  }
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  if (!pParent || !pParent->m_hWnd) return FALSE;
  return SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() {
  HWND hWnd = m_hWnd;
  if (!hWnd) return nullptr;
  if (m_pfnSuper) {
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
  }
  UnregisterPermanent();
  m_hWnd = nullptr;
  return hWnd;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = FromHandlePermanent(hWnd);
  if (!pWnd || !pWnd->m_pfnSuper) return ::DefWindowProcA(hWnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The window's last message: hand the window back before it goes.
    WNDPROC pfnSuper = pWnd->m_pfnSuper;
    pWnd->UnsubclassWindow();
    LRESULT lResult = ::CallWindowProcA(pfnSuper, hWnd, message, wParam, lParam);
    CallGuarded(hWnd, message, 0, [pWnd] {
      pWnd->PostNcDestroy();
      return 0;
    });
    return lResult;
  }
  const tagCURRENTMSG saved = pWnd->m_msgCurrent;
  pWnd->m_msgCurrent = {message, wParam, lParam};
  // A handler that failed leaves the message unanswered: 0, as for most
  // messages a window does not take.
  const LRESULT lResult = CallGuarded(hWnd, message, LRESULT{0},
                                      [&] { return pWnd->WindowProc(message, wParam, lParam); });
  pWnd->m_msgCurrent = saved;
  return lResult;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  return ::DestroyWindow(m_hWnd);
}

void CWnd::PostNcDestroy() {}

void CWnd::OnHandlerException(UINT message, const char* pszWhat) {
  CWnd* pRoot = m_hWnd ? FromHandlePermanent(::GetAncestor(m_hWnd, GA_ROOT)) : nullptr;
  if (pRoot && pRoot != this) pRoot->OnHandlerException(message, pszWhat);
}

void CWnd::ReportHandlerException(HWND hWnd, UINT message, const char* pszWhat) noexcept {
  char line[512];
  std::snprintf(line, sizeof line,
                "exception out of the handler of message 0x%04X of window %p: %s\n", message,
                static_cast<void*>(hWnd), pszWhat ? pszWhat : "(not a std::exception)");
  ::OutputDebugStringA(line);
  CWnd* pWnd = FromHandlePermanent(hWnd);
  if (!pWnd) return;
  try {
    pWnd->OnHandlerException(message, pszWhat);
  } catch (...) {
    ::OutputDebugStringA("the exception could not be reported to the user\n");
  }
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    // The modal loops call this inside a dialog's handler: an exception let
    // out here would skip the loop's cleanup and leave its owner disabled.
    if (pWnd && CallGuarded(hWnd, pMsg->message, FALSE,
                            [pWnd, pMsg] { return pWnd->PreTranslateMessage(pMsg); })) {
      return TRUE;
    }
    if (hWnd == hWndStop) break;
  }
  return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  return DefWindowProc(m_msgCurrent.message, m_msgCurrent.wParam, m_msgCurrent.lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

HWND CWnd::GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) {
  ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned);
}

void CWnd::SetDlgItemText(int nID, const char* text) { ::SetDlgItemTextA(m_hWnd, nID, text); }

namespace {

std::string WindowTextOf(HWND hWnd) {
  if (!hWnd) return std::string();
  const int length = ::GetWindowTextLengthA(hWnd);
  std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
  const int copied = ::GetWindowTextA(hWnd, buffer.data(), static_cast<int>(buffer.size()));
  return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

}  // namespace

std::string CWnd::GetDlgItemText(int nID) const { return WindowTextOf(::GetDlgItem(m_hWnd, nID)); }

void CWnd::SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }

bool CWnd::GetDlgItemTextGbk(int nID, std::string* pText) const {
  const UINT kCodePageGbk = 936;
  pText->clear();
  HWND hEdit = GetDlgItem(nID);
  const int nLength = ::GetWindowTextLengthW(hEdit);
  if (nLength <= 0) return true;
  std::wstring wide(static_cast<size_t>(nLength) + 1, L'\0');
  const int nGot = ::GetWindowTextW(hEdit, &wide[0], nLength + 1);
  if (nGot <= 0) return true;
  BOOL bDefaulted = FALSE;
  const int nBytes = ::WideCharToMultiByte(kCodePageGbk, WC_NO_BEST_FIT_CHARS, wide.data(), nGot,
                                           nullptr, 0, nullptr, &bDefaulted);
  if (nBytes <= 0 || bDefaulted) return false;
  pText->resize(static_cast<size_t>(nBytes));
  ::WideCharToMultiByte(kCodePageGbk, WC_NO_BEST_FIT_CHARS, wide.data(), nGot, &(*pText)[0], nBytes,
                        nullptr, &bDefaulted);
  return !bDefaulted;
}

std::string CWnd::GetWindowText() const { return WindowTextOf(m_hWnd); }

HMENU CWnd::GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(
      SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

void CWnd::GetClientRect(RECT* pRect) const { ::GetClientRect(m_hWnd, pRect); }

void CWnd::GetWindowRect(RECT* pRect) const { ::GetWindowRect(m_hWnd, pRect); }

BOOL CWnd::Invalidate(BOOL bErase) { return ::InvalidateRect(m_hWnd, nullptr, bErase); }

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }

DWORD CWnd::GetExStyle() const {
  return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE));
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  const DWORD dwStyle = GetStyle();
  const DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
  if (dwStyle == dwNew) return FALSE;
  ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(dwNew));
  if (nFlags) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  }
  return TRUE;
}

void CWnd::SetFont(HFONT hFont, BOOL bRedraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
}

HFONT CWnd::GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse) {
  return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

void CWnd::CenterWindow() {
  RECT rcWindow;
  ::GetWindowRect(m_hWnd, &rcWindow);
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  ::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &mi);
  const RECT rcArea = mi.rcWork;
  RECT rcCenter = rcArea;
  HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
  if (hOwner && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner))
    ::GetWindowRect(hOwner, &rcCenter);

  const LONG width = rcWindow.right - rcWindow.left;
  const LONG height = rcWindow.bottom - rcWindow.top;
  LONG left = (rcCenter.left + rcCenter.right) / 2 - width / 2;
  LONG top = (rcCenter.top + rcCenter.bottom) / 2 - height / 2;
  // Keep the whole window on the work area when it fits there.
  if (left + width > rcArea.right) left = rcArea.right - width;
  if (left < rcArea.left) left = rcArea.left;
  if (top + height > rcArea.bottom) top = rcArea.bottom - height;
  if (top < rcArea.top) top = rcArea.top;
  ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
