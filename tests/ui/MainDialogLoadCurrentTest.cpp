// "载入当前词库": the library of the installed input method, found through the
// registry value "path_svr_data" in the test's own Wine prefix.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "MainDialogFixture.h"
#include "RegistryFixtures.h"
#include "TestPaths.h"

namespace {

using Strings = std::vector<std::string>;

class LoadCurrentTest : public MainDialogTest {
 protected:
  void SetUp() override {
    MainDialogTest::SetUp();
    m_strDir = BackslashPath(m_ime.Dir());
  }
  void InstallLibrary(const std::string& dir) {
    ASSERT_TRUE(
        WriteLibrary(dir + "\\default.wbk", {{"已安装", "输入法", "", 1, {"词库", "输入"}}}));
  }
  // The sample library shown, as it was before the command.
  void ExpectSampleKept() {
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(Row(0), (Strings{"成语", "3", "张三", "四字成语"}));
    EXPECT_EQ(GroupCount(), 3u);
    EXPECT_EQ(PhraseCount(), 5u);
  }
  void ExpectInstalledShown() {
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Row(0), (Strings{"已安装", "2", "输入法", ""}));
    EXPECT_EQ(Image(0), 2u);
    EXPECT_EQ(GroupCount(), 1u);
    EXPECT_EQ(PhraseCount(), 2u);
    EXPECT_EQ(m_dlg.m_bUpdating, 0);
  }

  CInstalledKey m_key;
  CScratchDir m_ime;
  std::string m_strDir;
};

TEST_F(LoadCurrentTest, InstalledLibraryReplacesTheRows) {
  LoadSample();
  InstallLibrary(m_strDir);
  ASSERT_TRUE(m_key.SetText(REG_SZ, m_strDir));
  CBarPositions bar(m_dlg.m_ctrlProgress.m_hWnd);
  Click(IDC_LOAD_CURRENT);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  ExpectInstalledShown();
  // The bar reached the last of two phrases, then went back to zero.
  int low, high;
  m_dlg.m_ctrlProgress.GetRange(low, high);
  EXPECT_EQ(high, 2);
  EXPECT_EQ(bar.LastBeforeReset(), 1);
  EXPECT_EQ(m_dlg.m_ctrlProgress.GetPos(), 0);
  EXPECT_EQ(m_script.m_fileDialogs.size(), 1u);  // the sample's load only
}

TEST_F(LoadCurrentTest, AModifiedLibraryIsAskedAboutFirst) {
  LoadSample();
  InstallLibrary(m_strDir);
  ASSERT_TRUE(m_key.SetText(REG_SZ, m_strDir));
  m_dlg.m_ctrlList.SetCheck(1, TRUE);
  m_script.AnswerMessageBox(IDCANCEL);
  Click(IDC_LOAD_CURRENT);
  EXPECT_EQ(MessageTexts(), Strings{"词库已修改，是否保存？"});
  EXPECT_EQ(Enable(1), 1);
  ExpectSampleKept();
  m_script.AnswerMessageBox(IDNO);
  Click(IDC_LOAD_CURRENT);
  EXPECT_EQ(MessageTexts().size(), 2u);
  ExpectInstalledShown();
  // The installed library just loaded is unmodified: no question.
  Click(IDC_LOAD_CURRENT);
  EXPECT_EQ(MessageTexts().size(), 2u);
}

TEST_F(LoadCurrentTest, ExpandableValueIsUsedAsStored) {
  // A folder literally named "%TABRIX_IME%", and the variable pointing elsewhere.
  const std::string literal = m_strDir + "\\%TABRIX_IME%";
  ASSERT_TRUE(CreateDirectoryA(literal.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  InstallLibrary(literal);
  SetEnvironmentVariableA("TABRIX_IME", "C:\\nowhere");
  ASSERT_TRUE(m_key.SetText(REG_EXPAND_SZ, literal));
  Click(IDC_LOAD_CURRENT);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  ExpectInstalledShown();
  DeleteFileA((literal + "\\default.wbk").c_str());
  RemoveDirectoryA(literal.c_str());
  SetEnvironmentVariableA("TABRIX_IME", nullptr);
}

TEST_F(LoadCurrentTest, MissingKeyShowsNothingAndKeepsTheLibrary) {
  LoadSample();
  Click(IDC_LOAD_CURRENT);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  ExpectSampleKept();
}

// A value that cannot be read as a directory, or a directory too long for the
// path: the message, and the library and rows as they were.
TEST_F(LoadCurrentTest, UnreadableValueSaysSoAndKeepsTheLibrary) {
  const std::string dir248(248, 'd');
  const std::string tooLong(299, 'v');
  const DWORD number = 5;
  struct tagCASE {
    const char* name;
    DWORD type;
    std::string data;
    bool bSet;
  };
  const tagCASE cases[] = {
      {"missing value", REG_SZ, "", false},
      {"number", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4), true},
      {"binary", REG_BINARY, std::string("C:\\\0", 4), true},
      {"300 bytes", REG_SZ, tooLong + '\0', true},
      {"directory of 248 bytes", REG_SZ, dir248 + '\0', true},
  };
  LoadSample();
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.name);
    CInstalledKey::Remove();
    ASSERT_TRUE(m_key.Create());
    if (c.bSet) {
      ASSERT_TRUE(m_key.SetValue(c.type, c.data.data(), static_cast<DWORD>(c.data.size())));
    }
    m_script.m_messageBoxes.clear();
    Click(IDC_LOAD_CURRENT);
    ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
    EXPECT_EQ(m_script.m_messageBoxes[0].strText, "载入词库错误");
    EXPECT_EQ(m_script.m_messageBoxes[0].nType, static_cast<UINT>(MB_OK));
    EXPECT_EQ(m_script.m_messageBoxes[0].hOwner, m_dlg.m_hWnd);
    ExpectSampleKept();
  }
}

// The path could be made but the library there cannot be loaded: the list and
// the library were emptied first, and stay empty.
TEST_F(LoadCurrentTest, FailedLoadSaysSoAndKeepsTheLibrary) {
  const std::string broken = m_strDir + "\\broken";
  CreateDirectoryA(broken.c_str(), nullptr);
  {
    FILE* f = std::fopen((broken + "\\default.wbk").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("KX??", f);
    std::fclose(f);
  }
  struct tagCASE {
    const char* name;
    std::string dir;
  };
  const tagCASE cases[] = {
      {"empty value: \\default.wbk", ""},
      {"no library in the folder", m_strDir + "\\absent"},
      {"damaged library", broken},
      {"longest directory", std::string(247, 'd')},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.name);
    LoadSample();
    ASSERT_TRUE(m_key.SetText(REG_SZ, c.dir));
    m_script.m_messageBoxes.clear();
    Click(IDC_LOAD_CURRENT);
    ASSERT_EQ(1u, MessageTexts().size());
    EXPECT_EQ(0u, MessageTexts()[0].find("载入词库错误\ndefault.wbk\n")) << MessageTexts()[0];
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(GroupCount(), 3u);
    EXPECT_EQ(PhraseCount(), 5u);
    m_script.m_messageBoxes.clear();
  }
  DeleteFileA((broken + "\\default.wbk").c_str());
  RemoveDirectoryA(broken.c_str());
}

}  // namespace
