#include "PhraseImport.h"
#include "Progress.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "CasePrint.h"
#include "ImportChecks.h"
#include "ScratchDir.h"
#include "Tabrix.h"
#include "TestText.h"

namespace {

struct tagSTATCOUNTS {
  uint32_t nLines, nHeaders, nAdded, nDuplicate, nTooLong, nOutOfRange, nControlOrEmpty,
      nFreqReduced;
};

void ExpectStats(const tagIMPORTSTATS& s, const tagSTATCOUNTS& want) {
  EXPECT_EQ(s.nLines, want.nLines);
  EXPECT_EQ(s.nHeaders, want.nHeaders);
  EXPECT_EQ(s.nAdded, want.nAdded);
  EXPECT_EQ(s.nDuplicate, want.nDuplicate);
  EXPECT_EQ(s.nTooLong, want.nTooLong);
  EXPECT_EQ(s.nOutOfRange, want.nOutOfRange);
  EXPECT_EQ(s.nControlOrEmpty, want.nControlOrEmpty);
  EXPECT_EQ(s.nFreqReduced, want.nFreqReduced);
  EXPECT_EQ(s.nLines,
            s.nHeaders + s.nAdded + s.nDuplicate + s.nTooLong + s.nOutOfRange + s.nControlOrEmpty);
}

tagIMPORTOPTIONS Range(uint8_t lo, uint8_t hi) {
  tagIMPORTOPTIONS opt = DefaultImportOptions();
  opt.byMinFreq = lo;
  opt.byMaxFreq = hi;
  return opt;
}

using tabrix_test::Repeat;

// One phrase file imported as a new group into an empty library.
struct tagPHRASECASE {
  const char* what;
  std::string file;
  uint8_t lo, hi;
  PhraseList expected;  // in store order
  tagSTATCOUNTS stats;
};

void PrintTo(const tagPHRASECASE& c, std::ostream* os) { *os << c.what; }

class PhraseCases : public testing::TestWithParam<tagPHRASECASE> {};

TEST_P(PhraseCases, AddsWhatTheLinesSay) {
  const tagPHRASECASE& c = GetParam();
  CScratchDir dir;
  std::string path = dir.Write("list.txt", c.file);
  CTabrix lib;
  uint8_t g = 77;
  tagIMPORTSTATS stats;
  const int result = ImportNewGroup(lib, path.c_str(), Range(c.lo, c.hi), &g, &stats);
  ExpectStats(stats, c.stats);
  if (c.expected.empty()) {
    // An import that adds nothing leaves no group.
    EXPECT_EQ(result, IMPORT_NOTHING_ADDED);
    EXPECT_EQ(g, TABRIX_NO_GROUP);
    EXPECT_EQ(lib.GetGroupCount(), 0u);
    return;
  }
  ASSERT_EQ(result, IMPORT_OK);
  ASSERT_EQ(g, 0);
  EXPECT_EQ(PhrasesOf(lib, g), c.expected) << c.what;
  EXPECT_EQ(lib.GetGroup(g)->dwCount, c.expected.size());
  ExpectLibraryInvariants(lib);
}

const tagPHRASECASE kPhraseCases[] = {
    {"text and frequency", "中文 12\n", 0, 250, {{"中文", 12}}, {1, 0, 1, 0, 0, 0, 0, 0}},
    {"tabs between", "中文\t\t7\r\n", 0, 250, {{"中文", 7}}, {1, 0, 1, 0, 0, 0, 0, 0}},
    {"a lone text has frequency 0", "中文", 0, 250, {{"中文", 0}}, {1, 0, 1, 0, 0, 0, 0, 0}},
    {"a lone text is outside 1..250", "中文\n", 1, 250, {}, {1, 0, 0, 0, 0, 1, 0, 0}},
    {"frequencies clamped and reduced",
     "甲 300\n乙 253\n丙 -3\n丁 99999999999\n戊 -99999999999\n己 250\n",
     0,
     250,
     // store order is GBK byte order: 丙 B1FB, 丁 B6A1, 己 BCBA, 甲 BCD7, 戊 CEEC, 乙 D2D2
     {{"丙", 250}, {"丁", 250}, {"己", 250}, {"甲", 44}, {"戊", 0}, {"乙", 250}},
     {6, 0, 6, 0, 0, 0, 0, 5}},
    {"a blank first is passed over",
     " 5\n 7\n",
     0,
     250,
     {{"5", 0}, {"7", 0}},
     {2, 0, 2, 0, 0, 0, 0, 0}},
    {"blanks and tabs before the text are passed over",
     "  前导空格\t5\n\t5\n \t词 7\n",
     0,
     250,
     {{"5", 0}, {"词", 7}, {"前导空格", 5}},
     {3, 0, 3, 0, 0, 0, 0, 0}},
    {"a line of blanks and tabs is no phrase",
     "   \n\t\nab 1\n",
     0,
     250,
     {{"ab", 1}},
     {3, 0, 1, 0, 0, 0, 2, 0}},
    {"a text holding a control byte is no phrase",
     "a\x01b 5\nok 1\n\x7F 2\nc\x1B 3\n",
     0,
     250,
     {{"ok", 1}},
     {4, 0, 1, 0, 0, 0, 3, 0}},
    {"lines ended by CR alone keep every byte",
     "ab\t1\rcd\t2\rxy\t3",
     0,
     250,
     {{"ab", 1}, {"cd", 2}, {"xy", 3}},
     {3, 0, 3, 0, 0, 0, 0, 0}},
    {"Chinese lines ended by CR alone keep their characters whole",
     "中文\t1\r词语\t2\r",
     0,
     250,
     {{"词语", 2}, {"中文", 1}},
     {2, 0, 2, 0, 0, 0, 0, 0}},
    {"30 bytes fit, 31 do not",
     Repeat('a', 30) + " 1\n" + Repeat('b', 31) + " 1\n",
     0,
     250,
     {{Repeat('a', 30), 1}},
     {2, 0, 1, 0, 1, 0, 0, 0}},
    {"fifteen GBK characters fit, sixteen do not",
     "一二三四五六七八九十一二三四五\n一二三四五六七八九十一二三四五六\n",
     0,
     250,
     {{"一二三四五六七八九十一二三四五", 0}},
     {2, 0, 1, 0, 1, 0, 0, 0}},
    {"range bounds are inclusive",
     "a 9\nb 10\nc 20\nd 21\n",
     10,
     20,
     {{"b", 10}, {"c", 20}},
     {4, 0, 2, 0, 0, 2, 0, 0}},
    {"a range with lo above hi takes nothing", "a 9\nb 10\n", 20, 10, {}, {2, 0, 0, 0, 0, 2, 0, 0}},
    {"out of range is decided before length",
     Repeat('x', 40) + " 251\n",
     0,
     100,
     {},
     {1, 0, 0, 0, 0, 1, 0, 1}},
    {"a line over 100 bytes is one line, the rest read past",
     Repeat('x', 100) + "ab 7\nok 3\n",
     0,
     250,
     {{"ok", 3}},
     {2, 0, 1, 0, 1, 0, 0, 0}},
    {"a 200,000-byte line is one line",
     Repeat('y', 200000) + "\nok 3\n",
     0,
     250,
     {{"ok", 3}},
     {2, 0, 1, 0, 1, 0, 0, 0}},
    {"the first copy wins", "重复 3\n重复 9\n", 0, 250, {{"重复", 3}}, {2, 0, 1, 1, 0, 0, 0, 0}},
    {"comments and empty lines are not lines",
     "#c\n\n词 1\n\r\n#\n",
     0,
     250,
     {{"词", 1}},
     {1, 0, 1, 0, 0, 0, 0, 0}},
    {"a lead byte at the end of a line stays in the text",
     "ab\xD6\n",
     0,
     250,
     {{"ab\xD6", 0}},
     {1, 0, 1, 0, 0, 0, 0, 0}},
    {"a NUL ends the line's text",
     std::string("ab\0 9\ncd 3", 10),
     0,
     250,
     {{"ab", 0}, {"cd", 3}},
     {2, 0, 2, 0, 0, 0, 0, 0}},
    {"header lines are no phrases",
     "@名称=x\n@其他=y\n@\n词 2\n",
     0,
     250,
     {{"词", 2}},
     {4, 3, 1, 0, 0, 0, 0, 0}},
};

INSTANTIATE_TEST_SUITE_P(Table, PhraseCases, testing::ValuesIn(kPhraseCases));

TEST(ImportNewGroup, TakesTheTitleFromTheFileName) {
  CScratchDir dir;
  std::string path = dir.Write("a.b.txt", "词 1\n");
  CTabrix lib;
  ASSERT_NE(lib.AddGroup("old", "", ""), TABRIX_NO_GROUP);
  uint8_t g = 0;
  ASSERT_EQ(ImportNewGroup(lib, path.c_str(), DefaultImportOptions(), &g, nullptr), IMPORT_OK);
  EXPECT_EQ(g, 1);
  EXPECT_STREQ(lib.GetGroup(g)->szName, "a.b");
  EXPECT_STREQ(lib.GetGroup(g)->szEditor, "");
  EXPECT_STREQ(lib.GetGroup(g)->szRemark, "");
  EXPECT_EQ(lib.GetGroup(g)->bEnable, 0);
  EXPECT_EQ(lib.GetGroup(g)->dwCount, 1u);
}

TEST(ImportNewGroup, AGivenTitleReplacesTheFileName) {
  CScratchDir dir;
  std::string path = dir.Write("tmp123.txt", "词 1\n");
  CTabrix lib;
  tagIMPORTOPTIONS opt = DefaultImportOptions();
  opt.pszTitle = "成语";
  uint8_t g = 9;
  ASSERT_EQ(ImportNewGroup(lib, path.c_str(), opt, &g, nullptr), IMPORT_OK);
  EXPECT_STREQ(lib.GetGroup(g)->szName, "成语");
}

TEST(ImportNewGroup, HeaderLinesAnywhereAndTheLaterWins) {
  CScratchDir dir;
  std::string path = dir.Write("list.txt",
                               "甲 1\n@名称=第一\n@编辑=张三\n乙 2\n@备注=常用词\n"
                               "@名称=成语\n丙 3\n");
  CTabrix lib;
  uint8_t g = 0;
  tagIMPORTSTATS stats;
  ASSERT_EQ(ImportNewGroup(lib, path.c_str(), DefaultImportOptions(), &g, &stats), IMPORT_OK);
  const tagGROUPINFO* info = lib.GetGroup(g);
  EXPECT_STREQ(info->szName, "成语");
  EXPECT_STREQ(info->szEditor, "张三");
  EXPECT_STREQ(info->szRemark, "常用词");
  ExpectFieldZeroAfterText(info->szName, sizeof(info->szName));
  EXPECT_EQ(info->dwCount, 3u);
  ExpectStats(stats, {7, 4, 3, 0, 0, 0, 0, 0});
}

TEST(ImportNewGroup, AnEmptyHeaderValueEmptiesTheField) {
  CScratchDir dir;
  std::string path = dir.Write("named.txt", "@名称=\n@编辑=\n词\n");
  CTabrix lib;
  uint8_t g = 0;
  ASSERT_EQ(ImportNewGroup(lib, path.c_str(), DefaultImportOptions(), &g, nullptr), IMPORT_OK);
  EXPECT_STREQ(lib.GetGroup(g)->szName, "");
  ExpectFieldZeroAfterText(lib.GetGroup(g)->szName, TABRIX_NAME_FIELD);
}

// A header value longer than its field keeps the whole GBK characters that
// fit, and nothing reaches the next field.
struct tagHEADERCASE {
  const char* what;
  std::string value;
  std::string kept;
};

void PrintTo(const tagHEADERCASE& c, std::ostream* os) { *os << c.what; }

class NameHeaderCases : public testing::TestWithParam<tagHEADERCASE> {};

TEST_P(NameHeaderCases, CutsAtAWholeCharacter) {
  const tagHEADERCASE& c = GetParam();
  CScratchDir dir;
  std::string path = dir.Write("list.txt", "@名称=" + c.value + "\n@编辑=" + c.value + "\n词\n");
  CTabrix lib;
  uint8_t g = 0;
  ASSERT_EQ(ImportNewGroup(lib, path.c_str(), DefaultImportOptions(), &g, nullptr), IMPORT_OK);
  const tagGROUPINFO* info = lib.GetGroup(g);
  EXPECT_EQ(std::string(info->szName), c.kept) << c.what;
  EXPECT_EQ(std::string(info->szEditor), c.kept) << c.what;
  ExpectFieldZeroAfterText(info->szName, sizeof(info->szName));
  ExpectFieldZeroAfterText(info->szEditor, sizeof(info->szEditor));
  ExpectFieldZeroAfterText(info->szRemark, sizeof(info->szRemark));
  EXPECT_STREQ(info->szRemark, "");
}

const tagHEADERCASE kNameHeaderCases[] = {
    {"49 bytes fit", Repeat('a', 49), Repeat('a', 49)},
    {"50 bytes lose the last", Repeat('a', 50), Repeat('a', 49)},
    {"a character across the limit is left out", Repeat('a', 48) + "中", Repeat('a', 48)},
    {"a character ending at the limit is kept", Repeat('a', 47) + "中", Repeat('a', 47) + "中"},
    {"GBK only", "一二三四五六七八九十一二三四五六七八九十一二三四五六",
     "一二三四五六七八九十一二三四五六七八九十一二三四"},
    {"a half character at the value's end is dropped", "ab\xD6", "ab"},
    {"the longest value a line can hold", Repeat('z', 94), Repeat('z', 49)},
};

INSTANTIATE_TEST_SUITE_P(Table, NameHeaderCases, testing::ValuesIn(kNameHeaderCases));

struct tagCOPYCASE {
  std::string value;
  uint32_t fieldSize;
  uint32_t copied;
};

void PrintTo(const tagCOPYCASE& c, std::ostream* os) {
  *os << Printable(c.value) << " into " << c.fieldSize;
}

class CopyHeaderCases : public testing::TestWithParam<tagCOPYCASE> {};

TEST_P(CopyHeaderCases, StaysInsideTheField) {
  const tagCOPYCASE& c = GetParam();
  // The field sits between two guards that must stay untouched.
  std::vector<char> memory(c.fieldSize + 2, '\x7E');
  char* field = memory.data() + 1;
  EXPECT_EQ(CopyHeaderValue(field, c.fieldSize, c.value.c_str()), c.copied);
  EXPECT_EQ(memory.front(), '\x7E');
  EXPECT_EQ(memory.back(), '\x7E');
  EXPECT_EQ(std::string(field), c.value.substr(0, c.copied));
  ExpectFieldZeroAfterText(field, c.fieldSize);
}

const tagCOPYCASE kCopyCases[] = {
    {Repeat('r', 199), 200, 199},
    {Repeat('r', 250), 200, 199},
    {Repeat('r', 198) + "注", 200, 198},
    {Repeat('r', 197) + "注", 200, 199},
    {"", 200, 0},
    {"中", 2, 0},
    {"ab", 1, 0},
    {"a\xD6", 50, 1},
};

INSTANTIATE_TEST_SUITE_P(Table, CopyHeaderCases, testing::ValuesIn(kCopyCases));

TEST(CopyHeaderValue, NullValueEmptiesTheField) {
  char field[4] = {'x', 'y', 'z', 'w'};
  EXPECT_EQ(CopyHeaderValue(field, sizeof(field), nullptr), 0u);
  EXPECT_EQ(std::string(field, 4), std::string(4, '\0'));
  EXPECT_EQ(CopyHeaderValue(field, 0, "abc"), 0u);
}

// A list that adds no phrase leaves no empty group behind, whatever its
// header lines said; the library stays as it was.
TEST(ImportNewGroup, AFileThatAddsNothingLeavesNoGroup) {
  const struct {
    const char* what;
    std::string file;
    tagSTATCOUNTS stats;
  } cases[] = {
      {"only comments", "# one\n#two\r\n\n", {0, 0, 0, 0, 0, 0, 0, 0}},
      {"only headers", "@名称=空组\n@备注=无\n", {2, 2, 0, 0, 0, 0, 0, 0}},
      {"only phrases already present", "中文 5\n", {1, 0, 0, 1, 0, 0, 0, 0}},
      {"only texts too long", std::string(40, 'x') + " 1\n", {1, 0, 0, 0, 1, 0, 0, 0}},
  };
  CScratchDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string path = dir.Write("empty.txt", c.file);
    CTabrix lib;
    ASSERT_EQ(lib.AddGroup("a", "", ""), 0);
    ASSERT_NE(lib.AddPhrase("中文", 255, 100, 1, 0), 0);
    uint8_t g = 9;
    tagIMPORTSTATS stats;
    EXPECT_EQ(ImportNewGroup(lib, path.c_str(), DefaultImportOptions(), &g, &stats),
              IMPORT_NOTHING_ADDED);
    EXPECT_EQ(g, TABRIX_NO_GROUP);
    EXPECT_EQ(lib.GetGroupCount(), 1u);
    EXPECT_EQ(lib.GetPhraseTotal(), 1u);
    EXPECT_STREQ(lib.GetGroup(0)->szName, "a");
    ExpectStats(stats, c.stats);
  }
}

