// The phrase window and the group commands of the main list, with the real
// controls: opened by double-click, Enter and the context menu; find,
// delete, change frequency, add and move phrases; delete and export a group.
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

void SelectRows(CPhraseDlg& dlg, const std::vector<int>& rows) {
  dlg.m_ctrlList.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  for (int row : rows) dlg.m_ctrlList.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}

// A key pressed in the list, as the keyboard sends it.
void KeyInList(CPhraseDlg& dlg, WPARAM key) {
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_KEYDOWN, key, 1);
  ::SendMessageA(dlg.m_ctrlList.m_hWnd, WM_KEYUP, key, 0xC0000001);
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

TEST_F(PhraseWindowTest, ContextMenuOffersTheGroupCommandsAndGraysThemOffARow) {
  WithPhraseWindow([&] { MenuOnRow(2, IDM_GROUP_PHRASES); },
                   [&](CPhraseDlg& dlg) {
                     EXPECT_EQ("词条 - 人名（共 0 条）", WindowTextGbk(dlg.m_hWnd));
                     EXPECT_EQ(0, dlg.m_ctrlList.GetItemCount());
                   });
  ASSERT_EQ(1u, m_script.m_popupMenus.size());
  const tagPOPUPMENUCALL& menu = m_script.m_popupMenus[0];
  ASSERT_EQ(6u, menu.arrItems.size());
  EXPECT_EQ("查看词条(&V)...\tEnter", menu.arrItems[0].strText);
  EXPECT_EQ("删除组(&D)...\tDel", menu.arrItems[1].strText);
  EXPECT_EQ("导出为文本文件(&E)...", menu.arrItems[2].strText);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(menu.arrItems[i].bGrayed) << menu.arrItems[i].strText;
  // Then the history's: the load can be undone, nothing redone.
  EXPECT_EQ(0u, menu.arrItems[3].nID);
  EXPECT_EQ("撤销(&U)\tCtrl+Z", menu.arrItems[4].strText);
  EXPECT_FALSE(menu.arrItems[4].bGrayed);
  EXPECT_EQ("重做(&R)\tCtrl+Y", menu.arrItems[5].strText);
  EXPECT_TRUE(menu.arrItems[5].bGrayed);
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
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(m_script.m_popupMenus[1].arrItems[i].bGrayed);

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

TEST_F(PhraseWindowTest, DelRemovesTheSelectedPhrasesAfterOneConfirmation) {
  OpenByMenu(0, [&](CPhraseDlg& dlg) {
    SelectRows(dlg, {0, 2});
    m_script.m_nMessageBoxResult = IDCANCEL;
    KeyInList(dlg, VK_DELETE);
    EXPECT_EQ(3, dlg.m_ctrlList.GetItemCount()) << "cancelled, yet removed";
    ASSERT_EQ(1u, m_script.m_messageBoxes.size());
    EXPECT_EQ("确实要删除选定的 2 个词条吗？", m_script.m_messageBoxes[0].strText);
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
  EXPECT_EQ("确实要删除选定的 2 个词条吗？", m_script.m_messageBoxes[0].strText);
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
