#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DictContent.h"
#include "DictReadChecks.h"
#include "ScelBytes.h"

using namespace tabrix_test;

namespace {

tagREADRESULT ReadScelFile(const Bytes& file) { return ReadWith(ReadScel, file); }

// Three groups whose words are known to the tests below.
CScelBuilder ThreeGroups() {
  CScelBuilder b;
  b.Title(u"网络流行语")
      .Group({0, 1}, {{u"你好", ScelExt(500), ""}, {u"拟好", ScelExt(12), ""}})
      .Group({2}, {{u"世界", ScelExt(300), ""}})
      .Group({1, 2}, {{u"\U00020BB7", ScelExt(7), ""}, {u"abc", ScelExt(0), ""}});
  return b;
}

const std::vector<tagWANTENTRY> kThreeGroups = {{u8"你好", 500, true},
                                                {u8"拟好", 12, true},
                                                {u8"世界", 300, true},
                                                {u8"\U00020BB7", 7, true},
                                                {"abc", 0, true}};

TEST(ScelReader, ReadsTheTitleAndEveryGroupsWordsWithTheirFrequencies) {
  const tagREADRESULT r = ReadScelFile(ThreeGroups().Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"网络流行语");
  ExpectEntries(r.content, kThreeGroups);
  EXPECT_EQ(r.content.nUndecodable, 0u);
}

// data/sample.scel: the title 网络流行语, a table of five pinyin, the groups
// ni hao (你好 500, 拟好 12), shi jie (世界 300) and ji (U+20BB7 7), then a
// list of one blocked word, 坏词.
TEST(ScelReader, ReadsTheSampleFile) {
  const tagREADRESULT r = ReadScelFile(ReadDataFile("sample.scel"));
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"网络流行语");
  ExpectEntries(r.content, {{u8"你好", 500, true},
                            {u8"拟好", 12, true},
                            {u8"世界", 300, true},
                            {u8"\U00020BB7", 7, true}});
}

TEST(ScelReader, ADictionaryWithoutGroupsReadsAsItsTitleAlone) {
  const tagREADRESULT r = ReadScelFile(CScelBuilder().Title(u"空").Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, u8"空");
  EXPECT_TRUE(r.content.arrEntries.empty());
}

TEST(ScelReader, TheGroupsFollowAPinyinTableOfAnyLength) {
  // 413 is the vendor's table; 26 letters more are found too.
  for (size_t n : {size_t(0), size_t(1), size_t(413), size_t(439)}) {
    SCOPED_TRACE(std::to_string(n) + " pinyin");
    std::vector<std::u16string> table;
    for (size_t i = 0; i < n; ++i) table.push_back(i % 2 ? u"zhuang" : u"a");
    const tagREADRESULT r = ReadScelFile(ThreeGroups().Pinyins(table).Build());
    ASSERT_TRUE(r.bOk) << r.strError;
    ExpectEntries(r.content, kThreeGroups);
  }
}

TEST(ScelReader, TheWeightIsTheFirstNumberOfTheExtension) {
  struct tagCASE {
    const char* pszName;
    std::string strExt;
    tagWANTENTRY want;
  } cases[] = {
      {"the largest", ScelExt(65535), {"w", 65535, true}},
      {"two bytes alone", std::string("\x34\x12", 2), {"w", 0x1234, true}},
      {"a longer extension", ScelExt(9) + std::string(10, '\x7F'), {"w", 9, true}},
      {"one byte", std::string("\x05", 1), {"w", 0, false}},
      {"none", "", {"w", 0, false}},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    const tagREADRESULT r = ReadScelFile(CScelBuilder().Group({0}, {{u"w", c.strExt, ""}}).Build());
    ASSERT_TRUE(r.bOk) << r.strError;
    ExpectEntries(r.content, {c.want});
  }
}

TEST(ScelReader, AWordThatDoesNotDecodeIsCountedAndLeftOut) {
  struct tagCASE {
    const char* pszName;
    tagSCELWORD word;
  } cases[] = {
      {"a high surrogate last", {std::u16string{u'a', char16_t(0xD842)}, ScelExt(1), ""}},
      {"a high surrogate before a letter",
       {std::u16string{char16_t(0xD842), u'a'}, ScelExt(1), ""}},
      {"a low surrogate alone", {std::u16string{char16_t(0xDFB7)}, ScelExt(1), ""}},
      {"a U+0000", {std::u16string{u'a', char16_t(0), u'b'}, ScelExt(1), ""}},
      {"an odd byte count", {u"", ScelExt(1), std::string("a\0b", 3)}},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    const tagREADRESULT r =
        ReadScelFile(CScelBuilder()
                         .Group({0}, {{u"前", ScelExt(2), ""}, c.word, {u"后", ScelExt(3), ""}})
                         .Build());
    ASSERT_TRUE(r.bOk) << r.strError;
    ExpectEntries(r.content, {{u8"前", 2, true}, {u8"后", 3, true}});
    EXPECT_EQ(r.content.nUndecodable, 1u);
  }
}

