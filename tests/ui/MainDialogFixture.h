// The main dialog created modeless from its template, with a script that
// answers its file dialogs and records its message boxes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScratchDir.h"
#include "TabrixApp.h"
#include "TabrixDlg.h"
#include "UiTestSupport.h"
#include "framework/UiScript.h"

// The main dialog, also noting the flag m_bUpdating at each notification of
// the group list.
class CProbeDlg : public CTabrixDlg {
 public:
  struct tagSEEN {
    UINT code;
    int nItem;
    int32_t bUpdating;
  };
  std::vector<tagSEEN> m_seen;

  size_t CountSeen(UINT code) const;
  bool UpdatingAtEvery(UINT code) const;

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// Every position sent to a progress bar while it lives, through a subclass.
class CBarPositions {
 public:
  explicit CBarPositions(HWND hWnd);
  ~CBarPositions();
  CBarPositions(const CBarPositions&) = delete;
  CBarPositions& operator=(const CBarPositions&) = delete;

  std::vector<int> m_arrPos;
  // The position the bar showed before it went back to zero at the end; -1
  // when it did not end at zero or never moved before.
  int LastBeforeReset() const;

 private:
  static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR ref);
  HWND m_hWnd;
};

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The message a click on button nID sends to the dialog.
  void Click(int nID);
  // "载入" answered with path.
  void LoadFile(const std::string& path);

  // Marks row nRow as a click on it does: selected, focused, the mark.
  void MarkRow(int nRow);

  int RowCount() const { return m_dlg.m_ctrlList.GetItemCount(); }
  std::string Cell(int nRow, int nCol) const { return m_dlg.m_ctrlList.GetItemText(nRow, nCol); }
  std::vector<std::string> Row(int nRow) const;
  // The row's state image: 1 empty box, 2 ticked.
  UINT Image(int nRow) const;
  int32_t Enable(uint32_t group) { return m_dlg.m_library.GetGroup(group)->bEnable; }
  uint32_t GroupCount() const { return m_dlg.m_library.GetGroupCount(); }
  uint32_t PhraseCount() const { return m_dlg.m_library.m_arrPhrase.GetCount(); }
  void ProgressState(int* pLow, int* pHigh, int* pPos) const;
  // The texts of the message boxes shown so far.
  std::vector<std::string> MessageTexts() const;

  // Three groups: 成语 (ticked, 3 phrases), 地名 (2 phrases), 人名 (bEnable 5,
  // no phrases).
  static std::vector<tagTESTGROUP> SampleGroups();
  // Writes SampleGroups() to a scratch file and loads it through "载入".
  void LoadSample();

  CUiScript m_script;  // outlives the dialog
  CProbeDlg m_dlg;
  CScratchDir m_scratch;
  std::string m_strSample;  // in m_scratch
};
