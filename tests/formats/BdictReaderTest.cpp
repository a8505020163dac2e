#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "BdictBytes.h"
#include "DictContent.h"
#include "DictReadChecks.h"

using namespace tabrix_test;

namespace {

tagREADRESULT ReadBdictFile(const Bytes& file) { return ReadWith(ReadBdict, file); }

// Indices of the initials and finals used below.
enum : uint8_t {
  B_H = 5,
  B_J = 7,
  B_N = 11,
  B_G = 4,
  B_AO = 13,
  B_I = 29,
  B_U = 31,
  B_LETTER = 0xFF
};

// One entry of each kind, a letter among pinyin and a character beyond the
// BMP (two units for one syllable: stored as the code-and-word kind).
CBdictBuilder EveryKind() {
  CBdictBuilder b;
  b.Title(u"百度测试")
      .Pinyin({{B_N, B_I}, {B_H, B_AO}}, u"你好", 321)
      .Pinyin({{B_LETTER, 'A'}, {B_G, B_U}}, u"A股", 40)
      .English("hello", 9)
      .Mixed(u"kalaok", u"卡拉OK", 3)
      .Mixed(u"ji", u"\U00020BB7", 65535);
  return b;
}

const std::vector<tagWANTENTRY> kEveryKind = {
    {u8"你好", 321}, {u8"A股", 40}, {"hello", 9}, {u8"卡拉OK", 3}, {u8"\U00020BB7", 65535}};

TEST(BdictReader, ReadsTheTitleAndEveryKindOfEntryInTheFilesOrder) {
  const tagREADRESULT r = ReadBdictFile(EveryKind().Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"百度测试");
  ExpectEntries(r.content, kEveryKind);
  EXPECT_EQ(r.content.nUndecodable, 0u);
}

// data/sample.bdict: the title 百度测试 and the entries 你好 (ni hao, 321),
// A股 (A gu, 40), hello (9), 卡拉OK (code kalaok, 3), U+20BB7 (code ji, 2).
TEST(BdictReader, ReadsTheSampleFile) {
  const tagREADRESULT r = ReadBdictFile(ReadDataFile("sample.bdict"));
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"百度测试");
  ExpectEntries(
      r.content,
      {{u8"你好", 321}, {u8"A股", 40}, {"hello", 9}, {u8"卡拉OK", 3}, {u8"\U00020BB7", 2}});
}

TEST(BdictReader, ADictionaryWithoutEntriesReadsAsItsTitleAlone) {
  const tagREADRESULT r = ReadBdictFile(CBdictBuilder().Title(u"空").Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"空");
  EXPECT_TRUE(r.content.arrEntries.empty());
}

TEST(BdictReader, TheTitleEndsWithItsFieldOrItsFirstNul) {
  const tagREADRESULT cut = ReadBdictFile(CBdictBuilder().Title(std::u16string(40, u'题')).Build());
  ASSERT_TRUE(cut.bOk) << cut.strError;
  std::string want;
  for (int i = 0; i < 32; ++i) want += u8"题";  // the field's 0x40 bytes
  EXPECT_EQ(cut.content.strTitle, want);

  const tagREADRESULT nul =
      ReadBdictFile(CBdictBuilder().Title(std::u16string{u'甲', 0, u'乙'}).Build());
  ASSERT_TRUE(nul.bOk) << nul.strError;
  EXPECT_EQ(nul.content.strTitle, u8"甲");
}

