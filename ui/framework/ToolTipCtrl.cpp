#include "ToolTipCtrl.h"

#include <cstring>

#include "WinApp.h"

namespace {

// The tool record without the fields newer than common controls 5.80, so that
// both the version 5 and the version 6 control accept it.
TOOLINFOA MakeToolInfo(HWND hWnd, UINT_PTR nIDTool) {
  TOOLINFOA ti;
  std::memset(&ti, 0, sizeof ti);
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.hwnd = hWnd;
  ti.uId = nIDTool;
  return ti;
}

}  // namespace

CToolTipCtrl::CToolTipCtrl() = default;

CToolTipCtrl::~CToolTipCtrl() { DestroyWindow(); }

BOOL CToolTipCtrl::Create(CWnd* pOwner, DWORD dwStyle) {
  if (m_hWnd) return FALSE;
  AfxInitCommonControls();
  HWND hWnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                pOwner ? pOwner->m_hWnd : nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  return hWnd ? Attach(hWnd) : FALSE;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const char* text, const RECT* rect, UINT_PTR nIDTool) {
  if (!m_hWnd || !pWnd) return FALSE;
  TOOLINFOA ti = MakeToolInfo(pWnd->m_hWnd, nIDTool);
  if (rect) ti.rect = *rect;
  ti.lpszText = const_cast<char*>(text ? text : "");
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddWindowTool(CWnd* pOwner, HWND hTool, const char* text) {
  if (!m_hWnd || !pOwner || !hTool) return FALSE;
  TOOLINFOA ti = MakeToolInfo(pOwner->m_hWnd, reinterpret_cast<UINT_PTR>(hTool));
  ti.uFlags |= TTF_IDISHWND | TTF_SUBCLASS;
  ti.lpszText = const_cast<char*>(text ? text : "");
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

void CToolTipCtrl::RelayEvent(MSG* pMsg) {
  if (m_hWnd) SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
}

int CToolTipCtrl::GetToolCount() const {
  return m_hWnd ? static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)) : 0;
}

std::string CToolTipCtrl::GetText(CWnd* pWnd, UINT_PTR nIDTool) const {
  if (!m_hWnd || !pWnd) return std::string();
  // A tool's text is at most 80 characters unless it was given as a
  // callback; ours are stored, and the buffer leaves room for longer ones.
  TOOLINFOA ti = MakeToolInfo(pWnd->m_hWnd, nIDTool);
  if (!SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti))) return std::string();
  char buffer[1024] = {};
  ti = MakeToolInfo(pWnd->m_hWnd, nIDTool);
  ti.lpszText = buffer;
  SendMessage(TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&ti));
  buffer[sizeof buffer - 1] = '\0';
  return std::string(buffer);
}

BOOL CToolTipCtrl::GetToolRect(CWnd* pWnd, UINT_PTR nIDTool, RECT* pRect) const {
  if (!m_hWnd || !pWnd || !pRect) return FALSE;
  TOOLINFOA ti = MakeToolInfo(pWnd->m_hWnd, nIDTool);
  if (!SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti))) return FALSE;
  *pRect = ti.rect;
  return TRUE;
}

BOOL CToolTipCtrl::DestroyWindow() {
  HWND hWnd = Detach();
  return hWnd && ::IsWindow(hWnd) ? ::DestroyWindow(hWnd) : FALSE;
}
