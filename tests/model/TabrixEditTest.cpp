// Phrase-level edits: removal by positions and texts, group removal,
// frequencies, moves, exact and substring search; and a long random sequence
// of edits checked against a plain map after every step.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "Tabrix.h"

namespace {

struct tagMODELPHRASE {
  uint32_t nGroup;
  uint32_t nFreq;
  bool operator==(const tagMODELPHRASE& o) const { return nGroup == o.nGroup && nFreq == o.nFreq; }
};
typedef std::map<std::string, tagMODELPHRASE> Model;

// A library of groups "g0".."g<n-1>" and the given phrases (text, group, freq).
void Build(CTabrix& lib, uint32_t nGroups,
           const std::vector<std::pair<std::string, uint32_t>>& phrases) {
  for (uint32_t g = 0; g < nGroups; ++g) {
    ASSERT_EQ(g, lib.AddGroup(("g" + std::to_string(g)).c_str(), "", ""));
    lib.GetGroup(g)->bEnable = int32_t(g % 2);
  }
  uint32_t i = 0;
  for (const auto& p : phrases) {
    const uint8_t freq = uint8_t(1 + i++ % 250);  // varied, so a record mix-up shows
    ASSERT_EQ(1, lib.AddPhrase(p.first.c_str(), 255, freq, 1, uint8_t(p.second)));
  }
}

Model ModelOf(CTabrix& lib) {
  Model m;
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
    m[std::string(p->szWord, p->cLen)] = {p->byGroup, p->byFreq};
  }
  return m;
}

// The store sorted and unique, every record well formed, each group's count
// equal to its phrases.
void ExpectConsistent(CTabrix& lib) {
  std::vector<uint32_t> counts(lib.GetGroupCount(), 0);
  const uint32_t n = lib.m_arrPhrase.GetCount();
  uint32_t nWalked = 0;
  for (auto* b = lib.m_arrPhrase.m_pFirst; b != nullptr; b = b->pNext) {
    ASSERT_GT(b->nCount, 0u);
    nWalked += b->nCount;
  }
  ASSERT_EQ(n, nWalked);
  for (uint32_t i = 0; i < n; ++i) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
    ASSERT_LT(p->byGroup, lib.GetGroupCount());
    ASSERT_LE(p->byFreq, 250);
    ASSERT_EQ(p->cLen, std::strlen(p->szWord));
    counts[p->byGroup]++;
    if (i > 0) {
      ASSERT_LT(ComparePhrase(lib.m_arrPhrase.GetAt(i - 1), p, nullptr), 0);
    }
  }
  for (uint32_t g = 0; g < lib.GetGroupCount(); ++g) EXPECT_EQ(counts[g], lib.GetGroup(g)->dwCount);
  EXPECT_EQ(n, lib.GetPhraseTotal());
}

// Positions of the needle's hits; the returned count must agree with them.
std::vector<uint32_t> Hits(CTabrix& lib, const char* needle, uint32_t group) {
  std::vector<uint32_t> out;
  const uint32_t n = lib.FindSubstring(
      needle, group,
      [](uint32_t pos, const tagPHRASE2*, void* data) {
        static_cast<std::vector<uint32_t>*>(data)->push_back(pos);
      },
      &out);
  EXPECT_EQ(n, out.size());
  return out;
}

// The same search done the slow way on the model: std::string::find at each
// character start.
std::vector<uint32_t> ModelHits(const Model& m, const std::string& needle, uint32_t group) {
  std::vector<uint32_t> out;
  uint32_t pos = 0;
  for (const auto& e : m) {
    const std::string& t = e.first;
    bool bHit = false;
    std::vector<size_t> starts;
    for (size_t i = 0; i < t.size(); i += (uint8_t(t[i]) >= 0x80 && i + 1 < t.size()) ? 2 : 1)
      starts.push_back(i);
    starts.push_back(t.size());
    for (size_t s : starts) bHit = bHit || t.compare(s, needle.size(), needle) == 0;
    if (bHit && (group == TABRIX_NO_GROUP || e.second.nGroup == group)) out.push_back(pos);
    ++pos;
  }
  return out;
}

