#include "Menu.h"

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const char* text) {
  return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, text);
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }

UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const {
  return ::GetMenuState(m_hMenu, nID, nFlags);
}

std::string CMenu::GetMenuString(UINT nIDItem, UINT nFlags) const {
  char buffer[256] = {};
  const int length = ::GetMenuStringA(m_hMenu, nIDItem, buffer, sizeof buffer, nFlags);
  return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}
