// Dictionaries of other input methods through the import: found by their
// bytes and names, named from their titles, their weights mapped by rank,
// damaged ones refused without a trace, and real Debian dictionaries counted
// whole: what the file holds is what arrives plus what the report names.
#include "DictImport.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RealData.h"
#include "ScratchDir.h"
#include "Tabrix.h"

namespace {

const std::string kData = TABRIX_FORMAT_DATA;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct tagDONE {
  int nResult;
  uint8_t nGroup;
  tagIMPORTSTATS stats;
  tagREADFAULT fault;
};

tagDONE Import(CTabrix& lib, const std::string& path, int format, bool newGroup = true,
               uint8_t group = 0, uint8_t lo = 0, uint8_t hi = 250) {
  tagDONE done{};
  done.nGroup = group;
  tagIMPORTOPTIONS opt = DefaultImportOptions();
  opt.byMinFreq = lo;
  opt.byMaxFreq = hi;
  done.nResult = ImportDictionary(lib, path.c_str(), format, opt, newGroup, &done.nGroup,
                                  &done.stats, &done.fault);
  return done;
}

TEST(DetectDictFormat, FromTheFirstBytesThenTheName) {
  CScratchDir dir;
  const std::string scel = ReadAll(kData + "/sample.scel");
  struct tagCASE {
    const char* pszName;
    std::string strBytes;
    int nFormat;
  } cases[] = {
      {"a.scel", scel, DICT_FORMAT_SCEL},
      {"renamed.txt", scel, DICT_FORMAT_SCEL},  // the mark wins over the name
      {"a.SCEL", "x", DICT_FORMAT_SCEL},
      {"a.bdict", "x", DICT_FORMAT_BDICT},
      {"a.qpyd", "x", DICT_FORMAT_QPYD},
      {"luna.dict.yaml", "x", DICT_FORMAT_RIME},
      {"list.txt", "中文 5\n", DICT_FORMAT_TEXT},
      // UTF-8 lines of three columns with a number after the text: columns.
      {"jieba.txt", u8"# words\n中文 120 n\n拼音 30 n\n", DICT_FORMAT_COLUMNS},
      {"pinyin.txt", u8"中文\tzhong wen\t5\r\n", DICT_FORMAT_COLUMNS},
      // GBK keeps the line rules whatever its columns; so do two columns,
      // and columns without a number.
      {"gbk.txt", "中文 120 n\n拼音 30 n\n", DICT_FORMAT_TEXT},
      {"two.txt", u8"中文 120\n拼音 30\n", DICT_FORMAT_TEXT},
      {"nonum.txt", u8"中文 zhong wen\n", DICT_FORMAT_TEXT},
      {"mixed.txt", u8"中文 120 n\n拼音 30\n", DICT_FORMAT_TEXT},
      {"words", "", DICT_FORMAT_TEXT},
  };
  for (const tagCASE& c : cases)
    EXPECT_EQ(DetectDictFormat(dir.Write(c.pszName, c.strBytes).c_str()), c.nFormat) << c.pszName;
  EXPECT_EQ(DetectDictFormat(dir.Path("missing.txt").c_str()), DICT_FORMAT_TEXT);
  for (int f = DICT_FORMAT_AUTO; f < DICT_FORMAT_COUNT; ++f)
    EXPECT_EQ(DictFormatFromName(DictFormatName(f)), f);
  EXPECT_EQ(DictFormatFromName("sogou"), -1);
}

// A format with a mark is found by it whatever the name says, a name of
// another format included; the name decides only for a file without one.
TEST(DetectDictFormat, EveryMarkWinsOverAnyName) {
  CScratchDir dir;
  const struct {
    const char* pszFile;
    int nFormat;
  } samples[] = {{"sample.scel", DICT_FORMAT_SCEL},
                 {"sample.bdict", DICT_FORMAT_BDICT},
                 {"tables.bdict", DICT_FORMAT_BDICT},
                 {"sample.qpyd", DICT_FORMAT_QPYD},
                 {"sample.dict.yaml", DICT_FORMAT_RIME}};
  const char* const names[] = {"travel.dat",  "words.txt",  "noname",         "other.scel",
                               "other.bdict", "other.qpyd", "other.dict.yaml"};
  for (const auto& s : samples) {
    const std::string bytes = ReadAll(kData + "/" + s.pszFile);
    ASSERT_FALSE(bytes.empty()) << s.pszFile;
    for (const char* name : names)
      EXPECT_EQ(DetectDictFormat(dir.Write(name, bytes).c_str()), s.nFormat)
          << s.pszFile << " as " << name;
  }
}

TEST(DetectDictFormat, AMarkHeldOnlyInPartLeavesTheNameToDecide) {
  CScratchDir dir;
  std::string qpyd = ReadAll(kData + "/sample.qpyd");
  ASSERT_GE(qpyd.size(), 0x48u);
  // The body offset (u32 at 0x38) pointing elsewhere than at a zlib stream.
  auto bodyAt = [](std::string bytes, uint32_t at) {
    for (int i = 0; i < 4; ++i) bytes[0x38 + i] = char(at >> (8 * i));
    return bytes;
  };
  struct tagCASE {
    const char* pszWhat;
    std::string strBytes;
    int nMarked;  // as words.txt; each is also found by its name alone
    const char* pszName;
    int nNamed;
  } cases[] = {
      {"the bdict mark alone", "biptbdsw", DICT_FORMAT_BDICT, "a.scel", DICT_FORMAT_BDICT},
      {"seven bytes of it", "biptbds", DICT_FORMAT_TEXT, "a.bdict", DICT_FORMAT_BDICT},
      {"the scel mark alone", std::string("\x40\x15\x00\x00", 4), DICT_FORMAT_SCEL, "a.bdict",
       DICT_FORMAT_SCEL},
      {"a Rime header after comments, blank lines and a BOM, CRLF",
       "\xEF\xBB\xBF# c\r\n\r\n---\r\nname: x\r\n...\r\n", DICT_FORMAT_RIME, "a.qpyd",
       DICT_FORMAT_RIME},
      {"a Rime header without a name", "---\nversion: 1\n...\nzi\tzi\n", DICT_FORMAT_TEXT,
       "a.dict.yaml", DICT_FORMAT_RIME},
      {"a Rime header whose name is nested", "---\nmeta:\n  name: x\n...\n", DICT_FORMAT_TEXT,
       "a.dict.yaml", DICT_FORMAT_RIME},
      {"a Rime header without its end", "---\nname: x\nzi\tzi\n", DICT_FORMAT_TEXT, "a.dict.yaml",
       DICT_FORMAT_RIME},
      {"a line before the Rime header", "zi\n---\nname: x\n...\n", DICT_FORMAT_TEXT, "a.dict.yaml",
       DICT_FORMAT_RIME},
      {"a qpyd body offset at no zlib stream", bodyAt(qpyd, 0x60), DICT_FORMAT_TEXT, "a.qpyd",
       DICT_FORMAT_QPYD},
      {"a qpyd body offset inside the header", bodyAt(qpyd, 0x40), DICT_FORMAT_TEXT, "a.qpyd",
       DICT_FORMAT_QPYD},
      {"a qpyd body offset past the file", bodyAt(qpyd, uint32_t(qpyd.size())), DICT_FORMAT_TEXT,
       "a.qpyd", DICT_FORMAT_QPYD},
      {"a GBK list longer than a qpyd header",
       std::string(40, 'x') + " 5\n" + std::string(40, 'y') + " 6\n", DICT_FORMAT_TEXT, "a.qpyd",
       DICT_FORMAT_QPYD},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszWhat);
    EXPECT_EQ(DetectDictFormat(dir.Write("words.txt", c.strBytes).c_str()), c.nMarked);
    EXPECT_EQ(DetectDictFormat(dir.Write(c.pszName, c.strBytes).c_str()), c.nNamed);
  }
}