TEST(BdictReader, AnEntryThatDoesNotDecodeIsCountedAndLeftOut) {
  struct tagCASE {
    const char* pszName;
    void (*add)(CBdictBuilder&);
  } cases[] = {
      {"a lone high surrogate among pinyin",
       [](CBdictBuilder& b) {
         b.Pinyin({{B_J, B_I}}, std::u16string{char16_t(0xD842)}, 1);
       }},
      {"a U+0000 among pinyin",
       [](CBdictBuilder& b) {
         b.Pinyin({{B_J, B_I}, {B_J, B_I}}, std::u16string{u'a', 0}, 1);
       }},
      {"a lone low surrogate in a coded word",
       [](CBdictBuilder& b) {
         b.Mixed(u"ji", std::u16string{char16_t(0xDFB7), u'x'}, 1);
       }},
      {"a byte beyond ASCII in an English word", [](CBdictBuilder& b) { b.English("caf\xE9", 1); }},
      {"a control character in an English word", [](CBdictBuilder& b) { b.English("a\tb", 1); }},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    CBdictBuilder b;
    b.Pinyin({{B_N, B_I}}, u"你", 2);
    c.add(b);
    b.English("after", 3);
    const tagREADRESULT r = ReadBdictFile(b.Build());
    ASSERT_TRUE(r.bOk) << r.strError;
    ExpectEntries(r.content, {{u8"你", 2}, {"after", 3}});
    EXPECT_EQ(r.content.nUndecodable, 1u);
  }
}

TEST(BdictReader, AnEmptyWordIsLeftOutWithoutBeingCounted) {
  const tagREADRESULT r =
      ReadBdictFile(CBdictBuilder().Mixed(u"ji", u"", 5).English("after", 3).Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  ExpectEntries(r.content, {{"after", 3}});
  EXPECT_EQ(r.content.nUndecodable, 0u);
}

TEST(BdictReader, DamageIsAnErrorThatSaysWhere) {
  const size_t lastAt = CBdictBuilder::ENTRIES_AT + 8;  // after one syllable of 你
  struct tagCASE {
    const char* pszName;
    Bytes file;
    std::string strWant;
  } cases[] = {
      {"another file",
       [] {
         Bytes b = CBdictBuilder().Build();
         b[7] = 'X';
         return b;
       }(),
       "not a Baidu cell dictionary"},
      {"an empty file", Bytes(), "not a Baidu cell dictionary"},
      {"a header cut short",
       [] {
         Bytes b = CBdictBuilder().Build();
         b.resize(0x300);
         return b;
       }(),
       "the file holds 768 bytes, fewer than the 848"},
      // Two syllables and the word of one.
      {"a pinyin word longer than the file",
       CBdictBuilder()
           .Pinyin({{B_N, B_I}}, u"你", 1)
           .Raw({2, 0, 1, 0, B_N, B_I, B_H, B_AO, 0x60, 0x4F})
           .Build(),
       "the entry at byte " + std::to_string(lastAt) + " runs past the end of the file"},
      {"an English word longer than the file",
       CBdictBuilder().Pinyin({{B_N, B_I}}, u"你", 1).Raw({9, 0, 1, 0, 'a', 'b'}).Build(),
       "the entry at byte " + std::to_string(lastAt) + " runs past the end"},
      {"a code longer than the file",
       CBdictBuilder()
           .Pinyin({{B_N, B_I}}, u"你", 1)
           .Raw({0xFF, 0xFF, 1, 0, 0, 0, 1, 0, 'j', 0})
           .Build(),
       "the entry at byte " + std::to_string(lastAt) + " runs past the end"},
      {"a coded word longer than the file",
       CBdictBuilder()
           .Pinyin({{B_N, B_I}}, u"你", 1)
           .Raw({1, 0, 1, 0, 0, 0, 0xFF, 0xFF, 'j', 0})
           .Build(),
       "the entry at byte " + std::to_string(lastAt) + " runs past the end"},
      {"fewer entries than the header's count",
       CBdictBuilder().Pinyin({{B_N, B_I}}, u"你", 1).English("ab", 1).Count(3).Build(),
       "the word table ends after 2 entries, its header announces 3"},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    ExpectFailsSaying(ReadBdictFile(c.file), c.strWant);
  }
}

TEST(BdictReader, EveryCutOfAFileWhoseHeaderCountsItsEntriesFails) {
  const Bytes file = EveryKind().Build();
  EXPECT_TRUE(CutsThatRead(ReadBdict, file).empty());
}

// A file that gives neither bounds nor a count: its word table runs to the
// end of the file, so only a cut between entries goes unseen.
TEST(BdictReader, WithoutBoundsOrACountEveryCutFailsButTheOnesBetweenEntries) {
  CBdictBuilder b;
  b.Count(0).NoBounds();
  std::vector<size_t> between = {b.Build().size()};
  b.Pinyin({{B_N, B_I}, {B_H, B_AO}}, u"你好", 321);
  between.push_back(b.Build().size());
  b.English("hello", 9);
  between.push_back(b.Build().size());
  b.Mixed(u"ji", u"\U00020BB7", 2);
  between.push_back(b.Build().size());
  b.Pinyin({{B_LETTER, 'A'}, {B_G, B_U}}, u"A股", 40);
  const Bytes file = b.Build();
  EXPECT_EQ(CutsThatRead(ReadBdict, file), between);
}

// The word table's entries, then the second table's: words without a
// weight, their codes passed over.
CBdictBuilder BothTables() {
  CBdictBuilder b = EveryKind();
  b.Second(u"bai'du", u"百度").Second(u"shu'ru'fa", u"输入法", 7).Second(u"x", u"");
  return b;
}

std::vector<tagWANTENTRY> BothTablesEntries() {
  std::vector<tagWANTENTRY> want = kEveryKind;
  want.push_back({u8"百度", 0, false});
  want.push_back({u8"输入法", 0, false});
  return want;
}

TEST(BdictReader, ReadsTheSecondTableAfterTheWordTable) {
  const tagREADRESULT r = ReadBdictFile(BothTables().Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"百度测试");
  ExpectEntries(r.content, BothTablesEntries());
  EXPECT_EQ(r.content.nUndecodable, 0u);
}

// data/tables.bdict (tools/make-bdict-tables.py): the title 两个表, a word
// table of 你好 (ni hao, 321), hello (9) and 卡拉OK (code kalaok, 3), and a
// second table of 百度 (bai'du) and 输入法 (shu'ru'fa).
TEST(BdictReader, ReadsTheTablesSampleFile) {
  const tagREADRESULT r = ReadBdictFile(ReadDataFile("tables.bdict"));
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"两个表");
  ExpectEntries(r.content, {{u8"你好", 321},
                            {"hello", 9},
                            {u8"卡拉OK", 3},
                            {u8"百度", 0, false},
                            {u8"输入法", 0, false}});
}

