// The library's session in the main dialog: its file and the caption that
// names it, the question before modified work would be dropped, saving to
// the library's own file, undo and redo, and the keys that reach them.
#include <string>

#include "FileNames.h"
#include "LibraryMessages.h"
#include "PhraseMessages.h"
#include "TabrixDlg.h"
#include "framework/FileDialog.h"
#include "framework/PathText.h"

namespace {

// The file's own name, without its folder, as the system spells it.
std::wstring WideFileName(const std::string& path) {
  const std::wstring wide = WidePath(path.c_str());
  const size_t slash = wide.find_last_of(L"\\/");
  return slash == std::wstring::npos ? wide : wide.substr(slash + 1);
}

bool IsKeyDown(int nKey) { return (::GetKeyState(nKey) & 0x8000) != 0; }

}  // namespace

void CTabrixDlg::UpdateCaption() {
  if (m_hWnd == nullptr) return;
  std::wstring caption = WideFromGbk(m_strBaseCaption);
  const std::string& path = m_history.GetFileName();
  if (!path.empty()) caption += L" - " + WideFileName(path);
  if (m_history.IsModified()) caption += L" *";
  SetWindowTextWide(caption.c_str());
}

std::string CTabrixDlg::FileNameForDisplay(const std::string& path) {
  return GbkFromWide(WideFileName(path), '?');
}

void CTabrixDlg::ShowLibraryStatus(bool bSaved, const std::string& path) {
  if (!m_ctrlStatus.m_hWnd) return;
  m_ctrlStatus.SetText(LibraryStatusText(bSaved, FileNameForDisplay(path),
                                         m_library.GetGroupCount(),
                                         m_library.m_arrPhrase.GetCount())
                           .c_str());
}

void CTabrixDlg::LibraryChanged() {
  RefreshGroupList();
  UpdateCaption();
}

