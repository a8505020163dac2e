// The phrase window (dialog 174): the phrases of one group, or of the whole
// library, in a virtual list sorted by the column last clicked; a find box
// that filters as the user types; and the commands that delete the selected
// phrases, change their frequency, move them to another group, copy their
// texts and add a phrase to the window's group (buttons, and a context menu
// on the rows). Every change goes to the library at once as one step of its
// undo history; Ctrl+Z and Ctrl+Y take back and redo the window's own steps.
// After each the owner hears of it (m_funChanged) so that its group list
// shows the new counts.
//
// The window keeps the rows' selection itself (CRowSelection) and the list
// asks it for a row's selected state when it draws the row: the list control
// marks rows one by one, which on some systems takes minutes for a million.
// So clicks and the keys that select are the window's own, before the list
// sees them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "PhraseRows.h"
#include "PhraseSteps.h"
#include "RowSelection.h"
#include "framework/ComboBox.h"
#include "framework/Dialog.h"
#include "framework/ListCtrl.h"
#include "framework/ProgressCtrl.h"
#include "framework/ResizeLayout.h"
#include "resource.h"

class CEditHistory;
class CTabrix;

class CPhraseDlg : public CDialog {
 public:
  enum { IDD = IDD_PHRASES };
  // The list's columns; the group column shows only for the whole library.
  enum { COLUMN_TEXT, COLUMN_FREQ, COLUMN_GROUP };

  // The phrases of group nGroup of library: new phrases go to that group.
  // Every change goes through history, the library's undo history.
  CPhraseDlg(CTabrix& library, CEditHistory& history, uint32_t nGroup, CWnd* pParent = nullptr);

  typedef void (*ChangedFunc)(void* data);
  ChangedFunc m_funChanged;  // after every change of the library
  void* m_pChangedData;
  // The window opens with the focus in its find box (Ctrl+F), not on the list.
  bool m_bFindFirst;
  // How many phrases a find looks at between two looks at the window's
  // messages: the find box takes keys and the list paints meanwhile.
  uint32_t m_nFindSlice;
  // A find that lasts longer than this many milliseconds shows how far it
  // has gone in a bar along the bottom of the list.
  uint32_t m_dwFindBarDelay;

  CListCtrl m_ctrlList;
  CComboBox m_ctrlTarget;
  CProgressCtrl m_ctrlFindBar;  // hidden but while a long find goes on

  const CPhraseRows& GetRows() const { return m_rows; }
  const CRowSelection& GetSelection() const { return m_sel; }
  bool IsWholeLibrary() const { return m_bWhole; }

  // Ctrl+Z and Ctrl+Y (and Ctrl+Shift+Z) anywhere but in an edit box, where
  // they stay the box's own undo of typing.
  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnClicked(UINT nID) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  // Rows again from the library, the find text and the scope, nothing
  // selected; the caption follows.
  void Refill();
  // The rows as they are now, nothing selected; the caption follows, and a
  // message when they could not all be built (memory). A find still going on
  // goes on a slice at a time from the window's messages.
  void ShowRows(bool bBuilt);
  // The list and the caption follow the rows found so far.
  void ShowRowsFound();
  // The bar of a long find, along the bottom of the list.
  void CreateFindBar();
  void ShowFindBar();
  // The next slice of the find, the rows found so far shown.
  void OnFindMore(WPARAM nSearch);
  // Rows again, with the phrases spot names selected where rows show them;
  // when none does, the row at the first position (or the next one). A find
  // that goes on selects them once it has searched past them.
  void ShowSpot(const tagPHRASESPOT& spot);
  void SelectSpot(const tagPHRASESPOT& spot);
  // Selects the rows that show these store positions (ascending), the first
  // focused and in view; false when no row shows any.
  bool SelectPositions(const std::vector<uint32_t>& arrPos);
  // Selects the row of store position pos, or the next one, or the last.
  void SelectNear(uint32_t pos);
  // The list's focus on row (one row's state, never the selection's), the
  // anchor of Shift there, and the row in view.
  void FocusRow(uint32_t row);
  // The selection changed: the list redrawn, the frequency box following.
  void SelectionChanged();
  // Clicks and keys on the list that select, handled before the list sees
  // them; true when handled.
  bool OnListClick(LPARAM lParam, WPARAM wParam, bool bRight);
  bool OnListKey(WPARAM vk);
  static LRESULT CALLBACK ListProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR nID, DWORD_PTR data);
  void OnColumnClick(int nColumn);
  void ShowSortArrow();
  void OnRowMenu(LPARAM lParam);
  void OnCopy();
  // The frequency box shows the first selected phrase's frequency; only when
  // that phrase is another than before, so that a frequency typed is kept
  // while the selection grows below it.
  void FollowSelection();
  void ShowGroupColumn(bool bShow);
  void FillTargets();
  void UpdateCaption();
  void Changed();

  void OnFindChanged();
  void OnWholeClicked();
  void OnDelete();
  void OnSetFrequency();
  void OnAdd();
  void OnMove();
  void OnGetDispInfo(NMHDR* pHdr);
  void OnKeyDown(const NMLVKEYDOWN* pKey);
  void OnUndo(bool bRedo);

  CTabrix& m_library;
  CPhraseSteps m_steps;  // the window's edits, through the library's history
  uint32_t m_nGroup;
  bool m_bWhole;
  std::string m_strNeedle;
  bool m_bNeedleValid;  // false: the find text has no GBK form, so nothing matches
  CPhraseRows m_rows;
  CRowSelection m_sel;
  uint32_t m_nAnchor;           // where Shift selects from; CRowSelection::NO_ROW: none
  uint32_t m_nFreqShownPos;     // whose frequency the box shows, NO_ROW_POS: none
  bool m_bSelecting;            // the window itself selects rows
  uint32_t m_nSearch;           // the find whose next slice the window awaits
  uint32_t m_dwFindStart;       // when the find began (GetTickCount)
  tagPHRASESPOT m_pendingSpot;  // selected when the find gets past it
  CResizeLayout m_layout;
  char m_szCell[64];  // a cell's text, handed to the list while it draws
  wchar_t m_wszCell[64];
};
