// Phrase records made from texts, and a run of them for CTabrix::MergeRun,
// for the tests that add phrases in bulk.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "PhraseRun.h"
#include "Tabrix.h"

namespace tabrix_test {

inline tagPHRASE2 MakePhrase(const std::string& text, uint8_t group, uint8_t freq) {
  tagPHRASE2 p;
  std::memset(&p, 0, sizeof(p));
  std::memcpy(p.szWord, text.data(), std::min(text.size(), sizeof p.szWord - 1));
  p.cLen = uint8_t(std::min(text.size(), sizeof p.szWord - 1));
  p.byGroup = group;
  p.byFreq = freq;
  return p;
}

// The records in the order given; SortedByText puts them in the store's order
// first, repeats kept next to each other in their order.
class CVectorRun : public CPhraseRun {
 public:
  explicit CVectorRun(std::vector<tagPHRASE2> items) : m_items(std::move(items)) {}
  static CVectorRun SortedByText(std::vector<tagPHRASE2> items) {
    std::stable_sort(items.begin(), items.end(), [](const tagPHRASE2& a, const tagPHRASE2& b) {
      return ComparePhrase(&a, &b, nullptr) < 0;
    });
    return CVectorRun(std::move(items));
  }
  bool Next(tagPHRASE2* pOut) override {
    if (m_nNext == m_items.size()) return false;
    *pOut = m_items[m_nNext++];
    return true;
  }

 private:
  std::vector<tagPHRASE2> m_items;
  size_t m_nNext = 0;
};

}  // namespace tabrix_test
