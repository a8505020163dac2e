#include "Menu.h"

#include "UiScript.h"

CMenu::~CMenu() {
  if (m_bOwned && m_hMenu) ::DestroyMenu(m_hMenu);
}

BOOL CMenu::CreatePopupMenu() {
  if (m_bOwned && m_hMenu) ::DestroyMenu(m_hMenu);
  m_hMenu = ::CreatePopupMenu();
  m_bOwned = m_hMenu != nullptr;
  return m_bOwned;
}

UINT CMenu::TrackPopupMenu(UINT nFlags, int x, int y, HWND hOwner) {
  if (CUiScript* pScript = CUiScript::Active()) {
    tagPOPUPMENUCALL call;
    call.pt = {x, y};
    call.hOwner = hOwner;
    for (int i = 0; i < GetMenuItemCount(); ++i) {
      const UINT nID = GetMenuItemID(i);
      call.arrItems.push_back(
          {nID, GetMenuString(static_cast<UINT>(i), MF_BYPOSITION),
           (GetMenuState(static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) != 0});
    }
    return pScript->TakePopupMenu(call);
  }
  return static_cast<UINT>(
      ::TrackPopupMenu(m_hMenu, nFlags | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, hOwner, nullptr));
}

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
