// The hyperlink control with the real controls under Wine: binding, fitting,
// tooltip, colours, hover, cursor, and the opening of the target through the
// shell and through the ".htm" browser command.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "HyperLink.h"
#include "LinkTestSupport.h"
#include "RegistryFixtures.h"
#include "ScratchDir.h"
#include "UiTestSupport.h"
#include "framework/Dialog.h"
#include "framework/UiScript.h"
#include "framework/WinApp.h"
#include "resource.h"

namespace {

// A file that does not exist: the shell cannot open it.
const char kMissingTarget[] = "Z:\\tabrix-missing-dir\\page.tabrixnone";

// What the link answers when its parent asks for its colours.
struct tagLINKCOLOUR {
  COLORREF text;
  int bkMode;
  HBRUSH hBrush;
};

tagLINKCOLOUR AskColour(HWND hDlg, HWND hLink) {
  HDC hDC = ::GetDC(hLink);
  ::SetTextColor(hDC, RGB(1, 2, 3));
  ::SetBkMode(hDC, OPAQUE);
  HBRUSH hBrush = reinterpret_cast<HBRUSH>(::SendMessageA(
      hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC), reinterpret_cast<LPARAM>(hLink)));
  const tagLINKCOLOUR colour = {::GetTextColor(hDC), ::GetBkMode(hDC), hBrush};
  ::ReleaseDC(hLink, hDC);
  return colour;
}

COLORREF TextColour(CHyperLink& link) {
  return AskColour(::GetParent(link.m_hWnd), link.m_hWnd).text;
}

// The click notification a static control with SS_NOTIFY sends its parent.
void ClickLink(CHyperLink& link) {
  ::SendMessageA(::GetParent(link.m_hWnd), WM_COMMAND,
                 MAKEWPARAM(::GetDlgCtrlID(link.m_hWnd), STN_CLICKED),
                 reinterpret_cast<LPARAM>(link.m_hWnd));
}

// The About box's template without its own binding: a test binds item
// IDC_HYPERLINK itself, after giving it the text and style it needs.
class CLinkHostDlg : public CDialog {
 public:
  CLinkHostDlg() : CDialog(IDD_ABOUTBOX) {}
};

// The command line the stand-in browser records, read once it is written.
class CRecordedCommand {
 public:
  CRecordedCommand() : m_strPath(BackslashPath(m_dir.Path("command.txt"))) {
    ::SetEnvironmentVariableA("TABRIX_RECORD_FILE", m_strPath.c_str());
  }
  ~CRecordedCommand() { ::SetEnvironmentVariableA("TABRIX_RECORD_FILE", nullptr); }
  // The recorded line; empty when none came.
  std::string Wait() {
    const bool came = PumpUntil(
        [&] { return ::GetFileAttributesA(m_strPath.c_str()) != INVALID_FILE_ATTRIBUTES; });
    if (!came) return std::string();
    std::ifstream in(m_strPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  CScratchDir m_dir;
  std::string m_strPath;
};

// The ".htm" association of the test's prefix, replaced by one of the test's
// own and put back afterwards.
class CHtmAssociation {
 public:
  static constexpr const char* kProgId = "TabrixTest.htm";
  CHtmAssociation() : m_htm(HKEY_CLASSES_ROOT, ".htm"), m_progId(HKEY_CLASSES_ROOT, kProgId) {}
  bool Register(const std::string& command) {
    return SetRegistryDefaultText(HKEY_CLASSES_ROOT, ".htm", kProgId) &&
           SetRegistryDefaultText(HKEY_CLASSES_ROOT,
                                  std::string(kProgId) + "\\shell\\open\\command", command);
  }
  static void Remove() { ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ".htm"); }

 private:
  CSavedDefault m_htm;
  CSavedDefault m_progId;
};

std::string RecorderPath() { return BackslashPath(TABRIX_RECORDER_EXE); }

// A link on item IDC_HYPERLINK of a host dialog, with the text and style a
// test gives.
class HyperLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_host.Create()); }
  void TearDown() override { EXPECT_EQ(m_script.m_nUnexpected, 0); }
  void Attach(const std::string& text, DWORD addStyle = 0) {
    HWND hItem = m_host.GetDlgItem(IDC_HYPERLINK);
    ::SetWindowTextA(hItem, text.c_str());
    if (addStyle) {
      ::SetWindowLongPtrA(hItem, GWL_STYLE, ::GetWindowLongPtrA(hItem, GWL_STYLE) | addStyle);
    }
    ASSERT_TRUE(m_link.SubclassDlgItem(IDC_HYPERLINK, &m_host));
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const tagMESSAGEBOXCALL& call : m_script.m_messageBoxes) texts.push_back(call.strText);
    return texts;
  }

  CUiScript m_script;
  CLinkHostDlg m_host;
  CHyperLink m_link;  // goes before its host
};

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Removes a file when the scope ends, however the test ends.
struct tagFILEGUARD {
  std::string strPath;
  ~tagFILEGUARD() { ::DeleteFileA(strPath.c_str()); }
};

