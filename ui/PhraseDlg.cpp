#include "PhraseDlg.h"

#include <cstdio>
#include <vector>

#include "GbkText.h"
#include "PhraseMessages.h"
#include "PhraseText.h"
#include "Tabrix.h"
#include "framework/Dpi.h"
#include "framework/Menu.h"
#include "framework/WinApp.h"

namespace {

const int kCodePageGbk = 936;

// The id of the window's hook on its list (SetWindowSubclass).
const UINT_PTR kListHookId = 1;

// Posted to itself while a find goes on: wParam names the find.
const UINT WM_FIND_MORE = WM_APP + 1;
// Phrases a find looks at between two looks at the messages: a few
// milliseconds of work.
const uint32_t kFindSlice = 1u << 17;
// A find shorter than this shows no bar: it would only flash.
const uint32_t kFindBarDelayMillis = 300;
// The find's bar: its height at 96 dots per inch, and its id (not in the
// template: made by the window).
const int kFindBarHeight = 6;
const int kFindBarId = 1399;

struct tagCOLUMN {
  const char* pszHeading;
  int nWidth;
};
const tagCOLUMN kColumns[] = {{"词条", 170}, {"词频", 50}, {"组名称", 120}};

std::string GroupName(CTabrix& lib, uint32_t g) {
  const tagGROUPINFO* group = lib.GetGroup(g);
  return group ? FieldText(group->szName, sizeof group->szName) : std::string();
}

}  // namespace

CPhraseDlg::CPhraseDlg(CTabrix& library, CEditHistory& history, uint32_t nGroup, CWnd* pParent)
    : CDialog(IDD, pParent),
      m_funChanged(nullptr),
      m_pChangedData(nullptr),
      m_bFindFirst(false),
      m_nFindSlice(kFindSlice),
      m_dwFindBarDelay(kFindBarDelayMillis),
      m_library(library),
      m_steps(library, history),
      m_nGroup(nGroup),
      m_bWhole(false),
      m_bNeedleValid(true),
      m_nAnchor(CRowSelection::NO_ROW),
      m_nFreqShownPos(CPhraseRows::NO_ROW_POS),
      m_bSelecting(false),
      m_nSearch(0),
      m_dwFindStart(0),
      m_szCell(),
      m_wszCell() {}

void CPhraseDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PHRASE_LIST, m_ctrlList);
  DDX_Control(pDX, IDC_PHRASE_TARGET, m_ctrlTarget);
}

BOOL CPhraseDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  // The program's icon on the caption, at the small icons' size.
  if (HICON hIcon = LoadIconForDpi(IDR_MAINFRAME, true)) SetIcon(hIcon, FALSE);
  m_layout.Begin(m_hWnd);
  m_layout.Anchor(IDC_PHRASE_FIND, ANCHOR_GROW_X);
  m_layout.Anchor(IDC_PHRASE_WHOLE, ANCHOR_MOVE_X);
  m_layout.Anchor(IDC_PHRASE_LIST, ANCHOR_GROW_X | ANCHOR_GROW_Y);
  const int below[] = {IDC_PHRASE_FREQ, IDC_PHRASE_SET_FREQ, IDC_PHRASE_DELETE, IDC_PHRASE_TEXT,
                       IDC_PHRASE_ADD,  IDC_PHRASE_TARGET,   IDC_PHRASE_MOVE};
  for (int nID : below) m_layout.Anchor(nID, ANCHOR_MOVE_Y);
  m_layout.Anchor(IDC_PHRASE_ADD_GROUP, ANCHOR_MOVE_Y | ANCHOR_GROW_X);
  // The labels of the rows below the list have no ids of their own.
  RECT rcList;
  ::GetWindowRect(m_ctrlList.m_hWnd, &rcList);
  for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild;
       hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    RECT rc;
    ::GetWindowRect(hChild, &rc);
    if (::GetDlgCtrlID(hChild) == IDC_STATIC && rc.top > rcList.bottom) {
      m_layout.AnchorWindow(hChild, ANCHOR_MOVE_Y);
    }
  }
  m_layout.Anchor(IDCANCEL, ANCHOR_MOVE_X | ANCHOR_MOVE_Y);
  CreateFindBar();

  m_ctrlList.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  // The rows' selected state is asked of the window (m_sel) as they are drawn.
  m_ctrlList.SendMessage(LVM_SETCALLBACKMASK, LVIS_SELECTED);
  ::SetWindowSubclass(m_ctrlList.m_hWnd, &CPhraseDlg::ListProc, kListHookId,
                      reinterpret_cast<DWORD_PTR>(this));
  m_ctrlList.InsertColumn(COLUMN_TEXT, kColumns[COLUMN_TEXT].pszHeading, LVCFMT_LEFT,
                          ScaleForDpi(kColumns[COLUMN_TEXT].nWidth));
  m_ctrlList.InsertColumn(COLUMN_FREQ, kColumns[COLUMN_FREQ].pszHeading, LVCFMT_RIGHT,
                          ScaleForDpi(kColumns[COLUMN_FREQ].nWidth));
  ::SendDlgItemMessageA(m_hWnd, IDC_PHRASE_FIND, EM_LIMITTEXT, TABRIX_MAX_PHRASE_LEN, 0);
  ::SendDlgItemMessageA(m_hWnd, IDC_PHRASE_TEXT, EM_LIMITTEXT, 64, 0);
  SetDlgItemInt(IDC_PHRASE_FREQ, 0, FALSE);
  // New phrases go to the window's group, whatever the list shows.
  SetDlgItemText(IDC_PHRASE_ADD_GROUP, AddTargetLabel(GroupName(m_library, m_nGroup)).c_str());
  FillTargets();
  Refill();
  ShowSortArrow();
  // Only what is done here from now on is undone here.
  m_steps.Begin();
  if (m_bFindFirst) {
    ::SetFocus(GetDlgItem(IDC_PHRASE_FIND));
    return FALSE;  // the focus is set
  }
  return TRUE;
}