TEST(ImportToGroup, AFileThatAddsNothingSaysSoAndChangesNothing) {
  CScratchDir dir;
  std::string path = dir.Write("again.txt", "中文 5\n# c\n");
  CTabrix lib;
  ASSERT_EQ(lib.AddGroup("a", "", ""), 0);
  ASSERT_NE(lib.AddPhrase("中文", 255, 100, 1, 0), 0);
  tagIMPORTSTATS stats;
  EXPECT_EQ(ImportToGroup(lib, 0, path.c_str(), DefaultImportOptions(), &stats),
            IMPORT_NOTHING_ADDED);
  ExpectStats(stats, {1, 0, 0, 1, 0, 0, 0, 0});
  EXPECT_EQ(lib.GetGroupCount(), 1u);
  EXPECT_EQ(lib.GetGroup(0)->dwCount, 1u);
}

TEST(ImportNewGroup, APhraseOfAnotherGroupChangesNoCount) {
  CScratchDir dir;
  std::string path = dir.Write("b.txt", "中文 5\n新词 6\n");
  CTabrix lib;
  ASSERT_EQ(lib.AddGroup("a", "", ""), 0);
  ASSERT_NE(lib.AddPhrase("中文", 255, 100, 1, 0), 0);
  uint8_t g = 0;
  tagIMPORTSTATS stats;
  ASSERT_EQ(ImportNewGroup(lib, path.c_str(), DefaultImportOptions(), &g, &stats), IMPORT_OK);
  EXPECT_EQ(lib.GetGroup(0)->dwCount, 1u);
  EXPECT_EQ(lib.GetGroup(g)->dwCount, 1u);
  EXPECT_EQ(PhrasesOf(lib, 0), (PhraseList{{"中文", 100}}));
  EXPECT_EQ(PhrasesOf(lib, g), (PhraseList{{"新词", 6}}));
  ExpectStats(stats, {2, 0, 1, 1, 0, 0, 0, 0});
  ExpectLibraryInvariants(lib);
}

