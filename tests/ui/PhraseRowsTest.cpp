#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PhraseMessages.h"
#include "PhraseRows.h"
#include "RowSelection.h"
#include "Tabrix.h"

namespace {

// 啊 B0A1, 阿 B0A2, 吧 B0C9; "\xA1\xB0" is a character of its own (“) whose
// bytes also appear across the boundary of 啊阿 (B0 A1 B0 A2).
struct tagROWSCASE {
  const char* pszName;
  uint32_t nGroup;
  const char* pszNeedle;
  std::vector<std::string> expected;  // texts, in store order
};

class PhraseRowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(0, m_lib.AddGroup("one", "", ""));
    ASSERT_EQ(1, m_lib.AddGroup("two", "", ""));
    Add("\xB0\xA1\xB0\xA2", 0);  // 啊阿
    Add("\xA1\xB0", 1);          // “
    Add("\xB0\xC9", 0);          // 吧
    Add("abc", 1);
    Add("xabcx", 0);
  }
  void Add(const char* text, uint8_t group) {
    ASSERT_TRUE(m_lib.AddPhrase(text, 255, 1, 1, group));
  }
  std::vector<std::string> Texts(CPhraseRows& rows) {
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < rows.GetCount(); ++i) {
      const tagPHRASE2* p = m_lib.m_arrPhrase.GetAt(rows.PosAt(i));
      texts.emplace_back(p->szWord, p->cLen);
    }
    return texts;
  }
  CTabrix m_lib;
};

TEST_F(PhraseRowsTest, RowsAreTheScopesPhrasesHoldingTheNeedleInStoreOrder) {
  const tagROWSCASE cases[] = {
      {"group 0, all", 0, "", {"xabcx", "\xB0\xA1\xB0\xA2", "\xB0\xC9"}},
      {"group 1, all", 1, "", {"abc", "\xA1\xB0"}},
      {"library, abc", TABRIX_NO_GROUP, "abc", {"abc", "xabcx"}},
      {"group 0, abc", 0, "abc", {"xabcx"}},
      // “ must not be found across 啊阿: its first byte is a trail byte there.
      {"library, quote", TABRIX_NO_GROUP, "\xA1\xB0", {"\xA1\xB0"}},
      {"library, 阿", TABRIX_NO_GROUP, "\xB0\xA2", {"\xB0\xA1\xB0\xA2"}},
      {"nothing", TABRIX_NO_GROUP, "zz", {}},
  };
  for (const tagROWSCASE& c : cases) {
    CPhraseRows rows;
    ASSERT_TRUE(rows.Build(m_lib, c.nGroup, c.pszNeedle));
    std::vector<std::string> expected = c.expected;
    // Store order is the order of the texts' bytes.
    EXPECT_EQ(expected, Texts(rows)) << c.pszName;
    for (uint32_t i = 1; i < rows.GetCount(); ++i) EXPECT_LT(rows.PosAt(i - 1), rows.PosAt(i));
  }
}

TEST_F(PhraseRowsTest, SelectedRowsBecomeSortedDistinctPositions) {
  CPhraseRows rows;
  ASSERT_TRUE(rows.Build(m_lib, TABRIX_NO_GROUP, ""));
  ASSERT_EQ(5u, rows.GetCount());
  const std::vector<int> selected = {4, 1, 4, -1, 99, 0};
  const std::vector<uint32_t> expected = {rows.PosAt(0), rows.PosAt(1), rows.PosAt(4)};
  EXPECT_EQ(expected, rows.PositionsOf(selected));
}

