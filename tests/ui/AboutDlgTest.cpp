// The About box under Wine: its template, the binding of its link to item
// IDC_HYPERLINK, the link it shows, its opening from the system menu and its
// closing. The link control itself is tested in HyperLinkTest.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "AboutDlg.h"
#include "DialogTemplate.h"
#include "HyperLink.h"
#include "LinkTestSupport.h"
#include "TabrixApp.h"
#include "TabrixDlg.h"
#include "TabrixVersion.h"
#include "UiTestSupport.h"
#include "framework/UiScript.h"

namespace {

const char kAboutTarget[] = "https://tabrix.example/";

// The ids of the released program, which tools that drive its windows from
// outside (the end-to-end test among them) address.
static_assert(IDD_ABOUTBOX == 100 && IDC_HYPERLINK == 1003, "About box ids");

class AboutBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_dlg.Create()); }
  HWND Item(int nID) { return m_dlg.GetDlgItem(nID); }

  CUiScript m_script;  // outlives the dialog
  CAboutDlg m_dlg;
};

// The template's texts, ids, classes and styles; where the items sit is the
// layout test's (DpiLayoutTest.cpp).
TEST(AboutTemplateTest, ModalFrameCaptionFontAndItems) {
  tagDIALOGTEMPLATE dlg;
  ASSERT_TRUE(LoadDialogTemplate(IDD_ABOUTBOX, dlg));
  EXPECT_EQ(dlg.strCaption, L"关于 Tabrix");
  EXPECT_EQ(dlg.strTypeface, L"宋体");
  EXPECT_EQ(dlg.wPointSize, 9);
  const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  EXPECT_EQ(dlg.dwStyle & frame, frame);

  const struct {
    DWORD id;
    const char* cls;
    const wchar_t* text;
    DWORD styles;
  } expected[] = {
      {0xFFFF, "Static", L"", static_cast<DWORD>(SS_ICON)},
      {0xFFFF, "Static", L"青柚输入法词库编辑器 " TABRIX_VERSION_TEXT " 版",
       WS_GROUP | SS_NOPREFIX},
      {0xFFFF, "Static", L"Copyright (C) 2026 Tabrix", WS_GROUP},
      {IDOK, "Button", L"确定", WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON},
      {IDC_HYPERLINK, "Static", L"https://tabrix.example/", WS_GROUP},
  };
  ASSERT_EQ(dlg.items.size(), sizeof expected / sizeof expected[0]);
  for (size_t i = 0; i < dlg.items.size(); ++i) {
    const tagTEMPLATEITEM& item = dlg.items[i];
    SCOPED_TRACE("item " + std::to_string(i));
    EXPECT_EQ(item.dwId & 0xFFFF, expected[i].id);
    EXPECT_EQ(_stricmp(item.strClass.c_str(), expected[i].cls), 0) << item.strClass;
    EXPECT_EQ(item.strText, expected[i].text);
    EXPECT_EQ(item.dwStyle & expected[i].styles, expected[i].styles);
  }
  EXPECT_EQ(dlg.items[4].dwStyle & (SS_TYPEMASK | SS_CENTERIMAGE), static_cast<DWORD>(SS_LEFT));
  EXPECT_EQ(dlg.items[4].dwStyle & SS_NOTIFY, 0u) << "the link adds it when it attaches";
}

TEST_F(AboutBoxTest, BindsTheLinkItemOnTheFirstExchangeOnly) {
  HWND hItem = Item(IDC_HYPERLINK);
  EXPECT_EQ(m_dlg.m_wndLink.m_hWnd, hItem);
  EXPECT_EQ(CWnd::FromHandlePermanent(hItem), &m_dlg.m_wndLink);
  EXPECT_NE(::GetWindowLongPtrA(hItem, GWL_STYLE) & SS_NOTIFY, 0);
  // The exchange of OK binds nothing anew.
  ASSERT_TRUE(m_dlg.UpdateData(TRUE));
  EXPECT_EQ(m_dlg.m_wndLink.m_hWnd, hItem);
  EXPECT_EQ(CWnd::FromHandlePermanent(hItem), &m_dlg.m_wndLink);
}

TEST_F(AboutBoxTest, TheLinkShowsAndOpensTheProductAddress) {
  CHyperLink& link = m_dlg.m_wndLink;
  EXPECT_EQ(WindowTextGbk(link.m_hWnd), kAboutTarget);
  EXPECT_EQ(link.m_strTarget, kAboutTarget);
  EXPECT_EQ(link.m_clrLink, kLinkColour);
  EXPECT_EQ(link.m_clrVisited, kVisitedColour);
  EXPECT_EQ(link.m_clrHover, kHoverColour);
  EXPECT_FALSE(link.m_bHot);
  EXPECT_FALSE(link.m_bLinkVisited);
  EXPECT_EQ(link.m_nUnderlineMode, -1);
  EXPECT_TRUE(link.m_bFitToText);
  EXPECT_EQ(link.m_nHoverTimerId, 100u);
}

