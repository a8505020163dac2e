#include <climits>
#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "DictContent.h"
#include "DictReadChecks.h"
#include "FileBytes.h"
#include "RealData.h"
#include "TestPaths.h"

using namespace tabrix_test;

namespace {

tagREADRESULT ReadRimeText(const std::string& text) { return ReadWith(ReadRimeDict, text); }

const char kSample[] =
    u8"# Rime dictionary\n"
    u8"# encoding: utf-8\n"
    u8"\n"
    u8"---\n"
    u8"name: sample\n"
    u8"version: \"1.0\"\n"
    u8"sort: by_weight\n"
    u8"...\n"
    u8"\n"
    u8"# single characters\n"
    u8"的\tde\t99.97%\n"
    u8"繰\tzao\t0\n"
    u8"你好\tni hao\t120\n"
    u8"中\tzhong\n";

TEST(ReadRimeDict, ReadsTitleTextsAndWeightsInTheDefaultColumns) {
  const tagREADRESULT r = ReadRimeText(kSample);
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, "sample");
  EXPECT_EQ(r.content.nUndecodable, 0u);
  ExpectEntries(r.content,
                {{u8"的", 0, false}, {u8"繰", 0, true}, {u8"你好", 120, true}, {u8"中", 0, false}});
}

TEST(ReadRimeDict, CrLfLinesAndAByteOrderMarkReadAlike) {
  std::string crlf = "\xEF\xBB\xBF";
  for (const char* p = kSample; *p; ++p) {
    if (*p == '\n') crlf += '\r';
    crlf += *p;
  }
  const tagREADRESULT lf = ReadRimeText(kSample);
  const tagREADRESULT r = ReadRimeText(crlf);
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, lf.content.strTitle);
  ASSERT_EQ(r.content.arrEntries.size(), lf.content.arrEntries.size());
  for (size_t i = 0; i < lf.content.arrEntries.size(); ++i) {
    EXPECT_EQ(r.content.arrEntries[i].strText, lf.content.arrEntries[i].strText);
    EXPECT_EQ(r.content.arrEntries[i].nWeight, lf.content.arrEntries[i].nWeight);
  }
}

TEST(ReadRimeDict, WeightsAreIntegersOrRoundedDecimalsAndPercentagesAreNone) {
  const struct {
    const char* pszWeight;
    bool bHasWeight;
    int64_t nWeight;
  } cases[] = {
      {"120", true, 120}, {"-3", true, -3},
      {"+7", true, 7},    {"2.5", true, 3},
      {"2.49", true, 2},  {"-2.5", true, -3},
      {" 12 ", true, 12}, {"99999999999999999999", true, INT64_MAX},
      {"5%", false, 0},   {"0.07%", false, 0},
      {"abc", false, 0},  {"", false, 0},
      {"1.", false, 0},   {".5", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszWeight);
    const tagREADRESULT r =
        ReadRimeText(std::string("---\nname: w\n...\n") + u8"字\tzi\t" + c.pszWeight + "\n");
    ASSERT_TRUE(r.bOk) << r.strError;
    ExpectEntries(r.content, {{u8"字", c.nWeight, c.bHasWeight}});
  }
}

TEST(ReadRimeDict, ColumnsOfTheHeaderPlaceTextAndWeight) {
  const struct {
    const char* pszHeader;
    const char* pszLine;
    bool bHasWeight;
    int64_t nWeight;
  } cases[] = {
      {"columns:\n  - text\n  - weight\n", u8"你好\t5", true, 5},
      {"columns: [code, text, weight]\n", u8"nh\t你好\t5", true, 5},
      {"columns:\n- text\n- code\n", u8"你好\tnh\t5", false, 0},
      {"columns: # order\n  # the text first\n  - text # word\n  - stem\n  - weight\n",
       u8"你好\tx\t7", true, 7},
      {"columns: [\"text\", 'weight']\n", u8"你好\t9", true, 9},
      {"columns:\n  - code\n  - stem\n  - text\n", u8"nh\tx\t你好", false, 0},
      {"columns: text\n", u8"你好\tnh\t4", true, 4},  // no list: the default order
      {"sort: original\n", u8"你好\tnh\t4", true, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszHeader);
    const tagREADRESULT r =
        ReadRimeText(std::string("---\nname: c\n") + c.pszHeader + "...\n" + c.pszLine + "\n");
    ASSERT_TRUE(r.bOk) << r.strError;
    ExpectEntries(r.content, {{u8"你好", c.nWeight, c.bHasWeight}});
  }
}

TEST(ReadRimeDict, TheTitleIsTheTopLevelNameWhateverElseTheHeaderHolds) {
  const struct {
    const char* pszHeader;
    const char* pszTitle;
  } cases[] = {
      {"name: \"luna \\\"x\\\"\" # the id\n", "luna \"x\""},
      {"name: 'it''s'\n", "it's"},
      {"name: plain # a comment\n", "plain"},
      {"vocabulary:\n  name: nested\nname: top\n", "top"},
      {"name: first\nname: second\n", "first"},
      {"this is no yaml\n: :\n\t- stray\n[\nname: kept\n", "kept"},
      {u8"name: 明月拼音\n", u8"明月拼音"},
      {"version: 1\n", ""},
      {"name: \xC0\xAF\n", ""},  // not UTF-8: no title, the entries still read
  };
  for (const auto& c : cases) {
    const tagREADRESULT r =
        ReadRimeText(std::string("---\n") + c.pszHeader + "...\n" + u8"字\tzi\n");
    ASSERT_TRUE(r.bOk) << c.pszHeader << r.strError;
    EXPECT_EQ(r.content.strTitle, c.pszTitle) << c.pszHeader;
    EXPECT_EQ(r.content.arrEntries.size(), 1u) << c.pszHeader;
  }
}