void CPhraseDlg::FillTargets() {
  m_ctrlTarget.ResetContent();
  for (uint32_t g = 0; g < m_library.GetGroupCount(); ++g) {
    m_ctrlTarget.AddString(GroupName(m_library, g).c_str());
  }
}

void CPhraseDlg::ShowGroupColumn(bool bShow) {
  const bool bShown = m_ctrlList.GetColumnCount() > COLUMN_GROUP;
  if (bShow && !bShown) {
    m_ctrlList.InsertColumn(COLUMN_GROUP, kColumns[COLUMN_GROUP].pszHeading, LVCFMT_LEFT,
                            ScaleForDpi(kColumns[COLUMN_GROUP].nWidth));
  } else if (!bShow && bShown) {
    m_ctrlList.DeleteColumn(COLUMN_GROUP);
    // Without the column its order goes too.
    if (m_rows.GetSortKey() == SORT_GROUP) m_rows.SetOrder(SORT_TEXT, false);
  }
  ShowSortArrow();
}

void CPhraseDlg::Refill() {
  const uint32_t scope = m_bWhole ? static_cast<uint32_t>(TABRIX_NO_GROUP) : m_nGroup;
  bool bBuilt = true;
  if (m_bNeedleValid) {
    bBuilt = m_rows.Build(m_library, scope, m_strNeedle, m_nFindSlice);
  } else {
    m_rows.Clear();  // a text GBK lacks is in no phrase
  }
  ShowRows(bBuilt);
}

void CPhraseDlg::ShowRows(bool bBuilt) {
  m_sel.Clear();
  m_nAnchor = CRowSelection::NO_ROW;
  // No rows first: that drops the focus in one step.
  m_bSelecting = true;
  m_ctrlList.SetItemCountEx(0, 0);
  m_ctrlList.SetItemCountEx(static_cast<int>(m_rows.GetCount()), 0);
  m_bSelecting = false;
  m_nFreqShownPos = CPhraseRows::NO_ROW_POS;
  m_ctrlList.Invalidate(FALSE);
  UpdateCaption();
  // A slice posted for an earlier find is let go, and the spot it awaited.
  ++m_nSearch;
  m_pendingSpot = tagPHRASESPOT();
  m_dwFindStart = ::GetTickCount();
  if (m_ctrlFindBar.m_hWnd) ::ShowWindow(m_ctrlFindBar.m_hWnd, SW_HIDE);
  if (!m_rows.IsComplete()) PostMessage(WM_FIND_MORE, m_nSearch);
  if (!bBuilt) MessageBox(EditFailedMessage());
}

void CPhraseDlg::ShowRowsFound() {
  if (m_ctrlList.GetItemCount() != static_cast<int>(m_rows.GetCount())) {
    // The rows found are added below; the selection and the view stay.
    m_bSelecting = true;
    m_ctrlList.SetItemCountEx(static_cast<int>(m_rows.GetCount()),
                              LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    m_bSelecting = false;
  }
  UpdateCaption();
}

void CPhraseDlg::CreateFindBar() {
  // Over the bottom of the list, as wide as it, in front of it.
  RECT rc;
  ::GetWindowRect(m_ctrlList.m_hWnd, &rc);
  ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
  const int nHeight = ScaleForDpi(kFindBarHeight);
  HWND hBar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD, rc.left, rc.bottom - nHeight,
                                rc.right - rc.left, nHeight, m_hWnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFindBarId)),
                                AfxGetResourceHandle(), nullptr);
  if (!hBar) return;  // a find then shows no bar
  ::SetWindowPos(hBar, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  m_ctrlFindBar.Attach(hBar);
  m_layout.AnchorWindow(hBar, ANCHOR_MOVE_Y | ANCHOR_GROW_X);
}