// A Baidu dictionary with a second table, saved under another name: found by
// its mark and imported whole, the words of both tables.
TEST(ImportDictionary, ABaiduDictionaryUnderAnotherNameArrivesWithBothTables) {
  CScratchDir dir;
  const std::string path = dir.Write("travel.dat", ReadAll(kData + "/tables.bdict"));
  const int nFormat = DetectDictFormat(path.c_str());
  ASSERT_EQ(nFormat, DICT_FORMAT_BDICT);
  CTabrix lib;
  const tagDONE done = Import(lib, path, nFormat);
  ASSERT_EQ(done.nResult, IMPORT_OK) << ReadFaultText(done.fault);
  ASSERT_EQ(lib.GetGroupCount(), 1u);
  EXPECT_STREQ(lib.GetGroup(0)->szName, "两个表");
  EXPECT_EQ(done.stats.nLines, 5u);
  EXPECT_EQ(done.stats.nAdded, 5u);
  std::vector<std::string> got;
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i)
    got.push_back(lib.m_arrPhrase.GetAt(i)->szWord);
  std::sort(got.begin(), got.end());
  std::vector<std::string> want = {"你好", "hello", "卡拉OK", "百度", "输入法"};
  std::sort(want.begin(), want.end());
  EXPECT_EQ(got, want);
}

