#include "HyperLink.h"

#include <algorithm>
#include <cstring>

#include <shellapi.h>

#include "HyperLinkLogic.h"
#include "RegistryText.h"
#include "framework/MessageBox.h"

namespace {

// The registry's text values are read into this many bytes.
constexpr DWORD kRegTextBuffer = 260;
constexpr UINT_PTR kToolId = 1;
constexpr UINT kHoverPeriod = 100;  // ms between two looks at the pointer

// The portable check speaks the platform's numbers.
static_assert(REGISTRY_SZ == REG_SZ && REGISTRY_EXPAND_SZ == REG_EXPAND_SZ, "value types");
static_assert(REGISTRY_TEXT_INVALID == ERROR_INVALID_DATA, "invalid-data code");

}  // namespace

CHyperLink::CHyperLink()
    : m_clrLink(RGB(0, 0, 238)),
      m_clrVisited(RGB(85, 26, 139)),
      m_clrHover(RGB(255, 0, 0)),
      m_bHot(FALSE),
      m_bLinkVisited(FALSE),
      m_nUnderlineMode(-1),
      m_bFitToText(TRUE),
      m_hLinkCursor(nullptr),
      m_nHoverTimerId(100) {}

CHyperLink::~CHyperLink() {
  // A window that outlives its object gets no more of the object's ticks or
  // messages.
  if (m_hWnd) {
    KillTimer(m_nHoverTimerId);
    UnsubclassWindow();
  }
  // The fonts and the tooltip release themselves; the cursor copy is ours.
  if (m_hLinkCursor) ::DestroyIcon(static_cast<HICON>(m_hLinkCursor));
}

void CHyperLink::PreSubclassWindow() {
  // Mouse input and click notifications for the static control.
  ModifyStyle(0, SS_NOTIFY);
  if (m_strTarget.empty()) m_strTarget = GetWindowText();
  if (GetWindowText().empty()) SetWindowText(m_strTarget.c_str());

  HFONT hFont = GetFont();
  if (!hFont) hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (!hFont) hFont = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
  // Without any font the link keeps the system font and does not switch.
  LOGFONTA lf;
  if (hFont && ::GetObjectA(hFont, sizeof lf, &lf) == sizeof lf) {
    m_fontPlain.CreateFontIndirect(&lf);
    lf.lfUnderline = 1;
    m_fontUnderlined.CreateFontIndirect(&lf);
  }

  FitToText();
  LoadLinkCursor();
  SetUnderlineMode(-1);

  RECT rect;
  GetClientRect(&rect);
  if (m_wndTip.Create(this)) m_wndTip.AddTool(this, m_strTarget.c_str(), &rect, kToolId);

  CStatic::PreSubclassWindow();
}

void CHyperLink::FitToText() {
  if (!m_hWnd || !m_bFitToText) return;
  RECT rcWindow, rcClient;
  GetWindowRect(&rcWindow);
  GetClientRect(&rcClient);
  HWND hParent = ::GetParent(m_hWnd);
  ::MapWindowPoints(HWND_DESKTOP, hParent, reinterpret_cast<POINT*>(&rcWindow), 2);
  ::MapWindowPoints(m_hWnd, hParent, reinterpret_cast<POINT*>(&rcClient), 2);

  const std::string text = GetWindowText();
  SIZE extent = {0, 0};
  HDC hDC = ::GetDC(m_hWnd);
  if (hDC) {
    HGDIOBJ hOld = m_fontUnderlined.m_hObject ? ::SelectObject(hDC, m_fontUnderlined) : nullptr;
    ::GetTextExtentPoint32A(hDC, text.c_str(), static_cast<int>(text.size()), &extent);
    if (hOld) ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
  }

  const tagLINKRECT fitted =
      FitRectToText({rcWindow.left, rcWindow.top, rcWindow.right, rcWindow.bottom},
                    {rcClient.left, rcClient.top, rcClient.right, rcClient.bottom}, extent.cx,
                    extent.cy, GetStyle());
  ::SetWindowPos(m_hWnd, nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::LoadLinkCursor() {
  if (m_hLinkCursor) return;
  char dir[MAX_PATH];
  const UINT length = ::GetWindowsDirectoryA(dir, sizeof dir);
  // A directory that does not fit is never used cut.
  if (length == 0 || length >= sizeof dir) return;
  const std::string path = std::string(dir) + "\\winhlp32.exe";
  HMODULE hModule = ::LoadLibraryA(path.c_str());
  if (!hModule) return;
  HCURSOR hCursor = ::LoadCursorA(hModule, MAKEINTRESOURCEA(106));
  if (hCursor) m_hLinkCursor = static_cast<HCURSOR>(::CopyIcon(static_cast<HICON>(hCursor)));
  ::FreeLibrary(hModule);
}

void CHyperLink::SwitchFont(const CFont& font) {
  if (font.m_hObject) SetFont(font, TRUE);
}

void CHyperLink::SetUnderlineMode(int32_t mode) {
  if (mode == m_nUnderlineMode) return;
  if (m_hWnd) {
    SwitchFont(mode == 1 ? m_fontUnderlined : m_fontPlain);
    Invalidate(TRUE);
  }
  m_nUnderlineMode = mode;
}

void CHyperLink::MarkVisited(BOOL bVisited) {
  m_bLinkVisited = bVisited;
  if (m_hWnd) Invalidate(TRUE);
}

int32_t CHyperLink::OpenTarget(const char* target, int showCommand) {
  HINSTANCE hResult = ::ShellExecuteA(nullptr, "open", target, nullptr, nullptr, showCommand);
  const int32_t shellResult = static_cast<int32_t>(reinterpret_cast<INT_PTR>(hResult));
  if (shellResult > 32) return shellResult;

  char command[LINK_COMMAND_BUFFER];
  if (QueryRegDefault(HKEY_CLASSES_ROOT, ".htm", command, sizeof command) != ERROR_SUCCESS) {
    return shellResult;
  }
  static const char kCommandKey[] = "\\shell\\open\\command";
  if (std::strlen(command) + sizeof kCommandKey > sizeof command) return shellResult;
  std::strcat(command, kCommandKey);
  if (QueryRegDefault(HKEY_CLASSES_ROOT, command, command, sizeof command) != ERROR_SUCCESS) {
    return shellResult;
  }
  std::string line;
  // A command cut to fit its buffer is never started.
  if (!ComposeBrowserCommand(command, target, LINK_COMMAND_BUFFER, line)) return shellResult;
  return static_cast<int32_t>(::WinExec(line.c_str(), static_cast<UINT>(showCommand)));
}

LONG CHyperLink::QueryRegDefault(HKEY root, const char* subKey, char* out, size_t outSize) {
  HKEY hKey = nullptr;
  const LONG opened = ::RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &hKey);
  if (opened != ERROR_SUCCESS) return opened;
  char data[kRegTextBuffer];
  DWORD size = sizeof data;
  DWORD type = REG_NONE;
  const LONG read =
      ::RegQueryValueExA(hKey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  ::RegCloseKey(hKey);
  // A value that is missing or longer than the buffer was not read: nothing
  // of it is copied, and the caller falls back to its own failure.
  if (read != ERROR_SUCCESS) return read;
  std::string text;
  const int32_t taken = TakeRegistryText(type, data, std::min<size_t>(size, sizeof data),
                                         std::min<size_t>(sizeof data, outSize), text);
  if (taken != REGISTRY_TEXT_OK) return taken;
  std::memcpy(out, text.c_str(), text.size() + 1);
  return ERROR_SUCCESS;
}

void CHyperLink::ShowOpenError(int32_t code) {
  const std::string message = OpenErrorMessage(code);
  HWND hOwner = m_hWnd ? ::GetAncestor(m_hWnd, GA_ROOT) : nullptr;
  AfxMessageBox(hOwner, message.c_str(), MB_ICONEXCLAMATION);
}

BOOL CHyperLink::DestroyWindow() {
  if (m_hWnd) KillTimer(m_nHoverTimerId);
  return CStatic::DestroyWindow();
}

BOOL CHyperLink::PreTranslateMessage(MSG* pMsg) {
  m_wndTip.RelayEvent(pMsg);
  return CStatic::PreTranslateMessage(pMsg);
}

BOOL CHyperLink::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (message == WM_CTLCOLORSTATIC) {
    *pResult = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam)));
    return TRUE;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
    OnClicked();
    *pResult = 0;
    return TRUE;
  }
  return CStatic::OnChildNotify(message, wParam, lParam, pResult);
}

