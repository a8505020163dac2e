#include "WeightScale.h"

#include <algorithm>

std::vector<uint8_t> FrequenciesByRank(const std::vector<tagDICTENTRY>& entries) {
  std::vector<int64_t> weights;
  for (const tagDICTENTRY& e : entries)
    if (e.bHasWeight) weights.push_back(e.nWeight);
  std::sort(weights.begin(), weights.end());
  std::vector<uint8_t> out(entries.size(), 0);
  const uint64_t n = weights.size();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!entries[i].bHasWeight) continue;
    if (n == 1) {
      out[i] = 250;
      continue;
    }
    const uint64_t below = static_cast<uint64_t>(
        std::lower_bound(weights.begin(), weights.end(), entries[i].nWeight) - weights.begin());
    out[i] = static_cast<uint8_t>(250 * below / (n - 1));
  }
  return out;
}
