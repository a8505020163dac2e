#include "ListCtrl.h"

#include <vector>

int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }

BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }

int CListCtrl::InsertItem(int nItem, const char* text) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = nItem;
  item.pszText = const_cast<char*>(text);
  return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, const char* text) {
  LVITEMA item = {};
  item.iSubItem = nSubItem;
  item.pszText = const_cast<char*>(text);
  return static_cast<BOOL>(
      SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

std::string CListCtrl::GetItemText(int nItem, int nSubItem) const {
  // The list does not tell a text's length: grow the buffer until it is not full.
  for (size_t size = 256;; size *= 2) {
    std::vector<char> buffer(size, '\0');
    LVITEMA item = {};
    item.iSubItem = nSubItem;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(size);
    const LRESULT length =
        SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item));
    if (length < 0) return std::string();
    if (static_cast<size_t>(length) + 1 < size || size >= 65536) {
      return std::string(item.pszText, static_cast<size_t>(length));
    }
  }
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
  return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nItem), nMask));
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  LVITEMA item = {};
  item.state = nState;
  item.stateMask = nMask;
  return static_cast<BOOL>(
      SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nItem), reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::SetCheck(int nItem, BOOL bCheck) {
  return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1), LVIS_STATEIMAGEMASK);
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) {
  return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle));
}

DWORD CListCtrl::GetExtendedStyle() const {
  return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
}

int CListCtrl::InsertColumn(int nCol, const char* heading, int nFormat, int nWidth) {
  LVCOLUMNA column = {};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.fmt = nFormat;
  column.cx = nWidth;
  column.pszText = const_cast<char*>(heading);
  return static_cast<int>(
      SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(nCol), reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::GetSelectionMark() const {
  return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK));
}

int CListCtrl::SetSelectionMark(int nIndex) {
  return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, nIndex));
}

int CListCtrl::DeleteColumn(int nCol) {
  return static_cast<int>(SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(nCol)));
}

int CListCtrl::GetColumnCount() const {
  HWND hHeader = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
  return hHeader ? static_cast<int>(::SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

BOOL CListCtrl::SetItemCountEx(int nItems, DWORD dwFlags) {
  return static_cast<BOOL>(SendMessage(LVM_SETITEMCOUNT, static_cast<WPARAM>(nItems), dwFlags));
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
  return static_cast<int>(
      SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(nItem), MAKELPARAM(nFlags, 0)));
}

UINT CListCtrl::GetSelectedCount() const {
  return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT));
}

std::vector<int> CListCtrl::GetSelectedRows() const {
  std::vector<int> rows;
  rows.reserve(GetSelectedCount());
  for (int i = GetNextItem(-1, LVNI_SELECTED); i >= 0; i = GetNextItem(i, LVNI_SELECTED)) {
    rows.push_back(i);
  }
  return rows;
}

BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK) {
  return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(nItem), bPartialOK));
}

int CListCtrl::GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }

int CListCtrl::GetCountPerPage() const {
  return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE));
}
