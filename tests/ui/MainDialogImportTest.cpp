// "导入新组" and "导入到当前组": phrase-list text files into the library and the
// list, with the frequency range of edit boxes IDC_FREQ_MIN and IDC_FREQ_MAX.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DictImport.h"
#include "LibraryMessages.h"
#include "MainDialogFixture.h"
#include "TestPaths.h"
#include "TestText.h"

namespace {

using Strings = std::vector<std::string>;

const char kTextFilter[] =
    "文本文件(*.txt)|*.txt|搜狗细胞词库(*.scel)|*.scel|百度细胞词库(*.bdict)|*.bdict|QQ拼音词库(*."
    "qpyd)|"
    "*.qpyd|Rime "
    "词典(*.dict.yaml)|*.dict.yaml|所有支持的文件(*.txt;*.scel;*.bdict;*.qpyd;*.dict.yaml)|"
    "*.txt;*.scel;*.bdict;*.qpyd;*.dict.yaml||";

const char kIdioms[] =
    "# 成语\n"
    "@名称=成语新编\n"
    "@编辑=王五\n"
    "画蛇添足 12\n"
    "守株待兔\t\t7\n"
    "亡羊补牢\n"
    "@备注=四字\n"
    "北京 300\n";

class ImportTest : public MainDialogTest {
 protected:
  // A GBK text file in a scratch folder of the test's own, so that the new
  // group's title is the leaf's.
  std::string WriteText(const std::string& leaf, const std::string& text) {
    return m_scratch.Write(leaf, text);
  }
  void ImportNew(const std::string& path) {
    m_script.AnswerFile(path);
    Click(IDC_IMPORT_NEW_GROUP);
  }
  void MarkRow(int nRow) {
    m_dlg.m_ctrlList.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ASSERT_EQ(m_dlg.m_ctrlList.GetSelectionMark(), nRow);
  }
};

TEST_F(ImportTest, NewGroupGoesToANewRowAtItsIndex) {
  LoadSample();
  m_dlg.m_seen.clear();
  const std::string path = WriteText("idioms.txt", kIdioms);
  CBarPositions bar(m_dlg.m_ctrlProgress.m_hWnd);
  ImportNew(path);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  ASSERT_EQ(m_script.m_fileDialogs.size(), 2u);
  EXPECT_TRUE(m_script.m_fileDialogs[1].bOpen);
  EXPECT_EQ(m_script.m_fileDialogs[1].strDefExt, "txt");
  EXPECT_EQ(m_script.m_fileDialogs[1].strFilter, kTextFilter);

  ASSERT_EQ(GroupCount(), 4u);
  ASSERT_EQ(RowCount(), 4);
  // 北京 is already in 地名.
  EXPECT_EQ(Row(3), (Strings{"成语新编", "3", "王五", "四字"}));
  EXPECT_EQ(Image(3), 1u);
  EXPECT_EQ(Enable(3), 0);
  EXPECT_EQ(Row(1), (Strings{"地名", "2", "", ""}));
  EXPECT_EQ(PhraseCount(), 8u);
  // The row was inserted with the flag up, and it is down again.
  EXPECT_EQ(m_dlg.CountSeen(LVN_INSERTITEM), 1u);
  EXPECT_TRUE(m_dlg.UpdatingAtEvery(LVN_INSERTITEM));
  EXPECT_EQ(m_dlg.m_bUpdating, 0);
  // The bar followed the file to its end, then went back to zero.
  int low, high;
  m_dlg.m_ctrlProgress.GetRange(low, high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, static_cast<int>(sizeof kIdioms - 1));
  EXPECT_EQ(bar.LastBeforeReset(), high);
  EXPECT_EQ(m_dlg.m_ctrlProgress.GetPos(), 0);
}

TEST_F(ImportTest, NewGroupIsNamedAfterTheFile) {
  const std::string path = WriteText("list.of.words.txt", "甲\n乙 5\n");
  ImportNew(path);
  ASSERT_EQ(RowCount(), 1);
  EXPECT_EQ(Cell(0, 0), "list.of.words");
  EXPECT_EQ(Cell(0, 1), "2");
}

TEST_F(ImportTest, RangeComesFromTheTwoEditBoxes) {
  m_dlg.SetDlgItemText(IDC_FREQ_MIN, "10");
  m_dlg.SetDlgItemText(IDC_FREQ_MAX, "44");
  ImportNew(WriteText("idioms.txt", kIdioms));
  ASSERT_EQ(RowCount(), 1);
  // 画蛇添足 (12) and 北京 (300, so 44) only.
  EXPECT_EQ(Cell(0, 1), "2");
}

TEST_F(ImportTest, ARangeThatIsNoWholeNumberFrom0To250IsRefusedBeforeTheFileDialog) {
  LoadSample();
  const struct {
    const char* pszMin;
    const char* pszMax;
    int nBadBox;
  } cases[] = {{"0", "300", IDC_FREQ_MAX},       {"0", "no number", IDC_FREQ_MAX},
               {"-1", "250", IDC_FREQ_MIN},      {"", "250", IDC_FREQ_MIN},
               {"1.5", "250", IDC_FREQ_MIN},     {"0", "256", IDC_FREQ_MAX},
               {"0", "4294967296", IDC_FREQ_MAX}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pszMin) + " .. " + c.pszMax);
    m_dlg.SetDlgItemText(IDC_FREQ_MIN, c.pszMin);
    m_dlg.SetDlgItemText(IDC_FREQ_MAX, c.pszMax);
    for (int nID : {IDC_IMPORT_NEW_GROUP, IDC_IMPORT_TO_GROUP}) {
      MarkRow(0);
      m_script.m_messageBoxes.clear();
      Click(nID);
      EXPECT_EQ(MessageTexts(), Strings{"词频范围应为 0 到 250 之间的整数。"});
      EXPECT_EQ(m_dlg.GetDlgItem(c.nBadBox), ::GetFocus());
    }
  }
  // No file dialog was opened and nothing imported.
  EXPECT_EQ(m_script.m_fileDialogs.size(), 1u);  // the sample's load only
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(PhraseCount(), 5u);
  // " 250 " is a whole number between blanks.
  m_dlg.SetDlgItemText(IDC_FREQ_MIN, "0");
  m_dlg.SetDlgItemText(IDC_FREQ_MAX, " 250 ");
  m_script.m_messageBoxes.clear();
  ImportNew(WriteText("more.txt", "甲 1\n乙 250\n"));
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(Cell(3, 1), "2");
}

