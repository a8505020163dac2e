// The phrase window and the group commands of the main list, with the real
// controls: opened by double-click, Enter and the context menu; find,
// delete, change frequency, add and move phrases, each undone and redone
// with Ctrl+Z and Ctrl+Y; delete and export a group.
// The phrase window is modal: each test's checks run in the script's step,
// once the window is initialised.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "LibraryBody.h"
#include "MainDialogFixture.h"
#include "PhraseDlg.h"
#include "PhraseMessages.h"

namespace {

// Store order is byte order: 三心二意 (C8FD) < 十全十美 (CAAE) < 一心一意 (D2BB).
const std::vector<std::string> kIdiomsInStoreOrder = {"三心二意", "十全十美", "一心一意"};

void PressNow(CDialog& dlg, int nID) {
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                  reinterpret_cast<LPARAM>(dlg.GetDlgItem(nID)));
}

// Typing into an edit box: its text set, the box tells the dialog (EN_CHANGE).
void Type(CDialog& dlg, int nID, const std::string& text) {
  ::SetWindowTextA(dlg.GetDlgItem(nID), text.c_str());
}

std::string ListCell(CPhraseDlg& dlg, int nRow, int nCol) {
  return dlg.m_ctrlList.GetItemText(nRow, nCol);
}

std::vector<std::string> ListTexts(CPhraseDlg& dlg) {
  std::vector<std::string> texts;
  for (int i = 0; i < dlg.m_ctrlList.GetItemCount(); ++i) texts.push_back(ListCell(dlg, i, 0));
  return texts;
}

// A click on row nRow of the list, with the keys of flags (MK_CONTROL,
// MK_SHIFT) held, as the mouse sends it; the row is scrolled into view first.
void ClickRow(CPhraseDlg& dlg, int nRow, WPARAM flags = 0, UINT message = WM_LBUTTONDOWN) {
  dlg.m_ctrlList.EnsureVisible(nRow, FALSE);
  RECT rc = {};
  rc.left = LVIR_BOUNDS;
  ASSERT_TRUE(dlg.m_ctrlList.SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(nRow),
                                         reinterpret_cast<LPARAM>(&rc)));
  const LPARAM at = MAKELPARAM(rc.left + 5, (rc.top + rc.bottom) / 2);
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, message, flags | MK_LBUTTON, at);
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, message + 1, flags, at);
}

// The rows selected as a person does: a click on the first, Ctrl+click on
// the others.
void SelectRows(CPhraseDlg& dlg, const std::vector<int>& rows) {
  for (size_t i = 0; i < rows.size(); ++i) ClickRow(dlg, rows[i], i ? MK_CONTROL : 0);
}

// A key pressed in the list, as the keyboard sends it.
void KeyInList(CPhraseDlg& dlg, WPARAM key) {
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_KEYDOWN, key, 1);
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_KEYUP, key, 0xC0000001);
}

void SetKeyDown(int nKey, bool bDown) {
  BYTE keys[256];
  ::GetKeyboardState(keys);
  keys[nKey] = bDown ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

// Ctrl+key (with Shift too when asked) pressed while control nID has the
// focus: the keys go through the message loop, the window's own handling of
// keys first, as a person's do.
void CtrlKey(CPhraseDlg& dlg, int nID, WPARAM key, bool bShift = false) {
  HWND hWnd = dlg.GetDlgItem(nID);
  ::SetFocus(hWnd);
  SetKeyDown(VK_CONTROL, true);
  SetKeyDown(VK_SHIFT, bShift);
  ::PostMessageA(hWnd, WM_KEYDOWN, key, 1);
  ::PostMessageA(hWnd, WM_KEYUP, key, 0xC0000001);
  PumpMessages();
  SetKeyDown(VK_SHIFT, false);
  SetKeyDown(VK_CONTROL, false);
}

// Characters typed into an edit box one by one, so that its own undo
// remembers them (ASCII: a character of two bytes would need the input
// method's messages).
void TypeKeys(CPhraseDlg& dlg, int nID, const std::wstring& text) {
  HWND hWnd = dlg.GetDlgItem(nID);
  ::SetFocus(hWnd);
  for (wchar_t c : text) ::PostMessageW(hWnd, WM_CHAR, c, 1);
  PumpMessages();
}

std::vector<std::string> SelectedTexts(CPhraseDlg& dlg) {
  std::vector<std::string> texts;
  for (int row : dlg.m_ctrlList.GetSelectedRows()) texts.push_back(ListCell(dlg, row, 0));
  return texts;
}

// The focused row is the first selected one, and the list shows it.
void ExpectFocusedInView(CPhraseDlg& dlg, const char* pszWhen) {
  const int nFocused = dlg.m_ctrlList.GetNextItem(-1, LVNI_FOCUSED);
  EXPECT_EQ(dlg.m_ctrlList.GetNextItem(-1, LVNI_SELECTED), nFocused) << pszWhen;
  const int nTop = static_cast<int>(dlg.m_ctrlList.SendMessage(LVM_GETTOPINDEX));
  const int nPage = static_cast<int>(dlg.m_ctrlList.SendMessage(LVM_GETCOUNTPERPAGE));
  EXPECT_LE(nTop, nFocused) << pszWhen;
  EXPECT_LT(nFocused, nTop + nPage) << pszWhen;
}

class PhraseWindowTest : public MainDialogTest {
 protected:
  void SetUp() override {
    MainDialogTest::SetUp();
    LoadSample();
  }

  // Runs step on the phrase window that open() opens.
  void WithPhraseWindow(const std::function<void()>& open,
                        const std::function<void(CPhraseDlg&)>& step) {
    bool bRan = false;
    m_script.OnModalDialog([&](CDialog& dlg) {
      bRan = true;
      CPhraseDlg* pDlg = dynamic_cast<CPhraseDlg*>(&dlg);
      ASSERT_NE(nullptr, pDlg);
      step(*pDlg);
      dlg.EndDialog(IDCANCEL);
    });
    open();
    PumpMessages();
    EXPECT_TRUE(bRan) << "the phrase window did not open";
    EXPECT_EQ(0u, m_script.PendingModalSteps());
  }

  // The group list's context menu from the keyboard on row nRow, answered
  // with the command nChoice.
  void MenuOnRow(int nRow, UINT nChoice) {
    MarkRow(nRow);
    m_script.ChooseMenuItem(nChoice);
    m_dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_dlg.m_ctrlList.m_hWnd), -1);
  }

  void OpenByMenu(int nRow, const std::function<void(CPhraseDlg&)>& step) {
    WithPhraseWindow([&] { MenuOnRow(nRow, IDM_GROUP_PHRASES); }, step);
  }

  std::vector<char> Bytes() {
    return LibraryBodyBytes(m_dlg.m_library, m_scratch.Path("body.bin"));
  }

  // The main list's counts are the library's.
  void ExpectCountsFollow(const char* pszWhen) {
    for (uint32_t g = 0; g < GroupCount(); ++g) {
      EXPECT_EQ(std::to_string(m_dlg.m_library.GetGroup(g)->dwCount), Cell(static_cast<int>(g), 1))
          << pszWhen << ", group " << g;
    }
  }

  uint8_t Frequency(const char* pszText) {
    uint32_t pos = 0;
    EXPECT_TRUE(m_dlg.m_library.FindPhrase(pszText, &pos, nullptr)) << pszText;
    return m_dlg.m_library.m_arrPhrase.GetAt(pos)->byFreq;
  }

  std::vector<std::string> GroupTexts(uint32_t g) {
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < PhraseCount(); ++i) {
      const tagPHRASE2* p = m_dlg.m_library.m_arrPhrase.GetAt(i);
      if (p->byGroup == g) texts.emplace_back(p->szWord, p->cLen);
    }
    return texts;
  }

  // Row nRow's centre in the group list's client coordinates.
  POINT RowCentre(int nRow) {
    RECT rc = {};
    rc.left = LVIR_LABEL;
    m_dlg.m_ctrlList.SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(nRow),
                                 reinterpret_cast<LPARAM>(&rc));
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  }
};