TEST_F(PhraseRowsTest, RowAtOrAfterFindsWhereAPositionIsShown) {
  CPhraseRows rows;
  ASSERT_TRUE(rows.Build(m_lib, 0, ""));  // positions of group 0 only
  for (uint32_t i = 0; i < rows.GetCount(); ++i) EXPECT_EQ(i, rows.RowAtOrAfter(rows.PosAt(i)));
  EXPECT_EQ(rows.GetCount(), rows.RowAtOrAfter(m_lib.m_arrPhrase.GetCount()));
  // RowOf: only the row that shows the position itself. Store order:
  // abc (group 1), xabcx, “ (group 1), 啊阿, 吧.
  const uint32_t expected[] = {3, 0, 3, 1, 2, 3};
  for (uint32_t pos = 0; pos < 6; ++pos) EXPECT_EQ(expected[pos], rows.RowOf(pos)) << pos;
}

TEST_F(PhraseRowsTest, AGroupsRowsAreFoundAsFarAsTheyAreAskedForInAnyOrder) {
  // Enough phrases for several blocks, the groups interleaved.
  for (int i = 0; i < 3000; ++i) Add(("p" + std::to_string(100000 + i)).c_str(), i % 3 ? 0 : 1);
  CPhraseRows eager;
  ASSERT_TRUE(eager.Build(m_lib, 0, "p"));  // a find: every row at once
  CPhraseRows lazy;
  ASSERT_TRUE(lazy.Build(m_lib, 0, ""));
  ASSERT_EQ(m_lib.GetGroup(0)->dwCount, lazy.GetCount());
  // The rows asked for last first, then the others: the same positions.
  EXPECT_EQ(CPhraseRows::NO_ROW_POS, lazy.PosAt(lazy.GetCount()));
  std::vector<uint32_t> positions(lazy.GetCount());
  for (uint32_t i = lazy.GetCount(); i-- > 0;) positions[i] = lazy.PosAt(i);
  for (uint32_t i = 0; i < lazy.GetCount(); ++i) {
    const tagPHRASE2* p = m_lib.m_arrPhrase.GetAt(positions[i]);
    EXPECT_EQ(0, p->byGroup);
    if (i) {
      EXPECT_LT(positions[i - 1], positions[i]);
    }
  }
  // "p..." texts are the first rows of group 0 in store order.
  for (uint32_t i = 0; i < eager.GetCount(); ++i) EXPECT_EQ(eager.PosAt(i), positions[i]);

  CPhraseRows fresh;
  ASSERT_TRUE(fresh.Build(m_lib, 0, ""));
  const uint32_t last = positions.back();
  EXPECT_EQ(lazy.GetCount() - 1, fresh.RowAtOrAfter(last));  // searched on as far as needed
  EXPECT_EQ(fresh.GetCount(), fresh.RowAtOrAfter(last + 1));
  EXPECT_EQ(5u, fresh.RowOf(positions[5]));
  EXPECT_EQ((std::vector<uint32_t>{positions[0], positions[5]}), fresh.PositionsOf({5, 0, 5}));
}

