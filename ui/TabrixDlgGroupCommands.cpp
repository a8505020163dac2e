// The commands on one group of the main list: its phrases in the phrase
// window (double-click, Enter, or "查看词条…" of the context menu), deleting
// it, and exporting it as a phrase list.
#include <string>

#include "GbkText.h"
#include "GroupListWriter.h"
#include "PhraseDlg.h"
#include "PhraseMessages.h"
#include "SafeSave.h"
#include "SaveError.h"
#include "TabrixDlg.h"
#include "framework/FileDialog.h"
#include "framework/Menu.h"
#include "framework/PathText.h"

namespace {

const char kTextFilter[] = "文本文件(*.txt)|*.txt||";
const char kTextExt[] = "txt";

struct tagMENUENTRY {
  UINT nID;
  const char* pszText;
};
// Each with the key that does the same on the list.
const tagMENUENTRY kGroupMenu[] = {{IDM_GROUP_PHRASES, "查看词条(&V)...\tEnter"},
                                   {IDM_GROUP_FIND, "查找词条(&F)...\tCtrl+F"},
                                   {IDM_GROUP_DELETE, "删除组(&D)...\tDel"},
                                   {IDM_GROUP_EXPORT, "导出为文本文件(&E)..."}};

// The group's name as a file name offered by the save dialog, in the path
// form: the characters a file name cannot hold become '_'.
std::string ExportFileName(const tagGROUPINFO& group) {
  std::string name = FieldText(group.szName, sizeof group.szName);
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsGbkLeadByte(c) && i + 1 < name.size()) {
      ++i;  // a trail byte is never a separator
    } else if (c < 0x20 ||
               std::string("/\\:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) {
      name[i] = '_';
    }
  }
  if (name.empty()) name = "group";
  return PathTextFromGbk(name + ".txt");
}

}  // namespace

bool CTabrixDlg::IsGroupRow(int nItem) const {
  return nItem >= 0 && static_cast<uint32_t>(nItem) < m_library.GetGroupCount();
}

void CTabrixDlg::GroupCountsChanged(void* data) {
  CTabrixDlg* pDlg = static_cast<CTabrixDlg*>(data);
  const uint32_t count = pDlg->m_library.GetGroupCount();
  for (uint32_t i = 0; i < count; ++i) {
    pDlg->SetGroupCells(static_cast<int>(i), *pDlg->m_library.GetGroup(i));
  }
  pDlg->UpdateCaption();
}

void CTabrixDlg::OpenPhrases(int nItem, bool bFind) {
  if (!IsGroupRow(nItem)) return;
  CPhraseDlg dlg(m_library, m_history, static_cast<uint32_t>(nItem), this);
  dlg.m_bFindFirst = bFind;
  dlg.m_funChanged = &CTabrixDlg::GroupCountsChanged;
  dlg.m_pChangedData = this;
  dlg.DoModal();
  UpdateCaption();
}

BOOL CTabrixDlg::PreTranslateMessage(MSG* pMsg) {
  // Enter on a row of the group list opens its phrases; elsewhere it presses
  // the default button "保存" as before.
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN && pMsg->hwnd == m_ctrlList.m_hWnd) {
    const int nItem = m_ctrlList.GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED);
    if (IsGroupRow(nItem)) {
      OpenPhrases(nItem);
      return TRUE;
    }
  }
  if (OnShortcutKey(*pMsg)) return TRUE;
  return CDialog::PreTranslateMessage(pMsg);
}