void CPhraseDlg::ShowFindBar() {
  if (!m_ctrlFindBar.m_hWnd) return;
  if (m_rows.IsComplete()) {
    ::ShowWindow(m_ctrlFindBar.m_hWnd, SW_HIDE);
    return;
  }
  const bool bShown = ::IsWindowVisible(m_ctrlFindBar.m_hWnd) != FALSE;
  if (!bShown && ::GetTickCount() - m_dwFindStart < m_dwFindBarDelay) return;
  if (!bShown) {
    m_ctrlFindBar.SetRange32(0, static_cast<int>(m_library.m_arrPhrase.GetCount()));
    ::ShowWindow(m_ctrlFindBar.m_hWnd, SW_SHOWNA);
  }
  m_ctrlFindBar.SetPos(static_cast<int>(m_rows.GetSearched()));
}

void CPhraseDlg::OnFindMore(WPARAM nSearch) {
  if (nSearch != m_nSearch || m_rows.IsComplete()) return;
  const bool bFound = m_rows.FindMore(m_nFindSlice);
  ShowRowsFound();
  ShowFindBar();
  if (!m_pendingSpot.arrPos.empty() &&
      (m_rows.IsComplete() || m_rows.GetSearched() > m_pendingSpot.arrPos.back())) {
    const tagPHRASESPOT spot = m_pendingSpot;
    m_pendingSpot = tagPHRASESPOT();
    SelectSpot(spot);
  }
  if (!m_rows.IsComplete()) PostMessage(WM_FIND_MORE, m_nSearch);
  if (!bFound) MessageBox(EditFailedMessage());
}

void CPhraseDlg::ShowSpot(const tagPHRASESPOT& spot) {
  Refill();
  if (spot.arrPos.empty()) return;
  // No search for the spot here: the find's own slices get there.
  if (!m_rows.IsComplete() && m_rows.GetSearched() <= spot.arrPos.back()) {
    m_pendingSpot = spot;
    return;
  }
  SelectSpot(spot);
}

void CPhraseDlg::SelectSpot(const tagPHRASESPOT& spot) {
  if (!spot.bPresent || !SelectPositions(spot.arrPos)) SelectNear(spot.arrPos.front());
}

bool CPhraseDlg::SelectPositions(const std::vector<uint32_t>& arrPos) {
  const std::vector<uint32_t> rows = m_rows.RowsOf(arrPos);
  ShowRowsFound();  // a find may have gone on up to the positions
  if (rows.empty()) return false;
  m_sel.Assign(rows, m_rows.GetCount());
  // The row of the first position: in store order the first row.
  FocusRow(rows.front());
  SelectionChanged();
  return true;
}

void CPhraseDlg::SelectNear(uint32_t pos) {
  if (m_rows.GetCount() == 0) return;
  uint32_t row = m_rows.RowAtOrAfter(pos);
  ShowRowsFound();
  if (m_rows.GetCount() == 0) return;
  if (row >= m_rows.GetCount()) row = m_rows.GetCount() - 1;
  m_sel.Clear();
  m_sel.Set(row, row, true);
  FocusRow(row);
  SelectionChanged();
}

void CPhraseDlg::FocusRow(uint32_t row) {
  const int nRow = static_cast<int>(row);
  m_bSelecting = true;
  m_ctrlList.SetItemState(nRow, LVIS_FOCUSED, LVIS_FOCUSED);
  m_bSelecting = false;
  m_nAnchor = row;
  m_ctrlList.SetSelectionMark(nRow);
  m_ctrlList.EnsureVisible(nRow, FALSE);
}

void CPhraseDlg::SelectionChanged() {
  m_ctrlList.Invalidate(FALSE);
  FollowSelection();
}

void CPhraseDlg::FollowSelection() {
  const uint32_t row = m_sel.First();
  if (row == CRowSelection::NO_ROW) return;
  const uint32_t pos = m_rows.PosAt(row);
  if (pos == CPhraseRows::NO_ROW_POS || pos == m_nFreqShownPos) return;
  m_nFreqShownPos = pos;
  SetDlgItemInt(IDC_PHRASE_FREQ, m_library.m_arrPhrase.GetAt(pos)->byFreq, FALSE);
}

void CPhraseDlg::UpdateCaption() {
  uint32_t total = m_library.m_arrPhrase.GetCount();
  std::string scope = WholeLibraryScope();
  if (!m_bWhole) {
    const tagGROUPINFO* group = m_library.GetGroup(m_nGroup);
    total = group ? group->dwCount : 0;
    scope = GroupName(m_library, m_nGroup);
  }
  SetWindowText(
      PhraseWindowCaption(scope, total, !m_strNeedle.empty() || !m_bNeedleValid, m_rows.GetCount())
          .c_str());
}

