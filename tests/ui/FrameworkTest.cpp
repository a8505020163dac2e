// The framework under the dialogs: names, filters, the modal loop, the data
// exchange, reflection of notifications, and the test seam itself.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TabrixApp.h"
#include "TabrixDlg.h"
#include "UiTestSupport.h"
#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/PathText.h"
#include "framework/MessageBox.h"
#include "framework/UiScript.h"
#include "framework/WinApp.h"
#include "resource.h"

namespace {

TEST(AppNameTest, ExecutableNameWithoutFolderAndExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\Program Files\\Tabrix\\Tabrix.exe", "Tabrix"},
      {"Z:/work/build/Tabrix.exe", "Tabrix"},
      {"Tabrix.exe", "Tabrix"},
      {"C:\\dir.d\\editor", "editor"},
      {"C:\\a\\b.c.exe", "b.c"},
      // The path is UTF-8 and the name comes out GBK, where 誠 is D5 5C and
      // ends with the byte of '\\'; a character GBK lacks shows as '?'.
      {u8"C:\\誠\\誠.exe", "\xD5\x5C"},
      {u8"C:\\\uD55C\uAD6D\\\uD55C\uAD6D.exe", "??"},
  };
  for (const auto& c : cases) EXPECT_EQ(AppNameFromModulePath(c.first), c.second) << c.first;
}

// Paths are UTF-8, windows and library texts GBK.
TEST(PathTextTest, PathsAndGbkTextsConvertWithoutLookAlikes) {
  EXPECT_EQ(PathTextInGbk(u8"C:\\词库\\成语.txt"), "C:\\词库\\成语.txt");
  // U+01C5's best-fit look-alike would be "Dz"; Hangul has no GBK form.
  EXPECT_EQ(PathTextInGbk(u8"x\u01C5\uD55C\uAD6D", '_'), "x___");
  EXPECT_EQ(PathTextInGbk(u8"\uD55C\uAD6D"), "??");
  EXPECT_EQ(PathTextInGbk(""), "");
  EXPECT_EQ(PathTextFromGbk("成语.txt"), u8"成语.txt");
  EXPECT_EQ(PathFromSystem(L"a\uD55C.wbk"), u8"a\uD55C.wbk");
  // A lone surrogate has no UTF-8 form: no path, rather than U+FFFD's.
  EXPECT_EQ(PathFromSystem(L"a\xD800.wbk"), "");
}

TEST(AppNameTest, MessageBoxCaptionIsTheModuleName) {
  char path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
  std::string name = path;
  name = name.substr(name.find_last_of("\\/") + 1);
  name = name.substr(0, name.rfind('.'));
  EXPECT_EQ(AfxGetAppName(), name);
  CUiScript script;
  AfxMessageBox(nullptr, "text");
  ASSERT_EQ(script.m_messageBoxes.size(), 1u);
  EXPECT_EQ(script.m_messageBoxes[0].strCaption, name);
  EXPECT_EQ(script.m_messageBoxes[0].nType, static_cast<UINT>(MB_OK));
}

TEST(FileFilterTest, PairsOfDescriptionAndPattern) {
  using Pairs = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(CFileDialog::ParseFilter("青柚云笺词库文件(*.wbk)|*.wbk||"),
            (Pairs{{"青柚云笺词库文件(*.wbk)", "*.wbk"}}));
  EXPECT_EQ(CFileDialog::ParseFilter("A|*.a|B|*.b;*.c||ignored|*.x||"),
            (Pairs{{"A", "*.a"}, {"B", "*.b;*.c"}}));
  EXPECT_EQ(CFileDialog::ParseFilter("A|*.a"), (Pairs{{"A", "*.a"}}));
  EXPECT_EQ(CFileDialog::ParseFilter(""), Pairs{});
  EXPECT_EQ(CFileDialog::ParseFilter(nullptr), Pairs{});
  // 亅 is 81 7C in GBK: its trail byte is not a separator.
  EXPECT_EQ(CFileDialog::ParseFilter("\x81\x7C|*.t||"), (Pairs{{"\x81\x7C", "*.t"}}));
}

TEST(UiScriptTest, AnswersInOrderAndCountsTheUnexpected) {
  CUiScript script;
  script.AnswerFile("Z:\\a.wbk");
  script.CancelFile();
  CFileDialog first(TRUE, "wbk", nullptr, 0, "F|*.wbk||");
  EXPECT_EQ(first.DoModal(), IDOK);
  EXPECT_EQ(first.GetPathName(), "Z:\\a.wbk");
  CFileDialog second(FALSE, "txt", nullptr, 0, "T|*.txt||");
  EXPECT_EQ(second.DoModal(), IDCANCEL);
  EXPECT_EQ(second.GetPathName(), "");
  EXPECT_EQ(script.m_nUnexpected, 0);
  CFileDialog third(TRUE);
  EXPECT_EQ(third.DoModal(), IDCANCEL);
  EXPECT_EQ(script.m_nUnexpected, 1);
  ASSERT_EQ(script.m_fileDialogs.size(), 3u);
  EXPECT_TRUE(script.m_fileDialogs[0].bOpen);
  EXPECT_EQ(script.m_fileDialogs[1].strDefExt, "txt");
  EXPECT_EQ(script.m_fileDialogs[1].strFilter, "T|*.txt||");
  script.m_nUnexpected = 0;
}

