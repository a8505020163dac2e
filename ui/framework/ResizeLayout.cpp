#include "ResizeLayout.h"

void CResizeLayout::Begin(HWND hDialog) {
  m_hDialog = hDialog;
  m_arrAnchors.clear();
  RECT rc;
  ::GetClientRect(hDialog, &rc);
  m_sizeClient = {rc.right - rc.left, rc.bottom - rc.top};
  ::GetWindowRect(hDialog, &rc);
  m_sizeWindow = {rc.right - rc.left, rc.bottom - rc.top};
}

void CResizeLayout::Anchor(int nID, unsigned nFlags) {
  AnchorWindow(::GetDlgItem(m_hDialog, nID), nFlags);
}

void CResizeLayout::AnchorWindow(HWND hWnd, unsigned nFlags) {
  if (!hWnd) return;
  RECT rc;
  ::GetWindowRect(hWnd, &rc);
  ::MapWindowPoints(nullptr, m_hDialog, reinterpret_cast<POINT*>(&rc), 2);
  m_arrAnchors.push_back({hWnd, nFlags, rc});
}

void CResizeLayout::Apply() const {
  if (!m_hDialog || m_arrAnchors.empty()) return;
  RECT rc;
  ::GetClientRect(m_hDialog, &rc);
  const int dx = rc.right - rc.left - m_sizeClient.cx;
  const int dy = rc.bottom - rc.top - m_sizeClient.cy;
  HDWP hDwp = ::BeginDeferWindowPos(static_cast<int>(m_arrAnchors.size()));
  for (const tagANCHOR& a : m_arrAnchors) {
    RECT r = a.rcFirst;
    if (a.nFlags & ANCHOR_MOVE_X) {
      r.left += dx;
      r.right += dx;
    } else if (a.nFlags & ANCHOR_GROW_X) {
      r.right += dx;
    }
    if (a.nFlags & ANCHOR_MOVE_Y) {
      r.top += dy;
      r.bottom += dy;
    } else if (a.nFlags & ANCHOR_GROW_Y) {
      r.bottom += dy;
    }
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (hDwp) {
      hDwp = ::DeferWindowPos(hDwp, a.hWnd, nullptr, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, flags);
    } else {
      ::SetWindowPos(a.hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    }
  }
  if (hDwp) ::EndDeferWindowPos(hDwp);
  // Controls that moved leave their old places to be painted over.
  ::InvalidateRect(m_hDialog, nullptr, TRUE);
}

void CResizeLayout::LimitTracking(MINMAXINFO* pInfo) const {
  if (!m_hDialog) return;
  pInfo->ptMinTrackSize.x = m_sizeWindow.cx;
  pInfo->ptMinTrackSize.y = m_sizeWindow.cy;
}