// AddGroup refuses: the import then touches nothing and says so.
struct tagGROUPFAILCASE {
  const char* what;
  uint32_t groupsBefore;
  std::string fileName;
  const char* title;  // null: from the file name
};

void PrintTo(const tagGROUPFAILCASE& c, std::ostream* os) { *os << c.what; }

class GroupFailCases : public testing::TestWithParam<tagGROUPFAILCASE> {};

TEST_P(GroupFailCases, NothingChanges) {
  const tagGROUPFAILCASE& c = GetParam();
  CScratchDir dir;
  std::string path = dir.Write(c.fileName, "词 1\n@名称=x\n");
  CTabrix lib;
  for (uint32_t i = 0; i < c.groupsBefore; ++i) {
    ASSERT_EQ(lib.AddGroup(("g" + std::to_string(i)).c_str(), "", ""), i);
  }
  if (c.groupsBefore > 0) {
    ASSERT_NE(lib.AddPhrase("旧", 255, 1, 1, 0), 0);
  }
  tagIMPORTOPTIONS opt = DefaultImportOptions();
  opt.pszTitle = c.title;
  uint8_t g = 3;
  tagIMPORTSTATS stats;
  EXPECT_EQ(ImportNewGroup(lib, path.c_str(), opt, &g, &stats), IMPORT_GROUP_FAILED) << c.what;
  EXPECT_EQ(g, TABRIX_NO_GROUP);
  EXPECT_EQ(lib.GetGroupCount(), c.groupsBefore);
  EXPECT_EQ(lib.m_arrPhrase.GetCount(), c.groupsBefore > 0 ? 1u : 0u);
  ExpectStats(stats, {0, 0, 0, 0, 0, 0, 0, 0});
  if (c.groupsBefore > 0) {
    std::string last = "g" + std::to_string(c.groupsBefore - 1);
    EXPECT_STREQ(lib.GetGroup(c.groupsBefore - 1)->szName, last.c_str());
  }
  ExpectLibraryInvariants(lib);
}