void CPhraseDlg::Changed() {
  if (m_funChanged) m_funChanged(m_pChangedData);
}

BOOL CPhraseDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) == IDC_PHRASE_FIND && HIWORD(wParam) == EN_CHANGE) {
    OnFindChanged();
    return TRUE;
  }
  return CDialog::OnCommand(wParam, lParam);
}

BOOL CPhraseDlg::OnClicked(UINT nID) {
  switch (nID) {
    case IDC_PHRASE_WHOLE:
      OnWholeClicked();
      return TRUE;
    case IDC_PHRASE_DELETE:
      OnDelete();
      return TRUE;
    case IDC_PHRASE_SET_FREQ:
      OnSetFrequency();
      return TRUE;
    case IDC_PHRASE_ADD:
      OnAdd();
      return TRUE;
    case IDC_PHRASE_MOVE:
      OnMove();
      return TRUE;
    case IDOK: {
      // Enter: the command of the box it was pressed in; it never closes.
      const HWND hFocus = ::GetFocus();
      if (hFocus == GetDlgItem(IDC_PHRASE_TEXT)) OnAdd();
      if (hFocus == GetDlgItem(IDC_PHRASE_FREQ)) OnSetFrequency();
      return TRUE;
    }
    default:
      return CDialog::OnClicked(nID);
  }
}

BOOL CPhraseDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  NMHDR* pHdr = reinterpret_cast<NMHDR*>(lParam);
  if (pHdr->idFrom == IDC_PHRASE_LIST) {
    switch (pHdr->code) {
      case LVN_GETDISPINFOA:
      case LVN_GETDISPINFOW:
        OnGetDispInfo(pHdr);
        *pResult = 0;
        return TRUE;
      case LVN_KEYDOWN:
        OnKeyDown(reinterpret_cast<const NMLVKEYDOWN*>(pHdr));
        *pResult = 0;
        return TRUE;
      case LVN_COLUMNCLICK:
        OnColumnClick(reinterpret_cast<const NMLISTVIEW*>(pHdr)->iSubItem);
        *pResult = 0;
        return TRUE;
      case LVN_ITEMCHANGED: {
        // A row's selected state set from outside the window (the list's
        // own handling): m_sel takes it.
        const NMLISTVIEW* pItem = reinterpret_cast<const NMLISTVIEW*>(pHdr);
        if (!m_bSelecting && (pItem->uChanged & LVIF_STATE) &&
            ((pItem->uNewState ^ pItem->uOldState) & LVIS_SELECTED)) {
          const bool bSelected = (pItem->uNewState & LVIS_SELECTED) != 0;
          if (pItem->iItem < 0) {
            if (bSelected) {
              m_sel.SelectAll(m_rows.GetCount());
            } else {
              m_sel.Clear();
            }
          } else {
            m_sel.Set(static_cast<uint32_t>(pItem->iItem), static_cast<uint32_t>(pItem->iItem),
                      bSelected);
          }
          FollowSelection();
        }
        *pResult = 0;
        return TRUE;
      }
      case LVN_ODSTATECHANGED: {  // a range of rows
        const NMLVODSTATECHANGE* pRange = reinterpret_cast<const NMLVODSTATECHANGE*>(pHdr);
        if (!m_bSelecting && ((pRange->uNewState ^ pRange->uOldState) & LVIS_SELECTED) &&
            pRange->iFrom >= 0 && pRange->iTo >= pRange->iFrom) {
          m_sel.Set(static_cast<uint32_t>(pRange->iFrom), static_cast<uint32_t>(pRange->iTo),
                    (pRange->uNewState & LVIS_SELECTED) != 0);
          FollowSelection();
        }
        *pResult = 0;
        return TRUE;
      }
      default:
        break;
    }
  }
  return CDialog::OnNotify(wParam, lParam, pResult);
}

BOOL CPhraseDlg::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == 'Z' || pMsg->wParam == 'Y') &&
      ::GetKeyState(VK_CONTROL) < 0 && ::GetKeyState(VK_MENU) >= 0 &&
      ::IsChild(m_hWnd, pMsg->hwnd)) {
    char szClass[16] = {};
    ::GetClassNameA(pMsg->hwnd, szClass, sizeof szClass);
    // In an edit box the keys undo the typing there, as in any edit box.
    if (lstrcmpiA(szClass, "Edit") != 0) {
      OnUndo(pMsg->wParam == 'Y' || ::GetKeyState(VK_SHIFT) < 0);
      return TRUE;
    }
  }
  return CDialog::PreTranslateMessage(pMsg);
}