TEST_F(PhraseRowsTest, AFindInSlicesShowsTheRowsFoundSoFarAndEndsWithTheWholeFind) {
  for (int i = 0; i < 40; ++i) Add(("q" + std::to_string(100 + i)).c_str(), i % 2);
  const struct {
    uint32_t nGroup;
    const char* pszNeedle;
  } finds[] = {{TABRIX_NO_GROUP, "1"}, {0, "abc"}, {1, "q1"}, {TABRIX_NO_GROUP, "zz"}, {7, ""}};
  for (const auto& find : finds) {
    CPhraseRows whole;
    ASSERT_TRUE(whole.Build(m_lib, find.nGroup, find.pszNeedle));
    EXPECT_TRUE(whole.IsComplete());
    const std::vector<std::string> expected = Texts(whole);
    for (uint32_t nSlice : {1u, 3u, 16u}) {
      CPhraseRows rows;
      ASSERT_TRUE(rows.Build(m_lib, find.nGroup, find.pszNeedle, nSlice));
      uint32_t nSlices = 1;
      while (!rows.IsComplete()) {
        // The rows found so far are the first rows of the whole find.
        const std::vector<std::string> sofar = Texts(rows);
        ASSERT_LE(sofar.size(), expected.size());
        EXPECT_EQ(std::vector<std::string>(expected.begin(), expected.begin() + sofar.size()),
                  sofar);
        ASSERT_TRUE(rows.FindMore(nSlice));
        ++nSlices;
      }
      EXPECT_EQ(expected, Texts(rows)) << find.pszNeedle << " in slices of " << nSlice;
      // A phrase shows, or not, as the find has it.
      for (uint32_t pos = 0; pos <= m_lib.m_arrPhrase.GetCount(); ++pos) {
        EXPECT_EQ(rows.RowOf(pos) < rows.GetCount(), rows.Shows(pos)) << pos;
      }
      EXPECT_EQ((m_lib.m_arrPhrase.GetCount() + nSlice - 1) / nSlice, nSlices);
    }
  }
  // A position asked for is searched up to, the rest left for later slices.
  CPhraseRows whole;
  ASSERT_TRUE(whole.Build(m_lib, TABRIX_NO_GROUP, "q"));
  CPhraseRows rows;
  ASSERT_TRUE(rows.Build(m_lib, TABRIX_NO_GROUP, "q", 1));
  const uint32_t row = whole.GetCount() / 2;
  EXPECT_EQ(row, rows.RowOf(whole.PosAt(row)));
  EXPECT_EQ(row + 1, rows.GetCount());
  EXPECT_FALSE(rows.IsComplete());
  // A sort needs every row: the find ends at once.
  ASSERT_TRUE(rows.SetOrder(SORT_FREQ, true));
  EXPECT_TRUE(rows.IsComplete());
  EXPECT_EQ(whole.GetCount(), rows.GetCount());

  // Sorted before the find: no row shows until the find ends, then all of
  // them in their order.
  ASSERT_TRUE(whole.SetOrder(SORT_FREQ, true));
  CPhraseRows sorted;
  ASSERT_TRUE(sorted.SetOrder(SORT_FREQ, true));
  ASSERT_TRUE(sorted.Build(m_lib, TABRIX_NO_GROUP, "q", 4));
  while (!sorted.IsComplete()) {
    EXPECT_EQ(0u, sorted.GetCount());
    EXPECT_EQ(CPhraseRows::NO_ROW_POS, sorted.PosAt(0));
    ASSERT_TRUE(sorted.FindMore(4));
  }
  EXPECT_EQ(Texts(whole), Texts(sorted));
  // Back to store order while a sorted find goes on: the rows found so far.
  ASSERT_TRUE(sorted.Build(m_lib, TABRIX_NO_GROUP, "q", 20));
  EXPECT_EQ(0u, sorted.GetCount());
  ASSERT_TRUE(sorted.SetOrder(SORT_TEXT, false));
  EXPECT_FALSE(sorted.IsComplete());
  EXPECT_LT(0u, sorted.GetCount());
  while (!sorted.IsComplete()) ASSERT_TRUE(sorted.FindMore(4));
  ASSERT_TRUE(whole.SetOrder(SORT_TEXT, false));
  EXPECT_EQ(Texts(whole), Texts(sorted));
}

