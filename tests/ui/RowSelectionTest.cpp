// The phrase window's own selection: ranges of rows, changed by clicks and
// keys as in a list of files, and the same rows as marks would give.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "RowSelection.h"

namespace {

typedef std::vector<uint32_t> Rows;

Rows Selected(const CRowSelection& sel) {
  Rows rows;
  for (const tagROWRANGE& r : sel.Ranges()) {
    for (uint32_t row = r.nFirst; row <= r.nLast; ++row) rows.push_back(row);
  }
  return rows;
}

// Ascending, disjoint and never touching: one selection, one way to hold it.
void ExpectCanonical(const CRowSelection& sel) {
  const std::vector<tagROWRANGE>& ranges = sel.Ranges();
  for (size_t i = 0; i < ranges.size(); ++i) {
    EXPECT_LE(ranges[i].nFirst, ranges[i].nLast);
    if (i) {
      EXPECT_GT(ranges[i].nFirst, ranges[i - 1].nLast + 1);
    }
  }
}

TEST(RowSelection, SetsAndClearsRangesAsMarksPerRowWould) {
  // Random changes against a set of marks.
  std::mt19937 random(7);
  CRowSelection sel;
  std::set<uint32_t> marks;
  for (int step = 0; step < 2000; ++step) {
    const uint32_t a = random() % 200, b = random() % 200;
    const bool bSelected = random() % 3 != 0;
    sel.Set(a, b, bSelected);
    for (uint32_t row = std::min(a, b); row <= std::max(a, b); ++row) {
      if (bSelected) {
        marks.insert(row);
      } else {
        marks.erase(row);
      }
    }
    ASSERT_EQ(Rows(marks.begin(), marks.end()), Selected(sel)) << "step " << step;
    ASSERT_EQ(marks.size(), sel.GetCount());
    ExpectCanonical(sel);
    const uint32_t probe = random() % 210;
    ASSERT_EQ(marks.count(probe) == 1, sel.IsSelected(probe)) << probe;
  }
}

TEST(RowSelection, AMillionRowsAreOneRange) {
  CRowSelection sel;
  sel.SelectAll(1000000);
  ASSERT_EQ(1u, sel.Ranges().size());
  EXPECT_EQ(1000000u, sel.GetCount());
  EXPECT_TRUE(sel.IsSelected(999999));
  EXPECT_FALSE(sel.IsSelected(1000000));
  sel.Set(500000, 500000, false);
  EXPECT_EQ(2u, sel.Ranges().size());
  EXPECT_EQ(999999u, sel.GetCount());
  sel.Limit(10);
  EXPECT_EQ(Rows({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), Selected(sel));
  sel.SelectAll(0);
  EXPECT_TRUE(sel.IsEmpty());
  EXPECT_EQ(CRowSelection::NO_ROW, sel.First());
}

TEST(RowSelection, AssignTakesRowsInAnyOrderAndLeavesOutThosePastTheEnd) {
  const struct {
    const char* what;
    Rows rows;
    Rows expected;
  } cases[] = {
      {"ascending", {1, 2, 3, 7}, {1, 2, 3, 7}},
      {"any order, repeats", {7, 3, 1, 2, 3}, {1, 2, 3, 7}},
      {"past the end", {2, 10, 11}, {2}},
      {"none", {}, {}},
  };
  for (const auto& c : cases) {
    CRowSelection sel;
    sel.Set(0, 9, true);  // replaced, not added to
    sel.Assign(c.rows, 10);
    EXPECT_EQ(c.expected, Selected(sel)) << c.what;
    ExpectCanonical(sel);
  }
}

TEST(RowSelection, ClicksSelectAsInAListOfFiles) {
  CRowSelection sel;
  uint32_t anchor = CRowSelection::NO_ROW;
  const struct {
    const char* what;
    uint32_t row;
    bool bCtrl, bShift;
    Rows expected;
    uint32_t anchor;
  } steps[] = {
      {"click", 3, false, false, {3}, 3},
      {"shift+click below", 6, false, true, {3, 4, 5, 6}, 3},
      {"shift+click above, from the same anchor", 1, false, true, {1, 2, 3}, 3},
      {"ctrl+click adds", 8, true, false, {1, 2, 3, 8}, 8},
      {"ctrl+click takes away", 2, true, false, {1, 3, 8}, 2},
      {"ctrl+shift+click adds a range", 5, true, true, {1, 2, 3, 4, 5, 8}, 2},
      {"click below the rows clears", CRowSelection::NO_ROW, false, false, {}, 2},
      {"click", 0, false, false, {0}, 0},
  };
  for (const auto& s : steps) {
    ApplyRowClick(sel, &anchor, s.row, s.bCtrl, s.bShift);
    EXPECT_EQ(s.expected, Selected(sel)) << s.what;
    EXPECT_EQ(s.anchor, anchor) << s.what;
  }
}

}  // namespace