const std::vector<std::pair<std::string, uint32_t>> kSmall = {
    {"apple", 0}, {"banana", 1}, {"cherry", 2}, {"date", 0},
    {"elder", 1}, {"fig", 2},    {"grape", 0}};

}  // namespace

TEST(TabrixEdit, RemoveAtKeepsOrderAndCounts) {
  struct tagCASE {
    std::vector<uint32_t> arrPos;
    std::vector<std::string> arrGone;
  };
  const tagCASE cases[] = {
      {{}, {}},
      {{0}, {"apple"}},
      {{6}, {"grape"}},
      {{5, 1, 3}, {"banana", "date", "fig"}},
      {{2, 2, 2}, {"cherry"}},
      {{0, 1, 2, 3, 4, 5, 6}, {"apple", "banana", "cherry", "date", "elder", "fig", "grape"}},
  };
  for (const tagCASE& c : cases) {
    CTabrix lib;
    Build(lib, 3, kSmall);
    Model expected = ModelOf(lib);
    for (const std::string& t : c.arrGone) expected.erase(t);
    ASSERT_EQ(1, lib.RemovePhrasesAt(c.arrPos.data(), uint32_t(c.arrPos.size())));
    EXPECT_EQ(expected, ModelOf(lib));
    ExpectConsistent(lib);
  }
}

TEST(TabrixEdit, RemoveRefusesOutOfRangeWithNothingChanged) {
  CTabrix lib;
  Build(lib, 3, kSmall);
  const Model before = ModelOf(lib);
  const uint32_t pos[] = {0, 7};
  EXPECT_EQ(0, lib.RemovePhrasesAt(pos, 2));
  EXPECT_EQ(0, lib.RemovePhrasesAt(nullptr, 1));
  EXPECT_EQ(before, ModelOf(lib));
  ExpectConsistent(lib);
}

TEST(TabrixEdit, RemoveByTextCountsMissing) {
  CTabrix lib;
  Build(lib, 3, kSmall);
  const char* texts[] = {"fig", "kiwi", "apple", "fig", "", "appl"};
  uint32_t nMissing = 99;
  ASSERT_EQ(1, lib.RemovePhrasesByText(texts, 6, &nMissing));
  EXPECT_EQ(3u, nMissing);  // kiwi, "" and appl
  Model expected = ModelOf(lib);
  EXPECT_EQ(0u, expected.count("fig"));
  EXPECT_EQ(0u, expected.count("apple"));
  EXPECT_EQ(5u, expected.size());
  ExpectConsistent(lib);
}

TEST(TabrixEdit, RemoveManyAcrossBlocks) {
  // Several blocks, every third phrase removed: blocks shrink, some empty.
  CTabrix lib;
  std::vector<std::pair<std::string, uint32_t>> phrases;
  for (int i = 0; i < 3000; ++i) {
    char buf[16];
    std::snprintf(buf, sizeof(buf), "w%05d", i);
    phrases.push_back({buf, uint32_t(i % 4)});
  }
  Build(lib, 4, phrases);
  Model expected = ModelOf(lib);
  std::vector<uint32_t> pos;
  for (uint32_t i = 0; i < 3000; ++i) {
    if (i % 3 == 0 || (i >= 500 && i < 1600)) pos.push_back(i);
  }
  for (uint32_t i : pos) expected.erase(phrases[i].first);
  ASSERT_EQ(1, lib.RemovePhrasesAt(pos.data(), uint32_t(pos.size())));
  EXPECT_EQ(expected, ModelOf(lib));
  ExpectConsistent(lib);
  // The store still takes insertions in the middle after the squeeze.
  ASSERT_EQ(1, lib.AddPhrase("w00600x", 255, 3, 1, 1));
  ExpectConsistent(lib);
}

