#include "PhraseDlg.h"

#include <cstdio>
#include <vector>

#include "GbkText.h"
#include "PhraseMessages.h"
#include "Tabrix.h"
#include "framework/Dpi.h"

namespace {

const int kCodePageGbk = 936;

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
      m_library(library),
      m_steps(library, history),
      m_nGroup(nGroup),
      m_bWhole(false),
      m_bNeedleValid(true),
      m_nFreqShownPos(CPhraseRows::NO_ROW_POS),
      m_bSelecting(false),
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

  m_ctrlList.SetExtendedStyle(LVS_EX_FULLROWSELECT);
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
  }
}

void CPhraseDlg::Refill() {
  const uint32_t scope = m_bWhole ? static_cast<uint32_t>(TABRIX_NO_GROUP) : m_nGroup;
  bool bBuilt = true;
  if (m_bNeedleValid) {
    bBuilt = m_rows.Build(m_library, scope, m_strNeedle);
  } else {
    m_rows.Clear();  // a text GBK lacks is in no phrase
  }
  // No rows first: that drops the selection and the focus in one step
  // (clearing each row's state costs a pass over every row on some systems).
  m_bSelecting = true;
  m_ctrlList.SetItemCountEx(0, 0);
  m_ctrlList.SetItemCountEx(static_cast<int>(m_rows.GetCount()), 0);
  m_bSelecting = false;
  m_nFreqShownPos = CPhraseRows::NO_ROW_POS;
  m_ctrlList.Invalidate(FALSE);
  UpdateCaption();
  if (!bBuilt) MessageBox(EditFailedMessage());
}

void CPhraseDlg::ShowSpot(const tagPHRASESPOT& spot) {
  Refill();
  if (spot.arrPos.empty()) return;
  if (!spot.bPresent || !SelectPositions(spot.arrPos)) SelectNear(spot.arrPos.front());
}

bool CPhraseDlg::SelectPositions(const std::vector<uint32_t>& arrPos) {
  std::vector<uint32_t> rows;
  for (uint32_t pos : arrPos) {
    const uint32_t row = m_rows.RowOf(pos);
    if (row < m_rows.GetCount()) rows.push_back(row);
  }
  if (rows.empty()) return false;
  m_bSelecting = true;
  // Every row at once in one message (a whole group's delete undone).
  if (rows.size() == m_rows.GetCount()) {
    m_ctrlList.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
  } else {
    for (size_t i = 1; i < rows.size(); ++i) {
      m_ctrlList.SetItemState(static_cast<int>(rows[i]), LVIS_SELECTED, LVIS_SELECTED);
    }
  }
  FocusRow(rows.front());
  m_bSelecting = false;
  FollowSelection();
  return true;
}

void CPhraseDlg::SelectNear(uint32_t pos) {
  if (m_rows.GetCount() == 0) return;
  uint32_t row = m_rows.RowAtOrAfter(pos);
  if (row >= m_rows.GetCount()) row = m_rows.GetCount() - 1;
  m_bSelecting = true;
  FocusRow(row);
  m_bSelecting = false;
  FollowSelection();
}

void CPhraseDlg::FocusRow(uint32_t row) {
  const int nRow = static_cast<int>(row);
  m_ctrlList.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  m_ctrlList.SetSelectionMark(nRow);
  m_ctrlList.EnsureVisible(nRow, FALSE);
}

void CPhraseDlg::FollowSelection() {
  const int nRow = m_ctrlList.GetNextItem(-1, LVNI_SELECTED);
  if (nRow < 0) return;
  const uint32_t pos = m_rows.PosAt(static_cast<uint32_t>(nRow));
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
      case LVN_ITEMCHANGED: {
        const NMLISTVIEW* pItem = reinterpret_cast<const NMLISTVIEW*>(pHdr);
        if (!m_bSelecting && (pItem->uChanged & LVIF_STATE) &&
            ((pItem->uNewState ^ pItem->uOldState) & LVIS_SELECTED)) {
          FollowSelection();
        }
        *pResult = 0;
        return TRUE;
      }
      case LVN_ODSTATECHANGED:  // a range of rows (Shift+click)
        if (!m_bSelecting) FollowSelection();
        *pResult = 0;
        return TRUE;
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
    default:
      return CDialog::OnDialogMessage(message, wParam, lParam, pResult);
  }
}

void CPhraseDlg::OnGetDispInfo(NMHDR* pHdr) {
  // The A and W forms share the item's layout up to the text pointer's type.
  LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(pHdr)->item;
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
  if (pKey->wVKey == VK_DELETE) {
    OnDelete();
  } else if (pKey->wVKey == 'A' && ::GetKeyState(VK_CONTROL) < 0) {
    m_ctrlList.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
  }
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
  const std::vector<uint32_t> positions = m_rows.PositionsOf(m_ctrlList.GetSelectedRows());
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
  const std::vector<uint32_t> positions = m_rows.PositionsOf(m_ctrlList.GetSelectedRows());
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
  if (!bGbk) {
    pszRefused = PhraseNoGbkFormMessage();
  } else if (text.empty()) {
    pszRefused = PhraseEmptyMessage();
  } else if (text.find_first_of(" \t\r\n") != std::string::npos) {
    pszRefused = PhraseBlankMessage();
  } else if (text.size() > TABRIX_MAX_PHRASE_LEN) {
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
  if (!spot.arrPos.empty() && m_rows.RowOf(spot.arrPos.front()) >= m_rows.GetCount()) {
    SetDlgItemText(IDC_PHRASE_FIND, "");
    ShowSpot(spot);
  }
  Changed();
}

void CPhraseDlg::OnMove() {
  const std::vector<uint32_t> positions = m_rows.PositionsOf(m_ctrlList.GetSelectedRows());
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
