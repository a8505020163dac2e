// The group property dialog and the main dialog's "设定属性" command, with
// the real controls. The modal dialog is driven by steps of the test script,
// which run once it is initialised.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "MainDialogFixture.h"
#include "PLGroupPropDlg.h"

namespace {

// n GBK characters of two bytes each.
std::string Chinese(size_t n) {
  std::string text;
  for (size_t i = 0; i < n; ++i) text += "词";
  return text;
}

std::string BoxText(CDialog& dlg, int nID) { return WindowTextGbk(dlg.GetDlgItem(nID)); }

void SetBox(CDialog& dlg, int nID, const std::string& text) {
  ::SetWindowTextA(dlg.GetDlgItem(nID), text.c_str());
}

// What a click on button nID sends; handled before the call returns.
void PressNow(CDialog& dlg, int nID) {
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                  reinterpret_cast<LPARAM>(dlg.GetDlgItem(nID)));
}

class GroupPropDlgTest : public MainDialogTest {
 protected:
  void SetUp() override {
    MainDialogTest::SetUp();
    LoadSample();
  }

  // "设定属性" with one step for the property dialog.
  void SetProperties(std::function<void(CDialog&)> step) {
    m_script.OnModalDialog(std::move(step));
    Click(IDC_SET_GROUP_PROP);
    EXPECT_EQ(m_script.PendingModalSteps(), 0u) << "the property dialog did not open";
  }

  tagGROUPINFO Group(uint32_t index) { return *m_dlg.m_library.GetGroup(index); }

  static bool SameRecord(const tagGROUPINFO& a, const tagGROUPINFO& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
  }
};

// The ids of the released program, which tools that drive its windows from
// outside (the end-to-end test among them) address.
static_assert(IDD_GROUP_PROP == 173 && IDC_PROP_NAME == 1042 && IDC_PROP_REMARK == 1045 &&
                  IDC_PROP_EDITOR == 1114,
              "group property dialog ids");

