// What the phrase store must hold after any run of AddPhrase: the sorted set of
// the first copy of every text, with that copy's group and frequency, and
// each group counting its stored phrases.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "SArrayChecks.h"
#include "Tabrix.h"

class CFirstCopies {
 public:
  explicit CFirstCopies(int nGroups) : m_counts(nGroups, 0) {}

  // AddPhrase on lib (length 255 when bMeasure), checked against the map.
  void Add(CTabrix& lib, const std::string& text, uint8_t group, uint8_t freq, int check,
           bool bMeasure, int step) {
    const int expected = m_model.count(text) ? 0 : 1;
    const uint8_t length = bMeasure ? uint8_t(255) : uint8_t(text.size());
    ASSERT_EQ(expected, lib.AddPhrase(text.c_str(), length, freq, check, group)) << step;
    if (expected) {
      m_model[text] = {group, freq};
      m_counts[group]++;
    }
  }

  void ExpectStoreOf(CTabrix& lib) const {
    ASSERT_EQ(m_model.size(), lib.m_arrPhrase.GetCount());
    ASSERT_TRUE(ChainIsSound(lib.m_arrPhrase));
    uint32_t i = 0;
    for (const auto& entry : m_model) {  // std::string orders by unsigned bytes
      const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i++);
      ASSERT_EQ(entry.first, std::string(p->szWord));
      ASSERT_EQ(entry.first.size(), p->cLen);
      ASSERT_EQ(entry.second.first, p->byGroup);
      ASSERT_EQ(entry.second.second, p->byFreq);
    }
    for (size_t g = 0; g < m_counts.size(); ++g) {
      EXPECT_EQ(m_counts[g], lib.GetGroup(uint32_t(g))->dwCount);
    }
    EXPECT_EQ(m_model.size(), lib.GetPhraseTotal());
  }

 private:
  std::map<std::string, std::pair<uint8_t, uint8_t>> m_model;  // text -> group, freq
  std::vector<uint32_t> m_counts;
};
