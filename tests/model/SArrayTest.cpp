#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "SArray.h"
#include "SArrayChecks.h"

namespace {

using Counts = std::vector<uint32_t>;

// The array as an owner sets it up: the block sizes below are these tests' own
// (the product's are tuning), so the expected block fills follow from them.
struct Array : CSArray<tagTESTREC> {
  Array() {
    m_nBlockSize = 5;
    m_byWastePercent = 10;
  }
};

// Appends records with keys from first upwards, seq equal to the key.
void AppendKeys(Array& a, uint32_t first, uint32_t n) {
  for (uint32_t i = 0; i < n; ++i) ASSERT_GE(a.Add(Rec(first + i, first + i)), 0);
}

// Links blocks filled as given (keys 0, 1, 2, ... in chain order) straight
// into an empty array, the way a run of insertions can leave them.
void BuildChain(Array& a, const Counts& counts) {
  uint32_t key = 0;
  for (uint32_t n : counts) {
    auto* b = new tagSABLOCK<tagTESTREC>;
    b->pItems = new tagTESTREC[a.m_nBlockSize];
    b->nCount = n;
    b->pNext = nullptr;
    b->pPrev = a.m_pLast;
    for (uint32_t i = 0; i < n; ++i) b->pItems[i] = Rec(key, key), ++key;
    if (a.m_pLast != nullptr) {
      a.m_pLast->pNext = b;
    } else {
      a.m_pFirst = b;
    }
    a.m_pLast = b;
    a.m_nFree += a.m_nBlockSize - n;
  }
  a.m_nCount = key;
  a.m_pCursor = a.m_pFirst;
  a.m_nCursorBase = 0;
}

std::vector<uint32_t> Keys(const Array& a) {
  std::vector<uint32_t> keys;
  for (const tagTESTREC& r : ChainRecords(a)) keys.push_back(r.nKey);
  return keys;
}

std::vector<uint32_t> Range(uint32_t n) {
  std::vector<uint32_t> v(n);
  for (uint32_t i = 0; i < n; ++i) v[i] = i;
  return v;
}

// A new array with the sizes it comes with: empty, and it takes records.
TEST(SArrayTest, ConstructionIsEmptyAndTheDefaultsWork) {
  CSArray<tagTESTREC> a;
  EXPECT_EQ(0u, a.GetCount());
  EXPECT_EQ(nullptr, a.m_pFirst);
  EXPECT_TRUE(ChainIsSound(a));
  for (uint32_t i = 0; i < 1000; ++i) ASSERT_EQ(int(i / 2), a.InsertAt(i / 2, Rec(i)));
  ASSERT_EQ(1000u, a.GetCount());
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, FirstAddMakesOneBlock) {
  Array a;
  EXPECT_EQ(0, a.Add(Rec(7)));
  EXPECT_EQ(1u, a.GetCount());
  EXPECT_EQ(Counts({1}), BlockCounts(a));
  EXPECT_EQ(7u, a.GetAt(0)->nKey);
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, AppendingOneMoreThanABlockStartsASecondBlock) {
  Array a;
  AppendKeys(a, 0, 6);
  EXPECT_EQ(Counts({5, 1}), BlockCounts(a));
  EXPECT_EQ(Range(6), Keys(a));
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, InsertAtSlotZeroOfFullBlockMovesItsRecordsIntoANewBlock) {
  Array a;
  AppendKeys(a, 1, 15);  // 5/5/5, keys 1..15
  EXPECT_EQ(5, a.InsertAt(5, Rec(100)));
  EXPECT_EQ(Counts({5, 1, 5, 5}), BlockCounts(a));
  EXPECT_EQ(100u, a.m_pFirst->pNext->pItems[0].nKey);
  EXPECT_EQ(6u, a.m_pFirst->pNext->pNext->pItems[0].nKey);
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, InsertInsideAFullBlockSplitsAtTheSlot) {
  struct Case {
    uint32_t index;
    Counts counts;
  };
  const Case cases[] = {{0, {1, 5}}, {1, {2, 4}}, {3, {4, 2}}, {4, {5, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    Array a;
    AppendKeys(a, 0, 5);
    EXPECT_EQ(int(c.index), a.InsertAt(c.index, Rec(99)));
    EXPECT_EQ(c.counts, BlockCounts(a));
    EXPECT_EQ(a.m_pLast, a.m_pFirst->pNext);  // the new block became the last
    std::vector<uint32_t> expected = Range(5);
    expected.insert(expected.begin() + c.index, 99);
    EXPECT_EQ(expected, Keys(a));
    EXPECT_TRUE(ChainIsSound(a));
  }
}

TEST(SArrayTest, InsertIntoABlockWithRoomShiftsTheRest) {
  Array a;
  AppendKeys(a, 0, 3);
  EXPECT_EQ(1, a.InsertAt(1, Rec(50)));
  EXPECT_EQ(Counts({4}), BlockCounts(a));
  EXPECT_EQ(std::vector<uint32_t>({0, 50, 1, 2}), Keys(a));
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, InsertAtCountBehavesExactlyAsAdd) {
  for (uint32_t n : {0u, 3u, 5u, 7u}) {
    SCOPED_TRACE(n);
    Array added, inserted;
    AppendKeys(added, 0, n);
    AppendKeys(inserted, 0, n);
    EXPECT_EQ(int(n), added.Add(Rec(42)));
    EXPECT_EQ(int(n), inserted.InsertAt(n, Rec(42)));
    EXPECT_EQ(ChainRecords(added), ChainRecords(inserted));
    EXPECT_EQ(BlockCounts(added), BlockCounts(inserted));
    EXPECT_TRUE(ChainIsSound(inserted));
  }
}

TEST(SArrayTest, InsertBeyondTheEndIsRefused) {
  Array a;
  EXPECT_EQ(-1, a.InsertAt(1, Rec(1)));
  EXPECT_TRUE(ChainIsSound(a));
  AppendKeys(a, 0, 3);
  EXPECT_EQ(-1, a.InsertAt(4, Rec(1)));
  EXPECT_EQ(Range(3), Keys(a));
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, InsertedCopyIsTakenBeforeRecordsMove) {
  Array a;
  AppendKeys(a, 0, 4);
  // The source record sits in the slots that the insertion shifts.
  EXPECT_EQ(0, a.InsertAt(0, *a.GetAt(2)));
  EXPECT_EQ(std::vector<uint32_t>({2, 0, 1, 2, 3}), Keys(a));
}

TEST(SArrayTest, GetAtReachesEveryIndexFromAnyCursorPosition) {
  Array a;
  a.m_nBlockSize = 3;
  a.m_byWastePercent = 255;  // keep the uneven chain
  AppendKeys(a, 0, 12);
  // Uneven blocks: splits at several places.
  ASSERT_GE(a.InsertAt(0, Rec(1000)), 0);
  ASSERT_GE(a.InsertAt(7, Rec(1001)), 0);
  ASSERT_GE(a.InsertAt(11, Rec(1002)), 0);
  ASSERT_TRUE(ChainIsSound(a));
  const std::vector<tagTESTREC> records = ChainRecords(a);
  const uint32_t n = a.GetCount();
  // Every (from, to) pair: walks forward, backward, from either end.
  for (uint32_t from = 0; from < n; ++from) {
    for (uint32_t to = 0; to < n; ++to) {
      a.GetAt(from);
      const tagTESTREC* r = a.GetAt(to);
      ASSERT_NE(nullptr, r);
      EXPECT_EQ(records[to], *r) << from << " -> " << to;
      EXPECT_TRUE(ChainIsSound(a));
    }
  }
}

TEST(SArrayTest, GetAtOutsideTheArrayIsAPreconditionBreach) {
  Array a;
#if !defined(NDEBUG)
#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
  EXPECT_DEATH(a.GetAt(0), "out of range");
  AppendKeys(a, 0, 2);
  EXPECT_DEATH(a.GetAt(2), "out of range");
#else
  GTEST_SKIP() << "debug builds assert, and this platform runs no death tests";
#endif
#else
  // Release builds answer with null instead of a wild address.
  EXPECT_EQ(nullptr, a.GetAt(0));
  AppendKeys(a, 0, 2);
  EXPECT_EQ(nullptr, a.GetAt(2));
  EXPECT_EQ(nullptr, a.GetBlock(2));
  EXPECT_TRUE(ChainIsSound(a));
#endif
}

TEST(SArrayTest, FindOverOneIndexGivesAnInsertionPointOnEitherSide) {
  Array a;
  AppendKeys(a, 10, 3);  // 10, 11, 12
  for (int mode : {FIND_ANY, FIND_FIRST, FIND_LAST}) {
    uint32_t pos = 77;
    EXPECT_EQ(-1, a.Find(Rec(5), 0, 1, CompareKey, nullptr, mode, &pos));
    EXPECT_EQ(0u, pos);
    EXPECT_EQ(-1, a.Find(Rec(11), 0, 1, CompareKey, nullptr, mode, &pos));
    EXPECT_EQ(1u, pos);
    EXPECT_EQ(0, a.Find(Rec(10), 0, 1, CompareKey, nullptr, mode, &pos));
  }
}

TEST(SArrayTest, FindReportsInsertionPoints) {
  Array a;
  a.m_nBlockSize = 3;
  for (uint32_t k = 0; k < 10; ++k) ASSERT_GE(a.Add(Rec(2 * k + 1)), 0);  // 1, 3, ..., 19
  for (uint32_t key = 0; key <= 20; ++key) {
    uint32_t pos = 999;
    const int r = a.Find(Rec(key), 0, a.GetCount(), CompareKey, nullptr, FIND_ANY, &pos);
    if (key % 2 == 1) {
      EXPECT_EQ(int(key / 2), r) << key;
    } else {
      EXPECT_EQ(-1, r) << key;
      EXPECT_EQ(key / 2, pos) << key;
    }
  }
  // An empty range answers with its own start.
  uint32_t pos = 999;
  EXPECT_EQ(-1, a.Find(Rec(7), 4, 4, CompareKey, nullptr, FIND_ANY, &pos));
  EXPECT_EQ(4u, pos);
  // Without pInsertPos a miss is still -1.
  EXPECT_EQ(-1, a.Find(Rec(8), 0, a.GetCount(), CompareKey, nullptr, FIND_ANY, nullptr));
}

TEST(SArrayTest, FindClipsARangeReachingPastTheArray) {
  Array a;
  AppendKeys(a, 0, 4);
  uint32_t pos = 0;
  EXPECT_EQ(3, a.Find(Rec(3), 0, 100, CompareKey, nullptr, FIND_ANY, &pos));
  EXPECT_EQ(-1, a.Find(Rec(9), 2, 100, CompareKey, nullptr, FIND_ANY, &pos));
  EXPECT_EQ(4u, pos);
  // A reversed range is empty at its end.
  EXPECT_EQ(-1, a.Find(Rec(0), 9, 3, CompareKey, nullptr, FIND_ANY, &pos));
  EXPECT_EQ(3u, pos);
}

TEST(SArrayTest, FindFirstAndLastReturnTheEndsOfARun) {
  struct Case {
    std::vector<uint32_t> keys;
    uint32_t key;
    int first, last;
  };
  const Case cases[] = {
      {{1, 2, 2, 2, 3}, 2, 1, 3},
      {{2, 2, 2, 2, 2, 2, 2}, 2, 0, 6},
      {{1, 1, 1, 2, 3, 4, 5, 6}, 1, 0, 2},
      {{1, 2, 3, 4, 5, 6, 6, 6, 6}, 6, 5, 8},
      {{1, 2, 3, 4, 5, 6, 7}, 4, 3, 3},
      {{0, 1, 5, 5, 5, 5, 5, 5, 5, 5, 5, 9}, 5, 2, 10},  // crosses block borders
      {{5, 5}, 5, 0, 1},
  };
  for (uint32_t blockSize : {1u, 3u, 5u}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "block " << blockSize << " key " << c.key);
      Array a;
      a.m_nBlockSize = blockSize;
      for (uint32_t i = 0; i < c.keys.size(); ++i) ASSERT_GE(a.Add(Rec(c.keys[i], i)), 0);
      const uint32_t n = a.GetCount();
      EXPECT_EQ(c.first, a.Find(Rec(c.key), 0, n, CompareKey, nullptr, FIND_FIRST, nullptr));
      EXPECT_EQ(c.last, a.Find(Rec(c.key), 0, n, CompareKey, nullptr, FIND_LAST, nullptr));
      const int any = a.Find(Rec(c.key), 0, n, CompareKey, nullptr, FIND_ANY, nullptr);
      EXPECT_GE(any, c.first);
      EXPECT_LE(any, c.last);
    }
  }
}

TEST(SArrayTest, InsertSortedPlacesDuplicatesBeforeOrAfterTheRun) {
  const std::vector<uint32_t> keys = {1, 3, 3, 3, 5, 7};
  struct Case {
    int mode;
    int expected;  // where a further 3 goes
  };
  for (const Case& c : {Case{FIND_FIRST, 1}, Case{FIND_LAST, 4}}) {
    SCOPED_TRACE(c.mode);
    Array a;
    for (uint32_t i = 0; i < keys.size(); ++i) ASSERT_GE(a.Add(Rec(keys[i], i)), 0);
    EXPECT_EQ(c.expected, a.InsertSorted(Rec(3, 100), true, CompareKey, nullptr, c.mode));
    EXPECT_EQ(Rec(3, 100), *a.GetAt(c.expected));
    EXPECT_EQ(std::vector<uint32_t>({1, 3, 3, 3, 3, 5, 7}), Keys(a));
    EXPECT_TRUE(ChainIsSound(a));
  }
}

TEST(SArrayTest, InsertSortedRefusesADuplicateWhenAskedTo) {
  Array a;
  for (uint32_t k : {1u, 3u, 5u})
    ASSERT_GE(a.InsertSorted(Rec(k), false, CompareKey, nullptr, FIND_ANY), 0);
  for (int mode : {FIND_ANY, FIND_FIRST, FIND_LAST}) {
    EXPECT_EQ(-1, a.InsertSorted(Rec(3, 9), false, CompareKey, nullptr, mode));
  }
  EXPECT_EQ(std::vector<uint32_t>({1, 3, 5}), Keys(a));
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, InsertSortedKeepsOrder) {
  Array a;
  a.m_nBlockSize = 3;
  const uint32_t keys[] = {50, 10, 90, 30, 70, 20, 80, 0, 100, 60, 40};
  for (uint32_t k : keys) {
    const int r = a.InsertSorted(Rec(k), false, CompareKey, nullptr, FIND_ANY);
    ASSERT_GE(r, 0);
    EXPECT_EQ(k, a.GetAt(uint32_t(r))->nKey);
    ASSERT_TRUE(ChainIsSound(a));
  }
  EXPECT_EQ(std::vector<uint32_t>({0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}), Keys(a));
}

TEST(SArrayTest, NullComparatorComparesWholeRecordsAsUnsignedBytes) {
  struct tagBYTES {
    unsigned char by[3];
  };
  CSArray<tagBYTES> a;
  const tagBYTES items[] = {
      {{0x80, 0, 0}}, {{0x7F, 0xFF, 0xFF}}, {{0x00, 0x01, 0x00}}, {{0x7F, 0xFF, 0xFE}}};
  for (const tagBYTES& r : items)
    ASSERT_GE(a.InsertSorted(r, false, nullptr, nullptr, FIND_ANY), 0);
  ASSERT_EQ(4u, a.GetCount());
  EXPECT_EQ(0x00, a.GetAt(0)->by[0]);
  EXPECT_EQ(0xFE, a.GetAt(1)->by[2]);
  EXPECT_EQ(0xFF, a.GetAt(2)->by[2]);
  EXPECT_EQ(0x80, a.GetAt(3)->by[0]);
  EXPECT_EQ(-1, a.InsertSorted(items[1], false, nullptr, nullptr, FIND_ANY));
  EXPECT_EQ(2, a.Find(items[1], 0, 4, nullptr, nullptr, FIND_ANY, nullptr));
}

TEST(SArrayTest, CompactionPacksEveryBlockButTheLast) {
  Array a;
  a.m_nBlockSize = 500;
  BuildChain(a, {500, 250, 500, 100});
  ASSERT_TRUE(ChainIsSound(a));
  a.GetAt(1200);  // move the cursor away from the front
  a.Compact();
  EXPECT_EQ(Counts({500, 500, 350}), BlockCounts(a));
  EXPECT_EQ(1350u, a.GetCount());
  EXPECT_EQ(Range(1350), Keys(a));
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, CompactionOfVariousChains) {
  struct Case {
    Counts before, after;
  };
  const Case cases[] = {
      {{1, 1, 1, 1, 1}, {5}}, {{5, 5, 1}, {5, 5, 1}},       {{2, 5, 5}, {5, 5, 2}},
      {{3, 1, 4, 2}, {5, 5}}, {{5, 2, 2, 5, 1}, {5, 5, 5}}, {{1, 5}, {5, 1}},
  };
  for (const Case& c : cases) {
    Array a;
    BuildChain(a, c.before);
    uint32_t n = a.GetCount();
    a.Compact();
    EXPECT_EQ(c.after, BlockCounts(a));
    EXPECT_EQ(Range(n), Keys(a));
    EXPECT_TRUE(ChainIsSound(a));
  }
}

TEST(SArrayTest, SingleBlockOrEmptyArrayIsNeverCompacted) {
  Array empty;
  empty.Compact();
  EXPECT_TRUE(ChainIsSound(empty));

  Array a;
  a.m_byWastePercent = 0;
  AppendKeys(a, 0, 1);
  EXPECT_FALSE(a.NeedCompact());
  tagSABLOCK<tagTESTREC>* block = a.m_pFirst;
  a.Compact();
  EXPECT_EQ(block, a.m_pFirst);
  EXPECT_EQ(Counts({1}), BlockCounts(a));
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, NeedCompactWhenTheSpareBeyondABlockExceedsTheWastePercent) {
  struct Case {
    uint32_t count, free, blockSize;
    uint8_t waste;
    bool expected;
  };
  const Case cases[] = {
      {100, 4, 5, 10, false},   // less than a block spare
      {100, 5, 5, 10, false},   // exactly a block: nothing beyond it
      {100, 15, 5, 10, false},  // 10 beyond a block, 10% of 100: not more
      {100, 16, 5, 10, true},
      {0, 5, 5, 0, false},
      {0, 6, 5, 0, true},
      {500000000u, 10000500u, 500, 10, false},  // 10 x count needs more than 32 bits
  };
  for (const Case& c : cases) {
    Array a;
    a.m_nCount = c.count;
    a.m_nFree = c.free;
    a.m_nBlockSize = c.blockSize;
    a.m_byWastePercent = c.waste;
    EXPECT_EQ(c.expected, a.NeedCompact()) << c.count << " " << c.free;
  }
}

TEST(SArrayTest, MiddleInsertionCompactsWhenTooMuchIsSpare) {
  Array a;
  AppendKeys(a, 0, 10);  // 5/5
  ASSERT_EQ(0, a.InsertAt(0, Rec(100)));
  EXPECT_EQ(Counts({1, 5, 5}), BlockCounts(a));  // a block's worth spare is tolerated
  // Splitting the second block leaves 8 spare slots for 12 records.
  ASSERT_EQ(2, a.InsertAt(2, Rec(101)));
  EXPECT_EQ(Counts({5, 5, 2}), BlockCounts(a));
  EXPECT_EQ(std::vector<uint32_t>({100, 0, 101, 1, 2, 3, 4, 5, 6, 7, 8, 9}), Keys(a));
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, FreeBlocksLeavesAReusableEmptyArray) {
  Array a;
  a.m_nBlockSize = 3;
  AppendKeys(a, 0, 10);
  a.FreeBlocks();
  EXPECT_EQ(0u, a.GetCount());
  EXPECT_TRUE(ChainIsSound(a));
  EXPECT_EQ(3u, a.m_nBlockSize);  // the owner's settings stay
  a.FreeBlocks();                 // a second call is harmless
  EXPECT_EQ(0, a.Add(Rec(5)));
  EXPECT_EQ(Counts({1}), BlockCounts(a));
  EXPECT_TRUE(ChainIsSound(a));
}

TEST(SArrayTest, ZeroBlockSizeRefusesEveryInsertion) {
  Array a;
  a.m_nBlockSize = 0;
  EXPECT_EQ(-1, a.Add(Rec(1)));
  EXPECT_EQ(-1, a.InsertAt(0, Rec(1)));
  EXPECT_EQ(-1, a.InsertSorted(Rec(1), true, CompareKey, nullptr, FIND_ANY));
  EXPECT_TRUE(ChainIsSound(a));
}

class SArrayAllocationTest : public ::testing::Test {
 protected:
  void TearDown() override { tagFAILREC::s_nAllocationsLeft = -1; }