TEST(ApplicationTest, RunsTheMainDialogModallyAndEnds) {
  CUiScript script;
  bool bSeen = false;
  script.OnModalDialog([&](CDialog& dialog) {
    bSeen = true;
    EXPECT_EQ(dialog.m_nIDTemplate, static_cast<UINT>(IDD_TABRIX_DIALOG));
    EXPECT_EQ(theApp.m_pMainWnd, &dialog);
    EXPECT_TRUE(dialog.IsModal());
    EXPECT_TRUE(IsWindowVisible(dialog.m_hWnd));
    EXPECT_NE(dynamic_cast<CTabrixDlg*>(&dialog), nullptr);
    // The exit button.
    dialog.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDCANCEL)));
  });
  EXPECT_FALSE(theApp.InitInstance());
  EXPECT_TRUE(bSeen);
  EXPECT_EQ(theApp.m_pMainWnd, nullptr);
  EXPECT_EQ(script.m_modalDialogs, std::vector<UINT>{IDD_TABRIX_DIALOG});
  EXPECT_EQ(script.m_nUnexpected, 0);
}

// The main dialog's template with a data exchange of its own over the range
// fields.
class CExchangeDlg : public CDialog {
 public:
  CExchangeDlg() : CDialog(IDD_TABRIX_DIALOG) {}
  std::string m_strMin = "12";
  std::string m_strMax = "34";
  bool m_bRefuseMax = false;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_FREQ_MIN, m_strMin);
    DDX_Text(pDX, IDC_FREQ_MAX, m_strMax);
    if (pDX->m_bSaveAndValidate && m_bRefuseMax) pDX->Fail();
  }
};

TEST(DataExchangeTest, BothDirectionsAndAFailedCheck) {
  CExchangeDlg dlg;
  ASSERT_TRUE(dlg.Create());
  EXPECT_EQ(dlg.GetDlgItemText(IDC_FREQ_MIN), "12");
  EXPECT_EQ(dlg.GetDlgItemText(IDC_FREQ_MAX), "34");
  dlg.SetDlgItemText(IDC_FREQ_MIN, "词频");
  dlg.SetDlgItemText(IDC_FREQ_MAX, "250");
  EXPECT_TRUE(dlg.UpdateData(TRUE));
  EXPECT_EQ(dlg.m_strMin, "词频");
  EXPECT_EQ(dlg.m_strMax, "250");

  // A failed check keeps the dialog open, with the focus on the last edit box
  // prepared and its whole text selected.
  dlg.m_bRefuseMax = true;
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_NE(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.GetEndResult(), -1);
  EXPECT_EQ(GetFocus(), dlg.GetDlgItem(IDC_FREQ_MAX));
  DWORD start = 1, end = 0;
  SendMessageA(dlg.GetDlgItem(IDC_FREQ_MAX), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 3u);
  dlg.m_bRefuseMax = false;
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(dlg.GetEndResult(), IDOK);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

// A static control that answers its colour and its clicks itself.
class CReflectingStatic : public CWnd {
 public:
  int m_nClicks = 0;
  int m_nColours = 0;
  HBRUSH m_hBrush = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));

 protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT* pResult) override {
    if (message == WM_CTLCOLORSTATIC) {
      ++m_nColours;
      *pResult = reinterpret_cast<LRESULT>(m_hBrush);
      return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED) {
      ++m_nClicks;
      *pResult = 0;
      return TRUE;
    }
    return FALSE;
  }
};

class CCommandCountDlg : public CDialog {
 public:
  CCommandCountDlg() : CDialog(IDD_TABRIX_DIALOG) {}
  int m_nCommands = 0;

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    ++m_nCommands;
    return CDialog::OnCommand(wParam, lParam);
  }
};

TEST(ReflectionTest, StaticColourAndClickGoToTheControl) {
  CCommandCountDlg dlg;
  ASSERT_TRUE(dlg.Create());
  HWND hStatic = nullptr;
  for (HWND h = GetWindow(dlg.m_hWnd, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
    char name[32] = {};
    GetClassNameA(h, name, sizeof name);
    if (std::string(name) == "Static") {
      hStatic = h;
      break;
    }
  }
  ASSERT_NE(hStatic, nullptr);
  CReflectingStatic link;
  ASSERT_TRUE(link.SubclassWindow(hStatic));
  EXPECT_EQ(CWnd::FromHandlePermanent(hStatic), &link);

  HDC hDC = GetDC(hStatic);
  const LRESULT brush = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                        reinterpret_cast<LPARAM>(hStatic));
  ReleaseDC(hStatic, hDC);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), link.m_hBrush);
  EXPECT_EQ(link.m_nColours, 1);

  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(0xFFFF, STN_CLICKED), reinterpret_cast<LPARAM>(hStatic));
  EXPECT_EQ(link.m_nClicks, 1);
  EXPECT_EQ(dlg.m_nCommands, 0);
  // A button has no wrapper: its click reaches the dialog.
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOAD, BN_CLICKED),
                  reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_LOAD)));
  EXPECT_EQ(dlg.m_nCommands, 1);

  // Unsubclassing hands the window back.
  EXPECT_EQ(link.UnsubclassWindow(), hStatic);
  EXPECT_EQ(CWnd::FromHandlePermanent(hStatic), nullptr);
}

