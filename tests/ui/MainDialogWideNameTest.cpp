// Files whose names GBK cannot spell, through the main dialog and the
// system's own file dialogs, typed into as a person types: a library loaded
// and saved back under its own name, a new one saved, a phrase list
// imported, and the export's question before it replaces a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainDialogFixture.h"
#include "PhraseMessages.h"

namespace {

using Strings = std::vector<std::string>;
using Names = std::vector<std::wstring>;

const char kSavedMessage[] = "保存完成，您可以在云笺的词库管理页面中安装该词库";

class WideNameTest : public MainDialogTest {
 protected:
  // Runs `command` with the system's file dialog answered by `action`.
  template <class F>
  void WithRealDialog(COwnedDialogDriver::Action action, F command) {
    m_script.m_bRealFileDialogs = true;
    {
      COwnedDialogDriver driver(m_dlg.m_hWnd, std::move(action));
      command();
      EXPECT_TRUE(driver.Done()) << "no file dialog came";
    }
    m_script.m_bRealFileDialogs = false;
  }
  // Presses button nID and types `path` into the file dialog it opens.
  void ClickTyping(int nID, const std::wstring& path) {
    WithRealDialog(AnswerFileDialogWide(path), [&] { Click(nID); });
  }
  std::wstring WidePathOf(const std::wstring& name) const { return m_strDir + L"\\" + name; }
  // The same path as the editor carries it (UTF-8; the folder is ASCII).
  std::string PathOf(const std::string& utf8Name) const {
    return BackslashPath(m_scratch.Dir()) + "\\" + utf8Name;
  }
  // The file holds what the core writes for the dialog's library: the same
  // bytes but the stamp (bytes 8..11, the tick count at saving).
  void ExpectTheLibraryIn(const std::wstring& path) {
    const std::string reference = m_scratch.Path("reference");
    ASSERT_TRUE(m_dlg.m_library.Save(reference.c_str()));
    std::string expected, actual;
    ASSERT_TRUE(ReadFileWide(WideGbk(reference), &expected));
    ::DeleteFileA(reference.c_str());
    ASSERT_TRUE(ReadFileWide(path, &actual));
    ASSERT_EQ(actual.size(), expected.size());
    ASSERT_GE(actual.size(), 12u);
    EXPECT_EQ(actual.substr(0, 8), expected.substr(0, 8));
    EXPECT_TRUE(actual.substr(12) == expected.substr(12)) << "the saved file is another library";
  }

  const std::wstring m_strDir = WideGbk(BackslashPath(m_scratch.Dir()));
  const CRemoveFilesWide m_cleanup{m_strDir};
};

const wchar_t kKorean[] = L"\uD55C\uAD6D.wbk";  // 한국.wbk
const char kKoreanUtf8[] = u8"\uD55C\uAD6D.wbk";

// How the library reaches the editor: dropped on the window, or chosen in
// the open dialog of "载入".
enum { BY_DROP, BY_OPEN_DIALOG };

class SaveBackTest : public WideNameTest, public ::testing::WithParamInterface<int> {};

TEST_P(SaveBackTest, ALibraryIsSavedBackUnderItsOwnName) {
  ASSERT_TRUE(WriteLibrary(PathOf(kKoreanUtf8), SampleGroups()));
  ASSERT_EQ(FolderNamesWide(m_strDir), Names{kKorean});
  if (GetParam() == BY_DROP) {
    m_dlg.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({WidePathOf(kKorean)})), 0);
  } else {
    ClickTyping(IDC_LOAD, WidePathOf(kKorean));
  }
  ASSERT_EQ(MessageTexts(), Strings{});
  ASSERT_EQ(RowCount(), 3);
  EXPECT_EQ(Row(0), (Strings{"成语", "3", "张三", "四字成语"}));

  // A change, so that the file saved differs from the file loaded.
  m_dlg.m_ctrlList.SetCheck(1, TRUE);
  ASSERT_EQ(Enable(1), 1);
  // 保存 offers the library's own file; the dialog asks before replacing it.
  std::string question;
  WithRealDialog(AnswerOverwriteQuestion(WidePathOf(kKorean), IDYES, &question),
                 [&] { Click(IDC_SAVE); });
  EXPECT_FALSE(question.empty()) << "no question before the file was replaced";
  EXPECT_EQ(MessageTexts(), Strings{kSavedMessage});
  // The name stays, and no other name (an 8.3 one, a temporary) appears.
  EXPECT_EQ(FolderNamesWide(m_strDir), Names{kKorean});
  ExpectTheLibraryIn(WidePathOf(kKorean));
}