BOOL CPhraseDlg::OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_SIZE:
      m_layout.Apply();
      *pResult = 0;
      return TRUE;
    case WM_GETMINMAXINFO:
      m_layout.LimitTracking(reinterpret_cast<MINMAXINFO*>(lParam));
      *pResult = 0;
      return TRUE;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wParam) != m_ctrlList.m_hWnd) break;
      OnRowMenu(lParam);
      *pResult = 0;
      return TRUE;
    case WM_DESTROY:
      ::RemoveWindowSubclass(m_ctrlList.m_hWnd, &CPhraseDlg::ListProc, kListHookId);
      m_ctrlFindBar.Detach();  // destroyed with the window
      break;
    case WM_FIND_MORE:
      OnFindMore(wParam);
      *pResult = 0;
      return TRUE;
    default:
      break;
  }
  return CDialog::OnDialogMessage(message, wParam, lParam, pResult);
}

LRESULT CALLBACK CPhraseDlg::ListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
  CPhraseDlg* pDlg = reinterpret_cast<CPhraseDlg*>(data);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (pDlg->OnListClick(lParam, wParam, false)) return 0;
      break;
    case WM_RBUTTONDOWN:
      if (pDlg->OnListClick(lParam, wParam, true)) return 0;
      break;
    case WM_RBUTTONUP: {
      // The menu at once: the list would first wait to see a drag begin.
      POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      ::ClientToScreen(hWnd, &pt);
      pDlg->OnRowMenu(MAKELPARAM(pt.x, pt.y));
      return 0;
    }
    case WM_KEYDOWN:
      if (pDlg->OnListKey(wParam)) return 0;
      break;
    case WM_CHAR:
      // No finding by typing in the list: it would select behind the
      // window's back (the find box is there for it).
      return 0;
    default:
      break;
  }
  return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

bool CPhraseDlg::OnListClick(LPARAM lParam, WPARAM wParam, bool bRight) {
  m_pendingSpot = tagPHRASESPOT();  // the user's selection wins
  LVHITTESTINFO hit = {};
  hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  m_ctrlList.SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  const uint32_t row = hit.iItem >= 0 && static_cast<uint32_t>(hit.iItem) < m_rows.GetCount()
                           ? static_cast<uint32_t>(hit.iItem)
                           : CRowSelection::NO_ROW;
  ::SetFocus(m_ctrlList.m_hWnd);
  if (bRight) {
    // A right click on a selected row keeps the selection for the menu.
    if (row != CRowSelection::NO_ROW && !m_sel.IsSelected(row)) {
      ApplyRowClick(m_sel, &m_nAnchor, row, false, false);
      FocusRow(row);
      SelectionChanged();
    }
    return true;
  }
  ApplyRowClick(m_sel, &m_nAnchor, row, (wParam & MK_CONTROL) != 0, (wParam & MK_SHIFT) != 0);
  if (row != CRowSelection::NO_ROW) {
    const uint32_t anchor = m_nAnchor;
    FocusRow(row);
    m_nAnchor = anchor;  // Shift+click keeps where it selects from
    m_ctrlList.SetSelectionMark(static_cast<int>(anchor));
  }
  SelectionChanged();
  return true;
}

bool CPhraseDlg::OnListKey(WPARAM vk) {
  const bool bCtrl = ::GetKeyState(VK_CONTROL) < 0, bShift = ::GetKeyState(VK_SHIFT) < 0;
  if (::GetKeyState(VK_MENU) < 0) return false;
  m_pendingSpot = tagPHRASESPOT();  // the user's selection wins
  if (bCtrl && vk == 'A') {
    m_sel.SelectAll(m_rows.GetCount());
    SelectionChanged();
    return true;
  }
  if (bCtrl && vk == 'C') {
    OnCopy();
    return true;
  }
  const uint32_t nRows = m_rows.GetCount();
  if (nRows == 0) return false;
  const int nFocused = m_ctrlList.GetNextItem(-1, LVNI_FOCUSED);
  const uint32_t focus = nFocused >= 0 && static_cast<uint32_t>(nFocused) < nRows
                             ? static_cast<uint32_t>(nFocused)
                             : 0;
  if (vk == VK_SPACE) {
    ApplyRowClick(m_sel, &m_nAnchor, focus, bCtrl, bShift);
    SelectionChanged();
    return true;
  }
  const int nPage = m_ctrlList.GetCountPerPage() > 1 ? m_ctrlList.GetCountPerPage() - 1 : 1;
  int64_t target = focus;
  switch (vk) {
    case VK_UP:
      target = static_cast<int64_t>(focus) - 1;
      break;
    case VK_DOWN:
      target = static_cast<int64_t>(focus) + 1;
      break;
    case VK_PRIOR:
      target = static_cast<int64_t>(focus) - nPage;
      break;
    case VK_NEXT:
      target = static_cast<int64_t>(focus) + nPage;
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = nRows - 1;
      break;
    default:
      return false;
  }
  if (target < 0) target = 0;
  if (target >= nRows) target = nRows - 1;
  const uint32_t row = static_cast<uint32_t>(target);
  const uint32_t anchor = m_nAnchor == CRowSelection::NO_ROW ? focus : m_nAnchor;
  if (bShift) {
    // From the anchor to the row, as Shift+click.
    if (!bCtrl) m_sel.Clear();
    m_sel.Set(anchor, row, true);
  } else if (!bCtrl) {
    m_sel.Clear();
    m_sel.Set(row, row, true);
  }
  FocusRow(row);
  if (bShift || bCtrl) m_nAnchor = anchor;
  SelectionChanged();
  return true;
}

