// CProgressCtrl: a progress bar (msctls_progress32) with a 32-bit range.
#pragma once

#include "Wnd.h"

class CProgressCtrl : public CWnd {
 public:
  void SetRange32(int nLower, int nUpper);
  void GetRange(int& nLower, int& nUpper) const;
  // Returns the previous position.
  int SetPos(int nPos);
  int GetPos() const;
};
