// CMenu: a wrapper over a menu handle: one it does not own (the system
// menu), or a popup menu it made (CreatePopupMenu) and destroys.
#pragma once

#include <string>

#include "Win32.h"

class CMenu {
 public:
  explicit CMenu(HMENU hMenu = nullptr) : m_hMenu(hMenu), m_bOwned(false) {}
  ~CMenu();
  CMenu(const CMenu&) = delete;
  CMenu& operator=(const CMenu&) = delete;

  // A new, empty popup menu that this object owns.
  BOOL CreatePopupMenu();
  // Shows the popup menu at a screen point and waits for the choice: the
  // command id chosen, or 0. While a test script runs, the script chooses
  // (CUiScript::ChooseMenuItem) and the menu is not shown.
  UINT TrackPopupMenu(UINT nFlags, int x, int y, HWND hOwner);

  HMENU m_hMenu;

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* text = nullptr);
  int GetMenuItemCount() const;
  UINT GetMenuItemID(int nPos) const;
  UINT GetMenuState(UINT nID, UINT nFlags) const;
  std::string GetMenuString(UINT nIDItem, UINT nFlags) const;

 private:
  bool m_bOwned;
};