TEST_F(PhraseWindowTest, DoubleClickOnARowShowsItsGroupsPhrasesInStoreOrder) {
  WithPhraseWindow(
      [&] {
        const POINT pt = RowCentre(0);
        ::SendMessageA(m_dlg.m_ctrlList.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON,
                       MAKELPARAM(pt.x, pt.y));
      },
      [&](CPhraseDlg& dlg) {
        EXPECT_EQ("词条 - 成语（共 3 条）", WindowTextGbk(dlg.m_hWnd));
        EXPECT_NE(0u, dlg.m_ctrlList.GetStyle() & LVS_OWNERDATA);
        EXPECT_NE(0u, dlg.GetStyle() & WS_THICKFRAME);
        EXPECT_EQ(kIdiomsInStoreOrder, ListTexts(dlg));
        uint32_t pos = 0;
        ASSERT_TRUE(m_dlg.m_library.FindPhrase("三心二意", &pos, nullptr));
        EXPECT_EQ(std::to_string(m_dlg.m_library.m_arrPhrase.GetAt(pos)->byFreq),
                  ListCell(dlg, 0, CPhraseDlg::COLUMN_FREQ));
        EXPECT_EQ(2, dlg.m_ctrlList.GetColumnCount());
      });
  EXPECT_EQ(std::vector<UINT>{IDD_PHRASES}, m_script.m_modalDialogs);
}

TEST_F(PhraseWindowTest, EnterOnARowOpensItsPhrasesWhileEnterInARangeBoxDoesNothing) {
  MarkRow(1);
  WithPhraseWindow(
      [&] {
        ::SetFocus(m_dlg.m_ctrlList.m_hWnd);
        ::PostMessageA(m_dlg.m_ctrlList.m_hWnd, WM_KEYDOWN, VK_RETURN, 1);
      },
      [&](CPhraseDlg& dlg) {
        EXPECT_EQ("词条 - 地名（共 2 条）", WindowTextGbk(dlg.m_hWnd));
        EXPECT_EQ((std::vector<std::string>{"北京", "上海"}), ListTexts(dlg));
      });
  // Enter in a frequency box no longer presses "保存": no file dialog opens.
  ::SetFocus(m_dlg.GetDlgItem(IDC_FREQ_MIN));
  ::PostMessageA(m_dlg.GetDlgItem(IDC_FREQ_MIN), WM_KEYDOWN, VK_RETURN, 1);
  PumpMessages();
  EXPECT_EQ(1u, m_script.m_fileDialogs.size());  // the load's only
  EXPECT_EQ(m_dlg.GetDlgItem(IDC_FREQ_MIN), ::GetFocus());
}

TEST_F(PhraseWindowTest, CtrlFOpensTheMarkedGroupsPhrasesWithTheFindBoxFocused) {
  // Ctrl+F on the list: the marked group, the focus in the find box, where
  // typing filters at once.
  MarkRow(1);
  WithPhraseWindow(
      [&] {
        ::SetFocus(m_dlg.m_ctrlList.m_hWnd);
        SetKeyDown(VK_CONTROL, true);
        ::PostMessageA(m_dlg.m_ctrlList.m_hWnd, WM_KEYDOWN, 'F', 1);
        PumpMessages();
        SetKeyDown(VK_CONTROL, false);
      },
      [&](CPhraseDlg& dlg) {
        EXPECT_EQ("词条 - 地名（共 2 条）", WindowTextGbk(dlg.m_hWnd));
        EXPECT_EQ(dlg.GetDlgItem(IDC_PHRASE_FIND), ::GetFocus());
        Type(dlg, IDC_PHRASE_FIND, "海");
        EXPECT_EQ(std::vector<std::string>{"上海"}, ListTexts(dlg));
      });
  // The context menu's entry does the same.
  WithPhraseWindow([&] { MenuOnRow(0, IDM_GROUP_FIND); },
                   [&](CPhraseDlg& dlg) {
                     EXPECT_EQ("词条 - 成语（共 3 条）", WindowTextGbk(dlg.m_hWnd));
                     EXPECT_EQ(dlg.GetDlgItem(IDC_PHRASE_FIND), ::GetFocus());
                   });
  // No group marked: the key says to choose one, and no window opens.
  m_dlg.m_ctrlList.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  m_dlg.m_ctrlList.SetSelectionMark(-1);
  SetKeyDown(VK_CONTROL, true);
  ::PostMessageA(m_dlg.m_ctrlList.m_hWnd, WM_KEYDOWN, 'F', 1);
  PumpMessages();
  SetKeyDown(VK_CONTROL, false);
  EXPECT_EQ(2u, m_script.m_modalDialogs.size());
  ASSERT_FALSE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(NoGroupMarkedMessage(), m_script.m_messageBoxes.back().strText);
}

TEST_F(PhraseWindowTest, ContextMenuOffersTheGroupCommandsAndGraysThemOffARow) {
  WithPhraseWindow([&] { MenuOnRow(2, IDM_GROUP_PHRASES); },
                   [&](CPhraseDlg& dlg) {
                     EXPECT_EQ("词条 - 人名（共 0 条）", WindowTextGbk(dlg.m_hWnd));
                     EXPECT_EQ(0, dlg.m_ctrlList.GetItemCount());
                   });
  ASSERT_EQ(1u, m_script.m_popupMenus.size());
  const tagPOPUPMENUCALL& menu = m_script.m_popupMenus[0];
  ASSERT_EQ(7u, menu.arrItems.size());
  EXPECT_EQ("查看词条(&V)...\tEnter", menu.arrItems[0].strText);
  EXPECT_EQ("查找词条(&F)...\tCtrl+F", menu.arrItems[1].strText);
  EXPECT_EQ("删除组(&D)...\tDel", menu.arrItems[2].strText);
  EXPECT_EQ("导出为文本文件(&E)...", menu.arrItems[3].strText);
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(menu.arrItems[i].bGrayed) << menu.arrItems[i].strText;
  // Then the history's: the load can be undone, nothing redone.
  EXPECT_EQ(0u, menu.arrItems[4].nID);
  EXPECT_EQ("撤销(&U)\tCtrl+Z", menu.arrItems[5].strText);
  EXPECT_FALSE(menu.arrItems[5].bGrayed);
  EXPECT_EQ("重做(&R)\tCtrl+Y", menu.arrItems[6].strText);
  EXPECT_TRUE(menu.arrItems[6].bGrayed);
  EXPECT_EQ(m_dlg.m_hWnd, menu.hOwner);

  // A right click below the rows: nothing to act on.
  RECT rc;
  m_dlg.m_ctrlList.GetClientRect(&rc);
  POINT pt = {rc.right / 2, rc.bottom - 3};
  ::ClientToScreen(m_dlg.m_ctrlList.m_hWnd, &pt);
  m_script.ChooseMenuItem(0);
  m_dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_dlg.m_ctrlList.m_hWnd),
                    MAKELPARAM(pt.x, pt.y));
  ASSERT_EQ(2u, m_script.m_popupMenus.size());
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(m_script.m_popupMenus[1].arrItems[i].bGrayed);

  // A right click on row 1 acts on row 1, wherever the mark was.
  POINT onRow = RowCentre(1);
  ::ClientToScreen(m_dlg.m_ctrlList.m_hWnd, &onRow);
  WithPhraseWindow(
      [&] {
        m_script.ChooseMenuItem(IDM_GROUP_PHRASES);
        m_dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_dlg.m_ctrlList.m_hWnd),
                          MAKELPARAM(onRow.x, onRow.y));
      },
      [&](CPhraseDlg& dlg) { EXPECT_EQ("词条 - 地名（共 2 条）", WindowTextGbk(dlg.m_hWnd)); });
}