TEST_F(HyperLinkTest, PreTranslationRelaysToTheTooltipFirst) {
  Attach("Z:\\page.htm");
  static std::vector<MSG> relayed;
  static WNDPROC pfnTip = nullptr;
  relayed.clear();
  pfnTip = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      m_link.m_wndTip.m_hWnd, GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == TTM_RELAYEVENT && l) relayed.push_back(*reinterpret_cast<MSG*>(l));
        return ::CallWindowProcA(pfnTip, h, m, w, l);
      })));
  MSG msg = {m_link.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 5), 0, {0, 0}};
  EXPECT_FALSE(m_link.PreTranslateMessage(&msg)) << "the message goes on";
  ASSERT_EQ(relayed.size(), 1u);
  EXPECT_EQ(relayed[0].hwnd, m_link.m_hWnd);
  EXPECT_EQ(relayed[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(relayed[0].lParam, MAKELPARAM(4, 5));
}

TEST_F(HyperLinkTest, AttachTakesTheTextAsTarget) {
  Attach("Z:\\docs\\index.htm");
  EXPECT_EQ(m_link.m_strTarget, "Z:\\docs\\index.htm");
  EXPECT_EQ(m_link.GetWindowText(), "Z:\\docs\\index.htm");
  EXPECT_EQ(m_link.m_wndTip.GetText(&m_link, 1), "Z:\\docs\\index.htm");
}

TEST_F(HyperLinkTest, AttachWithAPresetTargetFillsAnEmptyText) {
  m_link.m_strTarget = "https://tabrix.example/help";
  Attach("");
  EXPECT_EQ(m_link.GetWindowText(), "https://tabrix.example/help");
  EXPECT_EQ(m_link.m_strTarget, "https://tabrix.example/help");
  const RECT rect = RectInParent(m_link.m_hWnd);
  EXPECT_EQ(rect.right - rect.left, UnderlinedExtent(m_link).cx) << "fitted to the new text";
}

TEST_F(HyperLinkTest, ACentredLinkKeepsItsCentre) {
  // Wider and narrower than its text, with an even and an odd difference.
  for (const char* text : {"ab", "abc", "https://tabrix.example/a/long/path/for/the/test"}) {
    SCOPED_TRACE(text);
    CLinkHostDlg host;
    ASSERT_TRUE(host.Create());
    HWND hItem = host.GetDlgItem(IDC_HYPERLINK);
    ::SetWindowTextA(hItem, text);
    ::SetWindowLongPtrA(hItem, GWL_STYLE, ::GetWindowLongPtrA(hItem, GWL_STYLE) | SS_CENTER);
    const RECT before = RectInParent(hItem);
    CHyperLink link;
    ASSERT_TRUE(link.SubclassDlgItem(IDC_HYPERLINK, &host));
    const RECT after = RectInParent(hItem);
    const LONG need = UnderlinedExtent(link).cx;
    const LONG oldWidth = before.right - before.left;
    const LONG shift = (oldWidth - need) / 2;
    EXPECT_EQ(after.left, before.left + shift);
    EXPECT_EQ(after.right, before.right - shift);
    EXPECT_EQ(after.top, before.top);
    // Odd differences leave the width one more than needed when the control
    // was wider, one less when it was narrower.
    EXPECT_LE(std::abs((after.right - after.left) - need), 1);
  }
}

TEST_F(HyperLinkTest, ARightAlignedLinkKeepsItsRightEdge) {
  HWND hItem = m_host.GetDlgItem(IDC_HYPERLINK);
  ::SetWindowLongPtrA(hItem, GWL_STYLE, ::GetWindowLongPtrA(hItem, GWL_STYLE) | SS_RIGHT);
  const RECT before = RectInParent(hItem);
  Attach("ab");
  const RECT after = RectInParent(hItem);
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.right - after.left, UnderlinedExtent(m_link).cx);
}