void CTabrixDlg::OnGroupContextMenu(LPARAM lParam) {
  POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  int nItem = -1;
  if (lParam == -1) {
    // The menu key or Shift+F10: the focused row's group, the menu below it.
    nItem = m_ctrlList.GetNextItem(-1, LVNI_FOCUSED);
    if (!IsGroupRow(nItem)) nItem = m_ctrlList.GetSelectionMark();
    RECT rc = {};
    if (IsGroupRow(nItem)) {
      rc.left = LVIR_LABEL;
      m_ctrlList.SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(nItem),
                             reinterpret_cast<LPARAM>(&rc));
    }
    pt = {rc.left, rc.bottom};
    ::ClientToScreen(m_ctrlList.m_hWnd, &pt);
  } else {
    LVHITTESTINFO hit = {};
    hit.pt = pt;
    ::ScreenToClient(m_ctrlList.m_hWnd, &hit.pt);
    nItem =
        static_cast<int>(m_ctrlList.SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  }
  if (!IsGroupRow(nItem)) nItem = -1;
  if (nItem >= 0) m_ctrlList.SetSelectionMark(nItem);

  CMenu menu;
  if (!menu.CreatePopupMenu()) return;
  for (const tagMENUENTRY& entry : kGroupMenu) {
    menu.AppendMenu(MF_STRING | (nItem >= 0 ? 0 : MF_GRAYED), entry.nID, entry.pszText);
  }
  menu.AppendMenu(MF_SEPARATOR);
  menu.AppendMenu(MF_STRING | (m_history.GetUndoCount() > 0 ? 0 : MF_GRAYED), IDM_GROUP_UNDO,
                  "撤销(&U)\tCtrl+Z");
  menu.AppendMenu(MF_STRING | (m_history.GetRedoCount() > 0 ? 0 : MF_GRAYED), IDM_GROUP_REDO,
                  "重做(&R)\tCtrl+Y");
  switch (menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, m_hWnd)) {
    case IDM_GROUP_PHRASES:
      OpenPhrases(nItem);
      break;
    case IDM_GROUP_FIND:
      OpenPhrases(nItem, true);
      break;
    case IDM_GROUP_DELETE:
      DeleteGroup(nItem);
      break;
    case IDM_GROUP_EXPORT:
      ExportGroup(nItem);
      break;
    case IDM_GROUP_UNDO:
      OnUndo();
      break;
    case IDM_GROUP_REDO:
      OnRedo();
      break;
    default:
      break;
  }
}

void CTabrixDlg::DeleteGroup(int nItem) {
  if (!IsGroupRow(nItem)) return;
  const tagGROUPINFO& group = *m_library.GetGroup(static_cast<uint32_t>(nItem));
  const std::string question =
      DeleteGroupQuestion(FieldText(group.szName, sizeof group.szName), group.dwCount);
  if (MessageBox(question.c_str(), nullptr, MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  if (!m_history.RemoveGroup(m_library, static_cast<uint32_t>(nItem))) {
    MessageBox(EditFailedMessage());
    return;
  }
  // The later groups move up a row; their ticks come from the library.
  LibraryChanged();
  const int nGroups = static_cast<int>(m_library.GetGroupCount());
  if (nGroups > 0) {
    const int nNext = nItem < nGroups ? nItem : nGroups - 1;
    m_bUpdating = 1;
    m_ctrlList.SetItemState(nNext, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_ctrlList.SetSelectionMark(nNext);
    m_bUpdating = 0;
  }
}

void CTabrixDlg::ExportGroup(int nItem) {
  if (!IsGroupRow(nItem)) return;
  const uint32_t g = static_cast<uint32_t>(nItem);
  const std::string offered = ExportFileName(*m_library.GetGroup(g));
  CFileDialog dlg(FALSE, kTextExt, offered.c_str(), OFN_OVERWRITEPROMPT, kTextFilter);
  if (dlg.DoModal() != IDOK) return;
  const std::string path = dlg.GetPathName();
  tagGROUPLIST list;
  // GBK lines, as the import reads them.
  WriteGroupList(m_library, g, GroupPhrasePositions(m_library, g), nullptr, nullptr, nullptr,
                 &list);
  const int nError = SaveBytesSafely(path.c_str(), list.strText.data(), list.strText.size());
  if (nError != SAVE_ERROR_NONE) {
    MessageBox(ExportFailedMessage(nError).c_str());
    return;
  }
  MessageBox(ExportDoneMessage(list.nWritten, list.nLeftOut, list.nHighFreq).c_str());
}