TEST(TabrixEdit, RemoveGroupRenumbersLaterGroups) {
  for (uint32_t gone = 0; gone < 3; ++gone) {
    CTabrix lib;
    Build(lib, 3, kSmall);
    std::vector<tagGROUPINFO> groups;
    for (uint32_t g = 0; g < 3; ++g) groups.push_back(*lib.GetGroup(g));
    Model expected;
    for (const auto& e : ModelOf(lib)) {
      if (e.second.nGroup == gone) continue;
      expected[e.first] = {e.second.nGroup > gone ? e.second.nGroup - 1 : e.second.nGroup,
                           e.second.nFreq};
    }
    ASSERT_EQ(1, lib.RemoveGroup(gone));
    ASSERT_EQ(2u, lib.GetGroupCount());
    groups.erase(groups.begin() + gone);
    for (uint32_t g = 0; g < 2; ++g) {
      // The whole record, tick and count included, as it was.
      EXPECT_EQ(0, std::memcmp(&groups[g], lib.GetGroup(g), sizeof(tagGROUPINFO))) << gone;
    }
    EXPECT_EQ(expected, ModelOf(lib));
    ExpectConsistent(lib);
  }
  CTabrix lib;
  Build(lib, 3, kSmall);
  EXPECT_EQ(0, lib.RemoveGroup(3));
  EXPECT_EQ(3u, lib.GetGroupCount());
  EXPECT_EQ(7u, lib.m_arrPhrase.GetCount());
}

TEST(TabrixEdit, SetFrequency) {
  struct tagCASE {
    uint32_t dwFreq;
    std::vector<uint32_t> arrPos;
    int nResult;
  };
  const tagCASE cases[] = {
      {0, {0, 3}, 1}, {250, {6}, 1}, {100, {}, 1}, {251, {1}, 0}, {1000, {1}, 0}, {7, {2, 7}, 0},
  };
  for (const tagCASE& c : cases) {
    CTabrix lib;
    Build(lib, 3, kSmall);
    Model expected = ModelOf(lib);
    const std::vector<std::string> texts = {"apple", "banana", "cherry", "date",
                                            "elder", "fig",    "grape"};
    if (c.nResult == 1) {
      for (uint32_t p : c.arrPos) expected[texts[p]].nFreq = c.dwFreq;
    }
    EXPECT_EQ(c.nResult, lib.SetFrequencyAt(c.arrPos.data(), uint32_t(c.arrPos.size()), c.dwFreq));
    EXPECT_EQ(expected, ModelOf(lib));
    ExpectConsistent(lib);
  }
  CTabrix lib;
  Build(lib, 3, kSmall);
  const char* texts[] = {"cherry", "nope"};
  uint32_t nMissing = 0;
  ASSERT_EQ(1, lib.SetFrequencyByText(texts, 2, 42, &nMissing));
  EXPECT_EQ(1u, nMissing);
  EXPECT_EQ(42u, ModelOf(lib)["cherry"].nFreq);
  EXPECT_EQ(0, lib.SetFrequencyByText(texts, 2, 251, nullptr));
  EXPECT_EQ(42u, ModelOf(lib)["cherry"].nFreq);
}

TEST(TabrixEdit, MovePhrases) {
  CTabrix lib;
  Build(lib, 3, kSmall);
  const uint32_t pos[] = {0, 1, 1, 2};  // apple(0) banana(1) twice, cherry(2)
  ASSERT_EQ(1, lib.MovePhrasesAt(pos, 4, 2));
  Model m = ModelOf(lib);
  EXPECT_EQ(2u, m["apple"].nGroup);
  EXPECT_EQ(2u, m["banana"].nGroup);
  EXPECT_EQ(2u, m["cherry"].nGroup);
  ExpectConsistent(lib);
  const Model before = ModelOf(lib);
  EXPECT_EQ(0, lib.MovePhrasesAt(pos, 4, 3));  // no such group
  const uint32_t bad[] = {1, 7};
  EXPECT_EQ(0, lib.MovePhrasesAt(bad, 2, 0));
  const char* texts[] = {"fig", "none"};
  EXPECT_EQ(0, lib.MovePhrasesByText(texts, 2, 200, nullptr));
  EXPECT_EQ(before, ModelOf(lib));
  uint32_t nMissing = 0;
  ASSERT_EQ(1, lib.MovePhrasesByText(texts, 2, 0, &nMissing));
  EXPECT_EQ(1u, nMissing);
  EXPECT_EQ(0u, ModelOf(lib)["fig"].nGroup);
  ExpectConsistent(lib);
}

