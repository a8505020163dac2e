// What a phrase store must hold, kept beside it by the harnesses: the records
// it held when the model was taken, in order, and the texts added since, with
// the group counts. Adding runs as AddPhrase documents it: a text already
// there stays as it was.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Tabrix.h"

#include "FuzzSupport.h"

class CStoreModel {
 public:
  // An empty store over n groups.
  explicit CStoreModel(uint32_t nGroups) : m_counts(nGroups, 0) {}

  // The store as it stands; its records are taken to be in order (the
  // harnesses check that on their own).
  explicit CStoreModel(CTabrix& lib) : m_counts(lib.GetGroupCount(), 0) {
    const uint32_t n = lib.m_arrPhrase.GetCount();
    m_before.reserve(n);
    for (uint32_t i = 0; i < n; ++i) {
      const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
      m_before.push_back(*p);
      if (p->byGroup < m_counts.size()) ++m_counts[p->byGroup];
    }
  }

  // A new group, empty.
  void AddGroup() { m_counts.push_back(0); }
  // The last group goes again: one that received nothing.
  void RemoveLastGroup() {
    Check(!m_counts.empty() && m_counts.back() == 0, "the group to remove is not empty");
    m_counts.pop_back();
  }

  size_t Count() const { return m_before.size() + m_added.size(); }
  uint32_t Groups() const { return static_cast<uint32_t>(m_counts.size()); }
  uint64_t GroupCount(uint32_t g) const { return m_counts[g]; }

  bool Has(const std::string& text) const {
    size_t lo = 0;
    size_t hi = m_before.size();
    while (lo < hi) {
      const size_t mid = lo + (hi - lo) / 2;
      const int d = CompareText(text, m_before[mid]);
      if (d == 0) return true;
      if (d < 0) {
        hi = mid;
      } else {
        lo = mid + 1;
      }
    }
    return m_added.count(text) != 0;
  }

  // True when added; false for a text already held.
  bool Add(const std::string& text, uint8_t group, uint8_t freq) {
    if (Has(text)) return false;
    m_added.emplace(text, std::make_pair(group, freq));
    ++m_counts[group];
    return true;
  }

  // The store record for record and the group counts. The model is in
  // order, so this also finds a store out of order, repeating a text or with
  // a text not padded.
  void CheckAgainst(CTabrix& lib) const {
    Check(lib.m_arrPhrase.GetCount() == Count(), "store holds a different number of phrases");
    Check(lib.GetGroupCount() == m_counts.size(), "store has a different number of groups");
    for (uint32_t g = 0; g < lib.GetGroupCount(); ++g)
      Check(lib.GetGroup(g)->dwCount == m_counts[g], "group count differs from the model");
    size_t j = 0;
    auto it = m_added.begin();
    for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
      const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
      if (it == m_added.end() || (j < m_before.size() && CompareText(it->first, m_before[j]) > 0)) {
        // Records held before went in whole: compared byte for byte.
        Check(memcmp(p, &m_before[j++], sizeof(tagPHRASE2)) == 0, "a stored record changed");
      } else {
        Check(CompareText(it->first, *p) == 0, "store holds another text");
        Check(AllZero(p->szWord + p->cLen, sizeof(p->szWord) - p->cLen), "text not padded");
        Check(p->byGroup == it->second.first, "a text kept another record's group");
        Check(p->byFreq == it->second.second, "a text kept another record's frequency");
        ++it;
      }
    }
  }

 private:
  // The store's order: unsigned bytes, a prefix first.
  static int CompareText(const std::string& text, const tagPHRASE2& p) {
    const size_t n = text.size() < p.cLen ? text.size() : p.cLen;
    const int d = memcmp(text.data(), p.szWord, n);
    if (d != 0) return d;
    return text.size() < p.cLen ? -1 : (text.size() > p.cLen ? 1 : 0);
  }

  std::vector<tagPHRASE2> m_before;
  std::map<std::string, std::pair<uint8_t, uint8_t>> m_added;
  std::vector<uint64_t> m_counts;
};
