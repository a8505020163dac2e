// The store's bulk addition against adding the same phrases one at a time:
// same store, same group counts, same number dropped.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "PhraseRun.h"
#include "Tabrix.h"
#include "VectorRun.h"

using tabrix_test::CVectorRun;
using tabrix_test::MakePhrase;

namespace {

std::vector<std::string> Describe(CTabrix& lib) {
  std::vector<std::string> out;
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
    out.push_back(std::to_string(p->byGroup) + "/" + std::to_string(p->byFreq) + "/" + p->szWord);
  }
  return out;
}

}  // namespace

TEST(MergeRun, RandomRunsAgainstOneAtATime) {
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    CTabrix merged, single;
    for (CTabrix* lib : {&merged, &single}) {
      for (const char* g : {"a", "b", "c"}) ASSERT_NE(TABRIX_NO_GROUP, lib->AddGroup(g, "", ""));
    }
    const int nKeys = 1 + int(rng() % 4000);
    // A store to start from, the same in both.
    for (int i = 0, n = int(rng() % 3000); i < n; ++i) {
      const std::string text = std::to_string(100000 + rng() % nKeys);
      const uint8_t group = uint8_t(rng() % 3), freq = uint8_t(rng() % 251);
      merged.AddPhrase(text.c_str(), 255, freq, 1, group);
      single.AddPhrase(text.c_str(), 255, freq, 1, group);
    }
    // A run in arrival order, some naming no group; sorted stably by text,
    // so the first arrival of a text comes first.
    std::vector<tagPHRASE2> run;
    for (int i = 0, n = int(rng() % 3000); i < n; ++i) {
      run.push_back(MakePhrase(std::to_string(100000 + rng() % nKeys), uint8_t(rng() % 4),
                               uint8_t(rng() % 251)));
    }
    uint32_t nExpectedAdded = 0;
    for (const tagPHRASE2& p : run) {
      nExpectedAdded += single.AddPhrase(p.szWord, p.cLen, p.byFreq, 1, p.byGroup) ? 1 : 0;
    }
    const size_t nRun = run.size();
    CVectorRun source = CVectorRun::SortedByText(std::move(run));
    uint32_t nAdded = 99, nDropped = 99;
    ASSERT_EQ(1, merged.MergeRun(source, &nAdded, &nDropped));
    EXPECT_EQ(nExpectedAdded, nAdded) << round;
    EXPECT_EQ(nRun - nExpectedAdded, nDropped) << round;
    ASSERT_EQ(Describe(single), Describe(merged)) << round;
    for (uint32_t g = 0; g < 3; ++g)
      EXPECT_EQ(single.GetGroup(g)->dwCount, merged.GetGroup(g)->dwCount) << round;
  }
}

TEST(MergeRun, GroupCountsAreTakenAndPhrasesFreedWithTheGroupsKept) {
  CTabrix lib;
  ASSERT_EQ(0, lib.AddGroup("a", "", ""));
  ASSERT_EQ(1, lib.AddGroup("b", "", ""));
  ASSERT_EQ(1, lib.AddPhrase("x", 255, 1, 1, 0));
  ASSERT_EQ(1, lib.AddPhrase("y", 255, 1, 1, 1));
  ASSERT_EQ(1, lib.AddPhrase("z", 255, 1, 1, 1));
  lib.GetGroup(1)->dwCount = 0xFFFFFFFFu;  // as a file may announce
  EXPECT_EQ(0x100000000ull, lib.TakeGroupCounts());
  EXPECT_EQ(0u, lib.GetGroup(0)->dwCount);
  EXPECT_EQ(0u, lib.GetGroup(1)->dwCount);
  lib.GetGroup(0)->dwCount = 5;
  lib.FreePhrases();
  EXPECT_EQ(2u, lib.GetGroupCount());
  EXPECT_EQ(0u, lib.m_arrPhrase.GetCount());
  EXPECT_EQ(0u, lib.GetGroup(0)->dwCount);
}
