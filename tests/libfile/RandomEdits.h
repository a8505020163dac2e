// Random texts for the tests that edit a library at random: short GBK and
// ASCII texts that often repeat, and lists of stored texts mixed with others.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "LibfileTestSupport.h"

namespace tabrix_test {

inline std::string RandomText(std::mt19937& rng) {
  const char* const pieces[] = {"a", "b", "\xB0\xA1", "\xA1\xB0", "\xD5\x5C"};
  std::string t;
  for (int i = 0, n = 1 + int(rng() % 6); i < n; ++i) t += pieces[rng() % 5];
  return t;
}

// Up to maxCount texts, most of them stored in lib, some not.
inline std::vector<std::string> SomeTexts(std::mt19937& rng, CTabrix& lib, unsigned maxCount) {
  std::vector<std::string> out;
  for (int i = 0, n = int(rng() % maxCount); i < n; ++i) {
    const uint32_t count = lib.m_arrPhrase.GetCount();
    if (count > 0 && rng() % 4 != 0) {
      out.push_back(PhraseText(*lib.m_arrPhrase.GetAt(uint32_t(rng() % count))));
    } else {
      out.push_back(RandomText(rng));
    }
  }
  return out;
}

}  // namespace tabrix_test