TEST_F(PhraseWindowTest, FindFiltersAsYouTypeInTheGroupOrTheWholeLibrary) {
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    Type(dlg, IDC_PHRASE_FIND, "心");
    EXPECT_EQ((std::vector<std::string>{"三心二意", "一心一意"}), ListTexts(dlg));
    EXPECT_EQ("词条 - 成语（共 3 条，找到 2 条）", WindowTextGbk(dlg.m_hWnd));
    Type(dlg, IDC_PHRASE_FIND, "京");
    EXPECT_EQ(0, dlg.m_ctrlList.GetItemCount());

    PressNow(dlg, IDC_PHRASE_WHOLE);  // not ticked by a message alone
    ::CheckDlgButton(dlg.m_hWnd, IDC_PHRASE_WHOLE, BST_CHECKED);
    PressNow(dlg, IDC_PHRASE_WHOLE);
    EXPECT_TRUE(dlg.IsWholeLibrary());
    EXPECT_EQ(3, dlg.m_ctrlList.GetColumnCount());
    ASSERT_EQ(1, dlg.m_ctrlList.GetItemCount());
    EXPECT_EQ("北京", ListCell(dlg, 0, CPhraseDlg::COLUMN_TEXT));
    EXPECT_EQ("地名", ListCell(dlg, 0, CPhraseDlg::COLUMN_GROUP));
    EXPECT_EQ("词条 - 整个词库（共 5 条，找到 1 条）", WindowTextGbk(dlg.m_hWnd));

    Type(dlg, IDC_PHRASE_FIND, "");
    EXPECT_EQ(5, dlg.m_ctrlList.GetItemCount());
    EXPECT_EQ("词条 - 整个词库（共 5 条）", WindowTextGbk(dlg.m_hWnd));
    // A character GBK lacks is in no phrase.
    ::SetWindowTextW(dlg.GetDlgItem(IDC_PHRASE_FIND), L"\U0001F600");
    EXPECT_EQ(0, dlg.m_ctrlList.GetItemCount());

    ::CheckDlgButton(dlg.m_hWnd, IDC_PHRASE_WHOLE, BST_UNCHECKED);
    PressNow(dlg, IDC_PHRASE_WHOLE);
    Type(dlg, IDC_PHRASE_FIND, "");
    EXPECT_EQ(2, dlg.m_ctrlList.GetColumnCount());
    EXPECT_EQ(kIdiomsInStoreOrder, ListTexts(dlg));
  });
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

// A find goes over the library a slice at a time from the window's own
// messages: between two slices the list shows the rows found so far, and a
// character typed meanwhile starts the find again.
TEST_F(PhraseWindowTest, AFindInSlicesShowsTheRowsFoundSoFarAndTakesTypingMeanwhile) {
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    dlg.m_nFindSlice = 1;  // one phrase a slice: five slices for the sample
    dlg.m_dwFindBarDelay = 0;
    HWND hBar = ::FindWindowExA(dlg.m_hWnd, nullptr, PROGRESS_CLASSA, nullptr);
    ASSERT_NE(nullptr, hBar);
    EXPECT_FALSE(::IsWindowVisible(hBar));
    ::CheckDlgButton(dlg.m_hWnd, IDC_PHRASE_WHOLE, BST_CHECKED);
    PressNow(dlg, IDC_PHRASE_WHOLE);
    EXPECT_EQ(5, dlg.m_ctrlList.GetItemCount());
    Type(dlg, IDC_PHRASE_FIND, "心");
    EXPECT_FALSE(dlg.GetRows().IsComplete());
    int nSlices = 1;
    int nShown = 0;
    MSG msg;
    // The window's next slice, one at a time.
    while (::PeekMessageA(&msg, dlg.m_hWnd, WM_APP + 1, WM_APP + 1, PM_REMOVE)) {
      ::DispatchMessageA(&msg);
      ++nSlices;
      EXPECT_EQ(static_cast<int>(dlg.GetRows().GetCount()), dlg.m_ctrlList.GetItemCount());
      EXPECT_LE(nShown, dlg.m_ctrlList.GetItemCount());
      nShown = dlg.m_ctrlList.GetItemCount();
      // The bar shows how much of the library the find has looked at, and
      // goes once the find has ended.
      EXPECT_EQ(!dlg.GetRows().IsComplete(), ::IsWindowVisible(hBar) != FALSE);
      if (!dlg.GetRows().IsComplete()) {
        EXPECT_EQ(nSlices, ::SendMessageA(hBar, PBM_GETPOS, 0, 0));
        EXPECT_EQ(5, ::SendMessageA(hBar, PBM_GETRANGE, FALSE, 0));
      }
    }
    EXPECT_EQ(5, nSlices);
    EXPECT_TRUE(dlg.GetRows().IsComplete());
    EXPECT_FALSE(::IsWindowVisible(hBar));
    EXPECT_EQ((std::vector<std::string>{"三心二意", "一心一意"}), ListTexts(dlg));
    EXPECT_EQ("词条 - 整个词库（共 5 条，找到 2 条）", WindowTextGbk(dlg.m_hWnd));

    // Typed over while a find goes on: the new find alone shows.
    Type(dlg, IDC_PHRASE_FIND, "意");
    ASSERT_TRUE(::PeekMessageA(&msg, dlg.m_hWnd, WM_APP + 1, WM_APP + 1, PM_REMOVE));
    ::DispatchMessageA(&msg);
    Type(dlg, IDC_PHRASE_FIND, "京");
    EXPECT_FALSE(dlg.GetRows().IsComplete());
    PumpMessages();
    EXPECT_TRUE(dlg.GetRows().IsComplete());
    EXPECT_EQ((std::vector<std::string>{"北京"}), ListTexts(dlg));
    EXPECT_EQ("词条 - 整个词库（共 5 条，找到 1 条）", WindowTextGbk(dlg.m_hWnd));
  });
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

// An edit while a find goes on: the find starts again, and the phrase moved
// is selected once the find's slices get to it, with no search of its own.
TEST_F(PhraseWindowTest, AnEditWhileAFindGoesOnSelectsThePhraseOnceTheFindGetsThere) {
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    dlg.m_nFindSlice = 1;
    ::CheckDlgButton(dlg.m_hWnd, IDC_PHRASE_WHOLE, BST_CHECKED);
    PressNow(dlg, IDC_PHRASE_WHOLE);
    Type(dlg, IDC_PHRASE_FIND, "心");
    MSG msg;
    while (dlg.GetRows().GetCount() == 0 &&
           ::PeekMessageA(&msg, dlg.m_hWnd, WM_APP + 1, WM_APP + 1, PM_REMOVE)) {
      ::DispatchMessageA(&msg);
    }
    ASSERT_FALSE(dlg.GetRows().IsComplete());
    ASSERT_EQ((std::vector<std::string>{"三心二意"}), ListTexts(dlg));
    SelectRows(dlg, {0});
    dlg.m_ctrlTarget.SetCurSel(2);
    PressNow(dlg, IDC_PHRASE_MOVE);
    EXPECT_FALSE(dlg.GetRows().IsComplete());
    EXPECT_TRUE(dlg.GetSelection().IsEmpty());  // not reached yet
    PumpMessages();
    EXPECT_TRUE(dlg.GetRows().IsComplete());
    EXPECT_EQ((std::vector<std::string>{"三心二意", "一心一意"}), ListTexts(dlg));
    EXPECT_EQ(std::vector<std::string>{"三心二意"}, SelectedTexts(dlg));
    EXPECT_EQ("人名", ListCell(dlg, 0, CPhraseDlg::COLUMN_GROUP));
  });
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(std::vector<std::string>{"三心二意"}, GroupTexts(2));
}

TEST_F(PhraseWindowTest, DelRemovesTheSelectedPhrasesAfterOneConfirmation) {
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    SelectRows(dlg, {0, 2});
    m_script.m_nMessageBoxResult = IDCANCEL;
    KeyInList(dlg, VK_DELETE);
    EXPECT_EQ(3, dlg.m_ctrlList.GetItemCount()) << "cancelled, yet removed";
    ASSERT_EQ(1u, m_script.m_messageBoxes.size());
    EXPECT_EQ("确实要删除选定的 2 个词条“三心二意”、“一心一意”吗？",
              m_script.m_messageBoxes[0].strText);
    EXPECT_EQ(dlg.m_hWnd, m_script.m_messageBoxes[0].hOwner);

    m_script.m_nMessageBoxResult = IDOK;
    KeyInList(dlg, VK_DELETE);
    EXPECT_EQ(2u, m_script.m_messageBoxes.size());
    EXPECT_EQ(std::vector<std::string>{"十全十美"}, ListTexts(dlg));
    EXPECT_EQ("词条 - 成语（共 1 条）", WindowTextGbk(dlg.m_hWnd));
    // The main list follows while the window is open.
    EXPECT_EQ("1", Cell(0, 1));
  });
  EXPECT_EQ(std::vector<std::string>{"十全十美"}, GroupTexts(0));
  EXPECT_EQ(3u, PhraseCount());
  EXPECT_EQ(1u, m_dlg.m_library.GetGroup(0)->dwCount);
}

