// Phrases put back at their positions (RemovePhrasesAt's inverse): the store
// comes back record for record, with its group counts and a sound chain,
// however the removed phrases lay over the blocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "SArrayChecks.h"
#include "Tabrix.h"

namespace {

void Fill(CTabrix& lib, uint32_t nBlock, uint32_t nPhrases, std::mt19937& rng) {
  lib.m_arrPhrase.m_nBlockSize = nBlock;
  for (int g = 0; g < 4; ++g) lib.AddGroup(("g" + std::to_string(g)).c_str(), "", "");
  for (uint32_t i = 0; i < nPhrases; ++i) {
    char text[16];
    std::snprintf(text, sizeof text, "p%07u", i);
    ASSERT_EQ(1, lib.AddPhrase(text, 255, uint8_t(rng() % 251), 0, uint8_t(rng() % 4)));
  }
}

std::vector<tagPHRASE2> Records(CTabrix& lib) {
  std::vector<tagPHRASE2> out;
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i)
    out.push_back(*lib.m_arrPhrase.GetAt(i));
  return out;
}

typedef std::function<bool(uint32_t pos, const tagPHRASE2& rec, std::mt19937& rng)> Pick;

struct tagCASE {
  const char* pszName;
  uint32_t nBlock;
  uint32_t nPhrases;
  Pick pick;
};

}  // namespace

TEST(InsertPhrases, RemovedPhrasesGoBackExactly) {
  const uint32_t n = 600;
  const tagCASE cases[] = {
      {"scattered", 8, n,
       [](uint32_t, const tagPHRASE2&, std::mt19937& r) { return r() % 10 == 0; }},
      {"one group", 8, n,
       [](uint32_t, const tagPHRASE2& p, std::mt19937&) { return p.byGroup == 2; }},
      {"most of them", 8, n,
       [](uint32_t, const tagPHRASE2&, std::mt19937& r) { return r() % 10 != 0; }},
      {"a run longer than blocks", 8, n,
       [](uint32_t pos, const tagPHRASE2&, std::mt19937&) { return pos >= 100 && pos < 300; }},
      {"the first and the last", 8, n,
       [](uint32_t pos, const tagPHRASE2&, std::mt19937&) { return pos == 0 || pos == n - 1; }},
      {"all", 8, n, [](uint32_t, const tagPHRASE2&, std::mt19937&) { return true; }},
      {"none", 8, n, [](uint32_t, const tagPHRASE2&, std::mt19937&) { return false; }},
      {"one block", 1000, n,
       [](uint32_t, const tagPHRASE2&, std::mt19937& r) { return r() % 3 == 0; }},
      {"blocks of one", 1, 50,
       [](uint32_t, const tagPHRASE2&, std::mt19937& r) { return r() % 3 == 0; }},
  };
  for (const tagCASE& c : cases) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
      SCOPED_TRACE(std::string(c.pszName) + ", seed " + std::to_string(seed));
      std::mt19937 rng(seed);
      CTabrix lib;
      Fill(lib, c.nBlock, c.nPhrases, rng);
      const std::vector<tagPHRASE2> before = Records(lib);
      std::vector<uint32_t> counts;
      for (uint32_t g = 0; g < lib.GetGroupCount(); ++g) counts.push_back(lib.GetGroup(g)->dwCount);
      std::vector<uint32_t> pos;
      std::vector<tagPHRASE2> recs;
      for (uint32_t i = 0; i < before.size(); ++i) {
        if (!c.pick(i, before[i], rng)) continue;
        pos.push_back(i);
        recs.push_back(before[i]);
      }
      ASSERT_EQ(1, lib.RemovePhrasesAt(pos.data(), uint32_t(pos.size())));
      ASSERT_EQ(1, lib.InsertPhrasesAt(pos.data(), recs.data(), uint32_t(recs.size())));
      // (Removing nothing leaves the store's cursor unset: nothing to check then.)
      if (!pos.empty()) {
        ASSERT_TRUE(ChainIsSound(lib.m_arrPhrase));
      }
      const std::vector<tagPHRASE2> after = Records(lib);
      ASSERT_EQ(before.size(), after.size());
      for (size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(0, std::memcmp(&before[i], &after[i], sizeof(tagPHRASE2))) << "record " << i;
      for (uint32_t g = 0; g < lib.GetGroupCount(); ++g)
        EXPECT_EQ(counts[g], lib.GetGroup(g)->dwCount) << "group " << g;
    }
  }
}

TEST(InsertPhrases, RefusedPositionsChangeNothing) {
  std::mt19937 rng(4);
  CTabrix lib;
  Fill(lib, 8, 40, rng);
  const std::vector<tagPHRASE2> before = Records(lib);
  tagPHRASE2 recs[2];
  std::memset(recs, 0, sizeof recs);
  std::strcpy(recs[0].szWord, "a");
  std::strcpy(recs[1].szWord, "b");
  recs[0].cLen = recs[1].cLen = 1;
  const uint32_t repeated[] = {3, 3};
  const uint32_t descending[] = {5, 2};
  const uint32_t pastTheEnd[] = {0, 42};
  EXPECT_EQ(0, lib.InsertPhrasesAt(repeated, recs, 2));
  EXPECT_EQ(0, lib.InsertPhrasesAt(descending, recs, 2));
  EXPECT_EQ(0, lib.InsertPhrasesAt(pastTheEnd, recs, 2));
  recs[1].byGroup = uint8_t(lib.GetGroupCount());
  const uint32_t fine[] = {0, 1};
  EXPECT_EQ(0, lib.InsertPhrasesAt(fine, recs, 2));  // a group the library lacks
  const std::vector<tagPHRASE2> after = Records(lib);
  ASSERT_EQ(before.size(), after.size());
  for (size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(0, std::memcmp(&before[i], &after[i], sizeof(tagPHRASE2))) << "record " << i;
  EXPECT_EQ(lib.m_arrPhrase.GetCount(), lib.GetPhraseTotal());
}