// The main dialog's template, noting the ids of the clicks that reach it.
class CClickLogDlg : public CDialog {
 public:
  CClickLogDlg() : CDialog(IDD_TABRIX_DIALOG) {}
  std::vector<UINT> m_clicked;

 protected:
  BOOL OnClicked(UINT nID) override {
    m_clicked.push_back(nID);
    return nID == IDOK || nID == IDCANCEL ? CDialog::OnClicked(nID) : TRUE;
  }
};

TEST(CommandTest, OnlyClicksAndAcceleratorsReachOnClicked) {
  CClickLogDlg dlg;
  ASSERT_TRUE(dlg.Create());
  const struct {
    UINT nID;
    UINT nCode;
  } commands[] = {{IDC_LOAD, BN_CLICKED}, {IDC_FREQ_MIN, EN_CHANGE},   {IDC_SAVE, BN_DOUBLECLICKED},
                  {IDC_SAVE, 1},          {IDC_FREQ_MAX, EN_SETFOCUS}, {IDC_CLEAR, BN_SETFOCUS}};
  for (const auto& c : commands) {
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(c.nID, c.nCode),
                    reinterpret_cast<LPARAM>(dlg.GetDlgItem(c.nID)));
  }
  EXPECT_EQ(dlg.m_clicked, (std::vector<UINT>{IDC_LOAD, IDC_SAVE}));
  // The default still ends the dialog on OK and Cancel.
  dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.GetEndResult(), IDCANCEL);
}

// A control that sees the messages of its window before they are dispatched.
class CPreTranslateProbe : public CWnd {
 public:
  std::vector<UINT> m_seen;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message == WM_APP + 7) m_seen.push_back(pMsg->message);
    return FALSE;
  }
};

class CProbeHostDlg : public CDialog {
 public:
  CProbeHostDlg() : CDialog(IDD_TABRIX_DIALOG) {}
  CPreTranslateProbe m_probe;

 protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_LOAD, m_probe); }
};

TEST(ModalDialogTest, OwnerIsDisabledWhileItRunsAndControlsPreTranslate) {
  CTabrixDlg owner;
  ASSERT_TRUE(owner.Create());
  theApp.m_pMainWnd = &owner;
  CUiScript script;
  CProbeHostDlg dlg;
  bool bOwnerDisabled = false;
  script.OnModalDialog([&](CDialog& d) {
    bOwnerDisabled = !IsWindowEnabled(owner.m_hWnd);
    EXPECT_EQ(GetWindow(d.m_hWnd, GW_OWNER), owner.m_hWnd);
    PostMessageA(d.GetDlgItem(IDC_LOAD), WM_APP + 7, 0, 0);
    d.PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(bOwnerDisabled);
  EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.m_probe.m_seen, std::vector<UINT>{WM_APP + 7});
  theApp.m_pMainWnd = nullptr;
}

TEST(ModalDialogTest, WithoutAScriptedStepItIsCancelled) {
  CUiScript script;
  CDialog dlg(IDD_TABRIX_DIALOG);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(script.m_nUnexpected, 1);
}

TEST(ModalDialogTest, MissingTemplateFails) {
  CUiScript script;
  CDialog dlg(4321);
  EXPECT_EQ(dlg.DoModal(), -1);
  EXPECT_TRUE(script.m_modalDialogs.empty());
}

}  // namespace

namespace {

// The real message box, without the seam: owned by the window that asks,
// captioned with the program's name, the text as given, OK only, no icon.
TEST(RealMessageBoxTest, CaptionTextButtonAndNoIcon) {
  CTabrixDlg owner;
  ASSERT_TRUE(owner.Create());
  std::string caption, text;
  bool bIconShown = true, bCancelPresent = true;
  COwnedDialogDriver driver(owner.m_hWnd, [&](HWND hBox) {
    caption = WindowTextGbk(hBox);
    text = WindowTextGbk(GetDlgItem(hBox, 0xFFFF));
    HWND hIcon = GetDlgItem(hBox, 0x440);
    bIconShown = hIcon && IsWindowVisible(hIcon) && SendMessageA(hIcon, STM_GETICON, 0, 0) != 0;
    HWND hCancel = GetDlgItem(hBox, IDCANCEL);
    bCancelPresent = hCancel && IsWindowVisible(hCancel);
    PostMessageA(hBox, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(hBox, IDOK)));
    return true;
  });
  EXPECT_EQ(owner.MessageBox("保存失败"), IDOK);
  EXPECT_TRUE(driver.Done());
  EXPECT_EQ(caption, AfxGetAppName());
  EXPECT_EQ(text, "保存失败");
  EXPECT_FALSE(bIconShown);
  EXPECT_FALSE(bCancelPresent);
}

}  // namespace