TEST(ScelReader, AnEmptyWordIsLeftOutWithoutBeingCounted) {
  const tagREADRESULT r = ReadScelFile(
      CScelBuilder().Group({0}, {{u"", ScelExt(4), ""}, {u"后", ScelExt(3), ""}}).Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  ExpectEntries(r.content, {{u8"后", 3, true}});
  EXPECT_EQ(r.content.nUndecodable, 0u);
}

TEST(ScelReader, TheTitleEndsWithItsFieldOrItsFirstNul) {
  const std::u16string full(300, u'题');  // more than the field's 260 units
  const tagREADRESULT cut = ReadScelFile(CScelBuilder().Title(full).Build());
  ASSERT_TRUE(cut.bOk) << cut.strError;
  std::string want;
  for (int i = 0; i < 260; ++i) want += u8"题";
  EXPECT_EQ(cut.content.strTitle, want);

  const tagREADRESULT nul =
      ReadScelFile(CScelBuilder().Title(std::u16string{u'甲', 0, u'乙'}).Build());
  ASSERT_TRUE(nul.bOk) << nul.strError;
  EXPECT_EQ(nul.content.strTitle, u8"甲");
}

TEST(ScelReader, ATitleThatDoesNotDecodeIsLeftEmptyAndTheWordsRead) {
  const tagREADRESULT r =
      ReadScelFile(ThreeGroups().Title(std::u16string{u'a', char16_t(0xDC00)}).Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  EXPECT_EQ(r.content.strTitle, "");
  ExpectEntries(r.content, kThreeGroups);
}

TEST(ScelReader, TheBlockedWordsAfterTheGroupsAreNoWords) {
  const tagREADRESULT r = ReadScelFile(ThreeGroups().BlockedWords({u"坏词", u"脏话"}).Build());
  ASSERT_TRUE(r.bOk) << r.strError;
  ExpectEntries(r.content, kThreeGroups);
}

TEST(ScelReader, DamageIsAnErrorThatSaysWhere) {
  // One group (spelling 0 1) of one word 中 at the word table's start.
  CScelBuilder builder;
  builder.Group({0, 1}, {{u"中", ScelExt(1), ""}});
  const size_t groupAt = builder.WordTableAt();
  const size_t wordAt = groupAt + 4 + 4;
  const Bytes good = builder.Build();

  struct tagCASE {
    const char* pszName;
    size_t nOffset;  // a u16 written there, or the file cut there when nValue is 0
    uint32_t nValue;
    std::string strWant;
  } cases[] = {
      {"another file", 0, 0x5A4D, "not a Sogou cell dictionary"},
      {"an empty file", 0, 0, "not a Sogou cell dictionary"},
      {"a header cut short", 0x1000, 0, "the file holds 4096 bytes, fewer than the 5444"},
      // Read as pinyin, the group's head is an entry of 4 bytes and the word's
      // length and first unit, 2 and 0x4E2D, one longer than the file.
      {"a pinyin table longer than the file", CScelBuilder::PINYIN_TABLE_AT, 0xFFFF,
       "the pinyin table's entry at byte " + std::to_string(wordAt) + " runs past the end"},
      {"a spelling longer than the file", groupAt + 2, 0xFFFF,
       "word group 1 of 1 at byte " + std::to_string(groupAt) + " runs past the end"},
      {"more words than the file holds", groupAt, 0xFFFF,
       "the word at byte " + std::to_string(wordAt + 16) + " runs past the end"},
      {"a word longer than the file", wordAt, 0xFFFF,
       "the word at byte " + std::to_string(wordAt) + " runs past the end"},
      {"an extension longer than the file", wordAt + 4, 0xFFFF,
       "the word at byte " + std::to_string(wordAt) + " runs past the end"},
      {"more groups than the file holds", CScelBuilder::GROUP_COUNT_AT + 2, 0xFFFF,
       "word group 2 of 4294901761 at byte " + std::to_string(wordAt + 16)},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    Bytes file = good;
    if (c.nValue == 0) {
      file.resize(c.nOffset);
    } else {
      CScelBuilder::PutU16(file, c.nOffset, uint16_t(c.nValue));
    }
    ExpectFailsSaying(ReadScelFile(file), c.strWant);
  }
}

TEST(ScelReader, EveryCutBeforeTheGroupsEndFailsAndEveryOneAfterReadsThemAll) {
  const Bytes file = ThreeGroups().BlockedWords({u"坏词"}).Build();
  const size_t groupsEnd = file.size() - (12 + 2 + 2 + 4);  // DELTBL, count, one word
  const std::vector<size_t> reads = CutsThatRead(ReadScel, file);
  std::vector<size_t> want;
  for (size_t n = groupsEnd; n < file.size(); ++n) want.push_back(n);
  EXPECT_EQ(reads, want);
}

}  // namespace