TEST_F(PhraseRowsTest, TheWholeLibrarysRowsAreTheStorePositionsThemselves) {
  CPhraseRows rows;
  ASSERT_TRUE(rows.Build(m_lib, TABRIX_NO_GROUP, ""));
  ASSERT_EQ(5u, rows.GetCount());
  EXPECT_TRUE(rows.IsComplete());
  for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(i, rows.PosAt(i));
  EXPECT_EQ(CPhraseRows::NO_ROW_POS, rows.PosAt(5));
  EXPECT_TRUE(rows.Shows(4));
  EXPECT_FALSE(rows.Shows(5));
  EXPECT_EQ((std::vector<uint32_t>{4, 0}), rows.RowsOf({4, 0, 9}));
  EXPECT_EQ((std::vector<uint32_t>{1, 3}), rows.RowsOf({1, 3, 7}));
  EXPECT_EQ(3u, rows.RowAtOrAfter(3));
  EXPECT_EQ(5u, rows.RowAtOrAfter(99));
  EXPECT_EQ(5u, rows.RowOf(5));
  CRowSelection sel;
  sel.Set(1, 2, true);
  sel.Set(4, 8, true);
  EXPECT_EQ((std::vector<uint32_t>{1, 2, 4}), rows.PositionsOf(sel));
  // Sorted, and back in store order: the same rows.
  ASSERT_TRUE(rows.SetOrder(SORT_GROUP, false));
  EXPECT_EQ(5u, rows.GetCount());
  for (uint32_t i = 1; i < 5; ++i) {
    EXPECT_LE(m_lib.m_arrPhrase.GetAt(rows.PosAt(i - 1))->byGroup,
              m_lib.m_arrPhrase.GetAt(rows.PosAt(i))->byGroup);
  }
  EXPECT_EQ(rows.PositionsOf(std::vector<int>{1, 2, 4}), rows.PositionsOf(sel));
  ASSERT_TRUE(rows.SetOrder(SORT_TEXT, false));
  for (uint32_t i = 0; i < 5; ++i) EXPECT_EQ(i, rows.PosAt(i));
}

TEST_F(PhraseRowsTest, SortedRowsSelectedFewOrManyGiveTheirPositionsAscending) {
  for (int i = 0; i < 3000; ++i) {
    ASSERT_TRUE(m_lib.AddPhrase(("s" + std::to_string(100000 + i)).c_str(), 255,
                                static_cast<uint8_t>(i * 7 % 251), 1, 0));
  }
  CPhraseRows rows;
  ASSERT_TRUE(rows.SetOrder(SORT_FREQ, true));
  ASSERT_TRUE(rows.Build(m_lib, TABRIX_NO_GROUP, ""));
  const uint32_t n = rows.GetCount();
  const struct {
    const char* pszWhat;
    std::vector<tagROWRANGE> ranges;
  } cases[] = {{"a row", {{7, 7}}},
               {"a few rows", {{0, 3}, {40, 52}, {n - 2, n - 1}}},
               {"every row but two", {{0, 99}, {101, n - 2}}}};
  for (const auto& c : cases) {
    CRowSelection sel;
    std::vector<int> selected;
    for (const tagROWRANGE& range : c.ranges) {
      sel.Set(range.nFirst, range.nLast, true);
      for (uint32_t row = range.nFirst; row <= range.nLast; ++row) selected.push_back(int(row));
    }
    EXPECT_EQ(rows.PositionsOf(selected), rows.PositionsOf(sel)) << c.pszWhat;
    EXPECT_EQ(selected.size(), rows.PositionsOf(sel).size()) << c.pszWhat;
  }
}

TEST_F(PhraseRowsTest, ACountAboveWhatTheStoreHoldsGivesNoPositionPastTheEnd) {
  m_lib.GetGroup(1)->dwCount += 2;  // a record that says more than the store has
  CPhraseRows rows;
  ASSERT_TRUE(rows.Build(m_lib, 1, ""));
  ASSERT_EQ(4u, rows.GetCount());
  EXPECT_NE(CPhraseRows::NO_ROW_POS, rows.PosAt(1));
  EXPECT_EQ(CPhraseRows::NO_ROW_POS, rows.PosAt(2));
  EXPECT_EQ(CPhraseRows::NO_ROW_POS, rows.PosAt(3));
  EXPECT_EQ(2u, rows.PositionsOf({0, 1, 2, 3}).size());
  m_lib.GetGroup(1)->dwCount -= 2;
  rows.Clear();
  EXPECT_EQ(0u, rows.GetCount());
}

