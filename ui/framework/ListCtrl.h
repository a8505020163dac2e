// CListCtrl: a list view (SysListView32) in report view. Rows are addressed
// by index; a row's checkbox is its state image (1 empty, 2 ticked).
#pragma once

#include <string>
#include <vector>

#include "Wnd.h"

class CListCtrl : public CWnd {
 public:
  int GetItemCount() const;
  BOOL DeleteAllItems();
  // Inserts row nItem with a text only; the new row's index, or -1.
  int InsertItem(int nItem, const char* text);
  BOOL SetItemText(int nItem, int nSubItem, const char* text);
  std::string GetItemText(int nItem, int nSubItem) const;
  UINT GetItemState(int nItem, UINT nMask) const;
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  // The row's box: TRUE ticks it (state image 2), FALSE empties it (1).
  BOOL SetCheck(int nItem, BOOL bCheck = TRUE);
  // Sets the extended styles as a whole value.
  DWORD SetExtendedStyle(DWORD dwNewStyle);
  DWORD GetExtendedStyle() const;
  int InsertColumn(int nCol, const char* heading, int nFormat, int nWidth);
  int GetSelectionMark() const;
  int SetSelectionMark(int nIndex);
  int DeleteColumn(int nCol);
  int GetColumnCount() const;
  // A virtual list (LVS_OWNERDATA): the number of rows it shows; the rows'
  // texts are asked for when drawn (LVN_GETDISPINFO).
  BOOL SetItemCountEx(int nItems, DWORD dwFlags = 0);
  // The next row after nItem (-1: from the start) with the LVNI_ flags, or -1.
  int GetNextItem(int nItem, int nFlags) const;
  UINT GetSelectedCount() const;
  // The selected rows, ascending.
  std::vector<int> GetSelectedRows() const;
  BOOL EnsureVisible(int nItem, BOOL bPartialOK);
  int GetTopIndex() const;
  int GetCountPerPage() const;
};
