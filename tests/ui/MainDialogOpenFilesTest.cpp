// Files the system hands to the editor: those on its command line, opened
// once the window is up, and those dropped on the window (WM_DROPFILES with
// a real HDROP, read by the shell's DragQueryFile).
#include <gtest/gtest.h>

#include <direct.h>

#include <cstring>
#include <string>
#include <vector>

#include "MainDialogFixture.h"
#include "PhraseMessages.h"

namespace {

using Strings = std::vector<std::string>;

class OpenFilesTest : public MainDialogTest {
 protected:
  void Drop(const std::vector<std::string>& paths) {
    std::vector<std::wstring> wide;
    for (const std::string& p : paths) wide.push_back(WideGbk(p));
    m_dlg.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(wide)), 0);
  }
  Strings Names() {
    Strings names;
    for (int i = 0; i < RowCount(); ++i) names.push_back(Cell(i, 0));
    return names;
  }
};

TEST_F(OpenFilesTest, TheWindowTakesDroppedFiles) {
  EXPECT_NE(0u, m_dlg.GetExStyle() & WS_EX_ACCEPTFILES);
}

TEST_F(OpenFilesTest, ADroppedLibraryIsLoadedAndListsAfterItBecomeNewGroupsInTheirOrder) {
  LoadSample();
  const std::string second = m_scratch.Write("第二.txt", "乙一 1\n乙二 2\n");
  const std::string first = m_scratch.Write("第一.txt", "甲一 1\n北京 5\n");
  // The library in the middle of the drop: it is loaded first, since a load
  // replaces everything.
  Drop({second, m_strSample, first});
  EXPECT_EQ((Strings{"成语", "地名", "人名", "第二", "第一"}), Names());
  EXPECT_EQ("2", Cell(3, 1));
  EXPECT_EQ("1", Cell(4, 1));  // 北京 is in 地名 already
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  // The status bar says what each list gave and how it was read.
  EXPECT_EQ(
      "第二.txt：已导入 2 条；GBK 编码的文本列表 | 第一.txt：已导入 1 条；跳过 1 条：重复 1；GBK "
      "编码的文本列表",
      m_dlg.m_ctrlStatus.GetText());
}

TEST_F(OpenFilesTest, TwoLibrariesAtOnceAreRefusedAndNothingChanges) {
  LoadSample();
  const std::string other = m_scratch.Path("other.WBK");
  ASSERT_TRUE(WriteLibrary(other, {{"别的", "", "", 1, {"别的词"}}}));
  Drop({m_strSample, other});
  ASSERT_EQ(1u, m_script.m_messageBoxes.size());
  EXPECT_EQ(OneLibraryAtATimeMessage(), m_script.m_messageBoxes[0].strText);
  EXPECT_EQ((Strings{"成语", "地名", "人名"}), Names());
  EXPECT_EQ(5u, PhraseCount());
}

TEST_F(OpenFilesTest, ALibraryThatFailsSaysSoAndKeepsTheLibraryWithoutImporting) {
  LoadSample();
  const std::string list = m_scratch.Write("词.txt", "词语 1\n");
  Drop({m_scratch.Path("missing.wbk"), list});
  ASSERT_EQ(1u, m_script.m_messageBoxes.size());
  EXPECT_EQ("载入词库失败！\nmissing.wbk\n文件不存在。", m_script.m_messageBoxes[0].strText);
  EXPECT_EQ((Strings{"成语", "地名", "人名"}), Names());
  EXPECT_EQ(5u, PhraseCount());
}

TEST_F(OpenFilesTest, ANameOutsideTheCodePageArrivesAsItself) {
  // 한국어 has no GBK form: the file is opened by its own name, and the
  // group's name has '_' for each character GBK lacks.
  const std::wstring dir = WideGbk(m_scratch.Dir());
  const CRemoveFilesWide cleanup(dir);
  const std::wstring path = dir + L"\\\uD55C\uAD6D\uC5B4.txt";
  ASSERT_TRUE(WriteFileWide(path, "韩文 3\n"));
  m_dlg.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path})), 0);
  EXPECT_TRUE(m_script.m_messageBoxes.empty())
      << (m_script.m_messageBoxes.empty() ? "" : m_script.m_messageBoxes[0].strText);
  ASSERT_EQ(1, RowCount());
  EXPECT_EQ((Strings{"___", "1", "", ""}), Row(0));
  EXPECT_EQ(1u, PhraseCount());
}

TEST_F(OpenFilesTest, ListsInAFolderOfChineseNameImport) {
  const std::string folder = m_scratch.Path("输入");
  ASSERT_EQ(0, _mkdir(folder.c_str()));
  const std::string first = m_scratch.Write("输入/拖放一.txt", "拖放 9\r\n放下 8\r\n");
  const std::string second = m_scratch.Write("输入/拖放二.txt", "@名称=第二个\r\n拖动 7\r\n");
  Drop({BackslashPath(first), BackslashPath(second)});
  EXPECT_EQ(MessageTexts(), Strings{});
  EXPECT_EQ((Strings{"拖放一", "第二个"}), Names());
}

// The command line's files: the dialog made with them opens them once shown.
class StartFilesTest : public ::testing::Test {
 protected:
  void Open(const std::vector<std::string>& files) {
    m_dlg.m_arrStartFiles = files;
    ASSERT_TRUE(m_dlg.Create());
    theApp.m_pMainWnd = &m_dlg;
    PumpMessages();
  }
  void TearDown() override {
    theApp.m_pMainWnd = nullptr;
    EXPECT_EQ(0, m_script.m_nUnexpected);
  }
  CUiScript m_script;
  CTabrixDlg m_dlg;
  CScratchDir m_scratch;
};

TEST_F(StartFilesTest, ALibraryOnTheCommandLineIsLoadedOnceTheWindowIsUp) {
  const std::string path = m_scratch.Path("start.wbk");
  ASSERT_TRUE(WriteLibrary(path, {{"开头", "", "", 1, {"开始", "启动"}}}));
  Open({path});
  ASSERT_EQ(1, m_dlg.m_ctrlList.GetItemCount());
  EXPECT_EQ("开头", m_dlg.m_ctrlList.GetItemText(0, 0));
  EXPECT_EQ("2", m_dlg.m_ctrlList.GetItemText(0, 1));
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_TRUE(m_dlg.m_arrStartFiles.empty());
}

TEST_F(StartFilesTest, AFailingFileSaysSoAndTheWindowStaysOpenAndEmpty) {
  Open({m_scratch.Path("nothing-here.wbk")});
  ASSERT_EQ(1u, m_script.m_messageBoxes.size());
  EXPECT_EQ("载入词库失败！\nnothing-here.wbk\n文件不存在。", m_script.m_messageBoxes[0].strText);
  EXPECT_EQ(m_dlg.m_hWnd, m_script.m_messageBoxes[0].hOwner);
  EXPECT_TRUE(::IsWindow(m_dlg.m_hWnd));
  EXPECT_EQ(0, m_dlg.m_ctrlList.GetItemCount());
}

TEST_F(StartFilesTest, NoFilesMeansTheEmptyEditorAsBefore) {
  Open({});
  EXPECT_EQ(0, m_dlg.m_ctrlList.GetItemCount());
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
}

}  // namespace