TEST_F(PhraseWindowTest, CtrlASelectsEveryRowAndTheDeleteButtonTakesThemAll) {
  OpenByMenu(1, [&](CPhraseDlg& dlg) {
    BYTE keys[256];
    ASSERT_TRUE(::GetKeyboardState(keys));
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    KeyInList(dlg, 'A');
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_EQ(2u, dlg.m_ctrlList.GetSelectedCount());
    PressNow(dlg, IDC_PHRASE_DELETE);
    EXPECT_EQ(0, dlg.m_ctrlList.GetItemCount());
    // Nothing selected: said, not asked.
    PressNow(dlg, IDC_PHRASE_DELETE);
  });
  ASSERT_EQ(2u, m_script.m_messageBoxes.size());
  EXPECT_EQ("确实要删除选定的 2 个词条“北京”、“上海”吗？", m_script.m_messageBoxes[0].strText);
  EXPECT_EQ(NoPhraseSelectedMessage(), m_script.m_messageBoxes[1].strText);
  EXPECT_EQ("0", Cell(1, 1));
  EXPECT_TRUE(GroupTexts(1).empty());
}

TEST_F(PhraseWindowTest, FrequencyOfTheSelectedPhrasesChangesWithinTheRangeOnly) {
  uint32_t pos = 0;
  ASSERT_TRUE(m_dlg.m_library.FindPhrase("三心二意", &pos, nullptr));
  const uint8_t byBefore = m_dlg.m_library.m_arrPhrase.GetAt(pos)->byFreq;
  ASSERT_NE(200, byBefore);
  const std::string strBefore = std::to_string(byBefore);
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    SelectRows(dlg, {1, 2});
    const struct {
      const char* pszTyped;
      bool bTaken;
    } cases[] = {{"251", false}, {"-1", false}, {"x", false}, {"", false}, {" 200 ", true}};
    for (const auto& c : cases) {
      m_script.m_messageBoxes.clear();
      Type(dlg, IDC_PHRASE_FREQ, c.pszTyped);
      PressNow(dlg, IDC_PHRASE_SET_FREQ);
      if (c.bTaken) {
        EXPECT_TRUE(m_script.m_messageBoxes.empty()) << c.pszTyped;
      } else {
        ASSERT_EQ(1u, m_script.m_messageBoxes.size()) << c.pszTyped;
        EXPECT_EQ(FrequencyInvalidMessage(), m_script.m_messageBoxes[0].strText);
        EXPECT_EQ(strBefore, ListCell(dlg, 1, CPhraseDlg::COLUMN_FREQ)) << c.pszTyped;
      }
    }
    EXPECT_EQ(strBefore, ListCell(dlg, 0, CPhraseDlg::COLUMN_FREQ));
    EXPECT_EQ("200", ListCell(dlg, 1, CPhraseDlg::COLUMN_FREQ));
    EXPECT_EQ("200", ListCell(dlg, 2, CPhraseDlg::COLUMN_FREQ));
  });
  ASSERT_TRUE(m_dlg.m_library.FindPhrase("一心一意", &pos, nullptr));
  EXPECT_EQ(200, m_dlg.m_library.m_arrPhrase.GetAt(pos)->byFreq);
  ASSERT_TRUE(m_dlg.m_library.FindPhrase("三心二意", &pos, nullptr));
  EXPECT_EQ(byBefore, m_dlg.m_library.m_arrPhrase.GetAt(pos)->byFreq);
}

TEST_F(PhraseWindowTest, AddTakesANewPhraseAndNamesTheGroupThatHasATextAlready) {
  OpenByMenu(2, [&](CPhraseDlg& dlg) {
    const struct {
      const char* pszText;
      std::string strMessage;  // empty: added
    } cases[] = {
        {"北京", PhraseExistsMessage("北京", "地名")},
        {"一二三四五六七八九十一二三四五六", PhraseTooLongMessage()},  // 32 bytes
        {"", PhraseEmptyMessage()},
        {"两 个", PhraseBlankMessage()},
        {"张三丰", ""},
        {"一二三四五六七八九十一二三四五", ""},  // 30 bytes
    };
    Type(dlg, IDC_PHRASE_FREQ, "7");
    for (const auto& c : cases) {
      m_script.m_messageBoxes.clear();
      Type(dlg, IDC_PHRASE_TEXT, c.pszText);
      PressNow(dlg, IDC_PHRASE_ADD);
      if (c.strMessage.empty()) {
        EXPECT_TRUE(m_script.m_messageBoxes.empty()) << c.pszText;
        EXPECT_EQ("", WindowTextGbk(dlg.GetDlgItem(IDC_PHRASE_TEXT)));
      } else {
        ASSERT_EQ(1u, m_script.m_messageBoxes.size()) << c.pszText;
        EXPECT_EQ(c.strMessage, m_script.m_messageBoxes[0].strText);
      }
    }
    ::SetWindowTextW(dlg.GetDlgItem(IDC_PHRASE_TEXT), L"\U0001F600");
    m_script.m_messageBoxes.clear();
    PressNow(dlg, IDC_PHRASE_ADD);
    ASSERT_EQ(1u, m_script.m_messageBoxes.size());
    EXPECT_EQ(PhraseNoGbkFormMessage(), m_script.m_messageBoxes[0].strText);

    EXPECT_EQ((std::vector<std::string>{"一二三四五六七八九十一二三四五", "张三丰"}),
              ListTexts(dlg));
    EXPECT_EQ("7", ListCell(dlg, 1, CPhraseDlg::COLUMN_FREQ));
    EXPECT_EQ("词条 - 人名（共 2 条）", WindowTextGbk(dlg.m_hWnd));
    EXPECT_EQ("2", Cell(2, 1));
  });
  EXPECT_EQ(7u, PhraseCount());
}

TEST_F(PhraseWindowTest, MoveSendsTheSelectedPhrasesToTheGroupChosen) {
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    ASSERT_EQ(3, dlg.m_ctrlTarget.GetCount());
    EXPECT_EQ("人名", dlg.m_ctrlTarget.GetLBText(2));
    SelectRows(dlg, {0});
    PressNow(dlg, IDC_PHRASE_MOVE);  // no group chosen yet
    dlg.m_ctrlTarget.SetCurSel(2);
    PressNow(dlg, IDC_PHRASE_MOVE);
    EXPECT_EQ((std::vector<std::string>{"十全十美", "一心一意"}), ListTexts(dlg));
    EXPECT_EQ("2", Cell(0, 1));
    EXPECT_EQ("1", Cell(2, 1));
  });
  ASSERT_EQ(1u, m_script.m_messageBoxes.size());
  EXPECT_EQ(NoTargetGroupMessage(), m_script.m_messageBoxes[0].strText);
  EXPECT_EQ(std::vector<std::string>{"三心二意"}, GroupTexts(2));
  EXPECT_EQ(5u, PhraseCount());
}