TEST(BdictReader, EachTableIsReadWithinItsBoundsAlone) {
  // Bytes after the tables, and between them, belong to neither.
  const Bytes junk = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  const tagREADRESULT after = ReadBdictFile(BothTables().Trailer(junk).Build());
  ASSERT_TRUE(after.bOk) << after.strError;
  ExpectEntries(after.content, BothTablesEntries());

  CBdictBuilder b = BothTables();
  b.Field(CBdictBuilder::SECOND_FIELD, uint32_t(b.SecondAt() + junk.size()));
  Bytes file = b.Build();
  file.insert(file.begin() + b.SecondAt(), junk.begin(), junk.end());
  const tagREADRESULT between = ReadBdictFile(file);
  ASSERT_TRUE(between.bOk) << between.strError;
  ExpectEntries(between.content, BothTablesEntries());

  // The count is the word table's: the second table's entries are not in it.
  ExpectFailsSaying(ReadBdictFile(BothTables().Count(7).Build()),
                    "the word table ends after 5 entries, its header announces 7");
  // A word table of no entries, the second table alone.
  const tagREADRESULT alone = ReadBdictFile(CBdictBuilder().Second(u"bai'du", u"百度").Build());
  ASSERT_TRUE(alone.bOk) << alone.strError;
  ExpectEntries(alone.content, {{u8"百度", 0, false}});
}

