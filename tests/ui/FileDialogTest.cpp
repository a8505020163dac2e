// The real open and save dialogs, without the test seam: a second thread
// types a path into the dialog the way a person would, or cancels it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "FileNames.h"

#include "TabrixApp.h"
#include "TabrixDlg.h"
#include "ScratchDir.h"
#include "TestPaths.h"
#include "UiTestSupport.h"
#include "framework/FileDialog.h"

namespace {

// A main dialog that owns the file dialogs.
class FileDialogOwnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_owner.Create());
    theApp.m_pMainWnd = &m_owner;
    PumpMessages();
  }
  void TearDown() override { theApp.m_pMainWnd = nullptr; }

  CTabrixDlg m_owner;
};

class RealFileDialogTest : public FileDialogOwnerTest, public ::testing::WithParamInterface<bool> {
 protected:
  // Runs the dialog with a driver answering it.
  INT_PTR Run(CFileDialog& dialog, const std::string& typed, bool* pFound) {
    dialog.m_bVistaStyle = GetParam();
    COwnedDialogDriver driver(m_owner.m_hWnd, AnswerFileDialog(typed));
    const INT_PTR result = dialog.DoModal();
    *pFound = driver.Done();
    return result;
  }
};

bool SamePath(const std::string& a, const std::string& b) {
  return lstrcmpiA(BackslashPath(a).c_str(), BackslashPath(b).c_str()) == 0;
}

TEST_P(RealFileDialogTest, SaveAppendsTheDefaultExtension) {
  // A name without any dot, in a folder of the test's own.
  const CScratchDir scratch;
  const std::string dir = BackslashPath(scratch.Dir());
  const std::string typed = dir + "\\chosen";
  CFileDialog dialog(FALSE, "wbk", nullptr, 0, "青柚云笺词库文件(*.wbk)|*.wbk||");
  bool bFound = false;
  ASSERT_EQ(Run(dialog, typed, &bFound), IDOK);
  EXPECT_TRUE(bFound);
  EXPECT_TRUE(SamePath(dialog.GetPathName(), typed + ".wbk")) << dialog.GetPathName();
}

TEST_P(RealFileDialogTest, OpenHandsBackAFileThatDoesNotExist) {
  const CScratchDir scratch;
  const std::string typed = BackslashPath(scratch.Path("absent.wbk"));
  CFileDialog dialog(TRUE, "wbk", nullptr, 0, "青柚云笺词库文件(*.wbk)|*.wbk||");
  bool bFound = false;
  ASSERT_EQ(Run(dialog, typed, &bFound), IDOK);
  EXPECT_TRUE(bFound);
  EXPECT_TRUE(SamePath(dialog.GetPathName(), typed)) << dialog.GetPathName();
}

TEST_P(RealFileDialogTest, CancelGivesNoPath) {
  CFileDialog dialog(TRUE, "txt", nullptr, 0, "文本文件(*.txt)|*.txt||");
  bool bFound = false;
  EXPECT_EQ(Run(dialog, "", &bFound), IDCANCEL);
  EXPECT_TRUE(bFound);
  EXPECT_EQ(dialog.GetPathName(), "");
}

// A file whose name the GBK code page cannot spell: the path handed back
// (UTF-8, the editor's path form) opens that very file, never a look-alike,
// and no 8.3 name stands in for it.
TEST_P(RealFileDialogTest, ANameOutsideTheCodePageComesBackAsItself) {
  const CScratchDir scratch;
  const std::wstring dir = WideGbk(BackslashPath(scratch.Dir()));
  // U+01C5 has no GBK form; its best-fit look-alike would be "Dz".
  const CRemoveFilesWide cleanup(dir);
  const std::wstring name = dir + L"\\x\u01C5.wbk";
  ASSERT_TRUE(WriteFileWide(name, "wide"));
  ASSERT_TRUE(WriteFileWide(dir + L"\\xDz.wbk", "other"));

  CFileDialog dialog(TRUE, "wbk", nullptr, 0, "青柚云笺词库文件(*.wbk)|*.wbk||");
  dialog.m_bVistaStyle = GetParam();
  COwnedDialogDriver driver(m_owner.m_hWnd, AnswerFileDialogWide(name));
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(driver.Done());
  const std::string path = dialog.GetPathName();
  EXPECT_EQ(path, BackslashPath(scratch.Dir()) + u8"\\x\u01C5.wbk");
  char content[8] = {};
  FILE* f = OpenFileByPath(path.c_str(), "rb");
  ASSERT_NE(f, nullptr) << path;
  std::fread(content, 1, sizeof content - 1, f);
  std::fclose(f);
  EXPECT_STREQ(content, "wide") << path;
}