TEST_F(ImportTest, FileThatCannotBeOpenedChangesNothing) {
  LoadSample();
  ImportNew(m_scratch.Path("missing.txt"));
  ASSERT_EQ(MessageTexts(), Strings{"打开文件失败"});
  EXPECT_EQ(m_script.m_messageBoxes[0].nType, static_cast<UINT>(MB_OK));
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(RowCount(), 3);
}

TEST_F(ImportTest, CancelledFileDialogDoesNothing) {
  LoadSample();
  m_script.CancelFile();
  Click(IDC_IMPORT_NEW_GROUP);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(RowCount(), 3);
}

// A file name longer than a group's name field: the name is cut after its
// last whole character that fits (49 bytes), never inside a character.
TEST_F(ImportTest, ALongFileNameBecomesAGroupNameCutAtAWholeCharacter) {
  const std::string han27 = "常用汉语成语词典第二版修订本附录人名地名外国名称缩写表";
  ASSERT_EQ(54u, han27.size());
  const struct {
    std::string title;  // GBK
    std::string name;
  } cases[] = {
      {std::string(50, 'x'), std::string(49, 'x')},
      // The 25th character would take the field's last byte and one more.
      {han27, han27.substr(0, 48)},
      {"a" + han27, "a" + han27.substr(0, 48)},
  };
  const std::string dir = BackslashPath(m_scratch.Dir());
  int nRow = 0;
  for (const auto& c : cases) {
    // The file as the system names it; the editor carries its path as UTF-8.
    const std::wstring wide = WideGbk(c.title + ".txt");
    ASSERT_TRUE(WriteFileWide(WideGbk(dir) + L"\\" + wide, "词" + std::to_string(nRow) + " 1\n"));
    char utf8[512] = {};
    ASSERT_GT(
        ::WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr),
        0);
    ImportNew(dir + "\\" + utf8);
    EXPECT_EQ(MessageTexts(), Strings{}) << c.name;
    ASSERT_EQ(RowCount(), nRow + 1) << c.name;
    EXPECT_EQ(Cell(nRow, 0), c.name);
    EXPECT_EQ(FieldText(m_dlg.m_library.GetGroup(nRow)->szName, TABRIX_NAME_FIELD), c.name);
    EXPECT_EQ(Cell(nRow, 1), "1");
    ++nRow;
  }
}

