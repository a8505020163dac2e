#include "StoreWalk.h"

#include <algorithm>
#include <cstring>

std::vector<uint32_t> StorePositions(CTabrix& lib, const std::vector<std::string>& texts) {
  std::vector<uint32_t> positions(texts.size(), kNotStored);
  // Each text as a store record; one too long for a record is in no store,
  // and is left empty, which no stored text is either.
  std::vector<tagPHRASE2> keys(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    std::memset(&keys[i], 0, sizeof keys[i]);
    if (texts[i].size() > TABRIX_MAX_PHRASE_LEN) continue;
    std::memcpy(keys[i].szWord, texts[i].data(), texts[i].size());
    keys[i].cLen = static_cast<uint8_t>(texts[i].size());
  }
  std::vector<size_t> order(texts.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return ComparePhrase(&keys[a], &keys[b], nullptr) < 0; });
  CStoreWalk walk(lib);
  for (size_t i : order) {
    const tagPHRASE2& key = keys[i];
    while (walk.Get() != nullptr && ComparePhrase(walk.Get(), &key, nullptr) < 0) walk.Advance();
    if (key.cLen != 0 && walk.Get() != nullptr && ComparePhrase(walk.Get(), &key, nullptr) == 0) {
      positions[i] = walk.GetPosition();
    }
  }
  return positions;
}
