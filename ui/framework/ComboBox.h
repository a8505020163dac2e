// CComboBox: a drop-down list (COMBOBOX) of texts addressed by index.
#pragma once

#include <string>

#include "Wnd.h"

class CComboBox : public CWnd {
 public:
  void ResetContent();
  // The new item's index, or CB_ERR.
  int AddString(const char* text);
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int nIndex);
  std::string GetLBText(int nIndex) const;
};