// A full table is said as such, and the import touches nothing.
TEST_F(ImportTest, AFullTableIsSaidAndAddsNoRow) {
  std::vector<tagTESTGROUP> groups;
  for (int i = 0; i < 127; ++i) groups.push_back({"g" + std::to_string(i), "", "", 0, {}});
  const std::string full = m_scratch.Path("full.wbk");
  ASSERT_TRUE(WriteLibrary(full, groups));
  LoadFile(full);
  ASSERT_EQ(RowCount(), 127);
  m_script.m_messageBoxes.clear();
  ImportNew(WriteText("one.txt", "甲\n"));
  ASSERT_EQ(m_script.m_messageBoxes.size(), 1u);
  EXPECT_EQ(m_script.m_messageBoxes[0].strText, "无法新建组：组数已满（最多 127 个组）。");
  EXPECT_EQ(m_script.m_messageBoxes[0].nType, static_cast<UINT>(MB_OK));
  EXPECT_EQ(GroupCount(), 127u);
  EXPECT_EQ(RowCount(), 127);
  EXPECT_EQ(PhraseCount(), 0u);
}

TEST_F(ImportTest, IntoTheMarkedGroupUpdatesItsCount) {
  LoadSample();
  MarkRow(1);
  m_script.AnswerFile(WriteText("places.txt", "@名称=不用\n南京\n北京\n一心一意\n广州 3\n"));
  Click(IDC_IMPORT_TO_GROUP);
  EXPECT_TRUE(m_script.m_messageBoxes.empty());
  ASSERT_EQ(m_script.m_fileDialogs.size(), 2u);
  EXPECT_EQ(m_script.m_fileDialogs[1].strDefExt, "txt");
  EXPECT_EQ(m_script.m_fileDialogs[1].strFilter, kTextFilter);
  // 南京 and 广州 are new; 北京 and 一心一意 are in the library already.
  EXPECT_EQ(Row(1), (Strings{"地名", "4", "", ""}));
  EXPECT_EQ(Row(0), (Strings{"成语", "3", "张三", "四字成语"}));
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(RowCount(), 3);
  EXPECT_EQ(PhraseCount(), 7u);
}

TEST_F(ImportTest, IntoGroupWithoutAMarkSaysToChooseOne) {
  LoadSample();
  ASSERT_EQ(m_dlg.m_ctrlList.GetSelectionMark(), -1);
  Click(IDC_IMPORT_TO_GROUP);
  EXPECT_EQ(m_script.m_fileDialogs.size(), 1u);  // the sample's load only
  EXPECT_EQ(MessageTexts(), Strings{"请先在列表中选择一个组。"});
  EXPECT_EQ(PhraseCount(), 5u);
}