TEST(ReadRimeDict, NoCommentLetsTextsStartWithAHash) {
  const tagREADRESULT r = ReadRimeText(u8"---\nname: h\n...\n#c\n字\n# no comment\n#井\tjing\n");
  ASSERT_TRUE(r.bOk) << r.strError;
  ASSERT_EQ(r.content.arrEntries.size(), 2u);
  EXPECT_EQ(r.content.arrEntries[0].strText, u8"字");
  EXPECT_EQ(r.content.arrEntries[1].strText, u8"#井");
}

TEST(ReadRimeDict, LinesWithoutAUsableTextAreCountedAndTheOthersRead) {
  const std::string text = std::string("---\nname: u\n...\n") + "\xFF\xFE\tbad\t1\n" + "\tnh\t5\n" +
                           std::string("a\0b\tab\n", 7) + u8"好\thao\t3\n" + "  \t \n";
  const tagREADRESULT r = ReadRimeText(text);
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.nUndecodable, 3u);
  ASSERT_EQ(r.content.arrEntries.size(), 1u);
  EXPECT_EQ(r.content.arrEntries[0].strText, u8"好");
  EXPECT_EQ(r.content.arrEntries[0].nWeight, 3);
}

TEST(ReadRimeDict, FilesWithoutAUsableHeaderFail) {
  const struct {
    std::string text;
    const char* pszError;
  } cases[] = {
      {"", "no YAML header"},
      {"# only comments\n\n", "no YAML header"},
      {"name: x\n---\n...\n", "line 1 comes before the YAML header"},
      {"# c\n---\nname: x\n\xE5\xAD\x97\tzi\n", "header begun at line 2 has no end"},
      {"---\nname: x\ncolumns:\n  - code\n  - weight\n...\n", "columns (line 3) name no text"},
      {"---\ncolumns: []\n...\n", "columns (line 2) name no text"},
      {std::string("\xFF\xFE-\0-\0-\0", 8), "UTF-16"},
  };
  for (const auto& c : cases) ExpectFailsSaying(ReadRimeText(c.text), c.pszError);
}

TEST(ReadRimeDict, ReadsTheSampleFile) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(TestDataPath("sample.dict.yaml"), &bytes));
  tagDICTCONTENT content;
  tagREADFAULT fault = {};
  ASSERT_TRUE(ReadRimeDict(bytes.data(), bytes.size(), &content, &fault)) << ReadFaultText(fault);
  EXPECT_EQ(content.strTitle, "sample");
  ASSERT_EQ(content.arrEntries.size(), 3u);
  EXPECT_EQ(content.arrEntries[0].strText, u8"输入法");
  EXPECT_EQ(content.arrEntries[0].nWeight, 300);
  EXPECT_FALSE(content.arrEntries[2].bHasWeight);
}

// Debian's Luna Pinyin dictionary (rime-data-luna-pinyin, installed by
// tools/setup.sh).
TEST(ReadRimeDict, ReadsDebiansLunaPinyin) {
  TABRIX_SKIP_UNLESS_REAL_DATA_TESTS();
  const std::string path = SystemFilePath("/usr/share/rime-data/luna_pinyin.dict.yaml");
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, &bytes)) GTEST_SKIP() << path << " is not installed";
  // The entries counted apart: every line after "..." that is neither
  // empty nor a comment.
  size_t nLines = 0;
  {
    std::ifstream in(path);
    std::string line;
    bool bBody = false;
    while (std::getline(in, line)) {
      if (bBody && !line.empty() && line[0] != '#') ++nLines;
      if (line == "...") bBody = true;
    }
  }
  tagDICTCONTENT content;
  tagREADFAULT fault = {};
  ASSERT_TRUE(ReadRimeDict(bytes.data(), bytes.size(), &content, &fault)) << ReadFaultText(fault);
  EXPECT_EQ(content.strTitle, "luna_pinyin");
  EXPECT_EQ(content.nUndecodable, 0u);
  EXPECT_GT(nLines, 60000u);
  EXPECT_EQ(content.arrEntries.size(), nLines);
  ASSERT_FALSE(content.arrEntries.empty());
  EXPECT_EQ(content.arrEntries.front().strText, u8"〇");
  EXPECT_EQ(content.arrEntries.back().strText, u8"\U00030EDE\U00030EDE麪");

  // Known lines: "的 de 99.97%", "的 di 0.03%" (shares, no weight);
  // "繰 qiao 50%", "繰 sao 50%", "繰 zao 0" (a weight of 0 last); "龜裂 jun lie".
  typedef std::vector<std::pair<bool, int64_t>> Weights;
  std::map<std::string, Weights> found;
  for (const tagDICTENTRY& e : content.arrEntries)
    if (e.strText == u8"的" || e.strText == u8"繰" || e.strText == u8"龜裂")
      found[e.strText].push_back({e.bHasWeight, e.nWeight});
  EXPECT_EQ(found[u8"的"], (Weights{{false, 0}, {false, 0}}));
  EXPECT_EQ(found[u8"繰"], (Weights{{false, 0}, {false, 0}, {true, 0}}));
  EXPECT_EQ(found[u8"龜裂"], (Weights{{false, 0}}));
}

}  // namespace