TEST_F(AboutBoxTest, TheLinkFitsItsTextAndKeepsItsCornerAndFont) {
  CHyperLink& link = m_dlg.m_wndLink;
  // The corner the template gives the item, in the dialog's pixels.
  tagDIALOGTEMPLATE dlg;
  ASSERT_TRUE(LoadDialogTemplate(IDD_ABOUTBOX, dlg));
  const tagTEMPLATEITEM* pItem = nullptr;
  for (const tagTEMPLATEITEM& item : dlg.items) {
    if ((item.dwId & 0xFFFF) == IDC_HYPERLINK) pItem = &item;
  }
  ASSERT_NE(pItem, nullptr);
  RECT corner = {pItem->x, pItem->y, pItem->x + pItem->cx, pItem->y + pItem->cy};
  ::MapDialogRect(m_dlg.m_hWnd, &corner);
  const RECT rect = RectInParent(link.m_hWnd);
  EXPECT_EQ(rect.left, corner.left);
  EXPECT_EQ(rect.top, corner.top);
  const SIZE extent = UnderlinedExtent(link);
  EXPECT_GT(extent.cx, 0);
  EXPECT_EQ(rect.right - rect.left, extent.cx);
  EXPECT_EQ(rect.bottom - rect.top, extent.cy);

  // The control's own font stays; the two copies describe it, one underlined.
  HFONT hDialogFont = reinterpret_cast<HFONT>(m_dlg.SendMessage(WM_GETFONT));
  EXPECT_EQ(link.GetFont(), hDialogFont);
  LOGFONTA own, plain, underlined;
  ASSERT_EQ(::GetObjectA(hDialogFont, sizeof own, &own), static_cast<int>(sizeof own));
  ASSERT_TRUE(link.m_fontPlain.GetLogFont(&plain));
  ASSERT_TRUE(link.m_fontUnderlined.GetLogFont(&underlined));
  EXPECT_STREQ(plain.lfFaceName, own.lfFaceName);
  EXPECT_EQ(plain.lfHeight, own.lfHeight);
  EXPECT_EQ(plain.lfUnderline, own.lfUnderline);
  EXPECT_STREQ(underlined.lfFaceName, own.lfFaceName);
  EXPECT_EQ(underlined.lfHeight, own.lfHeight);
  EXPECT_EQ(underlined.lfUnderline, 1);
}

TEST_F(AboutBoxTest, TheTooltipShowsTheTargetOverTheControl) {
  CHyperLink& link = m_dlg.m_wndLink;
  ASSERT_TRUE(::IsWindow(link.m_wndTip.m_hWnd));
  char cls[64] = {};
  ::GetClassNameA(link.m_wndTip.m_hWnd, cls, sizeof cls);
  EXPECT_STREQ(cls, TOOLTIPS_CLASSA);
  EXPECT_EQ(link.m_wndTip.GetToolCount(), 1);
  EXPECT_EQ(link.m_wndTip.GetText(&link, 1), kAboutTarget);
  RECT tool, client;
  ASSERT_TRUE(link.m_wndTip.GetToolRect(&link, 1, &tool));
  link.GetClientRect(&client);
  EXPECT_TRUE(::EqualRect(&tool, &client));
}

TEST(AboutFromMenuTest, OpensFromTheSystemMenuOverTheMainWindow) {
  CUiScript m_script;
  CTabrixDlg main;
  ASSERT_TRUE(main.Create());
  theApp.m_pMainWnd = &main;
  std::vector<std::string> seen;
  HWND hOwner = nullptr;
  for (WPARAM command : {WPARAM{16}, WPARAM{16 | 0x3}}) {
    m_script.OnModalDialog([&](CDialog& dlg) {
      CAboutDlg& about = static_cast<CAboutDlg&>(dlg);
      seen.push_back(WindowTextGbk(dlg.m_hWnd));
      seen.push_back(about.m_wndLink.m_strTarget);
      hOwner = ::GetWindow(dlg.m_hWnd, GW_OWNER);
      dlg.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    main.SendMessage(WM_SYSCOMMAND, command, 0);
  }
  theApp.m_pMainWnd = nullptr;
  EXPECT_EQ(m_script.m_modalDialogs, (std::vector<UINT>{IDD_ABOUTBOX, IDD_ABOUTBOX}));
  EXPECT_EQ(m_script.PendingModalSteps(), 0u);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"关于 Tabrix", kAboutTarget, "关于 Tabrix", kAboutTarget}));
  EXPECT_EQ(hOwner, main.m_hWnd);
}

TEST_F(AboutBoxTest, TheModalLoopRelaysTheLinksMessagesToTheTooltip) {
  static std::vector<MSG> relayed;
  static WNDPROC pfnTip = nullptr;
  relayed.clear();
  CAboutDlg modal;
  m_script.OnModalDialog([&](CDialog& dlg) {
    CAboutDlg& about = static_cast<CAboutDlg&>(dlg);
    HWND hTip = about.m_wndLink.m_wndTip.m_hWnd;
    pfnTip = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        hTip, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
          if (m == TTM_RELAYEVENT && l) relayed.push_back(*reinterpret_cast<MSG*>(l));
          return ::CallWindowProcA(pfnTip, h, m, w, l);
        })));
    ::PostMessageA(about.m_wndLink.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 2));
    dlg.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  modal.DoModal();
  bool sawMove = false;
  for (const MSG& msg : relayed) {
    if (msg.message == WM_MOUSEMOVE && msg.lParam == MAKELPARAM(3, 2)) sawMove = true;
  }
  EXPECT_TRUE(sawMove) << relayed.size() << " messages relayed";
}

TEST_F(AboutBoxTest, ClosingTheBoxReleasesTheLinksFontsAndTooltip) {
  HWND hTip = m_dlg.m_wndLink.m_wndTip.m_hWnd;
  ASSERT_TRUE(::IsWindow(hTip));
  m_dlg.EndDialog(IDOK);
  EXPECT_EQ(m_dlg.m_wndLink.m_hWnd, nullptr);
  EXPECT_EQ(m_dlg.m_wndLink.m_fontPlain.m_hObject, nullptr);
  EXPECT_EQ(m_dlg.m_wndLink.m_fontUnderlined.m_hObject, nullptr);
  EXPECT_FALSE(::IsWindow(hTip));
}

}  // namespace