TEST_F(PhraseWindowTest, CtrlZAndCtrlYUndoAndRedoEachChangeWhereverTheFocusIsOutsideTheBoxes) {
  // Store: 北京, 三心二意, 上海, 十全十美, 一心一意; the cases run one after
  // another in one window.
  const struct {
    const char* pszName;
    int nKeysOn;      // the control with the focus when the keys are pressed
    bool bShiftRedo;  // redo as Ctrl+Shift+Z
    std::function<void(CPhraseDlg&)> change;
    std::vector<std::string> undone;  // the rows selected after the undo
    std::vector<std::string> redone;  // and after the redo
  } cases[] = {
      {"frequency",
       IDC_PHRASE_SET_FREQ,
       false,
       [](CPhraseDlg& dlg) {
         SelectRows(dlg, {0, 2});
         Type(dlg, IDC_PHRASE_FREQ, "9");
         PressNow(dlg, IDC_PHRASE_SET_FREQ);
       },
       {"三心二意", "一心一意"},
       {"三心二意", "一心一意"}},
      {"move",
       IDC_PHRASE_TARGET,
       false,
       [](CPhraseDlg& dlg) {
         SelectRows(dlg, {1});
         dlg.m_ctrlTarget.SetCurSel(2);
         PressNow(dlg, IDC_PHRASE_MOVE);
       },
       {"十全十美"},
       {"一心一意"}},  // the row after it
      {"add",
       IDC_PHRASE_ADD,
       true,
       [](CPhraseDlg& dlg) {
         Type(dlg, IDC_PHRASE_TEXT, "一帆风顺");
         PressNow(dlg, IDC_PHRASE_ADD);
       },
       {"一心一意"},
       {"一帆风顺"}},
      {"delete",
       IDC_PHRASE_LIST,
       false,
       [](CPhraseDlg& dlg) {
         SelectRows(dlg, {0});
         PressNow(dlg, IDC_PHRASE_DELETE);
       },
       {"三心二意"},
       {"一帆风顺"}},
  };
  const std::vector<char> opened = Bytes();
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    // The caption and the main list follow the library.
    auto expectFollows = [&](const char* pszWhen) {
      const uint32_t n = m_dlg.m_library.GetGroup(0)->dwCount;
      EXPECT_EQ(static_cast<int>(n), dlg.m_ctrlList.GetItemCount()) << pszWhen;
      EXPECT_EQ(PhraseWindowCaption("成语", n, false, n), WindowTextGbk(dlg.m_hWnd)) << pszWhen;
      ExpectCountsFollow(pszWhen);
      ExpectFocusedInView(dlg, pszWhen);
    };
    for (const auto& c : cases) {
      const std::vector<char> before = Bytes();
      c.change(dlg);
      const std::vector<char> after = Bytes();
      ASSERT_NE(before, after) << c.pszName;

      CtrlKey(dlg, c.nKeysOn, 'Z');
      EXPECT_EQ(before, Bytes()) << c.pszName << " undone";
      EXPECT_EQ(c.undone, SelectedTexts(dlg)) << c.pszName << " undone";
      expectFollows(c.pszName);

      if (c.bShiftRedo) {
        CtrlKey(dlg, c.nKeysOn, 'Z', true);
      } else {
        CtrlKey(dlg, c.nKeysOn, 'Y');
      }
      EXPECT_EQ(after, Bytes()) << c.pszName << " redone";
      EXPECT_EQ(c.redone, SelectedTexts(dlg)) << c.pszName << " redone";
      expectFollows(c.pszName);
    }
    EXPECT_EQ("9", WindowTextGbk(dlg.GetDlgItem(IDC_PHRASE_FREQ)));
    for (size_t i = 0; i < std::size(cases); ++i) CtrlKey(dlg, IDC_PHRASE_LIST, 'Z');
    EXPECT_EQ(opened, Bytes());
    EXPECT_EQ("1", ListCell(dlg, 0, CPhraseDlg::COLUMN_FREQ));
    expectFollows("all undone");
  });
  EXPECT_EQ(1u, m_script.m_messageBoxes.size()) << "only the delete's question";
  EXPECT_EQ(std::size(cases), m_dlg.m_history.GetRedoCount());
}

TEST_F(PhraseWindowTest, TheWindowNeverUndoesOrRedoesAStepMadeBeforeItOpened) {
  // The main window's steps: one done, one done and undone.
  uint32_t pos = 0;
  ASSERT_TRUE(m_dlg.m_library.FindPhrase("北京", &pos, nullptr));
  ASSERT_EQ(1, m_dlg.m_history.SetFrequencyAt(m_dlg.m_library, &pos, 1, 99));
  ASSERT_EQ(1, m_dlg.m_history.MovePhrasesAt(m_dlg.m_library, &pos, 1, 2));
  ASSERT_EQ(1, m_dlg.m_history.Undo(m_dlg.m_library));
  const uint32_t nMainSteps = m_dlg.m_history.GetUndoCount();  // the load's too
  const std::vector<char> opened = Bytes();
  OpenByMenu(1, [&](CPhraseDlg& dlg) {
    CtrlKey(dlg, IDC_PHRASE_LIST, 'Z');
    CtrlKey(dlg, IDC_PHRASE_LIST, 'Y');
    EXPECT_EQ(opened, Bytes());
    SelectRows(dlg, {0, 1});
    PressNow(dlg, IDC_PHRASE_DELETE);
    EXPECT_EQ(0, dlg.m_ctrlList.GetItemCount());
    CtrlKey(dlg, IDC_PHRASE_LIST, 'Z');
    CtrlKey(dlg, IDC_PHRASE_LIST, 'Z');
    EXPECT_EQ(opened, Bytes());
    EXPECT_EQ((std::vector<std::string>{"北京", "上海"}), ListTexts(dlg));
    EXPECT_EQ((std::vector<std::string>{"北京", "上海"}), SelectedTexts(dlg));
    ExpectFocusedInView(dlg, "the group's phrases back");
  });
  EXPECT_EQ(99, Frequency("北京"));
  EXPECT_EQ(nMainSteps, m_dlg.m_history.GetUndoCount());
  // The window's delete; making it dropped the main window's undone move.
  EXPECT_EQ(1u, m_dlg.m_history.GetRedoCount());
}

TEST_F(PhraseWindowTest, InTheEditBoxesCtrlZUndoesTheTypingAndLeavesTheLibraryAlone) {
  ASSERT_TRUE(m_dlg.m_library.AddPhrase("xyz", 255, 1, 1, 0));
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    SelectRows(dlg, {2});  // 十全十美, after xyz and 三心二意
    PressNow(dlg, IDC_PHRASE_DELETE);
    const std::vector<char> deleted = Bytes();
    TypeKeys(dlg, IDC_PHRASE_FIND, L"y");
    EXPECT_EQ(std::vector<std::string>{"xyz"}, ListTexts(dlg));
    CtrlKey(dlg, IDC_PHRASE_FIND, 'Z');
    EXPECT_EQ("", WindowTextGbk(dlg.GetDlgItem(IDC_PHRASE_FIND)));
    EXPECT_EQ((std::vector<std::string>{"xyz", "三心二意", "一心一意"}), ListTexts(dlg));
    TypeKeys(dlg, IDC_PHRASE_TEXT, L"ab");
    EXPECT_EQ("ab", WindowTextGbk(dlg.GetDlgItem(IDC_PHRASE_TEXT)));
    CtrlKey(dlg, IDC_PHRASE_TEXT, 'Z');
    EXPECT_EQ("", WindowTextGbk(dlg.GetDlgItem(IDC_PHRASE_TEXT)));
    EXPECT_EQ(deleted, Bytes());

    // With a redo waiting, Ctrl+Y in a box leaves it waiting.
    CtrlKey(dlg, IDC_PHRASE_LIST, 'Z');
    const std::vector<char> restored = Bytes();
    ASSERT_NE(deleted, restored);
    CtrlKey(dlg, IDC_PHRASE_FREQ, 'Y');
    EXPECT_EQ(restored, Bytes());
    CtrlKey(dlg, IDC_PHRASE_LIST, 'Y');
    EXPECT_EQ(deleted, Bytes());
  });
}