TEST(ImportDictionary, EachSampleBecomesAGroupNamedFromItsTitle) {
  struct tagCASE {
    const char* pszFile;
    int nFormat;
    const char* pszTitle;  // the dictionary's own, in GBK
  } cases[] = {
      {"sample.scel", DICT_FORMAT_SCEL, "网络流行语"},
      {"sample.bdict", DICT_FORMAT_BDICT, "百度测试"},
      {"tables.bdict", DICT_FORMAT_BDICT, "两个表"},
      {"sample.qpyd", DICT_FORMAT_QPYD, "示例词库"},
      {"sample.dict.yaml", DICT_FORMAT_RIME, "sample"}};  // the file's title is "sample.dict"
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszFile);
    CTabrix lib;
    const tagDONE done = Import(lib, kData + "/" + c.pszFile, c.nFormat);
    ASSERT_EQ(done.nResult, IMPORT_OK) << ReadFaultText(done.fault);
    ASSERT_EQ(lib.GetGroupCount(), 1u);
    EXPECT_STREQ(lib.GetGroup(0)->szName, c.pszTitle);
    EXPECT_GT(done.stats.nAdded, 0u);
    EXPECT_EQ(lib.GetGroup(0)->dwCount, done.stats.nAdded);
    EXPECT_EQ(done.stats.nLines, done.stats.nAdded + done.stats.nDuplicate + done.stats.nTooLong +
                                     done.stats.nOutOfRange);
  }
}

TEST(ImportDictionary, WeightsArriveAsFrequenciesInTheirOrder) {
  // Three weighted entries and one without.
  CScratchDir dir;
  const std::string path =
      dir.Write("w.dict.yaml", u8"---\nname: w\n...\n甲\ta\t10\n乙\tb\t30\n丙\tc\t20\n丁\td\n");
  CTabrix lib;
  ASSERT_EQ(Import(lib, path, DICT_FORMAT_RIME).nResult, IMPORT_OK);
  std::vector<std::pair<std::string, int>> got;
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i)
    got.emplace_back(lib.m_arrPhrase.GetAt(i)->szWord, lib.m_arrPhrase.GetAt(i)->byFreq);
  std::sort(got.begin(), got.end());
  const std::vector<std::pair<std::string, int>> expected = {
      {"丙", 125}, {"丁", 0}, {"甲", 0}, {"乙", 250}};
  std::vector<std::pair<std::string, int>> sorted = expected;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(got, sorted);
  // The range applies to the mapped values.
  CTabrix ranged;
  const tagDONE done = Import(ranged, path, DICT_FORMAT_RIME, true, 0, 100, 250);
  EXPECT_EQ(done.stats.nAdded, 2u);
  EXPECT_EQ(done.stats.nOutOfRange, 2u);
}

TEST(ImportDictionary, ADamagedDictionaryChangesNothingAndSaysWhy) {
  CScratchDir dir;
  const std::string scel = ReadAll(kData + "/sample.scel");
  const std::string qpyd = ReadAll(kData + "/sample.qpyd");
  struct tagCASE {
    const char* pszName;
    std::string strBytes;
    int nFormat;
  } cases[] = {{"cut.scel", scel.substr(0, scel.size() / 2), DICT_FORMAT_SCEL},
               {"cut.qpyd", qpyd.substr(0, qpyd.size() - 7), DICT_FORMAT_QPYD},
               {"text.bdict", "not a dictionary at all", DICT_FORMAT_BDICT},
               {"no-header.dict.yaml", "甲\ta\t1\n", DICT_FORMAT_RIME}};
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    CTabrix lib;
    ASSERT_EQ(lib.AddGroup("old", "", ""), 0);
    ASSERT_TRUE(lib.AddPhrase("旧", 2, 1, 1, 0));
    const tagDONE done = Import(lib, dir.Write(c.pszName, c.strBytes), c.nFormat);
    EXPECT_EQ(done.nResult, IMPORT_DAMAGED);
    EXPECT_NE(done.fault.nCode, READ_FAULT_NONE);
    EXPECT_EQ(done.nGroup, TABRIX_NO_GROUP);
    EXPECT_EQ(lib.GetGroupCount(), 1u);
    EXPECT_EQ(lib.m_arrPhrase.GetCount(), 1u);
  }
}

