// CStatusBar: the status bar (msctls_statusbar32) along a window's bottom
// edge, made at run time: it keeps itself at the bottom when its parent
// passes it WM_SIZE.
#pragma once

#include <cstring>
#include <string>

#include "Wnd.h"

class CStatusBar : public CWnd {
 public:
  // A bar of one part with a size grip, id nID, child of pParent.
  BOOL Create(CWnd* pParent, UINT nID) {
    HWND hWnd =
        ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                          0, pParent->m_hWnd, reinterpret_cast<HMENU>(UINT_PTR{nID}),
                          ::GetModuleHandleA(nullptr), nullptr);
    return hWnd != nullptr && Attach(hWnd);
  }
  void SetText(const char* text) { SendMessage(SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text)); }
  // The text of its one part, as the bar holds it. The length the bar gives
  // may count characters (Wine's does), and a GBK character takes two bytes.
  std::string GetText() const {
    const size_t nLength = LOWORD(SendMessage(SB_GETTEXTLENGTHA, 0));
    std::string text(2 * nLength + 1, '\0');
    SendMessage(SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(std::strlen(text.c_str()));
    return text;
  }
  int GetHeight() const {
    RECT rc = {};
    ::GetWindowRect(m_hWnd, &rc);
    return rc.bottom - rc.top;
  }
  // The parent was sized: the bar takes its place along the bottom again.
  void ParentSized() { SendMessage(WM_SIZE); }
};