void CPhraseDlg::OnColumnClick(int nColumn) {
  const PhraseSortKey key = nColumn == COLUMN_FREQ    ? SORT_FREQ
                            : nColumn == COLUMN_GROUP ? SORT_GROUP
                                                      : SORT_TEXT;
  // A second click on the same column turns the order round.
  const bool bDescending = key == m_rows.GetSortKey() && !m_rows.IsDescending();
  // The first selected phrase stays selected, and in view.
  const uint32_t first = m_sel.First();
  const uint32_t pos =
      first == CRowSelection::NO_ROW ? CPhraseRows::NO_ROW_POS : m_rows.PosAt(first);
  // The rows stay the same ones: sorted in place.
  const bool bSorted = m_rows.SetOrder(key, bDescending);
  ShowSortArrow();
  ShowRows(bSorted);
  if (pos != CPhraseRows::NO_ROW_POS) SelectPositions({pos});
}

void CPhraseDlg::ShowSortArrow() {
  HWND hHeader = reinterpret_cast<HWND>(m_ctrlList.SendMessage(LVM_GETHEADER));
  if (!hHeader) return;
  const int nSorted = m_rows.GetSortKey() == SORT_FREQ    ? COLUMN_FREQ
                      : m_rows.GetSortKey() == SORT_GROUP ? COLUMN_GROUP
                                                          : COLUMN_TEXT;
  for (int i = 0; i < m_ctrlList.GetColumnCount(); ++i) {
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (!::SendMessageA(hHeader, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item))) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == nSorted) item.fmt |= m_rows.IsDescending() ? HDF_SORTDOWN : HDF_SORTUP;
    ::SendMessageA(hHeader, HDM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
}

void CPhraseDlg::OnRowMenu(LPARAM lParam) {
  POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (lParam == -1) {
    // The menu key or Shift+F10: below the focused row.
    RECT rc = {};
    const int nFocused = m_ctrlList.GetNextItem(-1, LVNI_FOCUSED);
    if (nFocused >= 0) {
      rc.left = LVIR_LABEL;
      m_ctrlList.SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(nFocused),
                             reinterpret_cast<LPARAM>(&rc));
    }
    pt = {rc.left, rc.bottom};
    ::ClientToScreen(m_ctrlList.m_hWnd, &pt);
  }
  const UINT nRowFlags = m_sel.IsEmpty() ? MF_GRAYED : 0;
  CMenu menu;
  if (!menu.CreatePopupMenu()) return;
  menu.AppendMenu(MF_STRING | nRowFlags, IDM_PHRASE_DELETE, "删除(&D)...\tDel");
  menu.AppendMenu(MF_STRING | nRowFlags, IDM_PHRASE_FREQ, "改词频(&F)...");
  // The groups as a submenu of their own, which the menu destroys with it.
  HMENU hGroups = ::CreatePopupMenu();
  if (hGroups) {
    for (uint32_t g = 0; g < m_library.GetGroupCount(); ++g) {
      const UINT nFlags = MF_STRING | (!m_bWhole && g == m_nGroup ? MF_GRAYED : 0);
      ::AppendMenuA(hGroups, nFlags, IDM_PHRASE_MOVE_FIRST + g, GroupName(m_library, g).c_str());
    }
    menu.AppendMenu(MF_POPUP | nRowFlags, reinterpret_cast<UINT_PTR>(hGroups), "移动到(&M)");
  }
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING | nRowFlags, IDM_PHRASE_COPY, "复制(&C)\tCtrl+C");
  const UINT nChoice = menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, m_hWnd);
  if (nChoice == IDM_PHRASE_DELETE) {
    OnDelete();
  } else if (nChoice == IDM_PHRASE_FREQ) {
    // The box holds the first selected phrase's frequency: typed over, Enter
    // sets it on every selected phrase.
    ::SetFocus(GetDlgItem(IDC_PHRASE_FREQ));
    ::SendDlgItemMessageA(m_hWnd, IDC_PHRASE_FREQ, EM_SETSEL, 0, -1);
  } else if (nChoice == IDM_PHRASE_COPY) {
    OnCopy();
  } else if (nChoice >= IDM_PHRASE_MOVE_FIRST &&
             nChoice < IDM_PHRASE_MOVE_FIRST + m_library.GetGroupCount()) {
    m_ctrlTarget.SetCurSel(static_cast<int>(nChoice - IDM_PHRASE_MOVE_FIRST));
    OnMove();
  }
}