  static std::vector<uint32_t> Values(const CSArray<tagFAILREC>& a) {
    std::vector<uint32_t> v;
    for (const tagFAILREC& r : ChainRecords(a)) v.push_back(r.nValue);
    return v;
  }
};

TEST_F(SArrayAllocationTest, FailedFirstBlockChangesNothing) {
  CSArray<tagFAILREC> a;
  tagFAILREC::s_nAllocationsLeft = 0;
  EXPECT_EQ(-1, a.Add(tagFAILREC{1}));
  EXPECT_EQ(-1, a.InsertAt(0, tagFAILREC{1}));
  EXPECT_EQ(-1, a.InsertSorted(tagFAILREC{1}, false, nullptr, nullptr, FIND_ANY));
  EXPECT_TRUE(ChainIsSound(a));
  tagFAILREC::s_nAllocationsLeft = -1;
  EXPECT_EQ(0, a.Add(tagFAILREC{1}));
}

TEST_F(SArrayAllocationTest, FailedAppendBlockChangesNothing) {
  CSArray<tagFAILREC> a;
  a.m_nBlockSize = 5;  // the records below fill one block
  for (uint32_t i = 0; i < 5; ++i) ASSERT_GE(a.Add(tagFAILREC{i}), 0);
  a.GetAt(0);
  tagFAILREC::s_nAllocationsLeft = 0;
  EXPECT_EQ(-1, a.Add(tagFAILREC{9}));
  EXPECT_EQ(-1, a.InsertAt(5, tagFAILREC{9}));
  EXPECT_EQ(5u, a.GetCount());
  EXPECT_EQ(Counts({5}), BlockCounts(a));
  EXPECT_EQ(std::vector<uint32_t>({0, 1, 2, 3, 4}), Values(a));
  EXPECT_TRUE(ChainIsSound(a));
}

TEST_F(SArrayAllocationTest, FailedSplitChangesNothing) {
  CSArray<tagFAILREC> a;
  a.m_nBlockSize = 5;  // the records below fill one block
  for (uint32_t i = 0; i < 10; i += 2) ASSERT_GE(a.Add(tagFAILREC{i}), 0);
  tagFAILREC::s_nAllocationsLeft = 0;
  EXPECT_EQ(-1, a.InsertAt(2, tagFAILREC{3}));
  EXPECT_EQ(-1, a.InsertSorted(tagFAILREC{3}, false, nullptr, nullptr, FIND_ANY));
  EXPECT_EQ(std::vector<uint32_t>({0, 2, 4, 6, 8}), Values(a));
  EXPECT_EQ(Counts({5}), BlockCounts(a));
  EXPECT_TRUE(ChainIsSound(a));
  // The split takes the one allocation left; a block with room needs none.
  tagFAILREC::s_nAllocationsLeft = 1;
  EXPECT_EQ(2, a.InsertAt(2, tagFAILREC{3}));
  EXPECT_EQ(0, a.InsertAt(0, tagFAILREC{1}));
  EXPECT_EQ(std::vector<uint32_t>({1, 0, 2, 3, 4, 6, 8}), Values(a));
  EXPECT_TRUE(ChainIsSound(a));
}

}  // namespace
