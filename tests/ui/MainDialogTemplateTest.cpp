// The main dialog's template (IDD_TABRIX_DIALOG) as stored in the program,
// and the window made from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "MainDialogFixture.h"
#include "UiTestSupport.h"

namespace {

struct tagEXPECTEDCONTROL {
  DWORD dwId;                  // 0xFFFFFFFF: no id of its own
  const char* pszClass;        // in the template
  const char* pszWindowClass;  // of the window made from it
  const char* pszText;
  short x, y, cx, cy;
  DWORD dwStyleOn;   // bits that must be set
  DWORD dwStyleOff;  // bits that must be clear
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kNoId = 0xFFFFFFFF;

// The controls keep the ids of the released program, which tools that drive
// its window from outside (the end-to-end test among them) address.
static_assert(IDC_LOAD == 1000 && IDC_SAVE == 1001 && IDC_LOAD_CURRENT == 1002, "buttons");
static_assert(IDC_FREQ_MIN == 1004 && IDC_FREQ_MAX == 1005, "range fields");
static_assert(IDC_IMPORT_NEW_GROUP == 1048 && IDC_SET_GROUP_PROP == 1050 && IDC_CLEAR == 1117 &&
                  IDC_IMPORT_TO_GROUP == 1209,
              "group buttons");
static_assert(IDC_GROUP_LIST == 1204 && IDC_PROGRESS == 1208, "list and bar");
static_assert(IDD_TABRIX_DIALOG == 102, "template");

// In creation order, which is also the Tab order.
const tagEXPECTEDCONTROL kControls[] = {
    {IDC_SAVE, "Button", "Button", "保存", 305, 148, 67, 19, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP,
     WS_DISABLED},
    {IDCANCEL, "Button", "Button", "退出", 305, 102, 67, 19, kChild | WS_TABSTOP,
     BS_DEFPUSHBUTTON | WS_DISABLED},
    {IDC_GROUP_LIST, "SysListView32", "SysListView32", "", 7, 7, 294, 114,
     kChild | LVS_REPORT | WS_BORDER | WS_TABSTOP,
     LVS_SINGLESEL | LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_NOCOLUMNHEADER | WS_DISABLED},
    {IDC_IMPORT_NEW_GROUP, "Button", "Button", "导入新组", 305, 31, 67, 19, kChild | WS_TABSTOP,
     BS_DEFPUSHBUTTON | WS_DISABLED},
    {IDC_CLEAR, "Button", "Button", "清空", 305, 7, 67, 19, kChild | WS_TABSTOP,
     BS_DEFPUSHBUTTON | WS_DISABLED},
    {IDC_PROGRESS, "msctls_progress32", "msctls_progress32", "", 7, 128, 365, 13,
     kChild | WS_BORDER, WS_TABSTOP | WS_DISABLED},
    {IDC_IMPORT_TO_GROUP, "Button", "Button", "导入到当前组", 305, 55, 67, 19, kChild | WS_TABSTOP,
     BS_DEFPUSHBUTTON | WS_DISABLED},
    {IDC_SET_GROUP_PROP, "Button", "Button", "设定属性", 305, 79, 67, 19, kChild | WS_TABSTOP,
     BS_DEFPUSHBUTTON | WS_DISABLED},
    {IDC_LOAD, "Button", "Button", "载入", 75, 148, 67, 19, kChild | WS_TABSTOP,
     BS_DEFPUSHBUTTON | WS_DISABLED},
    {IDC_LOAD_CURRENT, "Button", "Button", "载入当前词库", 7, 148, 67, 19, kChild | WS_TABSTOP,
     BS_DEFPUSHBUTTON | WS_DISABLED},
    {kNoId, "Static", "Static", "词频范围:", 150, 155, 35, 8, kChild | SS_LEFT | WS_GROUP,
     WS_TABSTOP | SS_TYPEMASK},
    {IDC_FREQ_MIN, "Edit", "Edit", "", 186, 153, 40, 14,
     kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, ES_NUMBER | WS_DISABLED},
    {IDC_FREQ_MAX, "Edit", "Edit", "", 241, 153, 40, 14,
     kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, ES_NUMBER | WS_DISABLED},
    {kNoId, "Static", "Static", "到", 230, 157, 8, 8, kChild | SS_LEFT | WS_GROUP,
     WS_TABSTOP | SS_TYPEMASK},
};

TEST(MainDialogTemplateTest, DialogFrameCaptionAndFont) {
  tagDIALOGTEMPLATE t;
  ASSERT_TRUE(LoadDialogTemplate(IDD_TABRIX_DIALOG, t));
  EXPECT_EQ(ToGbk(t.strCaption), "青柚输入法:词库编辑器");
  EXPECT_EQ(t.cx, 379);
  EXPECT_EQ(t.cy, 174);
  EXPECT_EQ(t.wPointSize, 10);
  EXPECT_EQ(ToGbk(t.strTypeface), "宋体");
  const DWORD on = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE | DS_SETFONT;
  EXPECT_EQ(t.dwStyle & on, on);
  EXPECT_EQ(t.dwStyle & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD), 0u);
  EXPECT_TRUE(t.dwExStyle & WS_EX_APPWINDOW);
}

TEST(MainDialogTemplateTest, EveryControlInTabOrder) {
  tagDIALOGTEMPLATE t;
  ASSERT_TRUE(LoadDialogTemplate(IDD_TABRIX_DIALOG, t));
  const size_t count = sizeof kControls / sizeof kControls[0];
  ASSERT_EQ(t.items.size(), count);
  for (size_t i = 0; i < count; ++i) {
    const tagEXPECTEDCONTROL& e = kControls[i];
    const tagTEMPLATEITEM& item = t.items[i];
    SCOPED_TRACE(e.pszText);
    EXPECT_EQ(item.dwId, e.dwId);
    // The resource compiler may store a class name in capitals; class names
    // are compared without case.
    EXPECT_EQ(lstrcmpiA(item.strClass.c_str(), e.pszClass), 0) << item.strClass;
    EXPECT_EQ(ToGbk(item.strText), e.pszText);
    EXPECT_EQ(item.x, e.x);
    EXPECT_EQ(item.y, e.y);
    EXPECT_EQ(item.cx, e.cx);
    EXPECT_EQ(item.cy, e.cy);
    EXPECT_EQ(item.dwStyle & e.dwStyleOn, e.dwStyleOn) << std::hex << item.dwStyle;
    if ((e.dwStyleOff & SS_TYPEMASK) == SS_TYPEMASK) {
      EXPECT_EQ(item.dwStyle & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
      EXPECT_EQ(item.dwStyle & (e.dwStyleOff & ~SS_TYPEMASK), 0u) << std::hex << item.dwStyle;
    } else {
      EXPECT_EQ(item.dwStyle & e.dwStyleOff, 0u) << std::hex << item.dwStyle;
    }
  }
}

TEST(MainDialogTemplateTest, TheProgramsStringAndIcon) {
  char text[64] = {};
  ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text), 0);
  wchar_t wide[64] = {};
  ASSERT_GT(LoadStringW(GetModuleHandleA(nullptr), IDS_ABOUTBOX, wide, 64), 0);
  EXPECT_EQ(ToGbk(wide), "关于 Tabrix(&A)...");
  EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
  // The manifest that asks for common controls version 6.
  HRSRC manifest = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(manifest, nullptr);
  const char* xml = static_cast<const char*>(LockResource(LoadResource(nullptr, manifest)));
  const std::string body(xml, SizeofResource(nullptr, manifest));
  EXPECT_NE(body.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(body.find("version=\"6.0.0.0\""), std::string::npos);
}

using MainDialogWindowTest = MainDialogTest;

TEST_F(MainDialogWindowTest, WindowsMadeFromTheTemplate) {
  EXPECT_EQ(WindowTextGbk(m_dlg.m_hWnd), "青柚输入法:词库编辑器");
  EXPECT_TRUE(m_dlg.IsWindowVisible());
  // The template's frame is fixed; the program makes the window sizable.
  EXPECT_EQ(m_dlg.GetStyle() & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
            static_cast<DWORD>(WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(m_dlg.GetExStyle() & WS_EX_APPWINDOW);
  EXPECT_EQ(LOWORD(m_dlg.SendMessage(DM_GETDEFID)), IDC_SAVE);

  // The template's controls, found by id (the labels, which have none, in
  // their order), then the status bar the program adds.
  std::vector<HWND> children, labels;
  for (HWND h = GetWindow(m_dlg.m_hWnd, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    children.push_back(h);
    if (GetDlgCtrlID(h) == IDC_STATIC) labels.push_back(h);
  }
  const size_t count = sizeof kControls / sizeof kControls[0];
  ASSERT_EQ(children.size(), count + 1);
  HWND hBar = m_dlg.GetDlgItem(IDC_STATUS_BAR);
  char barClass[64] = {};
  GetClassNameA(hBar, barClass, sizeof barClass);
  EXPECT_STREQ("msctls_statusbar32", barClass);
  size_t nLabel = 0;
  for (size_t i = 0; i < count; ++i) {
    const tagEXPECTEDCONTROL& e = kControls[i];
    SCOPED_TRACE(e.pszText);
    HWND h = e.dwId != kNoId ? m_dlg.GetDlgItem(static_cast<int>(e.dwId))
                             : (nLabel < labels.size() ? labels[nLabel++] : nullptr);
    ASSERT_NE(nullptr, h);
    char className[64] = {};
    GetClassNameA(h, className, sizeof className);
    EXPECT_STREQ(className, e.pszWindowClass);
    if (e.dwId != IDC_FREQ_MIN && e.dwId != IDC_FREQ_MAX) {
      EXPECT_EQ(WindowTextGbk(h), e.pszText);
    }
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
    // Edit boxes, the list view and the progress bar replace the plain border
    // with edges of their own (the template test above checks WS_BORDER).
    const DWORD on = e.dwStyleOn & ~static_cast<DWORD>(WS_BORDER);
    EXPECT_EQ(style & on, on) << std::hex << style;
    // Place and size in dialog units, each converted on its own as the
    // dialog does when it creates the control.
    RECT expected = {e.x, e.y, e.cx, e.cy};
    ASSERT_TRUE(MapDialogRect(m_dlg.m_hWnd, &expected));
    RECT actual;
    GetWindowRect(h, &actual);
    MapWindowPoints(nullptr, m_dlg.m_hWnd, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right - actual.left, expected.right);
    EXPECT_EQ(actual.bottom - actual.top, expected.bottom);
  }
  // Tab in reading order: the list, the buttons beside it from the top, the
  // row below from the left.
  const int tabOrder[] = {IDC_GROUP_LIST,
                          IDC_CLEAR,
                          IDC_IMPORT_NEW_GROUP,
                          IDC_IMPORT_TO_GROUP,
                          IDC_SET_GROUP_PROP,
                          IDCANCEL,
                          IDC_LOAD_CURRENT,
                          IDC_LOAD,
                          IDC_FREQ_MIN,
                          IDC_FREQ_MAX,
                          IDC_SAVE};
  HWND hAt = m_dlg.GetDlgItem(IDC_GROUP_LIST);
  for (int nID : tabOrder) {
    EXPECT_EQ(nID, GetDlgCtrlID(hAt));
    hAt = GetNextDlgTabItem(m_dlg.m_hWnd, hAt, FALSE);
  }
  EXPECT_EQ(m_dlg.GetDlgItem(IDC_GROUP_LIST), hAt);  // round again
  // The two controls with wrappers of their own.
  EXPECT_EQ(m_dlg.m_ctrlList.m_hWnd, m_dlg.GetDlgItem(IDC_GROUP_LIST));
  EXPECT_EQ(m_dlg.m_ctrlProgress.m_hWnd, m_dlg.GetDlgItem(IDC_PROGRESS));
}

}  // namespace
