#include "WeightScale.h"

#include <algorithm>
#include <utility>

std::vector<uint8_t> FrequenciesByRank(const std::vector<tagDICTENTRY>& entries) {
  // The weighted entries in order of weight, sorted once: each run of equal
  // weights then has as many lighter entries as come before it.
  std::vector<std::pair<int64_t, uint32_t>> byWeight;
  byWeight.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].bHasWeight) byWeight.emplace_back(entries[i].nWeight, static_cast<uint32_t>(i));
  std::sort(byWeight.begin(), byWeight.end());
  std::vector<uint8_t> out(entries.size(), 0);
  const uint64_t n = byWeight.size();
  if (n == 1) out[byWeight[0].second] = 250;
  for (size_t run = 0; n > 1 && run < byWeight.size();) {
    size_t end = run;
    while (end < byWeight.size() && byWeight[end].first == byWeight[run].first) ++end;
    const uint8_t freq = static_cast<uint8_t>(250 * uint64_t(run) / (n - 1));
    for (size_t k = run; k < end; ++k) out[byWeight[k].second] = freq;
    run = end;
  }
  return out;
}
