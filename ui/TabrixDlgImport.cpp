// The two import commands of the main dialog: a phrase list or another input
// method's dictionary as a new group, or into the group at the list's
// selection mark.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

#include "DictImport.h"
#include "GbkSource.h"
#include "GroupPropLogic.h"
#include "LibraryMessages.h"
#include "PhraseImport.h"
#include "TabrixDlg.h"
#include "framework/FileDialog.h"

namespace {

// Text files first, as the editor always offered them; then each dictionary
// format, and every format at once.
const char kImportFilter[] =
    "文本文件(*.txt)|*.txt|"
    "搜狗细胞词库(*.scel)|*.scel|"
    "百度细胞词库(*.bdict)|*.bdict|"
    "QQ拼音词库(*.qpyd)|*.qpyd|"
    "Rime 词典(*.dict.yaml)|*.dict.yaml|"
    "所有支持的文件(*.txt;*.scel;*.bdict;*.qpyd;*.dict.yaml)|*.txt;*.scel;*.bdict;*.qpyd;*.dict."
    "yaml||";
const char kTextExt[] = "txt";

}  // namespace

void CTabrixDlg::ReadFrequencyRange(uint8_t* pMin, uint8_t* pMax) const {
  *pMin = RangeFieldValue(GetDlgItemText(IDC_FREQ_MIN).c_str());
  *pMax = RangeFieldValue(GetDlgItemText(IDC_FREQ_MAX).c_str());
}

int CTabrixDlg::ImportFile(const std::string& path, bool bNewGroup, uint8_t* pGroup,
                           tagIMPORTSTATS* pStats, bool* pDictionary) {
  tagIMPORTOPTIONS options = DefaultImportOptions();
  ReadFrequencyRange(&options.byMinFreq, &options.byMaxFreq);
  options.funProgress = &CTabrixDlg::ProgressToBar;
  options.pProgressData = this;
  options.pHistory = &m_history;
  // The group is named after the file chosen, even when a UTF-8 or UTF-16
  // list is read from its GBK copy; a dictionary's own title comes first.
  const std::string title = GroupTitleFromPath(path.c_str());
  options.pszTitle = title.c_str();

  const int nFormat = DetectDictFormat(path.c_str());
  *pDictionary = nFormat != DICT_FORMAT_TEXT;
  if (*pDictionary) {
    std::string error;
    const int result = ImportDictionary(m_library, path.c_str(), nFormat, options, bNewGroup,
                                        pGroup, pStats, &error);
    if (result == IMPORT_DAMAGED)
      MessageBox(DictionaryFailedMessage(nFormat, FileTitleFromPath(path.c_str()), error).c_str());
    return result;
  }
  CGbkSource source;
  if (source.Open(path.c_str(), SOURCE_MODE_AUTO) != SOURCE_OK) return IMPORT_OPEN_FAILED;
  const int result = bNewGroup
                         ? ImportNewGroup(m_library, source.GetPath(), options, pGroup, pStats)
                         : ImportToGroup(m_library, *pGroup, source.GetPath(), options, pStats);
  pStats->nNoGbkForm = source.GetNoGbkForm();
  pStats->nUndecodable = source.GetUndecodable();
  return result;
}

void CTabrixDlg::OnImportNewGroup() {
  CFileDialog dlg(TRUE, kTextExt, nullptr, 0, kImportFilter);
  if (dlg.DoModal() != IDOK) return;
  ImportNewGroupFrom(dlg.GetPathName());
}

void CTabrixDlg::ImportNewGroupFrom(const std::string& path) {
  uint8_t group = TABRIX_NO_GROUP;
  tagIMPORTSTATS stats = {};
  bool bDictionary = false;
  const int result = ImportFile(path, true, &group, &stats, &bDictionary);
  if (result == IMPORT_OPEN_FAILED) {
    MessageBox("打开文件失败");
    return;
  }
  if (result == IMPORT_GROUP_FAILED) {
    MessageBox("无法新建组：组数已满，或文件名太长");
    return;
  }
  if (result != IMPORT_OK) return;

  const tagGROUPINFO info = *m_library.GetGroup(group);
  m_bUpdating = 1;
  m_ctrlList.InsertItem(group, FieldText(info.szName, sizeof info.szName).c_str());
  m_bUpdating = 0;
  SetGroupCells(group, info);
  UpdateCaption();
  ShowSkipped(stats, bDictionary);
}

void CTabrixDlg::OnImportToGroup() {
  const int current = m_ctrlList.GetSelectionMark();
  // No mark, or a mark on a row that shows no group: nothing to import into.
  if (current < 0 || static_cast<uint32_t>(current) >= m_library.GetGroupCount()) return;
  CFileDialog dlg(TRUE, kTextExt, nullptr, 0, kImportFilter);
  if (dlg.DoModal() != IDOK) return;
  const std::string path = dlg.GetPathName();
  uint8_t group = static_cast<uint8_t>(current);
  tagIMPORTSTATS stats = {};
  bool bDictionary = false;
  const int result = ImportFile(path, false, &group, &stats, &bDictionary);
  if (result == IMPORT_OPEN_FAILED) {
    MessageBox("打开文件失败");
    return;
  }
  if (result != IMPORT_OK) return;
  const tagGROUPINFO info = *m_library.GetGroup(static_cast<uint32_t>(current));
  char count[16];
  std::snprintf(count, sizeof count, "%u", static_cast<unsigned>(info.dwCount));
  m_ctrlList.SetItemText(current, 1, count);
  UpdateCaption();
  ShowSkipped(stats, bDictionary);
}

void CTabrixDlg::ShowSkipped(const tagIMPORTSTATS& stats, bool bDictionary) {
  if (m_ctrlStatus.m_hWnd) m_ctrlStatus.SetText(ImportStatusText(stats).c_str());
  const std::string text = ImportSkippedMessage(stats.nNoGbkForm, stats.nUndecodable, bDictionary);
  if (!text.empty()) MessageBox(text.c_str());
}