TEST_F(HyperLinkTest, ColoursFollowHoverAndVisits) {
  Attach(kMissingTarget);
  HWND hDlg = m_host.m_hWnd;
  tagLINKCOLOUR colour = AskColour(hDlg, m_link.m_hWnd);
  EXPECT_EQ(colour.text, kLinkColour);
  EXPECT_EQ(colour.bkMode, TRANSPARENT);
  EXPECT_EQ(colour.hBrush, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));

  // Keep the real pointer away so that the hover timer does not end the hover.
  RECT screen;
  ::GetWindowRect(m_link.m_hWnd, &screen);
  ::SetCursorPos((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2);
  m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  EXPECT_TRUE(m_link.m_bHot);
  EXPECT_EQ(m_link.GetFont(), m_link.m_fontUnderlined.m_hObject);
  EXPECT_EQ(TextColour(m_link), kHoverColour);

  m_link.MarkVisited(TRUE);
  EXPECT_EQ(TextColour(m_link), kHoverColour) << "hover wins over visited";
  m_link.m_bHot = FALSE;
  EXPECT_EQ(TextColour(m_link), kVisitedColour);
  m_link.MarkVisited(FALSE);
  EXPECT_EQ(TextColour(m_link), kLinkColour);
}

TEST_F(HyperLinkTest, LeavingTheLinkEndsTheHoverAtTheNextTick) {
  Attach(kMissingTarget);
  RECT screen;
  ::GetWindowRect(m_link.m_hWnd, &screen);
  ::SetCursorPos((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2);
  m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  ASSERT_TRUE(m_link.m_bHot);
  // Ticks while the pointer is inside change nothing.
  for (int i = 0; i < 3; ++i) {
    ::Sleep(110);
    PumpMessages();
  }
  EXPECT_TRUE(m_link.m_bHot);
  EXPECT_EQ(m_link.GetFont(), m_link.m_fontUnderlined.m_hObject);

  ::SetCursorPos(screen.right + 40, screen.bottom + 40);
  EXPECT_TRUE(PumpUntil([&] { return !m_link.m_bHot; }));
  EXPECT_EQ(m_link.GetFont(), m_link.m_fontPlain.m_hObject);
  EXPECT_EQ(TextColour(m_link), kLinkColour);
  // The timer is stopped: there is none left to kill.
  EXPECT_FALSE(::KillTimer(m_link.m_hWnd, m_link.m_nHoverTimerId));

  // A second visit starts the hover afresh.
  m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  EXPECT_TRUE(m_link.m_bHot);
  EXPECT_TRUE(::KillTimer(m_link.m_hWnd, m_link.m_nHoverTimerId)) << "the timer runs again";
}

TEST_F(HyperLinkTest, UnderlineModesChooseTheFont) {
  Attach(kMissingTarget);
  m_link.SetUnderlineMode(1);
  EXPECT_EQ(m_link.m_nUnderlineMode, 1);
  EXPECT_EQ(m_link.GetFont(), m_link.m_fontUnderlined.m_hObject);
  m_link.SetUnderlineMode(0);
  EXPECT_EQ(m_link.GetFont(), m_link.m_fontPlain.m_hObject);
  // In mode 0 hovering keeps the plain font.
  m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  EXPECT_TRUE(m_link.m_bHot);
  EXPECT_EQ(m_link.GetFont(), m_link.m_fontPlain.m_hObject);
  ::KillTimer(m_link.m_hWnd, m_link.m_nHoverTimerId);
}

TEST_F(HyperLinkTest, EraseFillsWithTheButtonFaceColour) {
  Attach(kMissingTarget);
  HDC hScreen = ::GetDC(nullptr);
  HDC hDC = ::CreateCompatibleDC(hScreen);
  HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, 8, 8);
  ::ReleaseDC(nullptr, hScreen);
  HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
  RECT all = {0, 0, 8, 8};
  ::FillRect(hDC, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  const LRESULT erased = m_link.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC));
  const COLORREF pixel = ::GetPixel(hDC, 1, 1);
  ::SelectObject(hDC, hOld);
  ::DeleteObject(hBitmap);
  ::DeleteDC(hDC);
  EXPECT_NE(erased, 0);
  EXPECT_EQ(pixel, ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(HyperLinkTest, SetCursorUsesTheLinkCursorOnlyWhenThereIsOne) {
  Attach(kMissingTarget);
  const LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
  if (!m_link.m_hLinkCursor) {
    HCURSOR hBefore = ::GetCursor();
    EXPECT_EQ(m_link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_link.m_hWnd), hit), 0);
    EXPECT_EQ(::GetCursor(), hBefore);
  }
  m_link.m_hLinkCursor = static_cast<HCURSOR>(
      ::CopyIcon(static_cast<HICON>(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32515)))));
  ASSERT_NE(m_link.m_hLinkCursor, nullptr);
  EXPECT_NE(m_link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_link.m_hWnd), hit), 0);
  EXPECT_EQ(::GetCursor(), m_link.m_hLinkCursor);
}

