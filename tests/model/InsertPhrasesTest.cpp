// The ways back of the phrase edits: phrases put back at their positions
// (RemovePhrasesAt's inverse), a group put back with its phrases
// (RemoveGroup's), old frequencies and groups put back (RestoreValuesAt):
// the store comes back record for record, with its group counts and a sound
// chain, however the phrases lay over the blocks.
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

std::vector<tagGROUPINFO> Groups(CTabrix& lib) {
  std::vector<tagGROUPINFO> out;
  for (uint32_t g = 0; g < lib.GetGroupCount(); ++g) out.push_back(*lib.GetGroup(g));
  return out;
}

void ExpectSameRecords(const std::vector<tagPHRASE2>& want, const std::vector<tagPHRASE2>& got) {
  ASSERT_EQ(want.size(), got.size());
  for (size_t i = 0; i < want.size(); ++i)
    ASSERT_EQ(0, std::memcmp(&want[i], &got[i], sizeof(tagPHRASE2))) << "record " << i;
}

void ExpectSameGroups(const std::vector<tagGROUPINFO>& want, const std::vector<tagGROUPINFO>& got) {
  ASSERT_EQ(want.size(), got.size());
  for (size_t g = 0; g < want.size(); ++g)
    EXPECT_EQ(0, std::memcmp(&want[g], &got[g], sizeof(tagGROUPINFO))) << "group " << g;
}