// The name offered at first may hold any character, in the path form.
TEST_P(RealFileDialogTest, TheSaveDialogOffersANameOfAnyCharacters) {
  CFileDialog dialog(FALSE, "wbk", u8"\uD55C\uAD6D\uC5B4\uC0AC\uC804.wbk", 0,
                     "青柚云笺词库文件(*.wbk)|*.wbk||");
  dialog.m_bVistaStyle = GetParam();
  std::wstring offered;
  COwnedDialogDriver driver(m_owner.m_hWnd, [&offered](HWND hDialog) {
    HWND hEdit = FileNameEdit(hDialog);
    if (!hEdit) return false;
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(hEdit, text, MAX_PATH);
    offered = text;
    PostMessageA(hDialog, WM_COMMAND, IDCANCEL,
                 reinterpret_cast<LPARAM>(GetDlgItem(hDialog, IDCANCEL)));
    return true;
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(driver.Done());
  EXPECT_TRUE(offered == L"\uD55C\uAD6D\uC5B4\uC0AC\uC804.wbk") << GbkWide(offered);
}

// Choosing a file that exists in a save dialog: with OFN_OVERWRITEPROMPT the
// dialog asks first, and "否" keeps it open (then cancelled here); "是", or
// no flag, hands the path back.
struct tagOVERWRITECASE {
  const char* pszName;
  DWORD dwFlags;
  int nAnswer;  // IDYES or IDNO pressed in the question; 0: no question expected
  INT_PTR result;
};

class OverwritePromptTest
    : public FileDialogOwnerTest,
      public ::testing::WithParamInterface<std::tuple<bool, tagOVERWRITECASE>> {};

TEST_P(OverwritePromptTest, AsksBeforeAFileIsReplacedOnlyWhenTold) {
  const tagOVERWRITECASE& c = std::get<1>(GetParam());
  const CScratchDir scratch;
  const std::string target = BackslashPath(scratch.Write("existing.txt", "old"));
  CFileDialog dialog(FALSE, "txt", nullptr, c.dwFlags, "文本文件(*.txt)|*.txt||");
  dialog.m_bVistaStyle = std::get<0>(GetParam());
  std::string question;
  COwnedDialogDriver driver(
      m_owner.m_hWnd, c.nAnswer ? AnswerOverwriteQuestion(WideGbk(target), c.nAnswer, &question)
                                : AnswerFileDialog(target));
  EXPECT_EQ(dialog.DoModal(), c.result) << c.pszName;
  EXPECT_TRUE(driver.Done());
  EXPECT_EQ(!question.empty(), c.nAnswer != 0) << c.pszName << ": " << question;
  EXPECT_EQ(dialog.GetPathName(), c.result == IDOK ? target : std::string()) << c.pszName;
  std::string bytes;
  ASSERT_TRUE(ReadFileWide(WideGbk(target), &bytes));
  EXPECT_EQ(bytes, "old");  // the dialog itself never writes
}

const tagOVERWRITECASE kOverwriteCases[] = {
    {"asked_no", OFN_OVERWRITEPROMPT, IDNO, IDCANCEL},
    {"asked_yes", OFN_OVERWRITEPROMPT, IDYES, IDOK},
    {"not_asked", 0, 0, IDOK},
};

INSTANTIATE_TEST_SUITE_P(
    ItemAndClassic, OverwritePromptTest,
    ::testing::Combine(::testing::Values(true, false), ::testing::ValuesIn(kOverwriteCases)),
    [](const ::testing::TestParamInfo<std::tuple<bool, tagOVERWRITECASE>>& info) {
      return std::string(std::get<0>(info.param) ? "ItemDialog_" : "Classic_") +
             std::get<1>(info.param).pszName;
    });

INSTANTIATE_TEST_SUITE_P(ItemAndClassic, RealFileDialogTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "ItemDialog" : "Classic");
                         });

}  // namespace
