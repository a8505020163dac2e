// A text file as the editor and wbk import it: its encoding found, then read
// by the line rules, or as a column list when a UTF-8 or UTF-16 list's
// weights go above 250.
#include "ListImport.h"

#include <string>

#include <gtest/gtest.h>

#include "DictImport.h"
#include "GbkSource.h"
#include "ImportChecks.h"
#include "ScratchDir.h"
#include "Tabrix.h"

namespace {

// Rime's essay: "text<TAB>weight", weights in the thousands. In UTF-8.
const std::string kEssay = u8"的\t5376\n一心一意\t120\n中文\t905\n";

std::string Utf16Le(const std::u16string& text) {
  std::string out("\xFF\xFE");
  for (char16_t u : text) {
    out += char(u & 0xFF);
    out += char(u >> 8);
  }
  return out;
}

struct tagLISTRUN {
  int nResult;
  PhraseList arrPhrases;
  tagIMPORTSTATS stats;
};

tagLISTRUN Import(const std::string& path) {
  tagLISTRUN run{};
  CGbkSource source;
  EXPECT_EQ(source.Open(path.c_str(), SOURCE_MODE_AUTO), SOURCE_OK);
  CTabrix lib;
  uint8_t g = 0;
  tagREADFAULT fault = {};
  run.nResult = ImportSourceList(lib, source, DefaultImportOptions(), true, &g, &run.stats, &fault);
  if (run.nResult == IMPORT_OK) {
    EXPECT_STREQ(lib.GetGroup(g)->szName, "essay");
    run.arrPhrases = PhrasesOf(lib, g);
  }
  return run;
}

TEST(ImportSourceList, WeightsAbove250InUtf8OrUtf16AreMappedByRankAsColumnsAre) {
  CScratchDir dir;
  // What --format columns makes of the same list.
  const std::string utf8 = dir.Write("essay.txt", kEssay);
  CTabrix columns;
  uint8_t g = 0;
  tagREADFAULT fault = {};
  ASSERT_EQ(ImportDictionary(columns, utf8.c_str(), DICT_FORMAT_COLUMNS, DefaultImportOptions(),
                             true, &g, nullptr, &fault),
            IMPORT_OK);
  const PhraseList expected = PhrasesOf(columns, g);
  // 的 the heaviest, 一心一意 the lightest.
  ASSERT_EQ(expected, (PhraseList{{"的", 250}, {"一心一意", 0}, {"中文", 125}}));

  const tagLISTRUN fromUtf8 = Import(utf8);
  ASSERT_EQ(fromUtf8.nResult, IMPORT_OK);
  EXPECT_EQ(fromUtf8.arrPhrases, expected);
  EXPECT_EQ(fromUtf8.stats.nFormat, DICT_FORMAT_COLUMNS);
  EXPECT_EQ(fromUtf8.stats.nEncoding, SOURCE_UTF8);
  EXPECT_EQ(fromUtf8.stats.nAdded, 3u);

  const tagLISTRUN fromUtf16 =
      Import(dir.Write("essay.txt", Utf16Le(u"的\t5376\n一心一意\t120\n中文\t905\n")));
  ASSERT_EQ(fromUtf16.nResult, IMPORT_OK);
  EXPECT_EQ(fromUtf16.arrPhrases, expected);
  EXPECT_EQ(fromUtf16.stats.nFormat, DICT_FORMAT_COLUMNS);
  EXPECT_EQ(fromUtf16.stats.nEncoding, SOURCE_UTF16LE);
}

// A GBK list is the input method's own: 300 keeps the line rules (its low 8
// bits), and is counted as reduced. Lists within 0..250 keep the line rules
// in every encoding.
TEST(ImportSourceList, GbkListsAndSmallWeightsKeepTheLineRules) {
  CScratchDir dir;
  const tagLISTRUN gbk = Import(dir.Write("essay.txt", "的\t300\n中文\t9\n词 -1\n"));
  ASSERT_EQ(gbk.nResult, IMPORT_OK);
  EXPECT_EQ(gbk.arrPhrases, (PhraseList{{"词", 250}, {"的", 44}, {"中文", 9}}));
  EXPECT_EQ(gbk.stats.nFormat, DICT_FORMAT_TEXT);
  EXPECT_EQ(gbk.stats.nEncoding, SOURCE_GBK);
  EXPECT_EQ(gbk.stats.nFreqReduced, 2u);

  const tagLISTRUN utf8 = Import(dir.Write("essay.txt", u8"的\t250\n中文\t9\n词 -1\n"));
  ASSERT_EQ(utf8.nResult, IMPORT_OK);
  EXPECT_EQ(utf8.arrPhrases, (PhraseList{{"词", 250}, {"的", 250}, {"中文", 9}}));
  EXPECT_EQ(utf8.stats.nFormat, DICT_FORMAT_TEXT);
  EXPECT_EQ(utf8.stats.nEncoding, SOURCE_UTF8);
  EXPECT_EQ(utf8.stats.nFreqReduced, 1u);
}

// A list whose every line lies outside GBK adds nothing and leaves no group.
TEST(ImportSourceList, AListOfNoGbkCharacterLeavesNoGroup) {
  CScratchDir dir;
  const std::string path = dir.Write("emoji.txt", u8"\U0001F600\t5\n\U0001F601\t3\n");
  CGbkSource source;
  ASSERT_EQ(source.Open(path.c_str(), SOURCE_MODE_AUTO), SOURCE_OK);
  CTabrix lib;
  uint8_t g = 0;
  tagIMPORTSTATS stats;
  tagREADFAULT fault = {};
  EXPECT_EQ(ImportSourceList(lib, source, DefaultImportOptions(), true, &g, &stats, &fault),
            IMPORT_NOTHING_ADDED);
  EXPECT_EQ(g, TABRIX_NO_GROUP);
  EXPECT_EQ(lib.GetGroupCount(), 0u);
  EXPECT_EQ(stats.nNoGbkForm, 2u);
}

}  // namespace