LRESULT CHyperLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      return OnSetCursor();
    case WM_MOUSEMOVE:
      OnMouseMove();
      return Default();
    case WM_TIMER:
      OnTimer();
      return Default();
    case WM_ERASEBKGND:
      return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_DESTROY:
      return OnDestroy();
    default:
      return CStatic::WindowProc(message, wParam, lParam);
  }
}

HBRUSH CHyperLink::OnCtlColor(HDC hDC) {
  COLORREF colour = m_clrLink;
  if (m_bHot) {
    colour = m_clrHover;
  } else if (m_bLinkVisited) {
    colour = m_clrVisited;
  }
  ::SetTextColor(hDC, colour);
  ::SetBkMode(hDC, TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CHyperLink::OnSetCursor() {
  if (!m_hLinkCursor) return FALSE;
  ::SetCursor(m_hLinkCursor);
  return TRUE;
}

void CHyperLink::OnMouseMove() {
  if (m_bHot) return;
  m_bHot = TRUE;
  if (m_nUnderlineMode == -1) SwitchFont(m_fontUnderlined);
  Invalidate(TRUE);
  SetTimer(m_nHoverTimerId, kHoverPeriod);
}

void CHyperLink::OnTimer() {
  // The pointer where it was when this tick was posted.
  const DWORD pos = ::GetMessagePos();
  POINT pt = {static_cast<int16_t>(LOWORD(pos)), static_cast<int16_t>(HIWORD(pos))};
  ::ScreenToClient(m_hWnd, &pt);
  RECT rect;
  GetClientRect(&rect);
  if (::PtInRect(&rect, pt)) return;
  m_bHot = FALSE;
  KillTimer(m_nHoverTimerId);
  if (m_nUnderlineMode != 1) SwitchFont(m_fontPlain);
  Invalidate(TRUE);
}

BOOL CHyperLink::OnEraseBkgnd(HDC hDC) {
  RECT rect;
  GetClientRect(&rect);
  ::FillRect(hDC, &rect, ::GetSysColorBrush(COLOR_BTNFACE));
  return TRUE;
}

void CHyperLink::OnClicked() {
  m_bHot = FALSE;
  const int32_t result = OpenTarget(m_strTarget.c_str(), SW_SHOW);
  m_bLinkVisited = result > 32;
  if (result > 32) {
    MarkVisited(TRUE);
  } else {
    ::MessageBeep(MB_ICONEXCLAMATION);
    ShowOpenError(result);
  }
}

LRESULT CHyperLink::OnDestroy() {
  KillTimer(m_nHoverTimerId);
  const LRESULT result = Default();
  m_fontPlain.DeleteObject();
  m_fontUnderlined.DeleteObject();
  m_wndTip.DestroyWindow();
  return result;
}
