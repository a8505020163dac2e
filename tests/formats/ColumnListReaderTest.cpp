#include <climits>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DictContent.h"
#include "DictReadChecks.h"
#include "FileBytes.h"
#include "RealData.h"
#include "TestPaths.h"

using namespace tabrix_test;

namespace {

tagREADRESULT ReadColumns(const std::string& text) { return ReadWith(ReadColumnList, text); }

TEST(ReadColumnList, TheWeightIsTheFirstLaterWholeNumber) {
  const struct {
    std::string line;
    const char* pszText;
    bool bHasWeight;
    int64_t nWeight;
  } cases[] = {
      {u8"你好 nihao 120", u8"你好", true, 120},        // text pinyin frequency
      {u8"你好 ni hao 120", u8"你好", true, 120},       // a pinyin of syllables
      {u8"中国 129470 ns", u8"中国", true, 129470},     // jieba: word frequency tag
      {u8"明月\t2039", u8"明月", true, 2039},           // essay: text<TAB>weight
      {u8"  明月 \t \t 2039  ", u8"明月", true, 2039},  // runs of blanks
      {u8"你好 ni3 hao3", u8"你好", false, 0},          // no whole number
      {u8"你好 -5 +5 5.5 5% 7 8", u8"你好", true, 7},   // the first whole one
      {u8"数 123", u8"数", true, 123},
      {"123 456", "123", true, 456},                           // the text may be digits
      {u8"你好", u8"你好", false, 0},                          // the text alone
      {u8"大 99999999999999999999", u8"大", true, INT64_MAX},  // clamped
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const tagREADRESULT r = ReadColumns(c.line + "\n");
    ASSERT_TRUE(r.bOk) << r.strError;
    ExpectEntries(r.content, {{c.pszText, c.nWeight, c.bHasWeight}});
  }
}

TEST(ReadColumnList, CommentsBlankLinesAndLineEndsAreNoEntries) {
  const std::string text = std::string("\xEF\xBB\xBF") + u8"# 注释 1\r\n" + u8"一 yi 1\r\n" +
                           "\r\n" + "   \t\n" + u8"  # 注释 2\n" + u8"二 er 2\r\n" + u8"三 3";
  const tagREADRESULT r = ReadColumns(text);
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, "");
  EXPECT_EQ(r.content.nUndecodable, 0u);
  const char* expected[] = {u8"一", u8"二", u8"三"};
  ASSERT_EQ(r.content.arrEntries.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(r.content.arrEntries[i].strText, expected[i]);
    EXPECT_EQ(r.content.arrEntries[i].nWeight, int64_t(i + 1));
  }
}

TEST(ReadColumnList, LinesThatAreNotUtf8AreCountedAndTheRestRead) {
  const std::string text = std::string(u8"好 1\n") + "\xC4\xE3\xBA\xC3 2\n" +  // GBK
                           u8"中 \xED\xA0\x80 3\n" +  // a surrogate in UTF-8
                           std::string("a\0b 4\n", 6) + u8"坏 \xE5\xA5\n" + u8"行 5\n";
  const tagREADRESULT r = ReadColumns(text);
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.nUndecodable, 4u);
  ASSERT_EQ(r.content.arrEntries.size(), 2u);
  EXPECT_EQ(r.content.arrEntries[0].strText, u8"好");
  EXPECT_EQ(r.content.arrEntries[1].strText, u8"行");
  EXPECT_EQ(r.content.arrEntries[1].nWeight, 5);
}

TEST(ReadColumnList, AnEmptyFileHasNoEntriesAndUtf16Fails) {
  const tagREADRESULT empty = ReadColumns("");
  ASSERT_TRUE(empty.bOk);
  EXPECT_TRUE(empty.content.arrEntries.empty());
  const tagREADRESULT utf16 =
      ReadColumns(std::string("\xFF\xFE`O}Y \x00"
                              "1\x00",
                              10));
  EXPECT_FALSE(utf16.bOk);
  EXPECT_NE(utf16.strError.find("UTF-16"), std::string::npos) << utf16.strError;
}

// Real lists Debian ships, each counted apart: every line that is neither
// empty nor a comment is an entry, its text before the first blank.
struct tagREALLIST {
  size_t nLines = 0;
  std::map<std::string, int64_t> known;  // some texts and their weights
};

tagREALLIST CountLines(const std::string& path, const std::vector<std::string>& texts) {
  tagREALLIST list;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    ++list.nLines;
    const size_t nBlank = line.find_first_of(" \t");
    const std::string text = line.substr(0, nBlank);
    for (const std::string& t : texts)
      if (t == text && !list.known.count(t))
        list.known[t] = std::stoll(line.substr(nBlank + 1, line.find_first_of(" \t", nBlank + 1)));
  }
  return list;
}

void CheckRealList(const std::string& path, const std::vector<std::string>& texts) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(SystemFilePath(path), &bytes)) GTEST_SKIP() << path << " is not installed";
  const tagREALLIST list = CountLines(SystemFilePath(path), texts);
  ASSERT_EQ(list.known.size(), texts.size()) << "the known entries are not all in " << path;
  tagDICTCONTENT content;
  tagREADFAULT fault = {};
  ASSERT_TRUE(ReadColumnList(bytes.data(), bytes.size(), &content, &fault)) << ReadFaultText(fault);
  EXPECT_EQ(content.nUndecodable, 0u);
  EXPECT_GT(list.nLines, 100000u);
  EXPECT_EQ(content.arrEntries.size(), list.nLines);
  std::map<std::string, int64_t> found;
  for (const tagDICTENTRY& e : content.arrEntries) {
    EXPECT_TRUE(e.bHasWeight) << e.strText;
    if (list.known.count(e.strText) && !found.count(e.strText)) found[e.strText] = e.nWeight;
  }
  EXPECT_EQ(found, list.known);
}

// Rime's essay (rime-essay): "text<TAB>weight".
TEST(ReadColumnList, ReadsDebiansRimeEssay) {
  TABRIX_SKIP_UNLESS_REAL_DATA_TESTS();
  CheckRealList("/usr/share/rime-data/essay.txt", {u8"你好", u8"的", u8"明月"});
}

// jieba's word list (python3-jieba): "word frequency tag".
TEST(ReadColumnList, ReadsDebiansJiebaDictionary) {
  TABRIX_SKIP_UNLESS_REAL_DATA_TESTS();
  CheckRealList("/usr/lib/python3/dist-packages/jieba/dict.txt",
                {"AT&T", u8"B超", u8"中国", u8"的", u8"你好"});
}

}  // namespace