const tagGROUPFAILCASE kGroupFailCases[] = {
    {"127 groups already", 127, "list.txt", nullptr},
    {"a file title of 50 bytes", 0, Repeat('t', 50) + ".txt", nullptr},
    {"a file title of 50 bytes after other groups", 2, Repeat('t', 50) + ".txt", nullptr},
    {"a given title of 50 bytes", 1, "list.txt",
     "12345678901234567890123456789012345678901234567890"},
};

INSTANTIATE_TEST_SUITE_P(Table, GroupFailCases, testing::ValuesIn(kGroupFailCases));

TEST(ImportNewGroup, ATitleOf49BytesAndThe127thGroupAreAccepted) {
  CScratchDir dir;
  std::string path = dir.Write(Repeat('t', 49) + ".txt", "词 1\n");
  CTabrix lib;
  for (uint32_t i = 0; i < 126; ++i) ASSERT_EQ(lib.AddGroup("g", "", ""), i);
  uint8_t g = 0;
  ASSERT_EQ(ImportNewGroup(lib, path.c_str(), DefaultImportOptions(), &g, nullptr), IMPORT_OK);
  EXPECT_EQ(g, 126);
  EXPECT_EQ(std::string(lib.GetGroup(g)->szName), Repeat('t', 49));
}

TEST(Import, AFileThatCannotBeOpenedChangesNothing) {
  CScratchDir dir;
  CTabrix lib;
  ASSERT_EQ(lib.AddGroup("a", "", ""), 0);
  std::string missing = dir.Path("missing.txt");
  tagIMPORTSTATS stats;
  uint8_t g = 0;
  EXPECT_EQ(ImportNewGroup(lib, missing.c_str(), DefaultImportOptions(), &g, &stats),
            IMPORT_OPEN_FAILED);
  EXPECT_EQ(g, TABRIX_NO_GROUP);
  EXPECT_EQ(ImportNewGroup(lib, nullptr, DefaultImportOptions(), nullptr, nullptr),
            IMPORT_OPEN_FAILED);
  EXPECT_EQ(ImportNewGroup(lib, dir.Dir().c_str(), DefaultImportOptions(), nullptr, nullptr),
            IMPORT_OPEN_FAILED);
  EXPECT_EQ(ImportToGroup(lib, 0, missing.c_str(), DefaultImportOptions(), &stats),
            IMPORT_OPEN_FAILED);
  EXPECT_EQ(lib.GetGroupCount(), 1u);
  EXPECT_EQ(lib.m_arrPhrase.GetCount(), 0u);
  ExpectStats(stats, {0, 0, 0, 0, 0, 0, 0, 0});
}

