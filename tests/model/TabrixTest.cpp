#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "FirstCopies.h"
#include "SArrayChecks.h"
#include "Tabrix.h"

namespace {

class TabrixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, m_lib.AddGroup("one", "", ""));
    ASSERT_EQ(1, m_lib.AddGroup("two", "", ""));
  }

  // Texts of the store in store order.
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (uint32_t i = 0; i < m_lib.m_arrPhrase.GetCount(); ++i) {
      const tagPHRASE2* p = m_lib.m_arrPhrase.GetAt(i);
      out.emplace_back(p->szWord, FieldTextLength(p->szWord, sizeof(p->szWord)));
    }
    return out;
  }

  uint32_t CountOf(uint32_t group) { return m_lib.GetGroup(group)->dwCount; }

  CTabrix m_lib;
};

TEST(TabrixConstructionTest, EmptyWithNoCallback) {
  CTabrix lib;
  EXPECT_EQ(nullptr, lib.m_funProgress);
  EXPECT_EQ(nullptr, lib.m_pProgressData);
  EXPECT_EQ(0u, lib.GetGroupCount());
  EXPECT_EQ(0u, lib.m_arrPhrase.GetCount());
}

TEST_F(TabrixTest, LengthRulesOfAddPhrase) {
  const std::string t30(30, 'a'), t31(31, 'b');
  struct Case {
    const char* text;
    uint8_t length;
    int stored;
    const char* word;  // stored text when stored
  };
  const Case cases[] = {
      {t30.c_str(), 30, 1, t30.c_str()},
      {t31.c_str(), 31, 0, nullptr},
      {t31.c_str(), 255, 0, nullptr},  // measured: 31 bytes is too long
      {t30.c_str(), 255, 1, t30.c_str()},
      {"measured", 255, 1, "measured"},
      {"词组", 255, 1, "词组"},
      {"truncate", 5, 1, "trunc"},  // only the given length is taken
      {"", 0, 1, ""},
      {"", 255, 1, ""},
      {"long", 254, 0, nullptr},
      {"long", 31, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.text << " / " << int(c.length));
    CTabrix lib;
    ASSERT_EQ(0, lib.AddGroup("g", "", ""));
    EXPECT_EQ(c.stored, lib.AddPhrase(c.text, c.length, 9, 1, 0));
    EXPECT_EQ(uint32_t(c.stored), lib.m_arrPhrase.GetCount());
    EXPECT_EQ(uint32_t(c.stored), lib.GetGroup(0)->dwCount);
    if (c.stored) {
      const tagPHRASE2* p = lib.m_arrPhrase.GetAt(0);
      EXPECT_STREQ(c.word, p->szWord);
      EXPECT_EQ(std::strlen(c.word), p->cLen);
    }
  }
}

TEST_F(TabrixTest, RecordHoldsGroupFrequencyAndAZeroPaddedText) {
  ASSERT_EQ(1, m_lib.AddPhrase("abcdef", 4, 250, 1, 1));
  const tagPHRASE2* p = m_lib.m_arrPhrase.GetAt(0);
  EXPECT_EQ(1, p->byGroup);
  EXPECT_EQ(250, p->byFreq);
  EXPECT_EQ(4, p->cLen);
  EXPECT_EQ(0, std::memcmp(p->szWord, "abcd", 4));
  for (size_t i = 4; i < sizeof(p->szWord); ++i) EXPECT_EQ('\0', p->szWord[i]) << i;
}

TEST_F(TabrixTest, ANulInsideTheLengthEndsTheText) {
  // A file record may carry a NUL among its text bytes; the stored length byte
  // must still be the text's length.
  const char text[] = {'a', 'b', '\0', 'c', 'd'};
  ASSERT_EQ(1, m_lib.AddPhrase(text, 5, 0, 1, 0));
  const tagPHRASE2* p = m_lib.m_arrPhrase.GetAt(0);
  EXPECT_STREQ("ab", p->szWord);
  EXPECT_EQ(2, p->cLen);
  EXPECT_EQ(0, m_lib.AddPhrase("ab", 255, 0, 1, 1));
}

TEST_F(TabrixTest, ShorterTextSortsBeforeItsExtension) {
  ASSERT_EQ(1, m_lib.AddPhrase("abc", 255, 1, 1, 0));
  ASSERT_EQ(1, m_lib.AddPhrase("ab", 255, 1, 1, 0));
  EXPECT_EQ(std::vector<std::string>({"ab", "abc"}), Texts());
}