void CPhraseDlg::OnCopy() {
  if (m_sel.IsEmpty()) {
    MessageBox(NoPhraseSelectedMessage());
    return;
  }
  const std::string text = SelectedPhraseTexts(m_library, m_rows, m_sel);
  // As Unicode text, so that any program pastes it whatever its code page.
  const int nWide = ::MultiByteToWideChar(kCodePageGbk, 0, text.data(),
                                          static_cast<int>(text.size()), nullptr, 0);
  HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, (static_cast<size_t>(nWide) + 1) * sizeof(wchar_t));
  if (!hMem) {
    MessageBox(EditFailedMessage());
    return;
  }
  wchar_t* pWide = static_cast<wchar_t*>(::GlobalLock(hMem));
  ::MultiByteToWideChar(kCodePageGbk, 0, text.data(), static_cast<int>(text.size()), pWide, nWide);
  pWide[nWide] = L'\0';
  ::GlobalUnlock(hMem);
  if (!::OpenClipboard(m_hWnd)) {
    ::GlobalFree(hMem);
    MessageBox(EditFailedMessage());
    return;
  }
  ::EmptyClipboard();
  if (!::SetClipboardData(CF_UNICODETEXT, hMem)) ::GlobalFree(hMem);
  ::CloseClipboard();
}

void CPhraseDlg::OnGetDispInfo(NMHDR* pHdr) {
  // The A and W forms share the item's layout up to the text pointer's type.
  LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(pHdr)->item;
  if ((item.mask & LVIF_STATE) && item.iItem >= 0) {
    item.state &= ~LVIS_SELECTED;
    if ((item.stateMask & LVIS_SELECTED) && m_sel.IsSelected(static_cast<uint32_t>(item.iItem))) {
      item.state |= LVIS_SELECTED;
    }
  }
  if (!(item.mask & LVIF_TEXT) || item.iItem < 0 ||
      static_cast<uint32_t>(item.iItem) >= m_rows.GetCount() || item.cchTextMax <= 0) {
    return;
  }
  const uint32_t pos = m_rows.PosAt(static_cast<uint32_t>(item.iItem));
  if (pos == CPhraseRows::NO_ROW_POS) return;
  const tagPHRASE2* p = m_library.m_arrPhrase.GetAt(pos);
  std::string text;
  switch (item.iSubItem) {
    case COLUMN_TEXT:
      text.assign(p->szWord, FieldTextLength(p->szWord, p->cLen));
      break;
    case COLUMN_FREQ:
      text = std::to_string(p->byFreq);
      break;
    case COLUMN_GROUP:
      text = GroupName(m_library, p->byGroup);
      break;
    default:
      break;
  }
  if (pHdr->code == LVN_GETDISPINFOW) {
    const int nMax = item.cchTextMax < 64 ? item.cchTextMax : 64;
    int n = ::MultiByteToWideChar(kCodePageGbk, 0, text.data(), static_cast<int>(text.size()),
                                  m_wszCell, nMax - 1);
    if (n < 0) n = 0;
    m_wszCell[n] = L'\0';
    reinterpret_cast<NMLVDISPINFOW*>(pHdr)->item.pszText = m_wszCell;
    return;
  }
  const size_t nMax = static_cast<size_t>(item.cchTextMax) < sizeof m_szCell
                          ? static_cast<size_t>(item.cchTextMax)
                          : sizeof m_szCell;
  const size_t n = text.size() < nMax - 1 ? text.size() : nMax - 1;
  text.copy(m_szCell, n);
  m_szCell[n] = '\0';
  item.pszText = m_szCell;
}

void CPhraseDlg::OnKeyDown(const NMLVKEYDOWN* pKey) {
  if (pKey->wVKey == VK_DELETE) OnDelete();
}

void CPhraseDlg::OnFindChanged() {
  std::string needle;
  m_bNeedleValid = GetDlgItemTextGbk(IDC_PHRASE_FIND, &needle);
  m_strNeedle = m_bNeedleValid ? needle : std::string();
  Refill();
}

void CPhraseDlg::OnWholeClicked() {
  m_bWhole = ::IsDlgButtonChecked(m_hWnd, IDC_PHRASE_WHOLE) == BST_CHECKED;
  ShowGroupColumn(m_bWhole);
  Refill();
}