TEST_F(ImportTest, AClickOnTheListsEmptySpaceClearsTheMark) {
  LoadSample();
  MarkRow(1);
  NMITEMACTIVATE click = {};
  click.hdr.hwndFrom = m_dlg.m_ctrlList.m_hWnd;
  click.hdr.idFrom = IDC_GROUP_LIST;
  click.hdr.code = NM_CLICK;
  click.iItem = -1;
  m_dlg.SendMessage(WM_NOTIFY, IDC_GROUP_LIST, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(m_dlg.m_ctrlList.GetSelectionMark(), -1);
  EXPECT_EQ(m_dlg.m_ctrlList.GetSelectedCount(), 0u);
  Click(IDC_IMPORT_TO_GROUP);
  EXPECT_EQ(MessageTexts(), Strings{"请先在列表中选择一个组。"});
  // The marked row stays highlighted when the list loses the focus.
  EXPECT_NE(0u, static_cast<DWORD>(::GetWindowLongA(m_dlg.m_ctrlList.m_hWnd, GWL_STYLE)) &
                    LVS_SHOWSELALWAYS);
}

TEST_F(ImportTest, IntoGroupWithAMarkOnARowOfNoGroupDoesNothing) {
  LoadSample();
  ASSERT_EQ(m_dlg.m_ctrlList.InsertItem(3, "extra"), 3);
  MarkRow(3);
  Click(IDC_IMPORT_TO_GROUP);
  EXPECT_EQ(m_script.m_fileDialogs.size(), 1u);
  EXPECT_EQ(MessageTexts(), Strings{"请先在列表中选择一个组。"});
  EXPECT_EQ(GroupCount(), 3u);
}

TEST_F(ImportTest, IntoGroupFileThatCannotBeOpened) {
  LoadSample();
  MarkRow(0);
  m_script.AnswerFile(m_scratch.Path("missing.txt"));
  Click(IDC_IMPORT_TO_GROUP);
  ASSERT_EQ(MessageTexts(), Strings{"打开文件失败"});
  EXPECT_EQ(Cell(0, 1), "3");
  EXPECT_EQ(PhraseCount(), 5u);
}

// A file that is no phrase list is refused with a message that names it and
// says why; nothing changes.
TEST_F(ImportTest, AFileThatIsNotTextIsRefusedWithItsReason) {
  LoadSample();
  static const char kPng[] = "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06";
  ImportNew(WriteText("picture.txt", std::string(kPng, sizeof kPng - 1)));
  EXPECT_EQ(MessageTexts(),
            Strings{"导入失败：picture 不是文本文件（第 3 行含有 NUL 字节），没有添加任何词条。"});
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(RowCount(), 3);
  EXPECT_EQ(PhraseCount(), 5u);
  EXPECT_FALSE(m_dlg.m_history.IsModified());

  m_script.m_messageBoxes.clear();
  MarkRow(1);
  m_script.AnswerFile(WriteText("esc.txt", "南京 1\n广州\x1B 2\n"));
  Click(IDC_IMPORT_TO_GROUP);
  EXPECT_EQ(MessageTexts(),
            Strings{"导入失败：esc 不是文本文件（第 2 行含有控制字符 0x1B），没有添加任何词条。"});
  EXPECT_EQ(Row(1), (Strings{"地名", "2", "", ""}));
  EXPECT_EQ(PhraseCount(), 5u);
}

// An import that adds nothing leaves no row and no step, and says why.
TEST_F(ImportTest, AnImportThatAddsNothingSaysWhyAndLeavesNoRow) {
  LoadSample();
  const uint32_t nSteps = m_dlg.m_history.GetUndoCount();
  ImportNew(WriteText("emoji.txt", u8"\U0001F600 5\n\U0001F601 3\n"));
  EXPECT_EQ(MessageTexts(), Strings{"没有导入任何词条，没有新建组。\n跳过 2 条：无 GBK 字形 2"});
  EXPECT_EQ(GroupCount(), 3u);
  EXPECT_EQ(RowCount(), 3);
  EXPECT_EQ(m_dlg.m_history.GetUndoCount(), nSteps);
  EXPECT_FALSE(m_dlg.m_history.IsModified());

  m_script.m_messageBoxes.clear();
  MarkRow(1);
  m_script.AnswerFile(WriteText("again.txt", "北京 3\n"));
  Click(IDC_IMPORT_TO_GROUP);
  EXPECT_EQ(MessageTexts(), Strings{"没有导入任何词条。\n跳过 1 条：重复 1"});
  EXPECT_EQ("again.txt：已导入 0 条；跳过 1 条：重复 1；GBK 编码的文本列表",
            m_dlg.m_ctrlStatus.GetText());
  EXPECT_EQ(Row(1), (Strings{"地名", "2", "", ""}));
  EXPECT_EQ(m_dlg.m_history.GetUndoCount(), nSteps);
}

// A dictionary of the readers' tests.
std::string FormatData(const std::string& leaf) {
  std::ifstream in(std::string(TABRIX_FORMAT_DATA) + "/" + leaf, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// After each import of a phrase list the status bar names the file, what was
// added, what was skipped by reason, the frequencies brought into range, and
// the encoding and format the file was read in.
TEST_F(ImportTest, TheStatusBarSaysWhatEachListImportDidAndHowItWasRead) {
  LoadSample();
  const struct {
    const char* pszLeaf;
    std::string strBytes;
    const char* pszStatus;
  } cases[] = {
      {"gbk.txt", "画蛇添足 300\n北京 5\n守株待兔 -3\n长词长词长词长词长词长词长词长词 3\n",
       "gbk.txt：已导入 2 条；跳过 2 条：重复 1，过长 1；词频超出 0 到 250 的 2 条已缩减；GBK "
       "编码的文本列表"},
      {"utf8.txt", u8"新词 5\ncaf\u00E9\xE9 3\n",
       "utf8.txt：已导入 1 条；跳过 1 条：无法解码 1；UTF-8 编码的文本列表"},
      {"le.txt", tabrix_test::Utf16WithMark(u"字词 7\r\n\U0001F600 2\r\n", false),
       "le.txt：已导入 1 条；跳过 1 条：无 GBK 字形 1；UTF-16 LE 编码的文本列表"},
      {"be.txt", tabrix_test::Utf16WithMark(u"词语 7\n", true),
       "be.txt：已导入 1 条；UTF-16 BE 编码的文本列表"},
      // Weights above 250 in a list that is not GBK: a list of columns.
      {"essay.txt", u8"甲乙 5376\n丙丁 20\n", "essay.txt：已导入 2 条；UTF-8 编码的分列词表"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszLeaf);
    m_script.m_messageBoxes.clear();
    ImportNew(WriteText(c.pszLeaf, c.strBytes));
    EXPECT_EQ(m_dlg.m_ctrlStatus.GetText(), c.pszStatus);
  }
  // Into the marked group, as well.
  MarkRow(1);
  m_script.AnswerFile(WriteText("into.txt", "南京 1\n上海 2\n"));
  Click(IDC_IMPORT_TO_GROUP);
  EXPECT_EQ(m_dlg.m_ctrlStatus.GetText(),
            "into.txt：已导入 1 条；跳过 1 条：重复 1；GBK 编码的文本列表");
}

// Each dictionary format, under a name that is not its own: found by its
// content, and the status bar says what the core's import of it gives.
TEST_F(ImportTest, TheStatusBarSaysWhatEachDictionaryImportDidAndHowItWasRead) {
  const struct {
    const char* pszData;
    const char* pszLeaf;
    const char* pszRead;  // how the status bar says it was read
  } cases[] = {
      {"sample.scel", "cells.dat", "；UTF-16 LE 编码的搜狗细胞词库"},
      {"tables.bdict", "films.bin", "；UTF-16 LE 编码的百度细胞词库"},
      {"sample.qpyd", "qq.dat", "；UTF-16 LE 编码的 QQ拼音词库"},
      {"sample.dict.yaml", "rime.txt", "；UTF-8 编码的 Rime 词典"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszLeaf);
    Click(IDC_CLEAR);  // "清空": each into an empty library
    m_script.m_messageBoxes.clear();
    CTabrix expected;  // the same import through the core
    const std::string path = WriteText(c.pszLeaf, FormatData(c.pszData));
    tagIMPORTOPTIONS options = DefaultImportOptions();
    const std::string title = GroupTitleFromPath(path.c_str());
    options.pszTitle = title.c_str();
    uint8_t group = 0;
    tagIMPORTSTATS stats = {};
    tagREADFAULT fault = {};
    ASSERT_EQ(ImportDictionary(expected, path.c_str(), DetectDictFormat(path.c_str()), options,
                               true, &group, &stats, &fault),
              IMPORT_OK)
        << ReadFaultText(fault);
    EXPECT_GT(stats.nAdded, 0u);
    ImportNew(path);
    // Entries left out before the checks are named in a message as before.
    const std::string skipped = ImportSkippedMessage(stats.nNoGbkForm, stats.nUndecodable, true);
    EXPECT_EQ(MessageTexts(), skipped.empty() ? Strings{} : Strings{skipped});
    const std::string status = m_dlg.m_ctrlStatus.GetText();
    EXPECT_EQ(status, ImportStatusText(c.pszLeaf, stats));
    EXPECT_EQ(0u, status.find(std::string(c.pszLeaf) + "：已导入 " + std::to_string(stats.nAdded) +
                              " 条"))
        << status;
    EXPECT_EQ(status.substr(status.size() - std::string(c.pszRead).size()), c.pszRead) << status;
    EXPECT_EQ(PhraseCount(), expected.m_arrPhrase.GetCount());
  }
}

// A damaged dictionary is refused in Chinese: what was wrong, with its
// numbers, and no English.
TEST_F(ImportTest, ADamagedDictionarySaysWhatIsWrongInChinese) {
  LoadSample();
  const struct {
    const char* pszLeaf;
    std::string strBytes;
    const char* pszMessage;
  } cases[] = {
      {"broken.scel", std::string("\x40\x15\x00\x00", 4) + std::string(3004, '\0'),
       "导入失败：broken 不是可以读取的搜狗细胞词库，没有添加任何词条。\n"
       "文件只有 3008 字节，少于文件头所写的 5444 字节。"},
      {"cut.bdict", FormatData("tables.bdict").substr(0, 0x300),
       "导入失败：cut 不是可以读取的百度细胞词库，没有添加任何词条。\n"
       "文件只有 768 字节，少于文件头所写的 848 字节。"},
      {"open.dict.yaml", "---\nname: x\n",
       "导入失败：open.dict 不是可以读取的 Rime 词典，没有添加任何词条。\n"
       "从第 1 行开始的 YAML 文件头直到文件末尾都没有结束行“...”。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszLeaf);
    m_script.m_messageBoxes.clear();
    ImportNew(WriteText(c.pszLeaf, c.strBytes));
    EXPECT_EQ(MessageTexts(), Strings{c.pszMessage});
    EXPECT_EQ(GroupCount(), 3u);
  }
}

}  // namespace
