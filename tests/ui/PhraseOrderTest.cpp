// The phrase window's rows sorted by text, frequency or group, either way:
// the same order as a comparison sort of the rows, every row found again
// from its position, and the selected rows' positions and texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "PhraseRows.h"
#include "RowSelection.h"
#include "Tabrix.h"

namespace {

class PhraseOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int g = 0; g < 4; ++g)
      ASSERT_EQ(g, m_lib.AddGroup(("g" + std::to_string(g)).c_str(), "", ""));
    std::mt19937 random(11);
    for (int i = 0; i < 3000; ++i) {
      // Few frequencies, so that many rows share one and keep text order.
      const std::string text = "w" + std::to_string(100000 + (i * 7919) % 100000);
      const uint8_t freq = static_cast<uint8_t>(random() % 6 * 50);
      ASSERT_TRUE(m_lib.AddPhrase(text.c_str(), 255, freq, 1, static_cast<uint8_t>(random() % 4)));
    }
  }

  // The store order's positions (m_plainPositions) in the order a
  // comparison sort gives: the key, then text (store) order.
  std::vector<uint32_t> Expected(PhraseSortKey key, bool bDescending) {
    std::vector<uint32_t> positions = m_plainPositions;
    std::stable_sort(positions.begin(), positions.end(), [&](uint32_t a, uint32_t b) {
      if (key == SORT_TEXT) return bDescending ? a > b : a < b;
      const tagPHRASE2* pa = m_lib.m_arrPhrase.GetAt(a);
      const tagPHRASE2* pb = m_lib.m_arrPhrase.GetAt(b);
      const int ka = key == SORT_FREQ ? pa->byFreq : pa->byGroup;
      const int kb = key == SORT_FREQ ? pb->byFreq : pb->byGroup;
      return bDescending ? ka > kb : ka < kb;
    });
    return positions;
  }

  CTabrix m_lib;
  std::vector<uint32_t> m_plainPositions;
};

TEST_F(PhraseOrderTest, EachKeyEitherWaySortsAsAComparisonSortAndFindsEveryRowAgain) {
  const struct {
    const char* what;
    uint32_t group;
    const char* needle;
  } scopes[] = {{"a whole group", 2, ""},
                {"the whole library", TABRIX_NO_GROUP, ""},
                {"a find", TABRIX_NO_GROUP, "w10"}};
  const PhraseSortKey keys[] = {SORT_TEXT, SORT_FREQ, SORT_GROUP};
  for (const auto& scope : scopes) {
    CPhraseRows plain;
    ASSERT_TRUE(plain.Build(m_lib, scope.group, scope.needle));
    m_plainPositions.clear();
    for (uint32_t r = 0; r < plain.GetCount(); ++r) m_plainPositions.push_back(plain.PosAt(r));
    ASSERT_FALSE(m_plainPositions.empty()) << scope.what;
    for (PhraseSortKey key : keys) {
      for (bool bDescending : {false, true}) {
        SCOPED_TRACE(std::string(scope.what) + ", key " + std::to_string(key) +
                     (bDescending ? ", descending" : ""));
        CPhraseRows rows;
        // The order is kept for every build after it is set.
        ASSERT_TRUE(rows.SetOrder(key, bDescending));
        ASSERT_TRUE(rows.Build(m_lib, scope.group, scope.needle));
        ASSERT_EQ(m_plainPositions.size(), rows.GetCount());
        std::vector<uint32_t> shown;
        for (uint32_t r = 0; r < rows.GetCount(); ++r) shown.push_back(rows.PosAt(r));
        EXPECT_EQ(Expected(key, bDescending), shown);
        for (uint32_t r = 0; r < rows.GetCount(); ++r) {
          ASSERT_EQ(r, rows.RowOf(shown[r]));
          ASSERT_EQ(r, rows.RowAtOrAfter(shown[r]));
        }
        // A position no row shows: the row of the next one that is shown.
        const uint32_t first = m_plainPositions.front();
        if (first > 0) {
          EXPECT_EQ(rows.GetCount(), rows.RowOf(first - 1));
        }
        EXPECT_EQ(rows.RowOf(first), rows.RowAtOrAfter(first > 0 ? first - 1 : 0));

        // The selected rows' positions ascend; their texts come in row order.
        CRowSelection sel;
        sel.Set(1, 5, true);
        sel.Set(rows.GetCount() - 1, rows.GetCount() - 1, true);
        std::vector<uint32_t> expected = {shown[1], shown[2], shown[3],
                                          shown[4], shown[5], shown.back()};
        std::string texts;
        for (uint32_t pos : expected) {
          const tagPHRASE2* p = m_lib.m_arrPhrase.GetAt(pos);
          texts += (texts.empty() ? "" : "\r\n") + std::string(p->szWord, p->cLen);
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, rows.PositionsOf(sel));
        EXPECT_EQ(texts, SelectedPhraseTexts(m_lib, rows, sel));
        // Back from positions to rows, a position no row shows left out.
        std::vector<uint32_t> some = {shown[5], shown[1]};
        if (first > 0) some.push_back(first - 1);
        EXPECT_EQ((std::vector<uint32_t>{5, 1}), rows.RowsOf(some));
      }
    }
  }
}

TEST_F(PhraseOrderTest, ASortChangesTheRowsInPlaceAndBackToStoreOrder) {
  CPhraseRows rows;
  ASSERT_TRUE(rows.Build(m_lib, 1, ""));  // a whole group, found lazily
  const uint32_t first = rows.PosAt(0);
  ASSERT_TRUE(rows.SetOrder(SORT_TEXT, true));
  EXPECT_EQ(rows.GetCount() - 1, rows.RowOf(first));
  EXPECT_EQ(SORT_TEXT, rows.GetSortKey());
  EXPECT_TRUE(rows.IsDescending());
  ASSERT_TRUE(rows.SetOrder(SORT_TEXT, false));
  EXPECT_EQ(first, rows.PosAt(0));
  EXPECT_EQ(0u, rows.RowOf(first));
}

TEST_F(PhraseOrderTest, RowsTheStoreLacksComeLastInAnySortedOrder) {
  m_lib.GetGroup(3)->dwCount += 2;  // a record that says more than the store has
  CPhraseRows rows;
  ASSERT_TRUE(rows.SetOrder(SORT_FREQ, true));
  ASSERT_TRUE(rows.Build(m_lib, 3, ""));
  const uint32_t n = rows.GetCount();
  ASSERT_GE(n, 3u);
  EXPECT_NE(CPhraseRows::NO_ROW_POS, rows.PosAt(n - 3));
  EXPECT_EQ(CPhraseRows::NO_ROW_POS, rows.PosAt(n - 2));
  EXPECT_EQ(CPhraseRows::NO_ROW_POS, rows.PosAt(n - 1));
  CRowSelection sel;
  sel.SelectAll(n);
  EXPECT_EQ(n - 2, rows.PositionsOf(sel).size());
  m_lib.GetGroup(3)->dwCount -= 2;
}

}  // namespace