TEST(PhraseFrequency, OnlyWholeNumbersFrom0To250AreTaken) {
  const struct {
    const char* pszText;
    bool bTaken;
    int nValue;
  } cases[] = {
      {"0", true, 0},         {"250", true, 250}, {" +17 ", true, 17}, {"007", true, 7},
      {"251", false, 0},      {"-1", false, 0},   {"", false, 0},      {"  ", false, 0},
      {"12a", false, 0},      {"1 2", false, 0},  {"+", false, 0},     {"99999999999", false, 0},
      {"\xA3\xB1", false, 0},  // a full-width digit
  };
  for (const auto& c : cases) {
    uint8_t freq = 77;
    EXPECT_EQ(c.bTaken, ParsePhraseFrequency(c.pszText, &freq)) << c.pszText;
    EXPECT_EQ(c.bTaken ? c.nValue : 77, freq) << c.pszText;
  }
}

TEST(PhraseMessages, CaptionCountsTheScopeAndWhatAFindShows) {
  EXPECT_EQ("词条 - 常用（共 12 条）", PhraseWindowCaption("常用", 12, false, 12));
  EXPECT_EQ("词条 - 整个词库（共 1000000 条，找到 0 条）",
            PhraseWindowCaption(WholeLibraryScope(), 1000000, true, 0));
}

TEST(PhraseMessages, QuestionsNameWhatWouldGo) {
  const std::vector<std::string> seven = {"一", "二", "三", "四", "五", "六", "七"};
  const struct {
    uint32_t nCount;
    std::vector<std::string> first;
    const char* pszQuestion;
  } cases[] = {
      {1, {"北京"}, "确实要删除选定的 1 个词条“北京”吗？"},
      {2, {"北京", "上海"}, "确实要删除选定的 2 个词条“北京”、“上海”吗？"},
      {5,
       {seven.begin(), seven.begin() + 5},
       "确实要删除选定的 5 个词条“一”、“二”、“三”、“四”、“五”吗？"},
      // Only five are named, whatever the caller gives.
      {7, seven, "确实要删除选定的 7 个词条“一”、“二”、“三”、“四”、“五”等吗？"},
      {1000, {"北京", "上海"}, "确实要删除选定的 1000 个词条“北京”、“上海”等吗？"},
      {2, {}, "确实要删除选定的 2 个词条吗？"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.pszQuestion, DeletePhrasesQuestion(c.nCount, c.first)) << c.nCount;
  }
  EXPECT_EQ("添加到组“地名”", AddTargetLabel("地名"));
  EXPECT_EQ("确实要删除组“地名”及其 4294967295 个词条吗？后面的组将依次上移。",
            DeleteGroupQuestion("地名", 4294967295u));
  EXPECT_EQ("词条“北京”已在组“地名”中。", PhraseExistsMessage("北京", "地名"));
}

TEST(PhraseMessages, ANewGroupThatCannotBeMadeSaysWhichReason) {
  const std::string full = NewGroupFailedMessage(127, 4);
  const std::string tooLong = NewGroupFailedMessage(3, 50);
  EXPECT_EQ("无法新建组：组数已满（最多 127 个组）。", full);
  EXPECT_EQ("无法新建组：文件名太长。", tooLong);
  // A full table is said first: a shorter name would not help.
  EXPECT_EQ(full, NewGroupFailedMessage(200, 60));
  // Neither reason: memory ran out.
  EXPECT_STREQ(EditFailedMessage(), NewGroupFailedMessage(126, 49));
}

TEST(PhraseMessages, ExportSaysWhatWasLeftOutOnlyWhenSomethingWas) {
  EXPECT_EQ("导出完成：3 个词条。", ExportDoneMessage(3, 0, 0));
  const std::string text = ExportDoneMessage(3, 1, 2);
  EXPECT_NE(std::string::npos, text.find("\n1 个词条无法写成文本行")) << text;
  EXPECT_NE(std::string::npos, text.find("\n2 个词条的词频超过 250")) << text;
  EXPECT_EQ(0u, ExportFailedMessage(2).find("导出失败\n磁盘空间不足。"));
}

}  // namespace