TEST_F(PhraseWindowTest, AfterAddTheNewPhraseIsTheOneSelectedRowInViewEvenWhenTheFindHidIt) {
  // More rows than the list shows at once, sorting before the idioms.
  for (int i = 0; i < 60; ++i) {
    const std::string text = "p" + std::to_string(10 + i);
    ASSERT_TRUE(m_dlg.m_library.AddPhrase(text.c_str(), 255, 1, 1, 0));
  }
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    Type(dlg, IDC_PHRASE_FIND, "心");
    SelectRows(dlg, {0});
    Type(dlg, IDC_PHRASE_TEXT, "一帆风顺");
    PressNow(dlg, IDC_PHRASE_ADD);
    EXPECT_EQ("", WindowTextGbk(dlg.GetDlgItem(IDC_PHRASE_FIND)));
    EXPECT_EQ(64, dlg.m_ctrlList.GetItemCount());
    EXPECT_EQ(std::vector<std::string>{"一帆风顺"}, SelectedTexts(dlg));
    ExpectFocusedInView(dlg, "added under a find that hid it");
    // A delete right after takes the new phrase, and says so.
    PressNow(dlg, IDC_PHRASE_DELETE);
    ASSERT_EQ(1u, m_script.m_messageBoxes.size());
    EXPECT_EQ("确实要删除选定的 1 个词条“一帆风顺”吗？", m_script.m_messageBoxes[0].strText);
    EXPECT_EQ(0, m_dlg.m_library.FindPhrase("一帆风顺", nullptr, nullptr));
    EXPECT_EQ(1, m_dlg.m_library.FindPhrase("三心二意", nullptr, nullptr));

    // A find text that shows the new phrase stays.
    Type(dlg, IDC_PHRASE_FIND, "心");
    Type(dlg, IDC_PHRASE_TEXT, "心想事成");
    PressNow(dlg, IDC_PHRASE_ADD);
    EXPECT_EQ("心", WindowTextGbk(dlg.GetDlgItem(IDC_PHRASE_FIND)));
    EXPECT_EQ((std::vector<std::string>{"三心二意", "心想事成", "一心一意"}), ListTexts(dlg));
    EXPECT_EQ(std::vector<std::string>{"心想事成"}, SelectedTexts(dlg));

    // Many selected: the question names the first five.
    Type(dlg, IDC_PHRASE_FIND, "");
    SetKeyDown(VK_CONTROL, true);
    KeyInList(dlg, 'A');
    SetKeyDown(VK_CONTROL, false);
    m_script.m_nMessageBoxResult = IDCANCEL;
    PressNow(dlg, IDC_PHRASE_DELETE);
    ASSERT_EQ(2u, m_script.m_messageBoxes.size());
    EXPECT_EQ("确实要删除选定的 64 个词条“p10”、“p11”、“p12”、“p13”、“p14”等吗？",
              m_script.m_messageBoxes[1].strText);
    EXPECT_EQ(64, dlg.m_ctrlList.GetItemCount());
  });
}

TEST_F(PhraseWindowTest, WithTheWholeLibraryShownAddStillGoesToTheGroupTheWindowNames) {
  OpenByMenu(1, [&](CPhraseDlg& dlg) {
    HWND hLabel = dlg.GetDlgItem(IDC_PHRASE_ADD_GROUP);
    EXPECT_EQ(AddTargetLabel("地名"), WindowTextGbk(hLabel));
    ::CheckDlgButton(dlg.m_hWnd, IDC_PHRASE_WHOLE, BST_CHECKED);
    PressNow(dlg, IDC_PHRASE_WHOLE);
    dlg.m_ctrlTarget.SetCurSel(2);  // the move's group is not the add's
    EXPECT_TRUE(::IsWindowVisible(hLabel));
    EXPECT_EQ(AddTargetLabel("地名"), WindowTextGbk(hLabel));
    Type(dlg, IDC_PHRASE_TEXT, "广州");
    PressNow(dlg, IDC_PHRASE_ADD);
    ASSERT_EQ(std::vector<std::string>{"广州"}, SelectedTexts(dlg));
    const int nRow = dlg.m_ctrlList.GetNextItem(-1, LVNI_SELECTED);
    EXPECT_EQ("地名", ListCell(dlg, nRow, CPhraseDlg::COLUMN_GROUP));
  });
  uint8_t byGroup = 0;
  ASSERT_TRUE(m_dlg.m_library.FindPhrase("广州", nullptr, &byGroup));
  EXPECT_EQ(1, byGroup);
  EXPECT_EQ("3", Cell(1, 1));
}

TEST_F(PhraseWindowTest, TheFrequencyBoxShowsTheFirstSelectedPhrasesFrequency) {
  uint32_t pos = 0;
  ASSERT_TRUE(m_dlg.m_library.FindPhrase("十全十美", &pos, nullptr));
  m_dlg.m_library.m_arrPhrase.GetAt(pos)->byFreq = 42;
  ASSERT_TRUE(m_dlg.m_library.FindPhrase("一心一意", &pos, nullptr));
  m_dlg.m_library.m_arrPhrase.GetAt(pos)->byFreq = 7;
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    HWND hFreq = dlg.GetDlgItem(IDC_PHRASE_FREQ);
    SelectRows(dlg, {1});
    EXPECT_EQ("42", WindowTextGbk(hFreq));
    // "改词频" right after choosing keeps the phrase's frequency.
    PressNow(dlg, IDC_PHRASE_SET_FREQ);
    SelectRows(dlg, {2, 0});
    EXPECT_EQ("1", WindowTextGbk(hFreq));
    // A frequency typed stays while the selection grows below the first.
    SelectRows(dlg, {0});
    Type(dlg, IDC_PHRASE_FREQ, "200");
    ClickRow(dlg, 2, MK_CONTROL);
    EXPECT_EQ("200", WindowTextGbk(hFreq));
    SelectRows(dlg, {2});
    EXPECT_EQ("7", WindowTextGbk(hFreq));
  });
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(42, Frequency("十全十美"));
  EXPECT_EQ(7, Frequency("一心一意"));
}

TEST_F(PhraseWindowTest, TheWindowSizesWithTheListTakingTheSpace) {
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    RECT win, list, close;
    dlg.GetWindowRect(&win);
    ::GetWindowRect(dlg.m_ctrlList.m_hWnd, &list);
    ::GetWindowRect(dlg.GetDlgItem(IDCANCEL), &close);
    std::map<HWND, RECT> labels;
    for (HWND h = ::GetWindow(dlg.m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
      if (::GetDlgCtrlID(h) == IDC_STATIC) ::GetWindowRect(h, &labels[h]);
    }
    ASSERT_EQ(4u, labels.size());
    ::SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, win.right - win.left + 100, win.bottom - win.top + 80,
                   SWP_NOMOVE | SWP_NOZORDER);
    RECT list2, close2;
    ::GetWindowRect(dlg.m_ctrlList.m_hWnd, &list2);
    ::GetWindowRect(dlg.GetDlgItem(IDCANCEL), &close2);
    EXPECT_EQ(list.right - list.left + 100, list2.right - list2.left);
    EXPECT_EQ(list.bottom - list.top + 80, list2.bottom - list2.top);
    EXPECT_EQ(close.left - win.left + 100, close2.left - win.left);
    EXPECT_EQ(close.top - win.top + 80, close2.top - win.top);
    // The labels have no ids: the one above the list stays, those below move.
    for (HWND h = ::GetWindow(dlg.m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
      if (::GetDlgCtrlID(h) != IDC_STATIC) continue;
      const auto it = labels.find(h);
      ASSERT_NE(labels.end(), it);
      RECT now;
      ::GetWindowRect(h, &now);
      const bool bBelow = it->second.top > list.bottom;
      EXPECT_EQ(it->second.top - win.top + (bBelow ? 80 : 0), now.top - win.top)
          << WindowTextGbk(h);
    }
    // It never gets smaller than it opened.
    ::SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
    RECT small;
    dlg.GetWindowRect(&small);
    EXPECT_EQ(win.right - win.left, small.right - small.left);
  });
}

TEST_F(PhraseWindowTest, DeletingAGroupAsksWithItsCountAndKeepsTheOthersAsTheyWere) {
  m_script.m_nMessageBoxResult = IDCANCEL;
  MenuOnRow(0, IDM_GROUP_DELETE);
  EXPECT_EQ(3u, GroupCount());
  m_script.m_nMessageBoxResult = IDOK;
  MenuOnRow(0, IDM_GROUP_DELETE);
  ASSERT_EQ(2u, m_script.m_messageBoxes.size());
  EXPECT_EQ(DeleteGroupQuestion("成语", 3), m_script.m_messageBoxes[0].strText);
  EXPECT_EQ(m_dlg.m_hWnd, m_script.m_messageBoxes[1].hOwner);
  ASSERT_EQ(2u, GroupCount());
  ASSERT_EQ(2, RowCount());
  EXPECT_EQ((std::vector<std::string>{"地名", "2", "", ""}), Row(0));
  EXPECT_EQ((std::vector<std::string>{"人名", "0", "李四", "备注"}), Row(1));
  EXPECT_EQ(1u, Image(0));  // 地名 stays unticked
  EXPECT_EQ(2u, Image(1));  // 人名 stays ticked
  EXPECT_EQ(0, Enable(0));
  EXPECT_EQ((std::vector<std::string>{"北京", "上海"}), GroupTexts(0));
  EXPECT_EQ(2u, PhraseCount());
}