// Blocks of the chain but the last that are not full.
uint32_t PartBlocks(const CSArray<tagPHRASE2>& store) {
  uint32_t n = 0;
  for (const tagSABLOCK<tagPHRASE2>* b = store.m_pFirst; b != nullptr && b->pNext != nullptr;
       b = b->pNext)
    n += b->nCount < store.m_nBlockSize ? 1 : 0;
  return n;
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

TEST(InsertPhrases, RecordsThatOverfillFullBlocksLeaveFullBlocks) {
  // Half the store leaves and the rest is packed into full blocks: putting
  // the half back fills every block again, with nothing left to pack.
  std::mt19937 rng(6);
  CTabrix lib;
  Fill(lib, 8, 600, rng);
  const std::vector<tagPHRASE2> before = Records(lib);
  std::vector<uint32_t> pos;
  std::vector<tagPHRASE2> recs;
  for (uint32_t i = 0; i < before.size(); ++i) {
    if (before[i].byGroup >= 2) continue;
    pos.push_back(i);
    recs.push_back(before[i]);
  }
  ASSERT_EQ(1, lib.RemovePhrasesAt(pos.data(), uint32_t(pos.size())));
  ASSERT_EQ(0u, PartBlocks(lib.m_arrPhrase));
  std::vector<const tagSABLOCK<tagPHRASE2>*> blocks;
  for (const tagSABLOCK<tagPHRASE2>* b = lib.m_arrPhrase.m_pFirst; b != nullptr; b = b->pNext)
    blocks.push_back(b);
  ASSERT_EQ(1, lib.InsertPhrasesAt(pos.data(), recs.data(), uint32_t(recs.size())));
  ASSERT_TRUE(ChainIsSound(lib.m_arrPhrase));
  EXPECT_EQ(0u, PartBlocks(lib.m_arrPhrase));
  // The blocks stay in their order, the new ones only follow them.
  const tagSABLOCK<tagPHRASE2>* b = lib.m_arrPhrase.m_pFirst;
  for (size_t i = 0; i < blocks.size(); ++i, b = b->pNext) ASSERT_EQ(blocks[i], b) << "block " << i;
  ExpectSameRecords(before, Records(lib));
  EXPECT_EQ(lib.m_arrPhrase.GetCount(), lib.GetPhraseTotal());
}

TEST(InsertPhrases, BlocksThatSpillBehindPartBlocksSpillIntoNewBlocks) {
  // Part-empty blocks at the front: the later records cannot be merged in
  // place as one row, so each overfull block spills on its own.
  std::mt19937 rng(7);
  CTabrix lib;
  Fill(lib, 8, 600, rng);
  const std::vector<tagPHRASE2> before = Records(lib);
  std::vector<uint32_t> front, back;
  for (uint32_t b = 0; b < 10; ++b)
    for (uint32_t r = 0; r < 3; ++r) front.push_back(b * 8 + r);
  for (uint32_t i = 500; i < 520; ++i) back.push_back(i);
  std::vector<uint32_t> both = front;
  both.insert(both.end(), back.begin(), back.end());
  ASSERT_EQ(1, lib.RemovePhrasesAt(both.data(), uint32_t(both.size())));
  ASSERT_GT(PartBlocks(lib.m_arrPhrase), 0u);  // not packed: too little waste
  // The back phrases return at their places in the store without the front.
  std::vector<uint32_t> pos;
  std::vector<tagPHRASE2> recs, want;
  for (uint32_t i = 0, kept = 0; i < before.size(); ++i) {
    const bool bFront = std::find(front.begin(), front.end(), i) != front.end();
    const bool bBack = std::find(back.begin(), back.end(), i) != back.end();
    if (bFront) continue;
    if (bBack) {
      pos.push_back(kept);
      recs.push_back(before[i]);
    }
    want.push_back(before[i]);
    ++kept;
  }
  ASSERT_EQ(1, lib.InsertPhrasesAt(pos.data(), recs.data(), uint32_t(recs.size())));
  ASSERT_TRUE(ChainIsSound(lib.m_arrPhrase));
  ExpectSameRecords(want, Records(lib));
  EXPECT_EQ(lib.m_arrPhrase.GetCount(), lib.GetPhraseTotal());
}

TEST(InsertGroup, ARemovedGroupComesBackWithItsPhrases) {
  struct tagGROUPCASE {
    const char* pszName;
    uint32_t nBlock;
    uint32_t nPhrases;
    uint32_t nGroup;
    int nAllTo;  // the group every phrase is moved to first, or -1
  };
  const tagGROUPCASE cases[] = {
      {"first group", 8, 600, 0, -1},    {"a middle group", 8, 600, 2, -1},
      {"the last group", 8, 600, 3, -1}, {"one block", 1000, 300, 1, -1},
      {"the whole store", 8, 200, 1, 1}, {"a group without phrases", 8, 200, 3, 0},
  };
  for (const tagGROUPCASE& c : cases) {
    SCOPED_TRACE(c.pszName);
    std::mt19937 rng(c.nGroup + 11);
    CTabrix lib;
    Fill(lib, c.nBlock, c.nPhrases, rng);
    if (c.nAllTo >= 0) {
      std::vector<uint32_t> all(lib.m_arrPhrase.GetCount());
      for (uint32_t i = 0; i < all.size(); ++i) all[i] = i;
      ASSERT_EQ(1, lib.MovePhrasesAt(all.data(), uint32_t(all.size()), uint32_t(c.nAllTo)));
    }
    lib.GetGroup(c.nGroup)->bEnable = 1;
    const std::vector<tagPHRASE2> before = Records(lib);
    const std::vector<tagGROUPINFO> groups = Groups(lib);
    std::vector<uint32_t> pos;
    std::vector<tagPHRASE2> recs;
    for (uint32_t i = 0; i < before.size(); ++i) {
      if (before[i].byGroup != c.nGroup) continue;
      pos.push_back(i);
      recs.push_back(before[i]);
      recs.back().byGroup = 0;  // the group byte is not read
    }
    ASSERT_EQ(1, lib.RemoveGroup(c.nGroup));
    ASSERT_EQ(1, lib.InsertGroup(c.nGroup, groups[c.nGroup], pos.data(), recs.data(),
                                 uint32_t(recs.size())));
    ASSERT_TRUE(ChainIsSound(lib.m_arrPhrase));
    ExpectSameRecords(before, Records(lib));
    ExpectSameGroups(groups, Groups(lib));
  }
}

TEST(InsertGroup, RefusedChangesNothing) {
  std::mt19937 rng(12);
  CTabrix lib;
  Fill(lib, 8, 100, rng);
  const std::vector<tagPHRASE2> before = Records(lib);
  const std::vector<tagGROUPINFO> groups = Groups(lib);
  tagPHRASE2 recs[2] = {before[0], before[1]};
  const uint32_t descending[] = {5, 2};
  const uint32_t pastTheEnd[] = {0, 102};
  const uint32_t fine[] = {0, 1};
  EXPECT_EQ(0, lib.InsertGroup(1, groups[0], descending, recs, 2));
  EXPECT_EQ(0, lib.InsertGroup(1, groups[0], pastTheEnd, recs, 2));
  EXPECT_EQ(0, lib.InsertGroup(5, groups[0], fine, recs, 2));  // past the table's end
  EXPECT_EQ(0, lib.InsertGroup(1, groups[0], nullptr, recs, 2));
  ExpectSameRecords(before, Records(lib));
  ExpectSameGroups(groups, Groups(lib));
}

TEST(RestoreValuesAt, OldFrequenciesAndGroupsComeBack) {
  for (const bool bGroup : {false, true}) {
    SCOPED_TRACE(bGroup ? "groups" : "frequencies");
    std::mt19937 rng(13);
    CTabrix lib;
    Fill(lib, 8, 600, rng);
    const std::vector<tagPHRASE2> before = Records(lib);
    const std::vector<tagGROUPINFO> groups = Groups(lib);
    // Any order, some twice: the edit goes by a bitmap of the store.
    std::vector<uint32_t> pos;
    for (int i = 0; i < 400; ++i) pos.push_back(rng() % 600);
    ASSERT_EQ(1, bGroup ? lib.MovePhrasesAt(pos.data(), uint32_t(pos.size()), 3)
                        : lib.SetFrequencyAt(pos.data(), uint32_t(pos.size()), 250));
    std::sort(pos.begin(), pos.end());
    pos.erase(std::unique(pos.begin(), pos.end()), pos.end());
    for (uint32_t i = 0; i < 600; ++i) {
      const bool bTouched = std::binary_search(pos.begin(), pos.end(), i);
      const tagPHRASE2& now = *lib.m_arrPhrase.GetAt(i);
      EXPECT_EQ(bTouched && bGroup ? 3 : before[i].byGroup, now.byGroup) << i;
      EXPECT_EQ(bTouched && !bGroup ? 250 : before[i].byFreq, now.byFreq) << i;
    }
    std::vector<uint8_t> old;
    for (uint32_t p : pos) old.push_back(bGroup ? before[p].byGroup : before[p].byFreq);
    ASSERT_EQ(1, lib.RestoreValuesAt(pos.data(), old.data(), uint32_t(pos.size()), bGroup));
    ExpectSameRecords(before, Records(lib));
    ExpectSameGroups(groups, Groups(lib));
  }
}

TEST(RestoreValuesAt, RefusedChangesNothing) {
  std::mt19937 rng(14);
  CTabrix lib;
  Fill(lib, 8, 100, rng);
  const std::vector<tagPHRASE2> before = Records(lib);
  const std::vector<tagGROUPINFO> groups = Groups(lib);
  const uint8_t values[] = {1, 2};
  const uint8_t noGroup[] = {1, 4};
  const uint32_t repeated[] = {3, 3};
  const uint32_t descending[] = {5, 2};
  const uint32_t pastTheEnd[] = {0, 100};
  const uint32_t fine[] = {0, 1};
  for (const bool bGroup : {false, true}) {
    EXPECT_EQ(0, lib.RestoreValuesAt(repeated, values, 2, bGroup));
    EXPECT_EQ(0, lib.RestoreValuesAt(descending, values, 2, bGroup));
    EXPECT_EQ(0, lib.RestoreValuesAt(pastTheEnd, values, 2, bGroup));
    EXPECT_EQ(0, lib.RestoreValuesAt(fine, nullptr, 2, bGroup));
  }
  EXPECT_EQ(0, lib.RestoreValuesAt(fine, noGroup, 2, true));
  ExpectSameRecords(before, Records(lib));
  ExpectSameGroups(groups, Groups(lib));
}
