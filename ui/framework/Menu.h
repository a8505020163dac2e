// CMenu: a wrapper over a menu handle it does not own (the system menu).
#pragma once

#include <string>

#include "Win32.h"

class CMenu {
 public:
  explicit CMenu(HMENU hMenu = nullptr) : m_hMenu(hMenu) {}

  HMENU m_hMenu;

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* text = nullptr);
  int GetMenuItemCount() const;
  UINT GetMenuItemID(int nPos) const;
  UINT GetMenuState(UINT nID, UINT nFlags) const;
  std::string GetMenuString(UINT nIDItem, UINT nFlags) const;
};
