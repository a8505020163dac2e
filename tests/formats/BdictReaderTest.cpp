#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "BdictBytes.h"
#include "DictContent.h"
#include "DictReadChecks.h"

using namespace tabrix_test;

namespace {

tagREADRESULT Read(const Bytes& file) { return ReadWith(ReadBdict, file); }

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
  const tagREADRESULT r = Read(EveryKind().Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"百度测试");
  ExpectEntries(r.content, kEveryKind);
  EXPECT_EQ(r.content.nUndecodable, 0u);
}

// data/sample.bdict: the title 百度测试 and the entries 你好 (ni hao, 321),
// A股 (A gu, 40), hello (9), 卡拉OK (code kalaok, 3), U+20BB7 (code ji, 2).
TEST(BdictReader, ReadsTheSampleFile) {
  const tagREADRESULT r = Read(ReadDataFile("sample.bdict"));
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"百度测试");
  ExpectEntries(
      r.content,
      {{u8"你好", 321}, {u8"A股", 40}, {"hello", 9}, {u8"卡拉OK", 3}, {u8"\U00020BB7", 2}});
}

TEST(BdictReader, ADictionaryWithoutEntriesReadsAsItsTitleAlone) {
  const tagREADRESULT r = Read(CBdictBuilder().Title(u"空").Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"空");
  EXPECT_TRUE(r.content.arrEntries.empty());
}

TEST(BdictReader, TheTitleEndsWithItsFieldOrItsFirstNul) {
  const tagREADRESULT cut = Read(CBdictBuilder().Title(std::u16string(40, u'题')).Build());
  ASSERT_TRUE(cut.bOk) << cut.strError;
  std::string want;
  for (int i = 0; i < 32; ++i) want += u8"题";  // the field's 0x40 bytes
  EXPECT_EQ(cut.content.strTitle, want);

  const tagREADRESULT nul = Read(CBdictBuilder().Title(std::u16string{u'甲', 0, u'乙'}).Build());
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
    const tagREADRESULT r = Read(b.Build());
    ASSERT_TRUE(r.bOk) << r.strError;
    ExpectEntries(r.content, {{u8"你", 2}, {"after", 3}});
    EXPECT_EQ(r.content.nUndecodable, 1u);
  }
}

TEST(BdictReader, AnEmptyWordIsLeftOutWithoutBeingCounted) {
  const tagREADRESULT r = Read(CBdictBuilder().Mixed(u"ji", u"", 5).English("after", 3).Build());
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
       "the file ends after 2 entries, its header announces 3"},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    ExpectFailsSaying(Read(c.file), c.strWant);
  }
}

TEST(BdictReader, EveryCutOfAFileWhoseHeaderCountsItsEntriesFails) {
  const Bytes file = EveryKind().Build();
  EXPECT_TRUE(CutsThatRead(ReadBdict, file).empty());
}

TEST(BdictReader, WithoutACountEveryCutFailsButTheOnesBetweenEntries) {
  CBdictBuilder b;
  b.Count(0);
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

}  // namespace
