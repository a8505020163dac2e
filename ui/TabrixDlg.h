// The main dialog: the library's groups as rows of a checkbox list, and the
// commands that clear, load, import, edit and save the library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "EditHistory.h"
#include "ImportStats.h"

#include "ProgressThrottle.h"
#include "RecoveryKeeper.h"
#include "Tabrix.h"
#include "framework/Dialog.h"
#include "framework/ListCtrl.h"
#include "framework/ProgressCtrl.h"
#include "framework/ResizeLayout.h"
#include "framework/StatusBar.h"
#include "framework/ToolTipCtrl.h"
#include "resource.h"

// The library files the load and save dialogs offer.
inline constexpr char kLibraryFilter[] = "青柚云笺词库文件(*.wbk)|*.wbk||";
inline constexpr char kLibraryExt[] = "wbk";

class CTabrixDlg : public CDialog {
 public:
  enum { IDD = IDD_TABRIX_DIALOG };

  explicit CTabrixDlg(CWnd* pParent = nullptr);
  ~CTabrixDlg() override;

  CTabrix m_library;
  // Every change of m_library goes through it: undo, redo, and whether the
  // library differs from its file.
  CEditHistory m_history;
  // The library in a recovery file while it has unsaved changes; the files
  // of sessions that ended without saving offered at start.
  CRecoveryKeeper m_recovery;
  int32_t m_bUpdating;  // nonzero while the program itself creates rows
  CProgressCtrl m_ctrlProgress;
  CListCtrl m_ctrlList;
  // Along the bottom: what the last load, save or import did.
  CStatusBar m_ctrlStatus;
  HICON m_hIcon;

  // Rebuilds every row from m_library: row i shows group i.
  void RefreshGroupList();
  // The library's progress callback; data is the dialog.
  static void ProgressToBar(int32_t stage, int32_t value, void* data);
  // The imports' progress callback: the text file's length and read

  // The progress bar through its throttle: the range 0..nUpper is set at
  // once; a position is sent only when the bar would show it differently and
  // a moment has passed since its last move, and EndProgress sends the last
  // position held back, so the bar ends where every position sent would have
  // left it.
  void BeginProgress(int nUpper);
  void StepProgress(int nPos) {
    if (!m_progressThrottle.Step(nPos)) return;
    m_ctrlProgress.SetPos(nPos);
    KeepPainting();
  }
  // While a long load, save or import holds the thread, at each move of the
  // bar: the thread's windows repaint what needs it; clicks, keys and the
  // messages of other programs wait for the end.
  static void KeepPainting();
  void EndProgress();
  // The bar back at zero once a load, save or import has done its work,
  // whatever the outcome, so that it never looks as if something still ran.
  void ResetProgress() { m_ctrlProgress.SetPos(0); }

  BOOL PreTranslateMessage(MSG* pMsg) override;
  // The command keys anywhere in the window: Ctrl+S, Ctrl+Z, Ctrl+Y (and
  // Ctrl+Shift+Z), Ctrl+O, Ctrl+I, Ctrl+F, F2, Del on the list; Enter in an edit box
  // does nothing. TRUE when the key was one of them.
  BOOL OnShortcutKey(const MSG& msg);
  // The buttons' tooltips, which name their keys.
  CToolTipCtrl m_ctrlTips;
  // Files given on the command line, opened once the window shows.
  std::vector<std::string> m_arrStartFiles;
  // Files handed over by the system: one library file is loaded (as "载入"),
  // the other files are imported as new groups (as "导入新组"), in order.
  // Several library files at once are refused with a message.
  void OpenFiles(const std::vector<std::string>& paths);
  // The commands on group row nItem: its phrases in the phrase window (with
  // the focus in its find box when bFind), deleting it after a confirmation,
  // exporting it as a phrase list.
  void OpenPhrases(int nItem, bool bFind = false);
  void DeleteGroup(int nItem);
  void ExportGroup(int nItem);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  BOOL OnClicked(UINT nID) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnSysCommand(UINT nID, LPARAM lParam) override;
  BOOL OnPaint() override;
  HCURSOR OnQueryDragIcon() override;