bool CTabrixDlg::SaveChangesFirst() {
  if (!m_history.IsModified()) return true;
  switch (MessageBox(SaveChangesQuestion(), nullptr, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return SaveLibrary(m_history.GetFileName().empty(), false);
    case IDNO:
      return true;
    default:
      return false;
  }
}

bool CTabrixDlg::SaveLibrary(bool bAskName, bool bReport) {
  std::string path = m_history.GetFileName();
  if (bAskName || path.empty()) {
    // The library's own file is offered; the dialog asks before replacing
    // a file that exists.
    CFileDialog dlg(FALSE, kLibraryExt, path.empty() ? nullptr : path.c_str(), OFN_OVERWRITEPROMPT,
                    kLibraryFilter);
    if (dlg.DoModal() != IDOK) return false;
    path = dlg.GetPathName();
  }
  int nError = 0;
  const int nSaved = m_library.Save(path.c_str(), &nError);
  ResetProgress();
  if (!nSaved) {
    MessageBox(SaveFailedMessage(nError).c_str());
    return false;
  }
  m_history.SetFileName(path);
  m_history.MarkSaved();
  m_recovery.OnSaved();  // --- recovery file: nothing unsaved to keep
  UpdateCaption();
  ShowLibraryStatus(true, path);
  if (bReport) MessageBox("保存完成，您可以在云笺的词库管理页面中安装该词库");
  return true;
}

void CTabrixDlg::OnSave() { SaveLibrary(true, true); }

void CTabrixDlg::OnCancel() {
  // Esc, the close box, Alt+F4 and "退出" all end here.
  if (!SaveChangesFirst()) return;
  CDialog::OnCancel();
}

void CTabrixDlg::OnUndo() {
  if (!m_history.Undo(m_library)) return;
  AfterHistoryStep();
}

void CTabrixDlg::OnRedo() {
  if (!m_history.Redo(m_library)) return;
  AfterHistoryStep();
}

void CTabrixDlg::AfterHistoryStep() {
  const int nMark = m_ctrlList.GetSelectionMark();
  LibraryChanged();
  // The row marked before stays marked while it shows a group.
  if (IsGroupRow(nMark)) {
    m_bUpdating = 1;
    m_ctrlList.SetItemState(nMark, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_ctrlList.SetSelectionMark(nMark);
    m_bUpdating = 0;
  }
}

void CTabrixDlg::SetUpKeyboard() {
  // Reading order, whatever the template's order of creation.
  const int order[] = {IDC_GROUP_LIST,     IDC_CLEAR,    IDC_IMPORT_NEW_GROUP, IDC_IMPORT_TO_GROUP,
                       IDC_SET_GROUP_PROP, IDCANCEL,     IDC_PROGRESS,         IDC_LOAD_CURRENT,
                       IDC_LOAD,           IDC_FREQ_MIN, IDC_FREQ_MAX,         IDC_SAVE};
  HWND hAfter = HWND_TOP;
  for (int nID : order) {
    HWND hWnd = GetDlgItem(nID);
    if (!hWnd) continue;
    ::SetWindowPos(hWnd, hAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    hAfter = hWnd;
  }
  if (!m_ctrlTips.Create(this)) return;
  const struct {
    int nID;
    const char* pszTip;
  } tips[] = {{IDC_LOAD, "载入词库文件 (Ctrl+O)"},
              {IDC_IMPORT_NEW_GROUP, "导入文本文件或词库为新组 (Ctrl+I)"},
              {IDC_IMPORT_TO_GROUP, "导入文本文件或词库到选中的组"},
              {IDC_SET_GROUP_PROP, "设定选中的组的名称、编辑和备注 (F2)"},
              {IDC_SAVE, "另存词库 (保存到原文件：Ctrl+S)"},
              {IDC_CLEAR, "清空词库 (可以撤销：Ctrl+Z)"},
              {IDC_GROUP_LIST, "查看选中的组的词条 (Enter)，查找词条 (Ctrl+F)，删除组 (Del)"}};
  for (const auto& tip : tips) m_ctrlTips.AddWindowTool(this, GetDlgItem(tip.nID), tip.pszTip);
}

BOOL CTabrixDlg::OnShortcutKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN) return FALSE;
  char szClass[16] = {};
  ::GetClassNameA(msg.hwnd, szClass, sizeof szClass);
  const bool bInEdit = ::lstrcmpiA(szClass, "Edit") == 0;
  const bool bCtrl = IsKeyDown(VK_CONTROL) && !IsKeyDown(VK_MENU);
  // Enter in a range box would press the default button and open the save
  // dialog: it does nothing there.
  if (msg.wParam == VK_RETURN && bInEdit && !bCtrl) return TRUE;
  if (!bCtrl) {
    if (msg.wParam == VK_F2 && !IsKeyDown(VK_SHIFT) && !IsKeyDown(VK_MENU)) {
      OnSetGroupProp();
      return TRUE;
    }
    if (msg.wParam == VK_DELETE && msg.hwnd == m_ctrlList.m_hWnd && !IsKeyDown(VK_SHIFT) &&
        !IsKeyDown(VK_MENU)) {
      DeleteGroup(m_ctrlList.GetSelectionMark());
      return TRUE;
    }
    return FALSE;
  }
  // An edit box keeps its own Ctrl+Z (its typing); the library's undo is
  // for the list and the buttons.
  switch (msg.wParam) {
    case 'O':
      OnLoad();
      return TRUE;
    case 'I':
      OnImportNewGroup();
      return TRUE;
    case 'F': {
      // The marked group's phrases, ready to find in; none marked says so.
      const int nGroup = MarkedGroup();
      if (nGroup >= 0) OpenPhrases(nGroup, true);
      return TRUE;
    }
    case 'S':
      SaveLibrary(false, false);
      return TRUE;
    case 'Z':
      if (bInEdit) return FALSE;
      if (IsKeyDown(VK_SHIFT)) {
        OnRedo();
      } else {
        OnUndo();
      }
      return TRUE;
    case 'Y':
      if (bInEdit) return FALSE;
      OnRedo();
      return TRUE;
    default:
      return FALSE;
  }
}
