// The dialogs at the screen's resolution: every control inside its dialog,
// no two overlapping, every caption fitting its control in the control's own
// font, and the lists' columns scaled from their widths at 96 dots per inch.
// It runs with the other window tests at the session's resolution, and
// tests/ui/run-dpi.sh runs it again in prefixes set to 96, 144 and 192 dpi
// (TABRIX_EXPECT_DPI), asking for a screenshot of each dialog
// (TABRIX_DPI_SHOTS: the folder, NAME.req answered with NAME.png).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "AboutDlg.h"
#include "PLGroupPropDlg.h"
#include "PhraseDlg.h"
#include "ScreenshotRequest.h"
#include "TabrixApp.h"
#include "TabrixDlg.h"
#include "UiTestSupport.h"
#include "framework/Dpi.h"

namespace {

std::string ClassOf(HWND hWnd) {
  char name[64] = {};
  ::GetClassNameA(hWnd, name, sizeof name);
  return name;
}

std::wstring TextOf(HWND hWnd) {
  const int n = ::GetWindowTextLengthW(hWnd);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  const int got = ::GetWindowTextW(hWnd, &text[0], n + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

RECT ClientRectIn(HWND hChild, HWND hDialog) {
  RECT rc;
  ::GetWindowRect(hChild, &rc);
  ::MapWindowPoints(nullptr, hDialog, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// The size a text takes in the window's font, on one line.
SIZE TextExtent(HWND hWnd, const std::wstring& text, bool bPrefixes) {
  HDC hDC = ::GetDC(hWnd);
  HFONT hFont = reinterpret_cast<HFONT>(::SendMessageW(hWnd, WM_GETFONT, 0, 0));
  HGDIOBJ hOld = hFont ? ::SelectObject(hDC, hFont) : nullptr;
  RECT rc = {0, 0, 0, 0};
  ::DrawTextW(hDC, text.c_str(), static_cast<int>(text.size()), &rc,
              DT_CALCRECT | DT_SINGLELINE | (bPrefixes ? 0 : DT_NOPREFIX));
  if (hOld) ::SelectObject(hDC, hOld);
  ::ReleaseDC(hWnd, hDC);
  return {rc.right - rc.left, rc.bottom - rc.top};
}

// What a control needs around its caption, beyond the text itself.
int CaptionMargin(HWND hWnd) {
  const std::string cls = ClassOf(hWnd);
  const LONG style = ::GetWindowLongW(hWnd, GWL_STYLE);
  if (cls == "Button") {
    const LONG kind = style & BS_TYPEMASK;
    if (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX) {
      return ::GetSystemMetrics(SM_CXMENUCHECK) + ::GetSystemMetrics(SM_CXEDGE) * 2;
    }
    return ::GetSystemMetrics(SM_CXEDGE) * 4;
  }
  return 0;
}

// Checks the dialog's visible controls; a description per fault.
std::vector<std::string> LayoutFaults(HWND hDialog) {
  std::vector<std::string> faults;
  RECT client;
  ::GetClientRect(hDialog, &client);
  std::vector<std::pair<HWND, RECT>> shown;
  for (HWND h = ::GetWindow(hDialog, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(h)) continue;
    const RECT rc = ClientRectIn(h, hDialog);
    const std::string who = ClassOf(h) + " " + std::to_string(::GetDlgCtrlID(h));
    if (rc.left < client.left || rc.top < client.top || rc.right > client.right ||
        rc.bottom > client.bottom) {
      faults.push_back(who + " lies outside the dialog");
    }
    for (const auto& other : shown) {
      RECT both;
      if (::IntersectRect(&both, &rc, &other.second)) {
        faults.push_back(who + " overlaps " + ClassOf(other.first) + " " +
                         std::to_string(::GetDlgCtrlID(other.first)));
      }
    }
    shown.push_back({h, rc});
    const std::string cls = ClassOf(h);
    const LONG style = ::GetWindowLongW(h, GWL_STYLE);
    const bool bCaption = (cls == "Button" && (style & BS_TYPEMASK) != BS_GROUPBOX) ||
                          (cls == "Static" && (style & SS_TYPEMASK) <= SS_RIGHT);
    const std::wstring text = TextOf(h);
    if (!bCaption || text.empty()) continue;
    const SIZE need = TextExtent(h, text, !(style & SS_NOPREFIX) || cls == "Button");
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (need.cx + CaptionMargin(h) > width || need.cy > height) {
      faults.push_back(who + " clips its text: it needs " + std::to_string(need.cx) + "x" +
                       std::to_string(need.cy) + " px beside a margin of " +
                       std::to_string(CaptionMargin(h)) + " and has " + std::to_string(width) +
                       "x" + std::to_string(height));
    }
  }
  return faults;
}

std::vector<int> ColumnWidths(HWND hList) {
  std::vector<int> widths;
  HWND hHeader = reinterpret_cast<HWND>(::SendMessageW(hList, LVM_GETHEADER, 0, 0));
  const int n = static_cast<int>(::SendMessageW(hHeader, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    widths.push_back(static_cast<int>(::SendMessageW(hList, LVM_GETCOLUMNWIDTH, i, 0)));
  }
  return widths;
}

std::vector<int> Scaled(const std::vector<int>& at96) {
  std::vector<int> widths;
  for (int w : at96) widths.push_back(::MulDiv(w, ScreenDpi(), 96));
  return widths;
}

// NAME-<dpi>.png of the window, when the run asks for screenshots.
void Shoot(const char* name, HWND hWnd) {
  const char* dir = std::getenv("TABRIX_DPI_SHOTS");
  if (!dir || !*dir) return;
  ::RedrawWindow(hWnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpMessages();
  ::Sleep(300);  // let the window surface reach the X server
  RECT area;
  ::GetWindowRect(hWnd, &area);
  ::InflateRect(&area, 4, 4);
  const std::string file = std::string(name) + "-" + std::to_string(ScreenDpi());
  EXPECT_TRUE(RequestScreenshot(dir, file, area)) << file;
}

class DpiLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_main.Create());
    theApp.m_pMainWnd = &m_main;
    const std::vector<tagTESTGROUP> groups = {
        {"成语", "张三", "四字成语", 1, {"一心一意", "三心二意", "十全十美"}},
        {"地名", "", "", 0, {"北京", "上海"}}};
    for (const tagTESTGROUP& g : groups) {
      const uint8_t index =
          m_main.m_library.AddGroup(g.strName.c_str(), g.strEditor.c_str(), g.strRemark.c_str());
      m_main.m_library.GetGroup(index)->bEnable = g.bEnable;
      for (const std::string& p : g.phrases)
        m_main.m_library.AddPhrase(p.c_str(), 255, 1, 1, index);
    }
    m_main.RefreshGroupList();
    PumpMessages();
  }
  void TearDown() override { theApp.m_pMainWnd = nullptr; }

  CTabrixDlg m_main;
};

TEST_F(DpiLayoutTest, TheProgramRunsAtTheResolutionAskedFor) {
  EXPECT_TRUE(::IsProcessDPIAware()) << "the manifest does not declare the program aware";
  const char* expected = std::getenv("TABRIX_EXPECT_DPI");
  if (expected && *expected) {
    EXPECT_EQ(std::atoi(expected), ScreenDpi());
  }
}

TEST_F(DpiLayoutTest, MainDialog) {
  EXPECT_EQ(std::vector<std::string>{}, LayoutFaults(m_main.m_hWnd));
  EXPECT_EQ(Scaled({120, 60, 120, 120}), ColumnWidths(m_main.m_ctrlList.m_hWnd));
  // The icons at the system's sizes for this resolution.
  for (int which : {ICON_BIG, ICON_SMALL}) {
    HICON hIcon = reinterpret_cast<HICON>(m_main.SendMessage(WM_GETICON, which));
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(hIcon, &info));
    BITMAP bm = {};
    ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(::GetSystemMetrics(which == ICON_BIG ? SM_CXICON : SM_CXSMICON), bm.bmWidth);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
  }
  // At its first size, which is its smallest.
  Shoot("main", m_main.m_hWnd);
  // Maximised: the list takes the room, nothing overlaps or leaves the window.
  ::ShowWindow(m_main.m_hWnd, SW_MAXIMIZE);
  PumpMessages();
  EXPECT_TRUE(::IsZoomed(m_main.m_hWnd));
  EXPECT_EQ(std::vector<std::string>{}, LayoutFaults(m_main.m_hWnd));
  Shoot("main-maximised", m_main.m_hWnd);
  ::ShowWindow(m_main.m_hWnd, SW_RESTORE);
  PumpMessages();
  EXPECT_EQ(std::vector<std::string>{}, LayoutFaults(m_main.m_hWnd));
}

TEST_F(DpiLayoutTest, PhraseWindow) {
  CPhraseDlg dlg(m_main.m_library, m_main.m_history, 0, &m_main);
  ASSERT_TRUE(dlg.Create(&m_main));
  ::ShowWindow(dlg.m_hWnd, SW_SHOWNORMAL);
  PumpMessages();
  EXPECT_EQ(std::vector<std::string>{}, LayoutFaults(dlg.m_hWnd));
  EXPECT_EQ(Scaled({170, 50}), ColumnWidths(dlg.m_ctrlList.m_hWnd));
  ::CheckDlgButton(dlg.m_hWnd, IDC_PHRASE_WHOLE, BST_CHECKED);
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PHRASE_WHOLE, BN_CLICKED),
                  reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_PHRASE_WHOLE)));
  EXPECT_EQ(Scaled({170, 50, 120}), ColumnWidths(dlg.m_ctrlList.m_hWnd));
  Shoot("phrases", dlg.m_hWnd);
  dlg.DestroyWindow();
}

TEST_F(DpiLayoutTest, GroupPropertyDialog) {
  CPLGroupPropDlg dlg(&m_main);
  dlg.m_strName = "成语";
  dlg.m_strEditor = "张三";
  dlg.m_strRemark = "四字成语";
  ASSERT_TRUE(dlg.Create(&m_main));
  ::ShowWindow(dlg.m_hWnd, SW_SHOWNORMAL);
  PumpMessages();
  EXPECT_EQ(std::vector<std::string>{}, LayoutFaults(dlg.m_hWnd));
  Shoot("group-properties", dlg.m_hWnd);
  dlg.DestroyWindow();
}

TEST_F(DpiLayoutTest, AboutBox) {
  CAboutDlg dlg(&m_main);
  ASSERT_TRUE(dlg.Create(&m_main));
  ::ShowWindow(dlg.m_hWnd, SW_SHOWNORMAL);
  PumpMessages();
  EXPECT_EQ(std::vector<std::string>{}, LayoutFaults(dlg.m_hWnd));
  Shoot("about", dlg.m_hWnd);
  dlg.DestroyWindow();
}

}  // namespace