  void OnItemChangedList(NMHDR* pNMHDR, LRESULT* pResult);
  void OnCancel() override;
  void OnClear();
  void OnLoad();
  void OnSave();
  void OnLoadCurrent();
  // Loads path and shows its groups in place of the library, as one step of
  // the history; a file that cannot be read leaves the library as it was
  // and says pszFailure. True when the library was replaced (a damaged
  // file's recovered part included).
  bool LoadAndShow(const std::string& path, const char* pszFailure);

  // The session (TabrixDlgSession.cpp). The caption: the program's, the
  // library's file name, and " *" while it is modified.
  void UpdateCaption();
  // Rows and caption again after a change of the whole library.
  void LibraryChanged();
  // Asks "词库已修改，是否保存？" when the library is modified. True to go on
  // (saved, or "否"); false to stay as things are ("取消", or a save that
  // failed or was cancelled).
  bool SaveChangesFirst();
  // Saves to the library's own file, or through the save dialog when
  // bAskName or when it has none. bReport: the message after a save that
  // worked. True when saved.
  bool SaveLibrary(bool bAskName, bool bReport);
  // The status bar after a load or a save of path.
  void ShowLibraryStatus(bool bSaved, const std::string& path);
  // A path's own name, without its folder, as GBK text for the window.
  static std::string FileNameForDisplay(const std::string& path);
  void OnUndo();
  void OnRedo();
  void AfterHistoryStep();
  void OnImportNewGroup();
  // "导入新组" of a file already chosen; the status bar's text it showed
  // (empty when the file was refused).
  std::string ImportNewGroupFrom(const std::string& path);
  void OnDropFiles(HDROP hDrop);
  void OnImportToGroup();
  void OnSetGroupProp();
  void ShowAboutBox();
  BOOL OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  // The group list's context menu at a screen point (-1: from the keyboard).
  void OnGroupContextMenu(LPARAM lParam);
  bool IsGroupRow(int nItem) const;
  // The phrase window's change callback: every row's count again.
  static void GroupCountsChanged(void* data);

  // Row nItem's cells 1..3 from group nItem (count, editor, remark).
  void SetGroupCells(int nItem, const tagGROUPINFO& group);
  // The frequency range of the imports, from edit boxes IDC_FREQ_MIN and
  // IDC_FREQ_MAX: whole numbers 0..250. Otherwise says so, puts the focus on
  // the box at fault and returns false.
  bool ReadFrequencyRange(uint8_t* pMin, uint8_t* pMax);
  // The group at the list's selection mark; -1 (and a message saying to
  // choose one) when no row of a group is marked.
  int MarkedGroup();
  // A phrase list or a dictionary (its format found from the file) as a new
  // group or into *pGroup; a damaged dictionary is named in a message here.
  // *pDictionary: the file was read as a dictionary, not as a phrase list.
  int ImportFile(const std::string& path, bool bNewGroup, uint8_t* pGroup, tagIMPORTSTATS* pStats,
                 bool* pDictionary);
  // One message naming what an import left out before its checks, if anything.
  std::string ShowSkipped(const std::string& path, const tagIMPORTSTATS& stats, bool bDictionary);
  // The status bar: what the import of path did and how it read the file.
  std::string ShowImportStatus(const std::string& path, const tagIMPORTSTATS& stats);

  // The window is sizable: the list grows with it, the buttons keep to
  // their edges, the status bar to the bottom.
  void MakeSizable();
  // Tab in reading order (the list, the buttons beside it top to bottom, the
  // row below left to right), and the buttons' tooltips.
  void SetUpKeyboard();

 private:
  CProgressThrottle m_progressThrottle;
  CResizeLayout m_layout;
  std::string m_strBaseCaption;  // the template's caption
};
