// Exceptions let out by the handlers of a dialog or of a subclassed control:
// stopped at the procedure, shown once in a message box, and the windows go
// on working. Without the stop they would unwind through the system's frames.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "TabrixApp.h"
#include "UiTestSupport.h"
#include "framework/Dialog.h"
#include "framework/UiScript.h"
#include "framework/WinApp.h"
#include "resource.h"

namespace {

const char kNotDone[] = "程序内部出错，这次操作没有完成。";

// The main dialog's template, whose "载入" throws a standard exception,
// "保存" something else, and "清空" counts its clicks.
class CThrowingDlg : public CDialog {
 public:
  CThrowingDlg() : CDialog(IDD_TABRIX_DIALOG) {}
  int m_nClears = 0;
  int m_nThrows = 0;

 protected:
  BOOL OnClicked(UINT nID) override {
    switch (nID) {
      case IDC_LOAD:
        ++m_nThrows;
        throw std::runtime_error("载入出错");
      case IDC_SAVE:
        ++m_nThrows;
        throw 42;
      case IDC_CLEAR:
        ++m_nClears;
        return TRUE;
      default:
        return CDialog::OnClicked(nID);
    }
  }
};

// A control whose own handler throws at WM_APP and whose pre-translation
// throws at WM_APP + 1; it counts the messages it handles.
class CThrowingControl : public CWnd {
 public:
  std::vector<UINT> m_handled;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_APP + 1) throw std::bad_alloc();
    return CWnd::PreTranslateMessage(pMsg);
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) throw std::logic_error("control");
    if (message >= WM_APP) {
      m_handled.push_back(message);
      return 7;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

void Click(CDialog& dlg, int nID) {
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                  reinterpret_cast<LPARAM>(dlg.GetDlgItem(nID)));
}

std::vector<std::string> Texts(const CUiScript& script) {
  std::vector<std::string> texts;
  for (const tagMESSAGEBOXCALL& box : script.m_messageBoxes) texts.push_back(box.strText);
  return texts;
}

TEST(HandlerExceptionTest, AFailedClickIsShownAndTheDialogGoesOn) {
  CUiScript script;
  CThrowingDlg dlg;
  ASSERT_TRUE(dlg.Create());
  Click(dlg, IDC_LOAD);
  Click(dlg, IDC_SAVE);
  ASSERT_TRUE(IsWindow(dlg.m_hWnd));
  EXPECT_EQ(dlg.m_nThrows, 2);
  // The text of a standard exception on a second line; nothing for others.
  EXPECT_EQ(Texts(script), (std::vector<std::string>{std::string(kNotDone) + "\n载入出错",
                                                     std::string(kNotDone)}));
  for (const tagMESSAGEBOXCALL& box : script.m_messageBoxes) {
    EXPECT_EQ(box.hOwner, dlg.m_hWnd);
    EXPECT_EQ(box.nType, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(box.strCaption, AfxGetAppName());
  }
  // The same procedure handles the next messages as before.
  Click(dlg, IDC_CLEAR);
  EXPECT_EQ(dlg.m_nClears, 1);
  Click(dlg, IDCANCEL);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.GetEndResult(), IDCANCEL);
}