TEST(TabrixEdit, FindPhraseSaysWhereATextIs) {
  CTabrix lib;
  Build(lib, 3, kSmall);
  uint32_t pos = 0;
  uint8_t group = 0;
  ASSERT_EQ(1, lib.FindPhrase("elder", &pos, &group));
  EXPECT_EQ(4u, pos);
  EXPECT_EQ(1u, group);
  // The duplicate AddPhrase refuses is found where it is.
  EXPECT_EQ(0, lib.AddPhrase("elder", 255, 1, 1, 2));
  EXPECT_EQ(1, lib.FindPhrase("elder", nullptr, nullptr));
  for (const char* t : {"elde", "elderx", "", "zzz"}) EXPECT_EQ(0, lib.FindPhrase(t, &pos, &group));
  EXPECT_EQ(0, lib.FindPhrase(nullptr, &pos, &group));
  const std::string tooLong(31, 'a');
  EXPECT_EQ(0, lib.FindPhrase(tooLong.c_str(), &pos, &group));
}

TEST(TabrixEdit, FindSubstringByCharacters) {
  CTabrix lib;
  Build(lib, 2,
        {{"\xB0\xA1\xB0\xA2", 0},  // two characters
         {"\xA1\xB0", 1},          // the bytes across their boundary, as one character
         {"a\xB0\xA1"
          "b",
          0},  // a character between ASCII
         {"\xB0"
          "a",
          1},             // a lead byte followed by 'a': one character
         {"x\xB0", 0}});  // a lead byte alone at the end
  struct tagCASE {
    const char* szNeedle;
    uint32_t dwGroup;
    std::vector<std::string> arrHit;
  };
  const tagCASE cases[] = {
      {"\xA1\xB0", TABRIX_NO_GROUP, {"\xA1\xB0"}},
      {"\xB0\xA2", TABRIX_NO_GROUP, {"\xB0\xA1\xB0\xA2"}},
      {"\xB0\xA1",
       TABRIX_NO_GROUP,
       {"\xB0\xA1\xB0\xA2",
        "a\xB0\xA1"
        "b"}},
      {"a",
       TABRIX_NO_GROUP,
       {"a\xB0\xA1"
        "b"}},  // never the 'a' inside "\xB0" "a"
      {"b",
       TABRIX_NO_GROUP,
       {"a\xB0\xA1"
        "b"}},
      {"\xB0",
       TABRIX_NO_GROUP,
       {"\xB0\xA1\xB0\xA2",
        "\xB0"
        "a",
        "a\xB0\xA1"
        "b",
        "x\xB0"}},
      {"",
       1,
       {"\xA1\xB0",
        "\xB0"
        "a"}},
      {"\xB0\xA1", 1, {}},
      {"\xB0\xA1\xB0\xA2!", TABRIX_NO_GROUP, {}},
  };
  const Model m = ModelOf(lib);
  for (const tagCASE& c : cases) {
    std::vector<uint32_t> expected;
    uint32_t pos = 0;
    for (const auto& e : m) {
      for (const std::string& h : c.arrHit) {
        if (h == e.first) expected.push_back(pos);
      }
      ++pos;
    }
    EXPECT_EQ(expected, Hits(lib, c.szNeedle, c.dwGroup)) << c.szNeedle;
    EXPECT_EQ(expected, ModelHits(m, c.szNeedle, c.dwGroup)) << c.szNeedle;
  }
  EXPECT_EQ(5u, lib.FindSubstring("", TABRIX_NO_GROUP, nullptr, nullptr));
  EXPECT_EQ(0u, lib.FindSubstring("", 7, nullptr, nullptr));
}