TEST(ImportToGroup, AddsToTheGroupAndIgnoresHeaderLines) {
  CScratchDir dir;
  std::string path = dir.Write("more.txt", "@名称=成语\n中文 12\n@编辑=某人\n已有 3\n词 300\n");
  CTabrix lib;
  ASSERT_EQ(lib.AddGroup("a", "ed", "re"), 0);
  ASSERT_EQ(lib.AddGroup("b", "", ""), 1);
  ASSERT_NE(lib.AddPhrase("已有", 255, 1, 1, 0), 0);
  tagIMPORTSTATS stats;
  ASSERT_EQ(ImportToGroup(lib, 1, path.c_str(), DefaultImportOptions(), &stats), IMPORT_OK);
  EXPECT_STREQ(lib.GetGroup(1)->szName, "b");
  EXPECT_STREQ(lib.GetGroup(1)->szEditor, "");
  EXPECT_STREQ(lib.GetGroup(0)->szName, "a");
  EXPECT_EQ(PhrasesOf(lib, 1), (PhraseList{{"词", 44}, {"中文", 12}}));
  EXPECT_EQ(lib.GetGroup(0)->dwCount, 1u);
  EXPECT_EQ(lib.GetGroupCount(), 2u);
  ExpectStats(stats, {5, 2, 2, 1, 0, 0, 0, 1});
  ExpectLibraryInvariants(lib);
}