INSTANTIATE_TEST_SUITE_P(DropAndOpenDialog, SaveBackTest,
                         ::testing::Values(BY_DROP, BY_OPEN_DIALOG),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param == BY_DROP ? "Drop" : "OpenDialog");
                         });

TEST_F(WideNameTest, ALibraryIsSavedAsANewFileOfAnyName) {
  LoadSample();
  const std::wstring name = L"\uD55C\uAD6D\uC5B4\uC0AC\uC804.wbk";  // 한국어사전.wbk
  ClickTyping(IDC_SAVE, WidePathOf(name));
  EXPECT_EQ(MessageTexts(), Strings{kSavedMessage});
  EXPECT_EQ(FolderNamesWide(m_strDir), (Names{L"sample.wbk", name}));
  ExpectTheLibraryIn(WidePathOf(name));
}

TEST_F(WideNameTest, APhraseListOfAnyNameImportsAsANewGroup) {
  // 한국어 has no GBK form: '_' for each of its characters in the group's
  // name; 词库 keeps its own.
  const std::wstring korean = WidePathOf(L"\uD55C\uAD6D\uC5B4.txt");
  const std::wstring chinese = WidePathOf(WideGbk("词库.txt"));
  ASSERT_TRUE(WriteFileWide(korean, "韩文 3\n韩国 2\n"));
  ASSERT_TRUE(WriteFileWide(chinese, "词语 1\n"));
  ClickTyping(IDC_IMPORT_NEW_GROUP, korean);
  ClickTyping(IDC_IMPORT_NEW_GROUP, chinese);
  EXPECT_EQ(MessageTexts(), Strings{});
  ASSERT_EQ(RowCount(), 2);
  EXPECT_EQ(Row(0), (Strings{"___", "2", "", ""}));
  EXPECT_EQ(Row(1), (Strings{"词库", "1", "", ""}));
  EXPECT_EQ(PhraseCount(), 3u);
}

// The export asks before it replaces a file: "否" leaves the file as it was
// and exports nothing; "是" replaces it.
struct tagEXPORTCASE {
  const char* pszName;
  int nAnswer;
  bool bReplaced;
};

class ExportOverwriteTest : public WideNameTest,
                            public ::testing::WithParamInterface<tagEXPORTCASE> {};

TEST_P(ExportOverwriteTest, AsksBeforeReplacingAFile) {
  const tagEXPORTCASE& c = GetParam();
  LoadSample();
  const std::wstring target = WidePathOf(L"\uD55C\uAD6D.txt");
  ASSERT_TRUE(WriteFileWide(target, "old"));
  std::string question;
  WithRealDialog(AnswerOverwriteQuestion(target, c.nAnswer, &question),
                 [&] { m_dlg.ExportGroup(0); });
  EXPECT_FALSE(question.empty()) << "no question before the file was replaced";
  std::string bytes;
  ASSERT_TRUE(ReadFileWide(target, &bytes));
  if (c.bReplaced) {
    EXPECT_EQ(MessageTexts(), Strings{ExportDoneMessage(3, 0, 0)});
    EXPECT_NE(bytes, "old");
  } else {
    EXPECT_EQ(MessageTexts(), Strings{});
    EXPECT_EQ(bytes, "old");
  }
  EXPECT_EQ(FolderNamesWide(m_strDir), (Names{L"sample.wbk", L"\uD55C\uAD6D.txt"}));
}

const tagEXPORTCASE kExportCases[] = {{"No", IDNO, false}, {"Yes", IDYES, true}};

INSTANTIATE_TEST_SUITE_P(Answers, ExportOverwriteTest, ::testing::ValuesIn(kExportCases),
                         [](const ::testing::TestParamInfo<tagEXPORTCASE>& info) {
                           return std::string(info.param.pszName);
                         });

}  // namespace
