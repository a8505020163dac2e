// The two import commands of the main dialog: a phrase-list text file as a
// new group, or into the group at the list's selection mark.
#include <climits>
#include <cstdio>
#include <cstdint>
#include <string>

#include "GbkSource.h"
#include "GroupPropLogic.h"
#include "LibraryMessages.h"
#include "PhraseImport.h"
#include "TabrixDlg.h"
#include "framework/FileDialog.h"

namespace {

const char kTextFilter[] = "文本文件(*.txt)|*.txt||";
const char kTextExt[] = "txt";

}  // namespace

void CTabrixDlg::ReadFrequencyRange(uint8_t* pMin, uint8_t* pMax) const {
  *pMin = RangeFieldValue(GetDlgItemText(IDC_FREQ_MIN).c_str());
  *pMax = RangeFieldValue(GetDlgItemText(IDC_FREQ_MAX).c_str());
}

void CTabrixDlg::OnImportNewGroup() {
  CFileDialog dlg(TRUE, kTextExt, nullptr, 0, kTextFilter);
  if (dlg.DoModal() != IDOK) return;
  tagIMPORTOPTIONS options = DefaultImportOptions();
  ReadFrequencyRange(&options.byMinFreq, &options.byMaxFreq);
  options.funProgress = &CTabrixDlg::ProgressToBar;
  options.pProgressData = this;

  const std::string path = dlg.GetPathName();
  // A UTF-8 or UTF-16 list is read from its GBK copy; the group is still
  // named after the file chosen.
  const std::string title = GroupTitleFromPath(path.c_str());
  options.pszTitle = title.c_str();
  CGbkSource source;
  if (source.Open(path.c_str(), SOURCE_MODE_AUTO) != SOURCE_OK) {
    MessageBox("打开文件失败");
    return;
  }
  uint8_t group = TABRIX_NO_GROUP;
  const int result = ImportNewGroup(m_library, source.GetPath(), options, &group, nullptr);
  if (result == IMPORT_OPEN_FAILED) {
    MessageBox("打开文件失败");
    return;
  }
  if (result != IMPORT_OK) {
    MessageBox("无法新建组：组数已满，或文件名太长");
    return;
  }

  const tagGROUPINFO info = *m_library.GetGroup(group);
  m_bUpdating = 1;
  m_ctrlList.InsertItem(group, FieldText(info.szName, sizeof info.szName).c_str());
  m_bUpdating = 0;
  SetGroupCells(group, info);
  ShowSkippedLines(source);
}

void CTabrixDlg::OnImportToGroup() {
  const int current = m_ctrlList.GetSelectionMark();
  // No mark, or a mark on a row that shows no group: nothing to import into.
  if (current < 0 || static_cast<uint32_t>(current) >= m_library.GetGroupCount()) return;
  CFileDialog dlg(TRUE, kTextExt, nullptr, 0, kTextFilter);
  if (dlg.DoModal() != IDOK) return;
  tagIMPORTOPTIONS options = DefaultImportOptions();
  ReadFrequencyRange(&options.byMinFreq, &options.byMaxFreq);
  options.funProgress = &CTabrixDlg::ProgressToBar;
  options.pProgressData = this;

  const std::string path = dlg.GetPathName();
  CGbkSource source;
  if (source.Open(path.c_str(), SOURCE_MODE_AUTO) != SOURCE_OK) {
    MessageBox("打开文件失败");
    return;
  }
  const int result =
      ImportToGroup(m_library, static_cast<uint8_t>(current), source.GetPath(), options, nullptr);
  if (result == IMPORT_OPEN_FAILED) {
    MessageBox("打开文件失败");
    return;
  }
  if (result != IMPORT_OK) return;
  const tagGROUPINFO info = *m_library.GetGroup(static_cast<uint32_t>(current));
  char count[16];
  std::snprintf(count, sizeof count, "%u", static_cast<unsigned>(info.dwCount));
  m_ctrlList.SetItemText(current, 1, count);
  ShowSkippedLines(source);
}

void CTabrixDlg::ShowSkippedLines(const CGbkSource& source) {
  const std::string text = ImportSkippedMessage(source.GetNoGbkForm(), source.GetUndecodable());
  if (!text.empty()) MessageBox(text.c_str());
}