TEST(ImportToGroup, AnIndexThatNamesNoGroupIsRefused) {
  CScratchDir dir;
  std::string path = dir.Write("x.txt", "词 1\n");
  CTabrix lib;
  EXPECT_EQ(ImportToGroup(lib, 0, path.c_str(), DefaultImportOptions(), nullptr),
            IMPORT_NO_SUCH_GROUP);
  ASSERT_EQ(lib.AddGroup("a", "", ""), 0);
  EXPECT_EQ(ImportToGroup(lib, 1, path.c_str(), DefaultImportOptions(), nullptr),
            IMPORT_NO_SUCH_GROUP);
  EXPECT_EQ(ImportToGroup(lib, 255, path.c_str(), DefaultImportOptions(), nullptr),
            IMPORT_NO_SUCH_GROUP);
  EXPECT_EQ(lib.m_arrPhrase.GetCount(), 0u);
}

struct tagPROGRESSLOG {
  std::vector<std::pair<int32_t, int32_t>> calls;  // (stage, value)
};

void LogProgress(int32_t stage, int32_t value, void* data) {
  static_cast<tagPROGRESSLOG*>(data)->calls.emplace_back(stage, value);
}

// Progress begins with the file's length, steps after every line with the
// bytes read (never going back), reaches the file's length and ends once.
TEST(Import, ReportsProgressFromStartToEnd) {
  std::string bytes = "# header comment\n";
  for (int i = 0; i < 600; ++i) bytes += "p" + std::to_string(i) + " 1\n";
  CScratchDir dir;
  std::string path = dir.Write("long.txt", bytes);
  for (int into = 0; into < 2; ++into) {
    CTabrix lib;
    tagPROGRESSLOG log;
    tagIMPORTOPTIONS opt = DefaultImportOptions();
    opt.funProgress = LogProgress;
    opt.pProgressData = &log;
    tagIMPORTSTATS stats;
    if (into) {
      ASSERT_EQ(lib.AddGroup("g", "", ""), 0);
      ASSERT_EQ(ImportToGroup(lib, 0, path.c_str(), opt, &stats), IMPORT_OK);
    } else {
      ASSERT_EQ(ImportNewGroup(lib, path.c_str(), opt, nullptr, &stats), IMPORT_OK);
    }
    ASSERT_EQ(log.calls.size(), stats.nLines + 2);
    EXPECT_EQ(log.calls.front(), std::make_pair(int32_t(PROGRESS_BEGIN), int32_t(bytes.size())));
    EXPECT_EQ(log.calls.back(), std::make_pair(int32_t(PROGRESS_END), 0));
    EXPECT_EQ(log.calls[log.calls.size() - 2].second, int32_t(bytes.size()));
    for (size_t i = 1; i + 1 < log.calls.size(); ++i) {
      EXPECT_EQ(log.calls[i].first, PROGRESS_STEP);
      if (i > 1) {
        EXPECT_GE(log.calls[i].second, log.calls[i - 1].second);
      }
    }
    EXPECT_EQ(stats.nAdded, 600u);
  }
}

