// Frequencies for a dictionary's entries from weights on its own scale
// (counts, weights, negated ranks): by rank within the file, so that the
// order of the weights survives whatever their scale.
#pragma once

#include <cstdint>
#include <vector>

#include "DictContent.h"

// An entry's frequency is 250 x (entries with a smaller weight) / (entries
// with a weight - 1), rounded down: the lightest get 0, a single heaviest
// 250, equal weights equal frequencies, and a heavier entry never gets less
// than a lighter one; a lone weighted entry gets 250. Entries without a
// weight get 0, as a phrase line without a frequency does.
std::vector<uint8_t> FrequenciesByRank(const std::vector<tagDICTENTRY>& entries);
// The same for weights kept apart from their texts: weights[i] counts only
// where bHas[i] is set.
std::vector<uint8_t> FrequenciesByRank(const std::vector<int64_t>& weights,
                                       const std::vector<bool>& bHas);
