#include "WeightScale.h"

#include <algorithm>
#include <utility>

namespace {

// Weights spread over at most this many values per entry (and at least this
// many in all) are ranked by counting: one pass and an array of counts, where
// sorting ten million weights with their entries takes seconds.
constexpr uint64_t kCountingSpan = 4;
constexpr uint64_t kCountingMin = uint64_t(1) << 16;

uint8_t RankFrequency(uint64_t nLighter, uint64_t n) {
  return static_cast<uint8_t>(250 * nLighter / (n - 1));
}

// The entries in order of weight, sorted once: each run of equal weights then
// has as many lighter entries as come before it.
void RankBySorting(const std::vector<tagDICTENTRY>& entries, uint64_t n,
                   std::vector<uint8_t>* pOut) {
  std::vector<std::pair<int64_t, uint32_t>> byWeight;
  byWeight.reserve(n);
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].bHasWeight) byWeight.emplace_back(entries[i].nWeight, static_cast<uint32_t>(i));
  std::sort(byWeight.begin(), byWeight.end());
  for (size_t run = 0; run < byWeight.size();) {
    size_t end = run;
    while (end < byWeight.size() && byWeight[end].first == byWeight[run].first) ++end;
    const uint8_t freq = RankFrequency(run, n);
    for (size_t k = run; k < end; ++k) (*pOut)[byWeight[k].second] = freq;
    run = end;
  }
}

// The same ranks from a count of each weight between lo and hi.
void RankByCounting(const std::vector<tagDICTENTRY>& entries, uint64_t n, int64_t lo, uint64_t span,
                    std::vector<uint8_t>* pOut) {
  std::vector<uint32_t> lighter(span + 1, 0);
  for (const tagDICTENTRY& e : entries)
    if (e.bHasWeight) ++lighter[uint64_t(e.nWeight) - uint64_t(lo) + 1];
  // lighter[k]: the entries whose weight lies below lo + k.
  for (uint64_t k = 1; k <= span; ++k) lighter[k] += lighter[k - 1];
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].bHasWeight)
      (*pOut)[i] = RankFrequency(lighter[uint64_t(entries[i].nWeight) - uint64_t(lo)], n);
}

}  // namespace

std::vector<uint8_t> FrequenciesByRank(const std::vector<tagDICTENTRY>& entries) {
  std::vector<uint8_t> out(entries.size(), 0);
  uint64_t n = 0;
  int64_t lo = 0, hi = 0;
  size_t nLone = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].bHasWeight) continue;
    const int64_t w = entries[i].nWeight;
    if (n == 0 || w < lo) lo = w;
    if (n == 0 || w > hi) hi = w;
    nLone = i;
    ++n;
  }
  if (n == 1) out[nLone] = 250;
  if (n <= 1) return out;
  // The span as unsigned: hi - lo never overflows there.
  const uint64_t span = uint64_t(hi) - uint64_t(lo) + 1;
  if (span != 0 && span <= std::max(kCountingMin, kCountingSpan * n)) {
    RankByCounting(entries, n, lo, span, &out);
  } else {
    RankBySorting(entries, n, &out);
  }
  return out;
}
