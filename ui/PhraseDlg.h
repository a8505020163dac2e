// The phrase window (dialog 174): the phrases of one group, or of the whole
// library, in a virtual list; a find box that filters as the user types; and
// the commands that delete the selected phrases, change their frequency, move
// them to another group and add a phrase. Every change goes to the library at
// once, and the owner hears of it (m_funChanged) so that its group list shows
// the new counts.
#pragma once

#include <cstdint>
#include <string>

#include "PhraseRows.h"
#include "framework/ComboBox.h"
#include "framework/Dialog.h"
#include "framework/ListCtrl.h"
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

  CListCtrl m_ctrlList;
  CComboBox m_ctrlTarget;

  const CPhraseRows& GetRows() const { return m_rows; }
  bool IsWholeLibrary() const { return m_bWhole; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnClicked(UINT nID) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  // Rows again from the library, the find text and the scope; the caption
  // follows. nSelectPos: the store position whose row (or the next one) is
  // selected afterwards, UINT32_MAX for none.
  void Refill(uint32_t nSelectPos);
  void ShowGroupColumn(bool bShow);
  void FillTargets();
  void UpdateCaption();
  void Changed();
  // A control's text as GBK; false when it holds a character GBK lacks.
  bool GetGbkText(int nID, std::string* pText) const;

  void OnFindChanged();
  void OnWholeClicked();
  void OnDelete();
  void OnSetFrequency();
  void OnAdd();
  void OnMove();
  void OnGetDispInfo(NMHDR* pHdr);
  void OnKeyDown(const NMLVKEYDOWN* pKey);

  CTabrix& m_library;
  CEditHistory& m_history;
  uint32_t m_nGroup;
  bool m_bWhole;
  std::string m_strNeedle;
  bool m_bNeedleValid;  // false: the find text has no GBK form, so nothing matches
  CPhraseRows m_rows;
  CResizeLayout m_layout;
  char m_szCell[64];  // a cell's text, handed to the list while it draws
  wchar_t m_wszCell[64];
};