TEST_F(PhraseWindowTest, AnExportedGroupImportsBackAsTheSameGroup) {
  const std::string path = m_scratch.Path("exported.txt");
  m_script.AnswerFile(path);
  MenuOnRow(0, IDM_GROUP_EXPORT);
  ASSERT_EQ(2u, m_script.m_fileDialogs.size());
  const tagFILEDIALOGCALL& call = m_script.m_fileDialogs[1];
  EXPECT_FALSE(call.bOpen);
  EXPECT_EQ("txt", call.strDefExt);
  EXPECT_EQ("文本文件(*.txt)|*.txt||", call.strFilter);
  EXPECT_EQ(u8"成语.txt", call.strFileName);  // a path, UTF-8 like every path of the editor
  ASSERT_EQ(1u, m_script.m_messageBoxes.size());
  EXPECT_EQ(ExportDoneMessage(3, 0, 0), m_script.m_messageBoxes[0].strText);

  // Imported as a new group: the same name, editor, remark and phrases.
  const tagGROUPINFO before = *m_dlg.m_library.GetGroup(0);
  MenuOnRow(0, IDM_GROUP_DELETE);
  m_script.AnswerFile(path);
  Click(IDC_IMPORT_NEW_GROUP);
  ASSERT_EQ(3u, GroupCount());
  const tagGROUPINFO after = *m_dlg.m_library.GetGroup(2);
  EXPECT_STREQ(before.szName, after.szName);
  EXPECT_STREQ(before.szEditor, after.szEditor);
  EXPECT_STREQ(before.szRemark, after.szRemark);
  EXPECT_EQ(before.dwCount, after.dwCount);
  EXPECT_EQ(kIdiomsInStoreOrder, GroupTexts(2));
}

TEST_F(PhraseWindowTest, AFailedExportSaysWhyAndTouchesNothing) {
  m_script.AnswerFile(m_scratch.Path("no-such-folder\\x.txt"));
  MenuOnRow(1, IDM_GROUP_EXPORT);
  ASSERT_EQ(1u, m_script.m_messageBoxes.size());
  EXPECT_EQ(0u, m_script.m_messageBoxes[0].strText.find("导出失败\n"))
      << m_script.m_messageBoxes[0].strText;
  EXPECT_EQ(5u, PhraseCount());
}

}  // namespace

namespace {

// A click on column nColumn's header, as the mouse sends it.
void ClickHeader(CPhraseDlg& dlg, int nColumn) {
  HWND hHeader = reinterpret_cast<HWND>(dlg.m_ctrlList.SendMessage(LVM_GETHEADER));
  ASSERT_NE(nullptr, hHeader);
  RECT rc = {};
  ASSERT_TRUE(::SendMessageA(hHeader, HDM_GETITEMRECT, nColumn, reinterpret_cast<LPARAM>(&rc)));
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  ::SendMessageA(hHeader, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageA(hHeader, WM_LBUTTONUP, 0, at);
  PumpMessages();
}

// The header's sort arrows: "+" up, "-" down, "." none, a column each.
std::string Arrows(CPhraseDlg& dlg) {
  HWND hHeader = reinterpret_cast<HWND>(dlg.m_ctrlList.SendMessage(LVM_GETHEADER));
  std::string arrows;
  for (int i = 0; i < dlg.m_ctrlList.GetColumnCount(); ++i) {
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    ::SendMessageA(hHeader, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
    arrows += item.fmt & HDF_SORTUP ? '+' : item.fmt & HDF_SORTDOWN ? '-' : '.';
  }
  return arrows;
}

// A key pressed in the list with Ctrl and Shift as given.
void KeyWith(CPhraseDlg& dlg, WPARAM key, bool bCtrl, bool bShift) {
  SetKeyDown(VK_CONTROL, bCtrl);
  SetKeyDown(VK_SHIFT, bShift);
  KeyInList(dlg, key);
  SetKeyDown(VK_SHIFT, false);
  SetKeyDown(VK_CONTROL, false);
}

// The rows the list shows selected (it asks the window), and the window's own.
std::vector<int> ShownSelected(CPhraseDlg& dlg) { return dlg.m_ctrlList.GetSelectedRows(); }

std::string ClipboardText(HWND hOwner) {
  std::string text;
  if (!::OpenClipboard(hOwner)) return "(no clipboard)";
  if (HANDLE hData = ::GetClipboardData(CF_UNICODETEXT)) {
    const wchar_t* p = static_cast<const wchar_t*>(::GlobalLock(hData));
    char gbk[4096] = {};
    ::WideCharToMultiByte(936, 0, p, -1, gbk, sizeof gbk - 1, nullptr, nullptr);
    text = gbk;
    ::GlobalUnlock(hData);
  }
  ::CloseClipboard();
  return text;
}

class PhraseListTest : public PhraseWindowTest {
 protected:
  void SetFrequency(const char* pszText, uint8_t byFreq) {
    uint32_t pos = 0;
    ASSERT_TRUE(m_dlg.m_library.FindPhrase(pszText, &pos, nullptr)) << pszText;
    m_dlg.m_library.m_arrPhrase.GetAt(pos)->byFreq = byFreq;
  }
  void ShowWholeLibrary(CPhraseDlg& dlg) {
    ::CheckDlgButton(dlg.m_hWnd, IDC_PHRASE_WHOLE, BST_CHECKED);
    PressNow(dlg, IDC_PHRASE_WHOLE);
  }
};

TEST_F(PhraseListTest, AHeaderClickSortsByItsColumnAndASecondClickTurnsTheOrderRound) {
  // Text order: 北京 B1B1, 三心二意 C8FD, 上海 C9CF, 十全十美 CAAE, 一心一意 D2BB.
  SetFrequency("北京", 42);
  SetFrequency("三心二意", 5);
  SetFrequency("上海", 0);
  SetFrequency("十全十美", 42);
  SetFrequency("一心一意", 7);
  typedef std::vector<std::string> Texts;
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    EXPECT_EQ("+.", Arrows(dlg));
    ShowWholeLibrary(dlg);
    EXPECT_EQ((Texts{"北京", "三心二意", "上海", "十全十美", "一心一意"}), ListTexts(dlg));
    EXPECT_EQ("+..", Arrows(dlg));
    SelectRows(dlg, {4});  // 一心一意
    const struct {
      int nColumn;
      Texts texts;
      std::string arrows;
      int nSelected;  // 一心一意's row: it stays selected
    } clicks[] = {
        // Equal frequencies and groups keep text order.
        {CPhraseDlg::COLUMN_FREQ, {"上海", "三心二意", "一心一意", "北京", "十全十美"}, ".+.", 2},
        {CPhraseDlg::COLUMN_FREQ, {"北京", "十全十美", "一心一意", "三心二意", "上海"}, ".-.", 2},
        {CPhraseDlg::COLUMN_GROUP, {"三心二意", "十全十美", "一心一意", "北京", "上海"}, "..+", 2},
        {CPhraseDlg::COLUMN_GROUP, {"北京", "上海", "三心二意", "十全十美", "一心一意"}, "..-", 4},
        {CPhraseDlg::COLUMN_TEXT, {"北京", "三心二意", "上海", "十全十美", "一心一意"}, "+..", 4},
        {CPhraseDlg::COLUMN_TEXT, {"一心一意", "十全十美", "上海", "三心二意", "北京"}, "-..", 0},
    };
    for (const auto& c : clicks) {
      ClickHeader(dlg, c.nColumn);
      SCOPED_TRACE(c.arrows);
      EXPECT_EQ(c.texts, ListTexts(dlg));
      EXPECT_EQ(c.arrows, Arrows(dlg));
      EXPECT_EQ(std::vector<int>{c.nSelected}, ShownSelected(dlg));
      EXPECT_EQ("7", WindowTextGbk(dlg.GetDlgItem(IDC_PHRASE_FREQ)));
    }
    // The order holds while the find filters and after an edit.
    Type(dlg, IDC_PHRASE_FIND, "心");
    EXPECT_EQ((Texts{"一心一意", "三心二意"}), ListTexts(dlg));
    ClickHeader(dlg, CPhraseDlg::COLUMN_FREQ);
    SelectRows(dlg, {0});  // 三心二意 (frequency 5), to 地名
    dlg.m_ctrlTarget.SetCurSel(1);
    PressNow(dlg, IDC_PHRASE_MOVE);
    EXPECT_EQ((Texts{"三心二意", "一心一意"}), ListTexts(dlg));
    // Without the group column its order goes: back to text order.
    ClickHeader(dlg, CPhraseDlg::COLUMN_GROUP);
    ::CheckDlgButton(dlg.m_hWnd, IDC_PHRASE_WHOLE, BST_UNCHECKED);
    PressNow(dlg, IDC_PHRASE_WHOLE);
    EXPECT_EQ("+.", Arrows(dlg));
    EXPECT_EQ(Texts{"一心一意"}, ListTexts(dlg));
  });
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(PhraseListTest, ClicksAndKeysSelectAsInAListOfFilesAndTheListShowsIt) {
  for (int i = 0; i < 60; ++i) {
    const std::string text = "p" + std::to_string(10 + i);
    ASSERT_TRUE(m_dlg.m_library.AddPhrase(text.c_str(), 255, 1, 1, 0));
  }
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    ASSERT_EQ(63, dlg.m_ctrlList.GetItemCount());
    auto range = [](int first, int last) {
      std::vector<int> rows;
      for (int r = first; r <= last; ++r) rows.push_back(r);
      return rows;
    };
    ClickRow(dlg, 3);
    EXPECT_EQ(std::vector<int>{3}, ShownSelected(dlg));
    ClickRow(dlg, 6, MK_SHIFT);
    EXPECT_EQ(range(3, 6), ShownSelected(dlg));
    ClickRow(dlg, 9, MK_CONTROL);
    EXPECT_EQ((std::vector<int>{3, 4, 5, 6, 9}), ShownSelected(dlg));
    // Shift+End: from the anchor (the Ctrl+click's row) to the last row.
    KeyWith(dlg, VK_END, false, true);
    EXPECT_EQ(range(9, 62), ShownSelected(dlg));
    EXPECT_EQ(62, dlg.m_ctrlList.GetNextItem(-1, LVNI_FOCUSED));
    KeyWith(dlg, VK_HOME, false, true);
    EXPECT_EQ(range(0, 9), ShownSelected(dlg));
    KeyWith(dlg, VK_DOWN, false, false);
    EXPECT_EQ(std::vector<int>{1}, ShownSelected(dlg));
    KeyWith(dlg, VK_DOWN, false, true);
    KeyWith(dlg, VK_DOWN, false, true);
    EXPECT_EQ(range(1, 3), ShownSelected(dlg));
    // Ctrl+arrow moves the focus only; Ctrl+Space turns its row over.
    KeyWith(dlg, VK_DOWN, true, false);
    KeyWith(dlg, VK_DOWN, true, false);
    KeyWith(dlg, VK_SPACE, true, false);
    EXPECT_EQ((std::vector<int>{1, 2, 3, 5}), ShownSelected(dlg));
    KeyWith(dlg, 'A', true, false);
    EXPECT_EQ(range(0, 62), ShownSelected(dlg));
    EXPECT_EQ(63u, dlg.GetSelection().GetCount());
    EXPECT_EQ(1u, dlg.GetSelection().Ranges().size());
    // A click beside the rows (right of the last column) clears it; the
    // commands then say so.
    RECT rc;
    dlg.m_ctrlList.GetClientRect(&rc);
    const LPARAM beside = MAKELPARAM(rc.right - 3, rc.bottom / 2);
    ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, beside);
    ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_LBUTTONUP, 0, beside);
    EXPECT_EQ(std::vector<int>{}, ShownSelected(dlg));
    PressNow(dlg, IDC_PHRASE_DELETE);
    EXPECT_EQ(std::vector<std::string>{NoPhraseSelectedMessage()}, MessageTexts());
  });
}