TEST_F(TabrixTest, TextIsStoredOnceWhateverTheGroup) {
  for (int check : {1, 0}) {
    SCOPED_TRACE(check);
    CTabrix lib;
    ASSERT_EQ(0, lib.AddGroup("one", "", ""));
    ASSERT_EQ(1, lib.AddGroup("two", "", ""));
    ASSERT_EQ(1, lib.AddPhrase("abc", 255, 5, check, 0));
    ASSERT_EQ(1, lib.AddPhrase("ab", 255, 5, check, 0));
    EXPECT_EQ(0, lib.AddPhrase("abc", 255, 7, check, 1));
    EXPECT_EQ(0, lib.AddPhrase("abc", 255, 5, check, 0));
    EXPECT_EQ(2u, lib.GetGroup(0)->dwCount);
    EXPECT_EQ(0u, lib.GetGroup(1)->dwCount);
    EXPECT_EQ(2u, lib.GetPhraseTotal());
    // The first copy stays as it was.
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(1);
    EXPECT_STREQ("abc", p->szWord);
    EXPECT_EQ(0, p->byGroup);
    EXPECT_EQ(5, p->byFreq);
  }
}

TEST_F(TabrixTest, EmptyTextSortsFirst) {
  ASSERT_EQ(1, m_lib.AddPhrase("b", 255, 0, 1, 0));
  ASSERT_EQ(1, m_lib.AddPhrase("\x01", 255, 0, 1, 0));
  ASSERT_EQ(1, m_lib.AddPhrase("", 0, 0, 1, 1));
  EXPECT_EQ(0, m_lib.AddPhrase("", 255, 0, 1, 0));
  EXPECT_EQ(std::vector<std::string>({"", "\x01", "b"}), Texts());
  EXPECT_EQ(1u, CountOf(1));
}

TEST_F(TabrixTest, GroupMustExist) {
  EXPECT_EQ(0, m_lib.AddPhrase("x", 255, 0, 1, 2));  // equal to the group count
  EXPECT_EQ(0, m_lib.AddPhrase("x", 255, 0, 1, 255));
  EXPECT_EQ(0, m_lib.AddPhrase(nullptr, 255, 0, 1, 0));
  EXPECT_EQ(0u, m_lib.m_arrPhrase.GetCount());
  CTabrix noGroups;
  EXPECT_EQ(0, noGroups.AddPhrase("x", 255, 0, 0, 0));
}

TEST_F(TabrixTest, GroupsBeyond127FromAFileTakePhrases) {
  CTabrix lib;
  tagGROUPINFO g;
  std::memset(&g, 0, sizeof(g));
  for (int i = 0; i < 255; ++i) ASSERT_EQ(i, lib.m_arrGroup.Add(g));
  EXPECT_EQ(1, lib.AddPhrase("x", 255, 0, 1, 254));
  EXPECT_EQ(1u, lib.GetGroup(254)->dwCount);
  EXPECT_EQ(0, lib.AddPhrase("y", 255, 0, 1, 255));  // 255 names no group
}

TEST_F(TabrixTest, FreeEmptiesBothArraysAndKeepsTheCallback) {
  int marker = 0;
  m_lib.m_funProgress = [](int32_t, int32_t, void*) {};
  m_lib.m_pProgressData = &marker;
  const uint32_t nBlockSize = m_lib.m_arrPhrase.m_nBlockSize;
  for (int i = 0; i < 1200; ++i) {
    ASSERT_EQ(1, m_lib.AddPhrase(std::to_string(i).c_str(), 255, 0, 1, uint8_t(i % 2)));
  }
  m_lib.Free();
  EXPECT_EQ(0u, m_lib.GetPhraseTotal());
  EXPECT_EQ(0u, m_lib.GetGroupCount());
  EXPECT_EQ(0u, m_lib.m_arrPhrase.GetCount());
  EXPECT_TRUE(ChainIsSound(m_lib.m_arrPhrase));
  EXPECT_TRUE(ChainIsSound(m_lib.m_arrGroup));
  EXPECT_NE(nullptr, m_lib.m_funProgress);
  EXPECT_EQ(&marker, m_lib.m_pProgressData);
  EXPECT_EQ(nBlockSize, m_lib.m_arrPhrase.m_nBlockSize);  // the store's settings stay
  EXPECT_EQ(0, m_lib.AddGroup("again", "", ""));
  EXPECT_EQ(1, m_lib.AddPhrase("0", 255, 0, 1, 0));
}