// The template's texts, ids, classes and styles in Tab order; where the items
// sit is the layout test's (DpiLayoutTest.cpp).
TEST(GroupPropTemplateTest, FixedFrameCaptionFontAndItems) {
  tagDIALOGTEMPLATE dlg;
  ASSERT_TRUE(LoadDialogTemplate(IDD_GROUP_PROP, dlg));
  EXPECT_EQ(dlg.strCaption, L"组属性");
  EXPECT_EQ(dlg.strTypeface, L"System");
  EXPECT_EQ(dlg.wPointSize, 10);
  const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  EXPECT_EQ(dlg.dwStyle & frame, frame);
  EXPECT_EQ(dlg.dwStyle & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);

  const struct {
    DWORD id;
    const char* cls;
    const wchar_t* text;
    DWORD styles;  // must all be set
  } expected[] = {
      {IDOK, "Button", L"确定", BS_DEFPUSHBUTTON | WS_TABSTOP},
      {IDCANCEL, "Button", L"取消", WS_TABSTOP},
      {0xFFFF, "Static", L"名称：", WS_GROUP},
      {0xFFFF, "Static", L"编辑：", WS_GROUP},
      {0xFFFF, "Static", L"备注：", WS_GROUP},
      {IDC_PROP_NAME, "Edit", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
      {IDC_PROP_EDITOR, "Edit", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
      {IDC_PROP_REMARK, "Edit", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
  };
  ASSERT_EQ(dlg.items.size(), sizeof expected / sizeof expected[0]);
  for (size_t i = 0; i < dlg.items.size(); ++i) {
    const tagTEMPLATEITEM& item = dlg.items[i];
    SCOPED_TRACE("item " + std::to_string(i));
    EXPECT_EQ(item.dwId & 0xFFFF, expected[i].id);
    EXPECT_EQ(_stricmp(item.strClass.c_str(), expected[i].cls), 0) << item.strClass;
    EXPECT_EQ(item.strText, expected[i].text);
    EXPECT_EQ(item.dwStyle & expected[i].styles, expected[i].styles);
    if (_stricmp(expected[i].cls, "Static") == 0) {
      EXPECT_EQ(item.dwStyle & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
    }
  }
  // Only the push button OK is the default one.
  EXPECT_EQ(dlg.items[1].dwStyle & BS_DEFPUSHBUTTON, 0u);
}

TEST_F(GroupPropDlgTest, ShowsTheMarkedGroupAndOkWithoutChangesKeepsIt) {
  MarkRow(0);
  const tagGROUPINFO before = Group(0);
  const std::vector<std::string> rowBefore = Row(0);
  std::string name, editor, remark;
  LRESULT limits[3] = {};
  HWND hOwner = nullptr;
  SetProperties([&](CDialog& dlg) {
    EXPECT_EQ(dlg.m_nIDTemplate, static_cast<UINT>(IDD_GROUP_PROP));
    EXPECT_TRUE(dlg.IsModal());
    hOwner = ::GetWindow(dlg.m_hWnd, GW_OWNER);
    name = BoxText(dlg, IDC_PROP_NAME);
    editor = BoxText(dlg, IDC_PROP_EDITOR);
    remark = BoxText(dlg, IDC_PROP_REMARK);
    limits[0] = ::SendMessageA(dlg.GetDlgItem(IDC_PROP_NAME), EM_GETLIMITTEXT, 0, 0);
    limits[1] = ::SendMessageA(dlg.GetDlgItem(IDC_PROP_EDITOR), EM_GETLIMITTEXT, 0, 0);
    limits[2] = ::SendMessageA(dlg.GetDlgItem(IDC_PROP_REMARK), EM_GETLIMITTEXT, 0, 0);
    PressNow(dlg, IDOK);
  });
  EXPECT_EQ(m_script.m_modalDialogs, std::vector<UINT>{IDD_GROUP_PROP});
  EXPECT_EQ(name, "成语");
  EXPECT_EQ(editor, "张三");
  EXPECT_EQ(remark, "四字成语");
  EXPECT_EQ(limits[0], 49);
  EXPECT_EQ(limits[1], 49);
  EXPECT_EQ(limits[2], 199);
  EXPECT_EQ(hOwner, m_dlg.m_hWnd) << "modal over the main window";
  EXPECT_TRUE(SameRecord(Group(0), before));
  EXPECT_EQ(Row(0), rowBefore);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(GroupPropDlgTest, OkWritesTheThreeTextsIntoTheRecordAndTheRow) {
  MarkRow(1);
  const tagGROUPINFO before = Group(1);
  const UINT imageBefore = Image(1);
  SetProperties([&](CDialog& dlg) {
    SetBox(dlg, IDC_PROP_NAME, "新名称");
    SetBox(dlg, IDC_PROP_EDITOR, "王五");
    SetBox(dlg, IDC_PROP_REMARK, " 前后有空格 ");
    PressNow(dlg, IDOK);
  });
  const tagGROUPINFO after = Group(1);
  EXPECT_STREQ(after.szName, "新名称");
  EXPECT_STREQ(after.szEditor, "王五");
  EXPECT_STREQ(after.szRemark, " 前后有空格 ") << "stored exactly as typed";
  // The rest of each field is zero after the terminator.
  for (size_t i = std::strlen(after.szRemark); i < sizeof after.szRemark; ++i) {
    ASSERT_EQ(after.szRemark[i], '\0') << i;
  }
  EXPECT_EQ(after.dwCount, before.dwCount);
  EXPECT_EQ(after.bEnable, before.bEnable);
  EXPECT_EQ(Row(1), (std::vector<std::string>{"新名称", "2", "王五", " 前后有空格 "}));
  EXPECT_EQ(Image(1), imageBefore);
  // The other groups are untouched.
  EXPECT_STREQ(Group(0).szName, "成语");
  EXPECT_STREQ(Group(2).szName, "人名");
}

TEST_F(GroupPropDlgTest, EmptiedFieldsStoreEmptyTexts) {
  MarkRow(0);
  SetProperties([&](CDialog& dlg) {
    SetBox(dlg, IDC_PROP_NAME, "");
    SetBox(dlg, IDC_PROP_EDITOR, "");
    SetBox(dlg, IDC_PROP_REMARK, "");
    PressNow(dlg, IDOK);
  });
  const tagGROUPINFO after = Group(0);
  const tagGROUPINFO zero = {};
  EXPECT_EQ(std::memcmp(after.szName, zero.szName, sizeof zero.szName), 0);
  EXPECT_EQ(std::memcmp(after.szEditor, zero.szEditor, sizeof zero.szEditor), 0);
  EXPECT_EQ(std::memcmp(after.szRemark, zero.szRemark, sizeof zero.szRemark), 0);
  EXPECT_EQ(after.dwCount, 3u);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"", "3", "", ""}));
  EXPECT_EQ(Image(0), 2u);
}

TEST_F(GroupPropDlgTest, CancelEscAndTheCloseBoxChangeNothing) {
  const struct {
    const char* what;
    std::function<void(CDialog&)> close;
  } ways[] = {
      {"the Cancel button", [](CDialog& dlg) { PressNow(dlg, IDCANCEL); }},
      {"Esc in an edit box",
       [](CDialog& dlg) {
         // Through the modal loop's keyboard handling, as a key press goes.
         ::PostMessageA(dlg.GetDlgItem(IDC_PROP_NAME), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         // Should Esc be lost, OK ends the dialog and the test fails instead of hanging.
         dlg.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
       }},
      {"the close box", [](CDialog& dlg) { dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  MarkRow(0);
  const tagGROUPINFO before = Group(0);
  const std::vector<std::string> rowBefore = Row(0);
  for (const auto& way : ways) {
    CPLGroupPropDlg* pSeen = nullptr;
    SetProperties([&](CDialog& dlg) {
      pSeen = static_cast<CPLGroupPropDlg*>(&dlg);
      SetBox(dlg, IDC_PROP_NAME, "改过的名称");
      SetBox(dlg, IDC_PROP_EDITOR, "改过");
      SetBox(dlg, IDC_PROP_REMARK, "改过的备注");
      way.close(dlg);
    });
    PumpMessages();
    ASSERT_NE(pSeen, nullptr) << way.what;
    EXPECT_TRUE(SameRecord(Group(0), before)) << way.what;
    EXPECT_EQ(Row(0), rowBefore) << way.what;
  }
  EXPECT_EQ(m_script.m_modalDialogs.size(), 3u);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(GroupPropDlgTest, EditBoxesRefuseInputPastTheirByteLimits) {
  const struct {
    int nID;
    size_t limit;
  } boxes[] = {{IDC_PROP_NAME, 49}, {IDC_PROP_EDITOR, 49}, {IDC_PROP_REMARK, 199}};
  MarkRow(2);
  std::vector<std::string> kept;
  SetProperties([&](CDialog& dlg) {
    for (const auto& box : boxes) {
      HWND hEdit = dlg.GetDlgItem(box.nID);
      ::SetWindowTextA(hEdit, "");
      // Pasting more than the limit keeps the first limit bytes.
      const std::string paste(box.limit + 20, 'p');
      ::SendMessageA(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(paste.c_str()));
      // A typed character past the limit is refused.
      ::SendMessageA(hEdit, WM_CHAR, 'q', 0);
      kept.push_back(BoxText(dlg, box.nID));
    }
    PressNow(dlg, IDOK);
  });
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0], std::string(49, 'p'));
  EXPECT_EQ(kept[1], std::string(49, 'p'));
  EXPECT_EQ(kept[2], std::string(199, 'p'));
  // The longest texts are stored with their terminators inside the fields.
  const tagGROUPINFO after = Group(2);
  EXPECT_EQ(std::string(after.szName), std::string(49, 'p'));
  EXPECT_EQ(after.szName[49], '\0');
  EXPECT_EQ(std::string(after.szEditor), std::string(49, 'p'));
  EXPECT_EQ(after.szEditor[49], '\0');
  EXPECT_EQ(std::string(after.szRemark), std::string(199, 'p'));
  EXPECT_EQ(after.szRemark[199], '\0');
  EXPECT_EQ(Row(2), (std::vector<std::string>{std::string(49, 'p'), "0", std::string(49, 'p'),
                                              std::string(199, 'p')}));
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(GroupPropDlgTest, LimitsCountGbkBytes) {
  // 24 Chinese characters and one letter: 49 bytes, the most a name holds.
  const std::string name49 = Chinese(24) + "a";
  const std::string remark199 = Chinese(99) + "r";
  MarkRow(0);
  SetProperties([&](CDialog& dlg) {
    SetBox(dlg, IDC_PROP_NAME, name49);
    SetBox(dlg, IDC_PROP_EDITOR, name49);
    SetBox(dlg, IDC_PROP_REMARK, remark199);
    PressNow(dlg, IDOK);
  });
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(std::string(Group(0).szName), name49);
  EXPECT_EQ(std::string(Group(0).szEditor), name49);
  EXPECT_EQ(std::string(Group(0).szRemark), remark199);
  EXPECT_EQ(Cell(0, 0), name49);
}

TEST_F(GroupPropDlgTest, PastedChineseNeverOverflowsTheField) {
  // An edit box may count its limit in characters rather than bytes; then
  // OK refuses what does not fit, and what is stored always fits.
  MarkRow(0);
  bool refused = false;
  SetProperties([&](CDialog& dlg) {
    HWND hEdit = dlg.GetDlgItem(IDC_PROP_NAME);
    ::SetWindowTextA(hEdit, "");
    const std::string paste = Chinese(30);
    ::SendMessageA(hEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(paste.c_str()));
    PressNow(dlg, IDOK);
    if (dlg.GetEndResult() == -1) {
      refused = true;
      PressNow(dlg, IDCANCEL);
    }
  });
  const tagGROUPINFO after = Group(0);
  ASSERT_NE(std::memchr(after.szName, '\0', sizeof after.szName), nullptr);
  EXPECT_LE(std::strlen(after.szName), 49u);
  if (refused) {
    ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
    EXPECT_EQ(m_script.m_messageBoxes[0].strText, "请输入不多于 49 个的字符。");
    EXPECT_STREQ(after.szName, "成语") << "a refused text changes nothing";
  } else {
    EXPECT_TRUE(m_script.m_messageBoxes.empty());
    EXPECT_EQ(std::string(after.szName), Chinese(24));
  }
}

TEST_F(GroupPropDlgTest, TooLongTextsAreRefusedInOrderRemarkNameEditor) {
  // Texts put in place directly pass the boxes' limits; OK must still refuse
  // them, one box at a time, in the order of the exchange.
  MarkRow(1);
  const tagGROUPINFO before = Group(1);
  struct tagREFUSAL {
    std::string text;
    UINT type;
    int focusId;
    DWORD selStart, selEnd;
    bool open;
  };
  std::vector<tagREFUSAL> refusals;
  int finalResult = 0;
  const std::string longName = Chinese(25);     // 50 bytes
  const std::string longRemark = Chinese(100);  // 200 bytes
  SetProperties([&](CDialog& dlg) {
    SetBox(dlg, IDC_PROP_NAME, longName);
    SetBox(dlg, IDC_PROP_EDITOR, longName);
    SetBox(dlg, IDC_PROP_REMARK, longRemark);
    for (int round = 0; round < 3; ++round) {
      // Each round mends the box refused in the round before.
      if (round == 1) SetBox(dlg, IDC_PROP_REMARK, "备注");
      if (round == 2) SetBox(dlg, IDC_PROP_NAME, "名称");
      const size_t shown = m_script.m_messageBoxes.size();
      PressNow(dlg, IDOK);
      tagREFUSAL r{};
      if (m_script.m_messageBoxes.size() == shown + 1) {
        r.text = m_script.m_messageBoxes.back().strText;
        r.type = m_script.m_messageBoxes.back().nType;
      }
      r.focusId = ::GetDlgCtrlID(::GetFocus());
      ::SendMessageA(::GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&r.selStart),
                     reinterpret_cast<LPARAM>(&r.selEnd));
      r.open = dlg.GetEndResult() == -1;
      refusals.push_back(r);
    }
    SetBox(dlg, IDC_PROP_EDITOR, "编者");
    PressNow(dlg, IDOK);
    finalResult = dlg.GetEndResult();
  });
  ASSERT_EQ(refusals.size(), 3u);
  const struct {
    const char* text;
    int focusId;
    DWORD length;
  } expected[] = {{"请输入不多于 199 个的字符。", IDC_PROP_REMARK, 100},
                  {"请输入不多于 49 个的字符。", IDC_PROP_NAME, 25},
                  {"请输入不多于 49 个的字符。", IDC_PROP_EDITOR, 25}};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE("refusal " + std::to_string(i));
    EXPECT_EQ(refusals[i].text, expected[i].text);
    EXPECT_EQ(refusals[i].type, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(refusals[i].focusId, expected[i].focusId);
    // The whole text is selected (the edit box counts characters here).
    EXPECT_EQ(refusals[i].selStart, 0u);
    EXPECT_GE(refusals[i].selEnd, expected[i].length);
    EXPECT_TRUE(refusals[i].open) << "the dialog stays open";
  }
  EXPECT_EQ(m_script.m_messageBoxes[0].strCaption, AfxGetAppName());
  EXPECT_EQ(finalResult, IDOK);
  EXPECT_STREQ(Group(1).szRemark, "备注");
  EXPECT_STREQ(Group(1).szName, "名称");
  EXPECT_STREQ(Group(1).szEditor, "编者");
  EXPECT_EQ(Group(1).dwCount, before.dwCount);
}

TEST_F(GroupPropDlgTest, TheFocusStartsInTheNameAndTextWithoutAGbkFormIsRefused) {
  MarkRow(0);
  const tagGROUPINFO before = Group(0);
  int focusId = 0;
  DWORD selStart = 1, selEnd = 0;
  int refusedFocus = 0;
  bool stayedOpen = false;
  SetProperties([&](CDialog& dlg) {
    focusId = ::GetDlgCtrlID(::GetFocus());
    ::SendMessageA(::GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                   reinterpret_cast<LPARAM>(&selEnd));
    // 测试😀组: the emoji has no GBK form.
    ::SetWindowTextW(dlg.GetDlgItem(IDC_PROP_NAME), L"\u6d4b\u8bd5\U0001F600\u7ec4");
    PressNow(dlg, IDOK);
    refusedFocus = ::GetDlgCtrlID(::GetFocus());
    stayedOpen = dlg.GetEndResult() == -1;
    PressNow(dlg, IDCANCEL);
  });
  EXPECT_EQ(IDC_PROP_NAME, focusId);
  EXPECT_EQ(0u, selStart);
  EXPECT_EQ(2u, selEnd);  // 成语, both characters selected
  ASSERT_EQ(1u, m_script.m_messageBoxes.size());
  EXPECT_EQ("组的名称、编辑和备注不能含有 GBK 无法表示的字符。",
            m_script.m_messageBoxes[0].strText);
  EXPECT_EQ(IDC_PROP_NAME, refusedFocus);
  EXPECT_TRUE(stayedOpen);
  EXPECT_TRUE(SameRecord(Group(0), before));
}

TEST_F(GroupPropDlgTest, WithSeveralRowsSelectedOnlyTheMarkedGroupIsEdited) {
  for (int row = 0; row < 3; ++row) {
    m_dlg.m_ctrlList.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
  }
  m_dlg.m_ctrlList.SetSelectionMark(1);
  const tagGROUPINFO before0 = Group(0), before2 = Group(2);
  const std::vector<std::string> row0 = Row(0), row2 = Row(2);
  std::string shownName;
  SetProperties([&](CDialog& dlg) {
    shownName = BoxText(dlg, IDC_PROP_NAME);
    SetBox(dlg, IDC_PROP_NAME, "只改这一组");
    PressNow(dlg, IDOK);
  });
  EXPECT_EQ(shownName, "地名");
  EXPECT_STREQ(Group(1).szName, "只改这一组");
  EXPECT_EQ(Cell(1, 0), "只改这一组");
  EXPECT_TRUE(SameRecord(Group(0), before0));
  EXPECT_TRUE(SameRecord(Group(2), before2));
  EXPECT_EQ(Row(0), row0);
  EXPECT_EQ(Row(2), row2);
}

TEST_F(GroupPropDlgTest, WithoutAMarkNoDialogOpensAndTheMessageSaysWhy) {
  ASSERT_EQ(m_dlg.m_ctrlList.GetSelectionMark(), -1);
  Click(IDC_SET_GROUP_PROP);
  EXPECT_TRUE(m_script.m_modalDialogs.empty());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>{"请先在列表中选择一个组。"});
}

TEST_F(GroupPropDlgTest, AMarkThatNamesNoGroupOpensNoDialog) {
  // A row past the last group.
  ASSERT_EQ(m_dlg.m_ctrlList.InsertItem(3, "extra"), 3);
  MarkRow(3);
  Click(IDC_SET_GROUP_PROP);
  EXPECT_TRUE(m_script.m_modalDialogs.empty());
  // An emptied library under rows that stayed.
  MarkRow(0);
  m_dlg.m_library.Free();
  Click(IDC_SET_GROUP_PROP);
  EXPECT_TRUE(m_script.m_modalDialogs.empty());
  EXPECT_EQ(MessageTexts(), std::vector<std::string>(2, "请先在列表中选择一个组。"));
}

}  // namespace
