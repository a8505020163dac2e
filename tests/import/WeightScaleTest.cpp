#include "WeightScale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>

namespace {

std::vector<tagDICTENTRY> Weighted(const std::vector<int64_t>& weights) {
  std::vector<tagDICTENTRY> out;
  for (int64_t w : weights) out.push_back(tagDICTENTRY{"x", w, true});
  return out;
}

TEST(FrequenciesByRank, SpreadsRanksOverTheWholeScale) {
  struct tagCASE {
    std::vector<int64_t> weights;
    std::vector<uint8_t> expected;
  } cases[] = {
      {{5}, {250}},
      {{1, 2}, {0, 250}},
      {{30, 10, 20}, {250, 0, 125}},
      {{-7, 1000000000000, 3, 3}, {0, 250, 83, 83}},  // equal weights, equal frequencies
      {{4, 4, 4}, {0, 0, 0}},
      {{}, {}},
  };
  for (const tagCASE& c : cases) EXPECT_EQ(FrequenciesByRank(Weighted(c.weights)), c.expected);
}

TEST(FrequenciesByRank, KeepsTheOrderOfTheWeights) {
  std::vector<int64_t> weights;
  for (int i = 0; i < 1000; ++i) weights.push_back((i * 7919) % 1009 - 300);
  const std::vector<uint8_t> freqs = FrequenciesByRank(Weighted(weights));
  for (size_t a = 0; a < weights.size(); a += 7)
    for (size_t b = 0; b < weights.size(); b += 11)
      if (weights[a] < weights[b]) {
        EXPECT_LE(freqs[a], freqs[b]);
      }
}

TEST(FrequenciesByRank, EntriesWithoutWeightGetZeroAndDoNotCount) {
  std::vector<tagDICTENTRY> entries = Weighted({10, 20});
  entries.insert(entries.begin() + 1, tagDICTENTRY{"y", 0, false});
  EXPECT_EQ(FrequenciesByRank(entries), (std::vector<uint8_t>{0, 0, 250}));
}

// Every entry's frequency against its rank counted directly, for weights
// packed closely, spread thinly and reaching both ends of the 64-bit range.
TEST(FrequenciesByRank, RanksAnySpreadOfWeights) {
  std::mt19937_64 rng(24);
  const int64_t kMax = std::numeric_limits<int64_t>::max();
  const int64_t kMin = std::numeric_limits<int64_t>::min();
  for (int nCase = 0; nCase < 4; ++nCase) {
    std::vector<int64_t> weights;
    for (int i = 0; i < 3000; ++i) {
      const int64_t r = static_cast<int64_t>(rng() % 2000);
      weights.push_back(nCase == 0   ? r
                        : nCase == 1 ? r * 1000003
                        : nCase == 2 ? r - 1000
                                     : kMin + r);
    }
    if (nCase == 3) weights.push_back(kMax);
    std::vector<int64_t> sorted = weights;
    std::sort(sorted.begin(), sorted.end());
    const std::vector<uint8_t> freqs = FrequenciesByRank(Weighted(weights));
    ASSERT_EQ(freqs.size(), weights.size());
    for (size_t i = 0; i < weights.size(); ++i) {
      const uint64_t nLighter =
          std::lower_bound(sorted.begin(), sorted.end(), weights[i]) - sorted.begin();
      EXPECT_EQ(freqs[i], 250 * nLighter / (weights.size() - 1))
          << "case " << nCase << ", entry " << i;
    }
  }
}

}  // namespace