// A copy holds the same groups and records block for block, owns them (an
// edit of either leaves the other alone), replaces what the copy held, and
// takes no progress callback along.
TEST_F(TabrixTest, CopyFromCopiesEveryBlockAndSharesNothing) {
  m_lib.m_funProgress = [](int32_t, int32_t, void*) {};
  for (int i = 0; i < 1300; ++i) {
    ASSERT_EQ(1, m_lib.AddPhrase(std::to_string(i * 7).c_str(), 255, uint8_t(i % 251), 1,
                                 uint8_t(i % 2)));
  }
  const uint32_t gone[] = {3, 600, 601};  // blocks of unequal fill
  ASSERT_EQ(1, m_lib.RemovePhrasesAt(gone, 3));
  m_lib.GetGroup(1)->bEnable = 1;

  CTabrix copy;
  ASSERT_EQ(0, copy.AddGroup("old", "", ""));
  ASSERT_EQ(1, copy.AddPhrase("old", 255, 0, 1, 0));
  ASSERT_EQ(1, copy.CopyFrom(m_lib));
  EXPECT_EQ(nullptr, copy.m_funProgress);
  ASSERT_EQ(m_lib.GetGroupCount(), copy.GetGroupCount());
  for (uint32_t g = 0; g < m_lib.GetGroupCount(); ++g) {
    EXPECT_EQ(0, std::memcmp(m_lib.GetGroup(g), copy.GetGroup(g), sizeof(tagGROUPINFO)));
  }
  EXPECT_EQ(ChainRecords(m_lib.m_arrPhrase).size(), copy.m_arrPhrase.GetCount());
  EXPECT_EQ(
      0, std::memcmp(ChainRecords(m_lib.m_arrPhrase).data(), ChainRecords(copy.m_arrPhrase).data(),
                     m_lib.m_arrPhrase.GetCount() * sizeof(tagPHRASE2)));
  EXPECT_TRUE(ChainIsSound(copy.m_arrPhrase));
  EXPECT_TRUE(ChainIsSound(copy.m_arrGroup));
  EXPECT_EQ(m_lib.m_arrPhrase.m_nFree, copy.m_arrPhrase.m_nFree);

  const std::vector<std::string> before = Texts();
  ASSERT_EQ(1, copy.AddPhrase("only in the copy", 255, 0, 1, 0));
  copy.GetGroup(0)->bEnable = 1;
  EXPECT_EQ(before, Texts());
  EXPECT_EQ(0, m_lib.GetGroup(0)->bEnable);
  const uint32_t nCopied = copy.m_arrPhrase.GetCount();
  ASSERT_EQ(1, m_lib.RemoveGroup(0));
  EXPECT_EQ(2u, copy.GetGroupCount());
  EXPECT_EQ(nCopied, copy.m_arrPhrase.GetCount());
  EXPECT_TRUE(ChainIsSound(copy.m_arrPhrase));

  CTabrix empty;
  ASSERT_EQ(1, copy.CopyFrom(empty));
  EXPECT_EQ(0u, copy.GetGroupCount());
  EXPECT_EQ(0u, copy.m_arrPhrase.GetCount());
  EXPECT_TRUE(ChainIsSound(copy.m_arrPhrase));
}

// Random GBK-like texts, many repeated, over several groups, with and without
// the duplicate check: the store must stay the sorted set of first copies.
TEST(TabrixPropertyTest, StoreMatchesAMapOfFirstCopies) {
  CTabrix lib;
  const int kGroups = 5;
  for (int g = 0; g < kGroups; ++g) ASSERT_EQ(g, lib.AddGroup(std::to_string(g).c_str(), "", ""));
  std::mt19937 rng(20261210);
  auto below = [&rng](uint32_t n) {
    return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng);
  };

  CFirstCopies model(kGroups);
  for (int step = 0; step < 20000; ++step) {
    std::string text;
    const uint32_t chars = below(6);  // short texts collide often, long ones rarely
    for (uint32_t c = 0; c < chars; ++c) {
      if (below(3) == 0) {
        text += char('a' + below(3));
      } else {
        text += char(0xB0 + below(2));
        text += char(0xA1 + below(3));
      }
    }
    const uint8_t group = uint8_t(below(kGroups));
    const uint8_t freq = uint8_t(below(251));
    const int check = int(below(2));
    ASSERT_NO_FATAL_FAILURE(model.Add(lib, text, group, freq, check, below(2) != 0, step));
  }

  model.ExpectStoreOf(lib);
  // Insertions all over the store leave it within twice the records' room
  // (and one block being filled), whatever its block size.
  const CSArray<tagPHRASE2>& store = lib.m_arrPhrase;
  const uint64_t slots = uint64_t(BlockCounts(store).size()) * store.m_nBlockSize;
  EXPECT_LE(slots, 2u * uint64_t(store.GetCount()) + store.m_nBlockSize);
}

}  // namespace