TEST(Import, AnEmptyFileReportsProgressOnce) {
  CScratchDir dir;
  std::string path = dir.Write("none.txt", "");
  CTabrix lib;
  tagPROGRESSLOG log;
  tagIMPORTOPTIONS opt = DefaultImportOptions();
  opt.funProgress = LogProgress;
  opt.pProgressData = &log;
  uint8_t g = 9;
  ASSERT_EQ(ImportNewGroup(lib, path.c_str(), opt, &g, nullptr), IMPORT_NOTHING_ADDED);
  EXPECT_EQ(g, TABRIX_NO_GROUP);
  EXPECT_EQ(log.calls,
            (std::vector<std::pair<int32_t, int32_t>>{{PROGRESS_BEGIN, 0}, {PROGRESS_END, 0}}));
}

struct tagTITLECASE {
  std::string path;
  std::string title;
};

void PrintTo(const tagTITLECASE& c, std::ostream* os) { *os << Printable(c.path); }

class TitleCases : public testing::TestWithParam<tagTITLECASE> {};

TEST_P(TitleCases, DropsFolderAndLastExtension) {
  EXPECT_EQ(GroupTitleFromPath(GetParam().path.c_str()), GetParam().title) << GetParam().path;
}

const tagTITLECASE kTitleCases[] = {
    {"dir/a.b.txt", "a.b"},
    {"a.txt", "a"},
    {"a", "a"},
    {"a.", "a"},
    {".txt", ""},
    {"", ""},
    {"C:\\词库\\成语.txt", "成语"},
    {"/home/u/x.d/name", "name"},
    {"mixed\\dir/and\\file.tar.gz", "file.tar"},
    {"dir/", ""},
    // 0xD5 0x5C is one GBK character whose second byte is a backslash.
    {"C:\\d\\\xD5\x5C.txt", "\xD5\x5C"},
    {"\xD5\x5C\xD5\x5C", "\xD5\x5C\xD5\x5C"},
    // A byte of 0x80 or more before a separator is no character with it.
    {"\xD5/x.txt", "x"},
};

