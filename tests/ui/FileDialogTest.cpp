// The real open and save dialogs, without the test seam: a second thread
// types a path into the dialog the way a person would, or cancels it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "TabrixApp.h"
#include "TabrixDlg.h"
#include "ScratchDir.h"
#include "TestPaths.h"
#include "UiTestSupport.h"
#include "framework/FileDialog.h"

namespace {

// The file name box: a plain edit (item dialog) or the edit inside the
// file name combo box (classic dialog).
HWND FileNameEdit(HWND hDialog) {
  HWND hEdit = GetDlgItem(hDialog, 0x480);
  char name[16] = {};
  if (hEdit) GetClassNameA(hEdit, name, sizeof name);
  if (hEdit && lstrcmpiA(name, "Edit") == 0) return hEdit;
  HWND hCombo = GetDlgItem(hDialog, 0x47C);
  if (!hCombo) return nullptr;
  HWND hInner = FindWindowExA(hCombo, nullptr, "ComboBox", nullptr);
  return FindWindowExA(hInner ? hInner : hCombo, nullptr, "Edit", nullptr);
}

// Types `path` into the file dialog and presses OK, or cancels it when `path`
// is empty. False while the dialog has no file name box yet.
COwnedDialogDriver::Action AnswerFileDialog(const std::string& path) {
  return [path](HWND hDialog) {
    HWND hEdit = FileNameEdit(hDialog);
    if (!hEdit) return false;
    if (path.empty()) {
      PostMessageA(hDialog, WM_COMMAND, IDCANCEL,
                   reinterpret_cast<LPARAM>(GetDlgItem(hDialog, IDCANCEL)));
    } else {
      SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
      PostMessageA(hDialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(hDialog, IDOK)));
    }
    return true;
  };
}

// Types a name that only UTF-16 can carry, and presses OK.
COwnedDialogDriver::Action AnswerFileDialogWide(const std::wstring& path) {
  return [path](HWND hDialog) {
    HWND hEdit = FileNameEdit(hDialog);
    if (!hEdit) return false;
    SendMessageW(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(hDialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(hDialog, IDOK)));
    return true;
  };
}

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
// opens that very file with the narrow functions (through its short name),
// never a look-alike.
using ItemFileDialogTest = FileDialogOwnerTest;

TEST_F(ItemFileDialogTest, NameOutsideTheCodePageNeverReachesAnotherFile) {
  const CScratchDir scratch;
  const std::string dir = BackslashPath(scratch.Dir());
  std::wstring wdir(dir.begin(), dir.end());
  // U+01C5 has no GBK form; its best-fit look-alike would be "Dz".
  const std::wstring name = wdir + L"\\x\u01C5.wbk";
  HANDLE hFile = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(hFile, "wide", 4, &written, nullptr);
  CloseHandle(hFile);
  const std::string lookalike = dir + "\\xDz.wbk";
  hFile = CreateFileA(lookalike.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
  WriteFile(hFile, "other", 5, &written, nullptr);
  CloseHandle(hFile);

  CFileDialog dialog(TRUE, "wbk", nullptr, 0, "青柚云笺词库文件(*.wbk)|*.wbk||");
  dialog.m_bVistaStyle = TRUE;
  COwnedDialogDriver driver(m_owner.m_hWnd, AnswerFileDialogWide(name));
  ASSERT_EQ(dialog.DoModal(), IDOK);
  EXPECT_TRUE(driver.Done());
  // Wine gives every file a short name, which the code page can spell. The
  // files go before the folder: the narrow functions cannot name the first.
  const std::string path = dialog.GetPathName();
  EXPECT_EQ(path.find('?'), std::string::npos) << path;
  char content[8] = {};
  FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr) << path;
  std::fread(content, 1, sizeof content - 1, f);
  std::fclose(f);
  EXPECT_STREQ(content, "wide") << path;
  DeleteFileW(name.c_str());
  DeleteFileA(lookalike.c_str());
}

INSTANTIATE_TEST_SUITE_P(ItemAndClassic, RealFileDialogTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "ItemDialog" : "Classic");
                         });

}  // namespace