TEST(HandlerExceptionTest, AModalDialogEndsNormallyAfterAFailedClick) {
  CUiScript script;
  CThrowingDlg owner;
  ASSERT_TRUE(owner.Create());
  theApp.m_pMainWnd = &owner;
  CThrowingDlg dlg;
  script.OnModalDialog([&](CDialog& d) {
    d.PostMessage(WM_COMMAND, MAKEWPARAM(IDC_LOAD, BN_CLICKED), 0);
    d.PostMessage(WM_COMMAND, MAKEWPARAM(IDC_CLEAR, BN_CLICKED), 0);
    d.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  theApp.m_pMainWnd = nullptr;
  EXPECT_EQ(dlg.m_nThrows, 1);
  EXPECT_EQ(dlg.m_nClears, 1);
  EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
  EXPECT_EQ(Texts(script), std::vector<std::string>{std::string(kNotDone) + "\n载入出错"});
  EXPECT_EQ(script.m_nUnexpected, 0);
}

TEST(HandlerExceptionTest, AFailedControlIsShownByItsDialog) {
  CUiScript script;
  CDialog dlg(IDD_TABRIX_DIALOG);
  ASSERT_TRUE(dlg.Create());
  CThrowingControl control;
  ASSERT_TRUE(control.SubclassDlgItem(IDC_LOAD, &dlg));
  EXPECT_EQ(control.SendMessage(WM_APP), 0);
  EXPECT_EQ(Texts(script), std::vector<std::string>{std::string(kNotDone) + "\ncontrol"});
  ASSERT_EQ(script.m_messageBoxes.size(), 1u);
  EXPECT_EQ(script.m_messageBoxes[0].hOwner, dlg.m_hWnd);
  // The control is still subclassed and answers the next message itself.
  EXPECT_EQ(CWnd::FromHandlePermanent(control.m_hWnd), &control);
  EXPECT_EQ(control.SendMessage(WM_APP + 2), 7);
  EXPECT_EQ(control.m_handled, std::vector<UINT>{WM_APP + 2});
  EXPECT_EQ(control.GetWindowText(), "载入");
}

TEST(HandlerExceptionTest, AFailedPreTranslationLetsTheMessageThrough) {
  CUiScript script;
  CDialog dlg(IDD_TABRIX_DIALOG);
  ASSERT_TRUE(dlg.Create());
  CThrowingControl control;
  ASSERT_TRUE(control.SubclassDlgItem(IDC_LOAD, &dlg));
  control.PostMessage(WM_APP + 1);
  PumpMessages();
  EXPECT_EQ(control.m_handled, std::vector<UINT>{WM_APP + 1});
  ASSERT_EQ(script.m_messageBoxes.size(), 1u);
  EXPECT_EQ(script.m_messageBoxes[0].strText.find(kNotDone), 0u);
  EXPECT_EQ(script.m_messageBoxes[0].hOwner, dlg.m_hWnd);
}

TEST(HandlerExceptionTest, AControlOutsideAnyDialogFailsQuietly) {
  CUiScript script;
  HWND hWnd = CreateWindowExA(0, "STATIC", "alone", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(hWnd, nullptr);
  {
    CThrowingControl control;
    ASSERT_TRUE(control.SubclassWindow(hWnd));
    EXPECT_EQ(control.SendMessage(WM_APP), 0);
    EXPECT_EQ(control.SendMessage(WM_APP + 3), 7);
  }
  // Nobody to tell: written to the debugger's output only.
  EXPECT_TRUE(script.m_messageBoxes.empty());
  DestroyWindow(hWnd);
}

// The report's box runs a message loop; a handler that fails while it is up
// gets no second box over the first.
TEST(HandlerExceptionTest, OneBoxAtATime) {
  CThrowingDlg dlg;
  ASSERT_TRUE(dlg.Create());
  int nBoxes = -1;
  std::string text;
  COwnedDialogDriver driver(dlg.m_hWnd, [&](HWND hBox) {
    text = WindowTextGbk(GetDlgItem(hBox, 0xFFFF));
    // Handled by the dialog's thread inside the box's loop.
    SendMessageA(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SAVE, BN_CLICKED), 0);
    nBoxes = 0;
    for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
      char name[16] = {};
      GetClassNameA(h, name, sizeof name);
      if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(h) &&
          GetWindow(h, GW_OWNER) == dlg.m_hWnd) {
        ++nBoxes;
      }
    }
    PostMessageA(hBox, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(hBox, IDOK)));
    return true;
  });
  Click(dlg, IDC_LOAD);
  EXPECT_TRUE(driver.Done());
  EXPECT_EQ(dlg.m_nThrows, 2);
  EXPECT_EQ(nBoxes, 1);
  EXPECT_EQ(text, std::string(kNotDone) + "\n载入出错");
  // Once the box is gone, the next failure is shown again.
  CUiScript script;
  Click(dlg, IDC_SAVE);
  EXPECT_EQ(Texts(script), std::vector<std::string>{kNotDone});
}

}  // namespace
