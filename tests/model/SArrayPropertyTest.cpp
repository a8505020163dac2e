// Random operation sequences against a std::vector model, with small blocks so
// that splits and compactions happen all the time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "SArray.h"
#include "SArrayChecks.h"

namespace {

struct PropertyCase {
  uint32_t blockSize;
  uint8_t wastePercent;
  uint32_t seed;
};

std::ostream& operator<<(std::ostream& os, const PropertyCase& c) {
  return os << "block " << c.blockSize << " waste " << int(c.wastePercent) << " seed " << c.seed;
}

class SArrayPropertyTest : public ::testing::TestWithParam<PropertyCase> {
 protected:
  void SetUp() override {
    m_arr.m_nBlockSize = GetParam().blockSize;
    m_arr.m_byWastePercent = GetParam().wastePercent;
    m_rng.seed(GetParam().seed);
  }

  uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(m_rng); }

  void ExpectSameAsModel() {
    ASSERT_TRUE(ChainIsSound(m_arr));
    ASSERT_EQ(m_model, ChainRecords(m_arr));
  }

  CSArray<tagTESTREC> m_arr;
  std::vector<tagTESTREC> m_model;
  std::mt19937 m_rng;
};

TEST_P(SArrayPropertyTest, AddInsertAtAndGetAtMatchAVector) {
  const int kSteps = 4000;
  for (int step = 0; step < kSteps; ++step) {
    const tagTESTREC rec = Rec(Below(1000), uint32_t(step));
    const uint32_t n = uint32_t(m_model.size());
    const uint32_t op = Below(100);
    if (op < 15) {
      ASSERT_EQ(int(n), m_arr.Add(rec));
      m_model.push_back(rec);
    } else if (op < 70) {
      const uint32_t index = Below(n + 1);
      ASSERT_EQ(int(index), m_arr.InsertAt(index, rec));
      m_model.insert(m_model.begin() + index, rec);
    } else if (op < 98) {
      if (n == 0) continue;
      const uint32_t index = Below(n);
      const tagTESTREC* got = m_arr.GetAt(index);
      ASSERT_NE(nullptr, got);
      ASSERT_EQ(m_model[index], *got) << "step " << step << " index " << index;
    } else {
      m_arr.Compact();
    }
    ASSERT_TRUE(ChainIsSound(m_arr)) << "step " << step;
    if (step % 64 == 0) ExpectSameAsModel();
  }
  ExpectSameAsModel();
  // Reading everything back through GetAt, in order and in reverse.
  for (uint32_t i = 0; i < m_model.size(); ++i) ASSERT_EQ(m_model[i], *m_arr.GetAt(i));
  for (uint32_t i = uint32_t(m_model.size()); i-- > 0;) ASSERT_EQ(m_model[i], *m_arr.GetAt(i));
}

TEST_P(SArrayPropertyTest, InsertSortedAndFindMatchAVector) {
  const int kSteps = 3000;
  const uint32_t kKeys = 40;  // few keys: many duplicates and long runs
  auto byKey = [](const tagTESTREC& a, const tagTESTREC& b) { return a.nKey < b.nKey; };
  for (int step = 0; step < kSteps; ++step) {
    const tagTESTREC rec = Rec(Below(kKeys), uint32_t(step));
    const int mode = int(Below(3));
    const bool allowDuplicate = Below(4) != 0;
    const auto lower = std::lower_bound(m_model.begin(), m_model.end(), rec, byKey);
    const auto upper = std::upper_bound(m_model.begin(), m_model.end(), rec, byKey);
    const uint32_t lo = uint32_t(lower - m_model.begin());
    const uint32_t hi = uint32_t(upper - m_model.begin());

    const int r = m_arr.InsertSorted(rec, allowDuplicate, CompareKey, nullptr, mode);
    if (lo != hi && !allowDuplicate) {
      ASSERT_EQ(-1, r);
    } else {
      ASSERT_GE(r, 0);
      const uint32_t at = uint32_t(r);
      if (lo == hi || mode == FIND_FIRST) {
        ASSERT_EQ(lo, at);
      } else if (mode == FIND_LAST) {
        ASSERT_EQ(hi, at);
      } else {
        ASSERT_GE(at, lo);
        ASSERT_LT(at, hi);  // inside the run, before a record it matched
      }
      m_model.insert(m_model.begin() + at, rec);
    }
    ASSERT_TRUE(ChainIsSound(m_arr)) << "step " << step;

    // A search over a random sub-range.
    if (m_model.empty()) continue;
    const uint32_t n = uint32_t(m_model.size());
    uint32_t from = Below(n + 1), to = Below(n + 1);
    if (from > to) std::swap(from, to);
    const tagTESTREC key = Rec(Below(kKeys + 2));
    const auto first = m_model.begin() + from, last = m_model.begin() + to;
    const uint32_t rangeLo = uint32_t(std::lower_bound(first, last, key, byKey) - m_model.begin());
    const uint32_t rangeHi = uint32_t(std::upper_bound(first, last, key, byKey) - m_model.begin());
    const int findMode = int(Below(3));
    uint32_t pos = UINT32_MAX;
    const int found = m_arr.Find(key, from, to, CompareKey, nullptr, findMode, &pos);
    if (rangeLo == rangeHi) {
      ASSERT_EQ(-1, found);
      ASSERT_EQ(rangeLo, pos);
    } else if (findMode == FIND_FIRST) {
      ASSERT_EQ(int(rangeLo), found);
    } else if (findMode == FIND_LAST) {
      ASSERT_EQ(int(rangeHi) - 1, found);
    } else {
      ASSERT_GE(found, int(rangeLo));
      ASSERT_LT(found, int(rangeHi));
    }
  }
  ExpectSameAsModel();
}

std::vector<PropertyCase> Cases() {
  std::vector<PropertyCase> cases;
  uint32_t seed = 1;
  for (uint32_t blockSize : {1u, 2u, 3u, 5u, 7u, 500u}) {
    for (uint8_t waste : {uint8_t(0), uint8_t(10), uint8_t(50)}) {
      cases.push_back({blockSize, waste, seed++});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, SArrayPropertyTest, ::testing::ValuesIn(Cases()));

}  // namespace