TEST(HyperLinkCursorTest, TheLinkCursorComesFromTheWindowsDirectory) {
  char dir[MAX_PATH];
  ASSERT_GT(::GetWindowsDirectoryA(dir, sizeof dir), 0u);
  const std::string module = std::string(dir) + "\\winhlp32.exe";
  const std::string ours = BackslashPath(TABRIX_LINK_CURSOR_MODULE);
  // A copy of ours left behind by an interrupted run is not the system's.
  if (FileBytes(module) == FileBytes(ours)) ::DeleteFileA(module.c_str());
  if (::GetFileAttributesA(module.c_str()) != INVALID_FILE_ATTRIBUTES) {
    // The system has its own: the link takes its cursor 106 exactly when it has one.
    HMODULE hModule = ::LoadLibraryA(module.c_str());
    const bool has106 = hModule && ::LoadCursorA(hModule, MAKEINTRESOURCEA(106));
    if (hModule) ::FreeLibrary(hModule);
    CHyperLink link;
    link.LoadLinkCursor();
    EXPECT_EQ(link.m_hLinkCursor != nullptr, has106);
    GTEST_SKIP() << "the Windows directory has a winhlp32.exe of its own";
  }
  {
    CHyperLink link;
    link.LoadLinkCursor();
    EXPECT_EQ(link.m_hLinkCursor, nullptr) << "no module, no cursor";
  }
  ASSERT_TRUE(::CopyFileA(ours.c_str(), module.c_str(), TRUE));
  const tagFILEGUARD removeCopy = {module};
  // Wine has a winhlp32.exe of its own, which it prefers to a file of that
  // name unless told otherwise; Windows ignores this key.
  CSavedValue wineOrder(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "winhlp32.exe");
  ASSERT_TRUE(wineOrder.Set("native"));
  CHyperLink link;
  link.LoadLinkCursor();
  HCURSOR hFirst = link.m_hLinkCursor;
  EXPECT_NE(hFirst, nullptr);
  // Once there is one, it is kept.
  link.LoadLinkCursor();
  EXPECT_EQ(link.m_hLinkCursor, hFirst);
}

TEST_F(HyperLinkTest, ASuccessfulOpenMarksTheLinkVisited) {
  // A file of a type whose open command is the stand-in browser.
  CSavedDefault ext(HKEY_CLASSES_ROOT, ".tabrixpage");
  CSavedDefault type(HKEY_CLASSES_ROOT, "TabrixTest.page");
  ASSERT_TRUE(SetRegistryDefaultText(HKEY_CLASSES_ROOT, ".tabrixpage", "TabrixTest.page"));
  ASSERT_TRUE(SetRegistryDefaultText(HKEY_CLASSES_ROOT, "TabrixTest.page\\shell\\open\\command",
                                     "\"" + RecorderPath() + "\" \"%1\""));
  const CScratchDir dir;
  const std::string page = BackslashPath(dir.Write("page.tabrixpage", "page"));

  CRecordedCommand recorded;
  Attach(page);
  m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  ClickLink(m_link);
  EXPECT_FALSE(m_link.m_bHot);
  EXPECT_TRUE(m_link.m_bLinkVisited);
  EXPECT_EQ(TextColour(m_link), kVisitedColour);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  const std::string line = recorded.Wait();
  EXPECT_NE(line.find(page), std::string::npos) << line;
  ::KillTimer(m_link.m_hWnd, m_link.m_nHoverTimerId);
}