// A search resumed slice by slice, across blocks of the store, finds what one
// search over the whole store finds, and every slice ends where it says.
TEST(TabrixEdit, FindSubstringFromResumesWhereTheLastSliceEnded) {
  CTabrix lib;
  lib.m_arrPhrase.m_nBlockSize = 16;  // many blocks, some part filled
  std::vector<std::pair<std::string, uint32_t>> phrases;
  for (uint32_t i = 0; i < 500; ++i) {
    const std::string text = {char(0xB0 + i % 7), char(0xA1 + i / 7 % 94), char(0xC0 + i % 5),
                              char(0xA1 + i % 31)};
    phrases.push_back({text, i % 3});
  }
  Build(lib, 3, phrases);
  const uint32_t nStore = lib.m_arrPhrase.GetCount();
  ASSERT_GT(nStore, 100u);
  const struct {
    const char* szNeedle;
    uint32_t dwGroup;
  } searches[] = {{"\xB2", TABRIX_NO_GROUP}, {"\xC1\xA5", 1}, {"", 2}, {"", TABRIX_NO_GROUP}};
  for (const auto& search : searches) {
    const std::vector<uint32_t> whole = Hits(lib, search.szNeedle, search.dwGroup);
    for (uint32_t nSlice : {1u, 7u, 16u, 333u, nStore + 5}) {
      std::vector<uint32_t> sliced;
      uint32_t next = 0;
      uint32_t nHits = 0;
      while (next < nStore) {
        const uint32_t from = next;
        nHits += lib.FindSubstringFrom(
            search.szNeedle, search.dwGroup, &next, nSlice,
            [](uint32_t pos, const tagPHRASE2*, void* data) {
              static_cast<std::vector<uint32_t>*>(data)->push_back(pos);
            },
            &sliced);
        ASSERT_EQ(std::min(nStore, from + nSlice), next);
      }
      EXPECT_EQ(0u, lib.FindSubstringFrom(search.szNeedle, search.dwGroup, &next, nSlice, nullptr,
                                          nullptr));
      EXPECT_EQ(nStore, next);
      EXPECT_EQ(whole, sliced) << search.szNeedle << " in slices of " << nSlice;
      EXPECT_EQ(whole.size(), nHits);
    }
  }
}

