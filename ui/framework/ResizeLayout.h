// CResizeLayout: keeps a sizable dialog's controls where they belong as it
// is sized. Each anchored control keeps its distance to the edges it is
// anchored to: moving with the right or bottom edge, or growing with it. The
// dialog cannot be made smaller than it opened.
#pragma once

#include <vector>

#include "Win32.h"

enum : unsigned {
  ANCHOR_MOVE_X = 1,  // moves with the right edge
  ANCHOR_MOVE_Y = 2,  // moves with the bottom edge
  ANCHOR_GROW_X = 4,  // its right side follows the right edge
  ANCHOR_GROW_Y = 8   // its bottom side follows the bottom edge
};

class CResizeLayout {
 public:
  // Takes the dialog's client size and window size as they are now (call
  // from OnInitDialog, before anchoring).
  void Begin(HWND hDialog);
  void Anchor(int nID, unsigned nFlags);
  // A control without an id of its own (a label, IDC_STATIC).
  void AnchorWindow(HWND hWnd, unsigned nFlags);
  // WM_SIZE: every anchored control to its place for the client size now.
  void Apply() const;
  // WM_GETMINMAXINFO: the dialog's first size is its least.
  void LimitTracking(MINMAXINFO* pInfo) const;

 private:
  struct tagANCHOR {
    HWND hWnd;
    unsigned nFlags;
    RECT rcFirst;  // in the dialog's client coordinates, at Begin's size
  };
  HWND m_hDialog = nullptr;
  SIZE m_sizeClient = {0, 0};
  SIZE m_sizeWindow = {0, 0};
  std::vector<tagANCHOR> m_arrAnchors;
};
