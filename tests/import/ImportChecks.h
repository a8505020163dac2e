// What the import tests read back from a library: one group's phrases, the
// store's invariants, and its saved bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "Tabrix.h"

using PhraseList = std::vector<std::pair<std::string, int>>;  // text, frequency

// The phrases of group g in store order.
inline PhraseList PhrasesOf(CTabrix& lib, uint8_t g) {
  PhraseList out;
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
    if (p->byGroup == g) out.emplace_back(std::string(p->szWord, p->cLen), p->byFreq);
  }
  return out;
}

// Sorted, no equal texts, each record well formed, every count right.
inline void ExpectLibraryInvariants(CTabrix& lib) {
  const uint32_t groups = lib.GetGroupCount();
  std::vector<uint32_t> counts(groups, 0);
  const uint32_t n = lib.m_arrPhrase.GetCount();
  for (uint32_t i = 0; i < n; ++i) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
    ASSERT_LT(p->byGroup, groups);
    ASSERT_LE(p->cLen, TABRIX_MAX_PHRASE_LEN);
    for (uint32_t k = p->cLen; k < sizeof(p->szWord); ++k) ASSERT_EQ(p->szWord[k], '\0');
    for (uint32_t k = 0; k < p->cLen; ++k) ASSERT_NE(p->szWord[k], '\0');
    ++counts[p->byGroup];
    if (i > 0) {
      ASSERT_LT(ComparePhrase(lib.m_arrPhrase.GetAt(i - 1), p, nullptr), 0) << i;
    }
  }
  for (uint32_t g = 0; g < groups; ++g) EXPECT_EQ(lib.GetGroup(g)->dwCount, counts[g]) << g;
  EXPECT_EQ(lib.GetPhraseTotal(), n);
}

// Every byte of a text field after its terminator is zero.
inline void ExpectFieldZeroAfterText(const char* field, size_t width) {
  size_t len = 0;
  while (len < width && field[len] != '\0') ++len;
  ASSERT_LT(len, width) << "no terminator";
  for (size_t k = len; k < width; ++k) EXPECT_EQ(field[k], '\0') << k;
}

// The library saved to path and read back, its stamp zeroed: equal bytes
// mean equal libraries.
inline std::string SavedBytes(CTabrix& lib, const std::string& path) {
  EXPECT_EQ(1, lib.Save(path.c_str()));
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() >= 12) std::memset(&bytes[8], 0, 4);  // the stamp
  return bytes;
}