// Thousands of random edits, each applied to the library and to a map; after
// every step the store equals the map and the counts add up.
TEST(TabrixEdit, RandomEditsAgainstAModel) {
  std::mt19937 rng(20261210);
  CTabrix lib;
  Model model;
  uint32_t nGroups = 0;
  // Short texts over a few ASCII letters and two GBK characters, so that
  // searches hit, duplicates occur and a needle may straddle characters.
  const char* const pieces[] = {"a", "b", "\xB0\xA1", "\xA1\xB0"};
  auto randomText = [&]() {
    std::string t;
    for (int i = 0, n = 1 + int(rng() % 5); i < n; ++i) t += pieces[rng() % 4];
    return t;
  };
  auto randomTexts = [&](std::vector<std::string>& keep) {
    std::vector<const char*> out;
    keep.clear();
    for (int i = 0, n = int(rng() % 6); i < n; ++i) {
      if (!model.empty() && rng() % 3 != 0) {
        auto it = model.begin();
        std::advance(it, rng() % model.size());
        keep.push_back(it->first);
      } else {
        keep.push_back(randomText());
      }
    }
    for (const std::string& s : keep) out.push_back(s.c_str());
    return out;
  };
  auto missingOf = [&](const std::vector<std::string>& texts) {
    uint32_t n = 0;
    for (const std::string& t : texts) n += model.count(t) == 0 ? 1 : 0;
    return n;
  };
  for (int step = 0; step < 4000; ++step) {
    std::vector<std::string> keep;
    const int op = int(rng() % 9);
    if (op == 0 || nGroups == 0) {
      const uint8_t g = lib.AddGroup("g", "", "");
      if (nGroups < TABRIX_MAX_GROUPS) {
        ASSERT_EQ(nGroups, g);
        ++nGroups;
      } else {
        ASSERT_EQ(TABRIX_NO_GROUP, g);
      }
    } else if (op <= 2) {
      for (int i = 0; i < 8; ++i) {
        const std::string t = randomText();
        const uint32_t g = rng() % (nGroups + 1);  // sometimes no such group
        const uint32_t f = rng() % 251;
        const int added = lib.AddPhrase(t.c_str(), 255, uint8_t(f), 1, uint8_t(g));
        const bool bNew = g < nGroups && model.count(t) == 0;
        ASSERT_EQ(bNew ? 1 : 0, added);
        if (bNew) model[t] = {g, f};
      }
    } else if (op == 3) {
      const auto texts = randomTexts(keep);
      uint32_t nMissing = 0;
      const uint32_t nExpectMissing = missingOf(keep);
      ASSERT_EQ(1, lib.RemovePhrasesByText(texts.data(), uint32_t(texts.size()), &nMissing));
      EXPECT_EQ(nExpectMissing, nMissing);
      for (const std::string& t : keep) model.erase(t);
    } else if (op == 4) {
      std::vector<uint32_t> pos;
      const uint32_t n = uint32_t(model.size());
      for (int i = 0, k = int(rng() % 6); i < k && n > 0; ++i) pos.push_back(rng() % (n + 1));
      bool bValid = true;
      for (uint32_t p : pos) bValid = bValid && p < n;
      std::vector<std::string> gone;
      for (uint32_t p : pos) {
        if (p < n) gone.push_back(std::next(model.begin(), p)->first);
      }
      ASSERT_EQ(bValid ? 1 : 0, lib.RemovePhrasesAt(pos.data(), uint32_t(pos.size())));
      if (bValid) {
        for (const std::string& t : gone) model.erase(t);
      }
    } else if (op == 5 && rng() % 4 == 0) {
      const uint32_t g = rng() % (nGroups + 1);
      ASSERT_EQ(g < nGroups ? 1 : 0, lib.RemoveGroup(g));
      if (g < nGroups) {
        --nGroups;
        for (auto it = model.begin(); it != model.end();) {
          if (it->second.nGroup == g) {
            it = model.erase(it);
          } else {
            if (it->second.nGroup > g) it->second.nGroup--;
            ++it;
          }
        }
      }
    } else if (op == 6) {
      const auto texts = randomTexts(keep);
      const uint32_t f = rng() % 260;
      const uint32_t nExpectMissing = missingOf(keep);
      uint32_t nMissing = 0;
      ASSERT_EQ(f <= 250 ? 1 : 0,
                lib.SetFrequencyByText(texts.data(), uint32_t(texts.size()), f, &nMissing));
      if (f <= 250) {
        EXPECT_EQ(nExpectMissing, nMissing);
        for (const std::string& t : keep) {
          if (model.count(t)) model[t].nFreq = f;
        }
      }
    } else if (op == 7) {
      const auto texts = randomTexts(keep);
      const uint32_t g = rng() % (nGroups + 1);
      ASSERT_EQ(g < nGroups ? 1 : 0,
                lib.MovePhrasesByText(texts.data(), uint32_t(texts.size()), g, nullptr));
      if (g < nGroups) {
        for (const std::string& t : keep) {
          if (model.count(t)) model[t].nGroup = g;
        }
      }
    } else {
      const std::string needle = rng() % 5 == 0 ? std::string() : randomText().substr(0, 2);
      const uint32_t g = rng() % 2 ? uint32_t(TABRIX_NO_GROUP) : uint32_t(rng() % nGroups);
      ASSERT_EQ(ModelHits(model, needle, g), Hits(lib, needle.c_str(), g)) << step;
    }
    ASSERT_EQ(nGroups, lib.GetGroupCount());
    ASSERT_EQ(model, ModelOf(lib)) << "step " << step << " op " << op;
    ExpectConsistent(lib);
    if (HasFatalFailure()) return;
  }
}