void CPhraseDlg::OnDelete() {
  const std::vector<uint32_t> positions = m_rows.PositionsOf(m_sel);
  if (positions.empty()) {
    MessageBox(NoPhraseSelectedMessage());
    return;
  }
  // The question names the phrases, so that a selection the user did not
  // make is seen before it goes.
  std::vector<std::string> first;
  for (size_t i = 0; i < positions.size() && i < DELETE_QUESTION_NAMES; ++i) {
    const tagPHRASE2* p = m_library.m_arrPhrase.GetAt(positions[i]);
    first.emplace_back(p->szWord, FieldTextLength(p->szWord, p->cLen));
  }
  const std::string question =
      DeletePhrasesQuestion(static_cast<uint32_t>(positions.size()), first);
  if (MessageBox(question.c_str(), nullptr, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  tagPHRASESPOT spot;
  if (!m_steps.RemovePhrasesAt(positions, &spot)) {
    MessageBox(EditFailedMessage());
    return;
  }
  // The phrase after the first one removed now stands at its position.
  ShowSpot(spot);
  Changed();
}

void CPhraseDlg::OnSetFrequency() {
  const std::vector<uint32_t> positions = m_rows.PositionsOf(m_sel);
  if (positions.empty()) {
    MessageBox(NoPhraseSelectedMessage());
    return;
  }
  uint8_t freq = 0;
  if (!ParsePhraseFrequency(GetDlgItemText(IDC_PHRASE_FREQ), &freq)) {
    MessageBox(FrequencyInvalidMessage());
    ::SetFocus(GetDlgItem(IDC_PHRASE_FREQ));
    ::SendDlgItemMessageA(m_hWnd, IDC_PHRASE_FREQ, EM_SETSEL, 0, -1);
    return;
  }
  tagPHRASESPOT spot;
  if (!m_steps.SetFrequencyAt(positions, freq, &spot)) {
    MessageBox(EditFailedMessage());
    return;
  }
  m_ctrlList.Invalidate(FALSE);
  Changed();
}

void CPhraseDlg::OnAdd() {
  std::string text;
  const bool bGbk = GetDlgItemTextGbk(IDC_PHRASE_TEXT, &text);
  const char* pszRefused = nullptr;
  const uint32_t faults = PhraseTextFaults(text.data(), text.size());
  if (!bGbk) {
    pszRefused = PhraseNoGbkFormMessage();
  } else if (faults & PHRASE_TEXT_EMPTY) {
    pszRefused = PhraseEmptyMessage();
  } else if (faults & PHRASE_TEXT_BLANKS) {
    pszRefused = PhraseBlankMessage();
  } else if (faults & PHRASE_TEXT_TOO_LONG) {
    pszRefused = PhraseTooLongMessage();
  }
  uint8_t freq = 0;
  if (!pszRefused && !ParsePhraseFrequency(GetDlgItemText(IDC_PHRASE_FREQ), &freq)) {
    pszRefused = FrequencyInvalidMessage();
  }
  if (pszRefused) {
    MessageBox(pszRefused);
    return;
  }
  uint8_t byHolder = 0;
  if (m_library.FindPhrase(text.c_str(), nullptr, &byHolder)) {
    MessageBox(PhraseExistsMessage(text, GroupName(m_library, byHolder)).c_str());
    return;
  }
  tagPHRASESPOT spot;
  if (m_nGroup >= m_library.GetGroupCount() ||
      !m_steps.AddPhrase(text, freq, static_cast<uint8_t>(m_nGroup), &spot)) {
    MessageBox(EditFailedMessage());
    return;
  }
  SetDlgItemText(IDC_PHRASE_TEXT, "");
  ShowSpot(spot);
  // The new phrase is the selected row, never a neighbour of it: a find
  // text that hides it goes (the box tells OnFindChanged).
  if (!spot.arrPos.empty() && !m_rows.Shows(spot.arrPos.front())) {
    SetDlgItemText(IDC_PHRASE_FIND, "");
    ShowSpot(spot);
  }
  Changed();
}

void CPhraseDlg::OnMove() {
  const std::vector<uint32_t> positions = m_rows.PositionsOf(m_sel);
  if (positions.empty()) {
    MessageBox(NoPhraseSelectedMessage());
    return;
  }
  const int nTarget = m_ctrlTarget.GetCurSel();
  if (nTarget < 0 || static_cast<uint32_t>(nTarget) >= m_library.GetGroupCount()) {
    MessageBox(NoTargetGroupMessage());
    return;
  }
  tagPHRASESPOT spot;
  if (!m_steps.MovePhrasesAt(positions, static_cast<uint32_t>(nTarget), &spot)) {
    MessageBox(EditFailedMessage());
    return;
  }
  ShowSpot(spot);
  Changed();
}

void CPhraseDlg::OnUndo(bool bRedo) {
  tagPHRASESPOT spot;
  if (!(bRedo ? m_steps.Redo(&spot) : m_steps.Undo(&spot))) return;
  ShowSpot(spot);
  Changed();
}