TEST(BdictReader, BoundsOutsideTheFileOrOverlappingAreDamage) {
  const CBdictBuilder both = BothTables();
  const Bytes file = both.Build();
  const uint32_t nSize = uint32_t(file.size());
  const uint32_t nWords = uint32_t(both.SecondAt() - CBdictBuilder::ENTRIES_AT);
  const uint32_t nSecond = uint32_t(file.size() - both.SecondAt());
  const uint32_t nSecondAt = uint32_t(both.SecondAt());
  const std::string strSecond =
      "the second table (bytes " + std::to_string(nSecondAt) + " to " + std::to_string(nSize) + ")";
  const size_t W = CBdictBuilder::WORDS_FIELD;
  const size_t S = CBdictBuilder::SECOND_FIELD;
  struct tagCASE {
    const char* pszName;
    std::vector<std::pair<size_t, uint32_t>> fields;
    std::string strWant;
  } cases[] = {
      {"a word table inside the header",
       {{W, 0x300}},
       "the word table starts at byte 768, inside the header (848 bytes)"},
      {"a second table inside the header",
       {{S, 0x200}},
       "the second table starts at byte 512, inside the header"},
      {"a second table of length alone",
       {{S, 0}},
       "the second table starts at byte 0, inside the header"},
      {"a word table past the file",
       {{W + 4, nSize}},
       "the word table (bytes 848 to " + std::to_string(848 + nSize) +
           ") ends past the end of the file (" + std::to_string(nSize) + " bytes)"},
      {"a second table past the file",
       {{S + 4, nSecond + 1}},
       "the second table (bytes " + std::to_string(nSecondAt) + " to " + std::to_string(nSize + 1) +
           ") ends past the end of the file"},
      {"an offset and a length that wrap around",
       {{S, 0xFFFFFFF0u}, {S + 4, 0x20}},
       "the second table (bytes 4294967280 to 4294967312) ends past the end of the file"},
      {"a second table starting inside the word table",
       {{S, nSecondAt - 2}, {S + 4, nSecond + 2}},
       "the word table (bytes 848 to " + std::to_string(nSecondAt) +
           ") and the second table (bytes " + std::to_string(nSecondAt - 2) + " to " +
           std::to_string(nSize) + ") overlap"},
      {"a word table reaching into the second", {{W + 4, nWords + 1}}, "overlap"},
      {"a second table holding the word table", {{S, 848}, {S + 4, nSize - 848}}, "overlap"},
      {"a word table without bounds and a second table",
       {{W, 0}, {W + 4, 0}},
       "the word table (bytes 848 to " + std::to_string(nSize) + ") and " + strSecond + " overlap"},
      // The tables' ends cut an entry short.
      {"a word table ending inside an entry",
       {{W + 4, nWords - 1}},
       "runs past the end of the word table (bytes 848 to " + std::to_string(nSecondAt - 1) + ")"},
      {"a second table ending inside an entry",
       {{S + 4, nSecond - 1}},
       "runs past the end of the second table (bytes " + std::to_string(nSecondAt) + " to " +
           std::to_string(nSize - 1) + ")"},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    CBdictBuilder b = BothTables();
    for (const auto& f : c.fields) b.Field(f.first, f.second);
    ExpectFailsSaying(ReadBdictFile(b.Build()), c.strWant);
  }
}

// The second table's entries themselves cut short, at each of their fields.
TEST(BdictReader, ASecondTableEntryCutShortIsDamage) {
  const Bytes cuts[] = {
      {0, 0},                                       // in the u32
      {0, 0, 0, 0, 2, 0},                           // in the lengths
      {0, 0, 0, 0, 2, 0, 1, 0, 'j', 0},             // in the code
      {0, 0, 0, 0, 1, 0, 2, 0, 'j', 0, 0x60, 0x4F}  // in the word
  };
  for (const Bytes& cut : cuts) {
    SCOPED_TRACE(cut.size());
    CBdictBuilder b = BothTables();
    const size_t at = b.Build().size();
    ExpectFailsSaying(ReadBdictFile(b.SecondRaw(cut).Build()),
                      "the entry at byte " + std::to_string(at) + " runs past the end of the file");
  }
}

TEST(BdictReader, WithBoundsEveryCutFailsEvenWithoutACount) {
  const Bytes file = BothTables().Count(0).Build();
  EXPECT_TRUE(CutsThatRead(ReadBdict, file).empty());
}

TEST(BdictReader, TheMarkIsTheFirstEightBytes) {
  const Bytes file = BothTables().Build();
  EXPECT_TRUE(HasBdictMark(file.data(), file.size()));
  EXPECT_TRUE(HasBdictMark(file.data(), 8));
  EXPECT_FALSE(HasBdictMark(file.data(), 7));
  Bytes other = file;
  other[0] = 'B';
  EXPECT_FALSE(HasBdictMark(other.data(), other.size()));
}

}  // namespace