TEST_F(PhraseListTest, TheRowsMenuDeletesChangesFrequencyMovesAndCopies) {
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    // A right click on a row not selected selects it alone; the menu comes.
    SelectRows(dlg, {0});
    m_script.ChooseMenuItem(0);
    const size_t nMenus = m_script.m_popupMenus.size();  // the group list's
    ClickRow(dlg, 2, 0, WM_RBUTTONDOWN);
    ASSERT_EQ(nMenus + 1, m_script.m_popupMenus.size());
    EXPECT_EQ(std::vector<int>{2}, ShownSelected(dlg));
    const tagPOPUPMENUCALL menu = m_script.m_popupMenus.back();
    EXPECT_EQ(dlg.m_hWnd, menu.hOwner);
    ASSERT_EQ(5u, menu.arrItems.size());
    EXPECT_EQ("删除(&D)...\tDel", menu.arrItems[0].strText);
    EXPECT_EQ("改词频(&F)...", menu.arrItems[1].strText);
    EXPECT_EQ("移动到(&M)", menu.arrItems[2].strText);
    EXPECT_EQ(0u, menu.arrItems[3].nID);
    EXPECT_EQ("复制(&C)\tCtrl+C", menu.arrItems[4].strText);
    for (const tagMENUITEM& item : menu.arrItems) {
      if (item.nID != 0) {
        EXPECT_FALSE(item.bGrayed) << item.strText;
      }
    }

    // 复制: the selected texts, one a line, in the rows' order.
    SelectRows(dlg, {2, 0});
    m_script.ChooseMenuItem(IDM_PHRASE_COPY);
    dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dlg.m_ctrlList.m_hWnd), -1);
    EXPECT_EQ("三心二意\r\n一心一意", ClipboardText(dlg.m_hWnd));
    // Ctrl+C does the same.
    SelectRows(dlg, {1});
    KeyWith(dlg, 'C', true, false);
    EXPECT_EQ("十全十美", ClipboardText(dlg.m_hWnd));

    // 改词频: the frequency box, its text selected, ready to be typed over.
    m_script.ChooseMenuItem(IDM_PHRASE_FREQ);
    dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dlg.m_ctrlList.m_hWnd), -1);
    EXPECT_EQ(dlg.GetDlgItem(IDC_PHRASE_FREQ), ::GetFocus());

    // 移动到 地名 (the submenu's second group).
    SelectRows(dlg, {0, 1});
    m_script.ChooseMenuItem(IDM_PHRASE_MOVE_FIRST + 1);
    dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dlg.m_ctrlList.m_hWnd), -1);
    EXPECT_EQ(std::vector<std::string>{"一心一意"}, ListTexts(dlg));

    // 删除, with its question.
    SelectRows(dlg, {0});
    m_script.ChooseMenuItem(IDM_PHRASE_DELETE);
    dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dlg.m_ctrlList.m_hWnd), -1);
    EXPECT_EQ(0, dlg.m_ctrlList.GetItemCount());
    ASSERT_EQ(1u, m_script.m_messageBoxes.size());
    EXPECT_EQ("确实要删除选定的 1 个词条“一心一意”吗？", m_script.m_messageBoxes[0].strText);

    // Nothing selected: the row commands are grey.
    m_script.ChooseMenuItem(0);
    dlg.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dlg.m_ctrlList.m_hWnd), -1);
    const tagPOPUPMENUCALL& empty = m_script.m_popupMenus.back();
    for (const tagMENUITEM& item : empty.arrItems) {
      if (item.nID != 0) {
        EXPECT_TRUE(item.bGrayed) << item.strText;
      }
    }
  });
  EXPECT_EQ((std::vector<std::string>{"北京", "三心二意", "上海", "十全十美"}), GroupTexts(1));
  EXPECT_EQ(std::vector<std::string>{}, GroupTexts(0));
  EXPECT_EQ(0, m_script.m_nUnexpected);
}

}  // namespace