INSTANTIATE_TEST_SUITE_P(Table, TitleCases, testing::ValuesIn(kTitleCases));

TEST(GroupTitleFromPath, NullPathIsEmpty) { EXPECT_EQ(GroupTitleFromPath(nullptr), ""); }

// A title is cut to the name field's 49 bytes after its last whole character.
TEST(FitGroupName, CutsAfterTheLastWholeCharacterThatFits) {
  std::string han27;
  for (int i = 0; i < 27; ++i) han27 += "\xB3\xA3";  // 常
  const struct {
    const char* what;
    std::string title;
    std::string fitted;
  } cases[] = {
      {"short", "成语", "成语"},
      {"empty", "", ""},
      {"49 bytes", Repeat('t', 49), Repeat('t', 49)},
      {"50 bytes", Repeat('t', 50), Repeat('t', 49)},
      // 54 bytes: the 25th character would take bytes 49 and 50.
      {"27 two-byte characters", han27, han27.substr(0, 48)},
      {"one byte, then 27 characters", "a" + han27, "a" + han27.substr(0, 48)},
      {"two bytes, then 27 characters", "ab" + han27, "ab" + han27.substr(0, 46)},
      // A lead byte whose second byte is past the field's end is left out.
      {"a lead byte at byte 49", Repeat('t', 48) + "\xB3\xA3", Repeat('t', 48)},
  };
  for (const auto& c : cases) {
    const std::string fitted = FitGroupName(c.title);
    EXPECT_EQ(Printable(c.fitted), Printable(fitted)) << c.what;
    EXPECT_LT(fitted.size(), static_cast<size_t>(TABRIX_NAME_FIELD)) << c.what;
  }
}

}  // namespace
