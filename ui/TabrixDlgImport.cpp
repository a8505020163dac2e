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
#include "ListImport.h"
#include "PhraseImport.h"
#include "PhraseMessages.h"
#include "PhraseRows.h"
#include "TabrixDlg.h"
#include "framework/FileDialog.h"
#include "framework/PathText.h"

namespace {

// ImportFile's result when the range boxes hold no valid range (said already).
const int IMPORT_RANGE_REFUSED = -100;

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

// A new group is named after the file chosen, even when a UTF-8 or UTF-16
// list is read from its GBK copy. The name is GBK like every library text (a
// character GBK lacks becomes '_'), cut at a whole character to fit its field.
std::string NewGroupName(const std::string& path) {
  return FitGroupName(PathTextInGbk(GroupTitleFromPath(path.c_str()), '_'));
}

}  // namespace

bool CTabrixDlg::ReadFrequencyRange(uint8_t* pMin, uint8_t* pMax) {
  const int boxes[2] = {IDC_FREQ_MIN, IDC_FREQ_MAX};
  uint8_t* values[2] = {pMin, pMax};
  for (int i = 0; i < 2; ++i) {
    // The phrase window's rule for a frequency: a whole number 0..250, never
    // the low bits of a larger one.
    if (ParsePhraseFrequency(GetDlgItemText(boxes[i]), values[i])) continue;
    MessageBox(FrequencyRangeInvalidMessage());
    HWND hBox = GetDlgItem(boxes[i]);
    ::SetFocus(hBox);
    ::SendMessageA(hBox, EM_SETSEL, 0, -1);
    return false;
  }
  return true;
}

int CTabrixDlg::MarkedGroup() {
  const int nMark = m_ctrlList.GetSelectionMark();
  if (IsGroupRow(nMark)) return nMark;
  MessageBox(NoGroupMarkedMessage());
  return -1;
}

int CTabrixDlg::ImportFile(const std::string& path, bool bNewGroup, uint8_t* pGroup,
                           tagIMPORTSTATS* pStats, bool* pDictionary) {
  tagIMPORTOPTIONS options = DefaultImportOptions();
  if (!ReadFrequencyRange(&options.byMinFreq, &options.byMaxFreq)) return IMPORT_RANGE_REFUSED;
  options.funProgress = &CTabrixDlg::ProgressToBar;
  options.pProgressData = this;
  options.pHistory = &m_history;
  // A dictionary's own title comes before the file's.
  const std::string title = NewGroupName(path);
  options.pszTitle = title.c_str();

  const int nFormat = DetectDictFormat(path.c_str());
  *pDictionary = nFormat != DICT_FORMAT_TEXT;
  if (*pDictionary) {
    tagREADFAULT fault = {};
    const int result = ImportDictionary(m_library, path.c_str(), nFormat, options, bNewGroup,
                                        pGroup, pStats, &fault);
    ResetProgress();
    if (result == IMPORT_DAMAGED)
      MessageBox(
          DictionaryFailedMessage(nFormat, PathTextInGbk(FileTitleFromPath(path.c_str())), fault)
              .c_str());
    return result;
  }
  CGbkSource source;
  const int nOpened = source.Open(path.c_str(), SOURCE_MODE_AUTO);
  if (nOpened == SOURCE_NOT_TEXT) {
    MessageBox(NotTextMessage(PathTextInGbk(FileTitleFromPath(path.c_str())), source.GetTextFault(),
                              source.GetFaultLine(), source.GetFaultByte())
                   .c_str());
    return IMPORT_NOT_TEXT;
  }
  if (nOpened != SOURCE_OK) return IMPORT_OPEN_FAILED;
  tagREADFAULT fault = {};
  const int result =
      ImportSourceList(m_library, source, options, bNewGroup, pGroup, pStats, &fault);
  ResetProgress();
  if (result == IMPORT_DAMAGED)
    MessageBox(DictionaryFailedMessage(DICT_FORMAT_COLUMNS,
                                       PathTextInGbk(FileTitleFromPath(path.c_str())), fault)
                   .c_str());
  return result;
}

void CTabrixDlg::OnImportNewGroup() {
  // The range is checked before a file is asked for.
  uint8_t byMin = 0, byMax = 0;
  if (!ReadFrequencyRange(&byMin, &byMax)) return;
  CFileDialog dlg(TRUE, kTextExt, nullptr, 0, kImportFilter);
  if (dlg.DoModal() != IDOK) return;
  ImportNewGroupFrom(dlg.GetPathName());
}

std::string CTabrixDlg::ImportNewGroupFrom(const std::string& path) {
  uint8_t group = TABRIX_NO_GROUP;
  tagIMPORTSTATS stats = {};
  bool bDictionary = false;
  const int result = ImportFile(path, true, &group, &stats, &bDictionary);
  if (result == IMPORT_OPEN_FAILED) {
    MessageBox("打开文件失败");
    return std::string();
  }
  if (result == IMPORT_GROUP_FAILED) {
    MessageBox(NewGroupFailedMessage(m_library.GetGroupCount(), NewGroupName(path).size()));
    return std::string();
  }
  if (result == IMPORT_NOTHING_ADDED) {
    const std::string status = ShowImportStatus(path, stats);
    MessageBox(NothingImportedMessage(stats, true).c_str());
    return status;
  }
  if (result != IMPORT_OK) return std::string();

  const tagGROUPINFO info = *m_library.GetGroup(group);
  m_bUpdating = 1;
  m_ctrlList.InsertItem(group, FieldText(info.szName, sizeof info.szName).c_str());
  // A list's header may tick its group.
  if (info.bEnable) m_ctrlList.SetCheck(group, TRUE);
  m_bUpdating = 0;
  SetGroupCells(group, info);
  UpdateCaption();
  return ShowSkipped(path, stats, bDictionary);
}

void CTabrixDlg::OnImportToGroup() {
  const int current = MarkedGroup();
  if (current < 0) return;
  uint8_t byMin = 0, byMax = 0;
  if (!ReadFrequencyRange(&byMin, &byMax)) return;
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
  if (result == IMPORT_NOTHING_ADDED) {
    ShowImportStatus(path, stats);
    MessageBox(NothingImportedMessage(stats, false).c_str());
    return;
  }
  if (result != IMPORT_OK) return;
  const tagGROUPINFO info = *m_library.GetGroup(static_cast<uint32_t>(current));
  char count[16];
  std::snprintf(count, sizeof count, "%u", static_cast<unsigned>(info.dwCount));
  m_ctrlList.SetItemText(current, 1, count);
  UpdateCaption();
  ShowSkipped(path, stats, bDictionary);
}

std::string CTabrixDlg::ShowImportStatus(const std::string& path, const tagIMPORTSTATS& stats) {
  const std::string status = ImportStatusText(FileNameForDisplay(path), stats);
  if (m_ctrlStatus.m_hWnd) m_ctrlStatus.SetText(status.c_str());
  return status;
}

std::string CTabrixDlg::ShowSkipped(const std::string& path, const tagIMPORTSTATS& stats,
                                    bool bDictionary) {
  const std::string status = ShowImportStatus(path, stats);
  const std::string text = ImportSkippedMessage(stats.nNoGbkForm, stats.nUndecodable, bDictionary);
  if (!text.empty()) MessageBox(text.c_str());
  return status;
}