TEST(ImportDictionary, IntoAGroupAndIntoNone) {
  CTabrix lib;
  ASSERT_EQ(lib.AddGroup("mine", "", ""), 0);
  tagDONE done = Import(lib, kData + "/sample.dict.yaml", DICT_FORMAT_RIME, false, 0);
  ASSERT_EQ(done.nResult, IMPORT_OK);
  EXPECT_EQ(lib.GetGroupCount(), 1u);
  EXPECT_EQ(lib.GetGroup(0)->dwCount, done.stats.nAdded);
  // The same again: every entry is a duplicate now.
  done = Import(lib, kData + "/sample.dict.yaml", DICT_FORMAT_RIME, false, 0);
  EXPECT_EQ(done.stats.nAdded, 0u);
  EXPECT_EQ(done.stats.nDuplicate, done.stats.nLines);
  EXPECT_EQ(Import(lib, kData + "/sample.dict.yaml", DICT_FORMAT_RIME, false, 7).nResult,
            IMPORT_NO_SUCH_GROUP);
  CTabrix empty;
  EXPECT_EQ(Import(empty, kData + "/missing.dict.yaml", DICT_FORMAT_RIME).nResult,
            IMPORT_OPEN_FAILED);
  EXPECT_EQ(empty.GetGroupCount(), 0u);
}

// Entries in a text file: its lines that are not comments, blank or (for a
// Rime dictionary) in the header, counted here on their own.
uint32_t CountEntryLines(const std::string& text, bool rime) {
  uint32_t n = 0;
  bool body = !rime;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (!body) {
      body = line == "...";
      continue;
    }
    if (!line.empty() && line[0] != '#') ++n;
  }
  return n;
}

TEST(ImportDictionary, RealDictionariesArriveWholeOrNamed) {
  TABRIX_SKIP_UNLESS_REAL_DATA_TESTS();
  struct tagCASE {
    const char* pszPath;
    int nFormat;
  } cases[] = {{"/usr/share/rime-data/luna_pinyin.dict.yaml", DICT_FORMAT_RIME},
               {"/usr/share/rime-data/essay.txt", DICT_FORMAT_COLUMNS},
               {"/usr/lib/python3/dist-packages/jieba/dict.txt", DICT_FORMAT_COLUMNS}};
  std::string missing;
  for (const tagCASE& c : cases) {
#ifdef _WIN32
    const std::string path = std::string("Z:") + c.pszPath;  // Wine's view of the host
#else
    const std::string path = c.pszPath;
#endif
    const std::string text = ReadAll(path);
    if (text.empty()) {
      missing += std::string(" ") + c.pszPath;  // installed by tools/setup.sh
      continue;
    }
    SCOPED_TRACE(c.pszPath);
    // Found as the format they are, except essay's two columns, which only
    // a named format reads as columns.
    if (std::string(c.pszPath).find("essay") == std::string::npos) {
      EXPECT_EQ(DetectDictFormat(path.c_str()), c.nFormat);
    }
    CTabrix lib;
    const tagDONE done = Import(lib, path, c.nFormat);
    ASSERT_EQ(done.nResult, IMPORT_OK) << ReadFaultText(done.fault);
    const tagIMPORTSTATS& s = done.stats;
    EXPECT_EQ(s.nLines + s.nNoGbkForm + s.nUndecodable,
              CountEntryLines(text, c.nFormat == DICT_FORMAT_RIME));
    EXPECT_EQ(s.nLines, s.nAdded + s.nDuplicate + s.nTooLong + s.nOutOfRange);
    EXPECT_EQ(lib.m_arrPhrase.GetCount(), s.nAdded);
    EXPECT_GT(s.nAdded, 10000u);
  }
  if (!missing.empty()) GTEST_SKIP() << "not installed:" << missing;
}

}  // namespace
