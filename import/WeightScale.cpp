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
template <class Entries>
void RankBySorting(const Entries& entries, uint64_t n, std::vector<uint8_t>* pOut) {
  std::vector<std::pair<int64_t, uint32_t>> byWeight;
  byWeight.reserve(n);
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries.Has(i)) byWeight.emplace_back(entries.Weight(i), static_cast<uint32_t>(i));
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
template <class Entries>
void RankByCounting(const Entries& entries, uint64_t n, int64_t lo, uint64_t span,
                    std::vector<uint8_t>* pOut) {
  std::vector<uint32_t> lighter(span + 1, 0);
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries.Has(i)) ++lighter[uint64_t(entries.Weight(i)) - uint64_t(lo) + 1];
  // lighter[k]: the entries whose weight lies below lo + k.
  for (uint64_t k = 1; k <= span; ++k) lighter[k] += lighter[k - 1];
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries.Has(i))
      (*pOut)[i] = RankFrequency(lighter[uint64_t(entries.Weight(i)) - uint64_t(lo)], n);
}

template <class Entries>
std::vector<uint8_t> Rank(const Entries& entries) {
  std::vector<uint8_t> out(entries.size(), 0);
  uint64_t n = 0;
  int64_t lo = 0, hi = 0;
  size_t nLone = 0;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!entries.Has(i)) continue;
    const int64_t w = entries.Weight(i);
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

// The two ways weights arrive, seen alike.
struct tagENTRYWEIGHTS {
  const std::vector<tagDICTENTRY>& entries;
  size_t size() const { return entries.size(); }
  bool Has(size_t i) const { return entries[i].bHasWeight; }
  int64_t Weight(size_t i) const { return entries[i].nWeight; }
};

struct tagAPARTWEIGHTS {
  const std::vector<int64_t>& weights;
  const std::vector<bool>& bHas;
  size_t size() const { return weights.size(); }
  bool Has(size_t i) const { return bHas[i]; }
  int64_t Weight(size_t i) const { return weights[i]; }
};

}  // namespace

std::vector<uint8_t> FrequenciesByRank(const std::vector<tagDICTENTRY>& entries) {
  return Rank(tagENTRYWEIGHTS{entries});
}

std::vector<uint8_t> FrequenciesByRank(const std::vector<int64_t>& weights,
                                       const std::vector<bool>& bHas) {
  return Rank(tagAPARTWEIGHTS{weights, bHas});
}