TEST_F(HyperLinkTest, FallbackCutsTheCommandAtTheQuotedPlaceholder) {
  CHtmAssociation htm;
  ASSERT_TRUE(htm.Register("\"" + RecorderPath() + "\" -first \"%1\" -second"));
  CRecordedCommand recorded;
  Attach(kMissingTarget);
  ClickLink(m_link);
  EXPECT_EQ(recorded.Wait(), "\"" + RecorderPath() + "\" -first  " + std::string(kMissingTarget));
  EXPECT_TRUE(m_link.m_bLinkVisited);
  EXPECT_EQ(TextColour(m_link), kVisitedColour);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

TEST_F(HyperLinkTest, FallbackWithoutPlaceholderAppendsTheTarget) {
  CHtmAssociation htm;
  ASSERT_TRUE(htm.Register("\"" + RecorderPath() + "\" -only"));
  CRecordedCommand recorded;
  Attach(kMissingTarget);
  ClickLink(m_link);
  EXPECT_EQ(recorded.Wait(), "\"" + RecorderPath() + "\" -only " + std::string(kMissingTarget));
  EXPECT_TRUE(m_link.m_bLinkVisited);
}

TEST_F(HyperLinkTest, WithoutAnHtmAssociationTheShellsFailureIsShown) {
  CHtmAssociation htm;
  CHtmAssociation::Remove();
  Attach(kMissingTarget);
  m_link.MarkVisited(TRUE);  // an earlier successful open
  ClickLink(m_link);
  EXPECT_FALSE(m_link.m_bLinkVisited);
  EXPECT_EQ(TextColour(m_link), kLinkColour);
  ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
  const tagMESSAGEBOXCALL& box = m_script.m_messageBoxes[0];
  EXPECT_EQ(box.strText, "Unable to open hyperlink:\n\nThe specified file was not found.");
  EXPECT_EQ(box.nType, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_EQ(box.strCaption, AfxGetAppName());
  EXPECT_EQ(box.hOwner, m_host.m_hWnd);
}

TEST_F(HyperLinkTest, AFailedBrowserCommandShowsWinExecsCode) {
  CHtmAssociation htm;
  const std::string missingBrowser = "Z:\\tabrix-missing-dir\\browser.exe";
  ASSERT_TRUE(htm.Register("\"" + missingBrowser + "\" \"%1\""));
  Attach(kMissingTarget);
  ClickLink(m_link);
  const UINT code = ::WinExec(("\"" + missingBrowser + "\"  x").c_str(), SW_SHOW);
  ASSERT_LE(code, 32u);
  EXPECT_FALSE(m_link.m_bLinkVisited);
  EXPECT_EQ(Messages(),
            std::vector<std::string>{"Unable to open hyperlink:\n\n" +
                                     std::string(code == 2 ? "The specified file was not found."
                                                           : "The specified path was not found.")});
}

TEST_F(HyperLinkTest, ACommandThatDoesNotFitIsNeverStarted) {
  CHtmAssociation htm;
  ASSERT_TRUE(htm.Register("\"" + RecorderPath() + "\" -first \"%1\""));
  // The cut command, a space and this target need more than 520 bytes.
  const std::string target = "Z:\\tabrix-missing-dir\\" + std::string(480, 'a') + ".tabrixnone";
  const int32_t shell = static_cast<int32_t>(reinterpret_cast<INT_PTR>(
      ::ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOW)));
  ASSERT_LE(shell, 32);
  EXPECT_EQ(CHyperLink::OpenTarget(target.c_str(), SW_SHOW), shell);
  // The same command with a short target is started.
  CRecordedCommand recorded;
  EXPECT_GT(CHyperLink::OpenTarget(kMissingTarget, SW_SHOW), 32);
  EXPECT_FALSE(recorded.Wait().empty());
}

TEST_F(HyperLinkTest, OpenErrorsAreShownInEnglishWithTheExclamationIcon) {
  Attach(kMissingTarget);
  m_link.ShowOpenError(31);
  m_link.ShowOpenError(26);
  m_link.ShowOpenError(4);
  EXPECT_EQ(Messages(), (std::vector<std::string>{
                            "Unable to open hyperlink:\n\nThere is no application associated\n"
                            "with the given filename extension.",
                            "Unable to open hyperlink:\n\nA sharing violation occurred. ",
                            "Unable to open hyperlink:\n\nUnknown Error (4) occurred."}));
  for (const tagMESSAGEBOXCALL& box : m_script.m_messageBoxes) {
    EXPECT_EQ(box.nType, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(box.strCaption, AfxGetAppName());
  }
}

TEST(HyperLinkRegistryTest, QueryRegDefaultCopiesOnlyReadTerminatedText) {
  const std::string base = "Software\\TabrixLinkTest";
  ::RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
  const std::string longest(259, 'l');
  const std::string tooLong(260, 'l');
  ASSERT_TRUE(SetRegistryDefaultText(HKEY_CURRENT_USER, base + "\\text", "htmlfile"));
  ASSERT_TRUE(SetRegistryDefault(HKEY_CURRENT_USER, base + "\\expand", REG_EXPAND_SZ, "%X%\\b", 7));
  ASSERT_TRUE(SetRegistryDefault(HKEY_CURRENT_USER, base + "\\empty", REG_SZ, "", 0));
  ASSERT_TRUE(SetRegistryDefaultText(HKEY_CURRENT_USER, base + "\\longest", longest));
  ASSERT_TRUE(SetRegistryDefaultText(HKEY_CURRENT_USER, base + "\\toolong", tooLong));
  ASSERT_TRUE(SetRegistryDefault(HKEY_CURRENT_USER, base + "\\binary", REG_BINARY, "abc\0", 4));
  const DWORD number = 7;
  ASSERT_TRUE(SetRegistryDefault(HKEY_CURRENT_USER, base + "\\number", REG_DWORD, &number, 4));
  HKEY hKey = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (base + "\\novalue").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
            ERROR_SUCCESS);
  ::RegCloseKey(hKey);

  const struct {
    const char* key;
    LONG status;
    std::string out;
  } cases[] = {
      {"text", ERROR_SUCCESS, "htmlfile"},
      {"expand", ERROR_SUCCESS, "%X%\\b"},
      {"empty", ERROR_SUCCESS, ""},
      {"longest", ERROR_SUCCESS, longest},
      {"toolong", ERROR_MORE_DATA, "keep"},
      {"binary", ERROR_INVALID_DATA, "keep"},
      {"number", ERROR_INVALID_DATA, "keep"},
      {"novalue", ERROR_FILE_NOT_FOUND, "keep"},
      {"nokey", ERROR_FILE_NOT_FOUND, "keep"},
  };
  for (const auto& c : cases) {
    char out[520] = "keep";
    EXPECT_EQ(CHyperLink::QueryRegDefault(HKEY_CURRENT_USER, (base + "\\" + c.key).c_str(), out,
                                          sizeof out),
              c.status)
        << c.key;
    EXPECT_EQ(std::string(out), c.out) << c.key;
  }
  // The buffer that names the key may take its value.
  char same[520];
  std::snprintf(same, sizeof same, "%s\\text", base.c_str());
  EXPECT_EQ(CHyperLink::QueryRegDefault(HKEY_CURRENT_USER, same, same, sizeof same), ERROR_SUCCESS);
  EXPECT_STREQ(same, "htmlfile");
  ::RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str());
}

TEST_F(HyperLinkTest, DestroyingTheWindowReleasesFontsAndTooltip) {
  Attach(kMissingTarget);
  m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  HWND hTip = m_link.m_wndTip.m_hWnd;
  HWND hLink = m_link.m_hWnd;
  ASSERT_TRUE(::IsWindow(hTip));
  EXPECT_TRUE(m_link.DestroyWindow());
  EXPECT_FALSE(::IsWindow(hLink));
  EXPECT_EQ(m_link.m_hWnd, nullptr);
  EXPECT_EQ(m_link.m_fontPlain.m_hObject, nullptr);
  EXPECT_EQ(m_link.m_fontUnderlined.m_hObject, nullptr);
  EXPECT_FALSE(::IsWindow(hTip));
  EXPECT_EQ(m_link.m_wndTip.m_hWnd, nullptr);
}

}  // namespace
