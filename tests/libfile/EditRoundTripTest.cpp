// A library edited at random (phrases removed, groups removed, frequencies
// set, phrases moved) saves and loads back unchanged after every few edits.
#include <gtest/gtest.h>

#include "LibfileTestSupport.h"
#include "RandomEdits.h"

using namespace tabrix_test;

TEST(EditRoundTrip, EditedLibrariesComeBackUnchanged) {
  CScratchDir dir;
  const std::string path = dir.Path("edited.wbk");
  for (unsigned seed = 1; seed <= 6; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    CTabrix lib;
    for (int g = 0; g < 8; ++g) {
      ASSERT_EQ(g, lib.AddGroup(("g" + std::to_string(g)).c_str(), "ed", "re"));
      lib.GetGroup(g)->bEnable = int32_t(rng() % 2);
    }
    for (int i = 0; i < 4000; ++i) {
      const std::string t = RandomText(rng);
      lib.AddPhrase(t.c_str(), 255, uint8_t(rng() % 251), 1, uint8_t(rng() % 8));
    }
    for (int step = 0; step < 120; ++step) {
      const std::vector<std::string> texts = SomeTexts(rng, lib, 20);
      std::vector<const char*> ptrs;
      for (const std::string& t : texts) ptrs.push_back(t.c_str());
      const uint32_t n = uint32_t(ptrs.size());
      const uint32_t nGroups = lib.GetGroupCount();
      switch (rng() % 5) {
        case 0:
          ASSERT_EQ(1, lib.RemovePhrasesByText(ptrs.data(), n, nullptr));
          break;
        case 1:
          if (nGroups > 1 && rng() % 8 == 0) {
            ASSERT_EQ(1, lib.RemoveGroup(rng() % nGroups));
          }
          break;
        case 2:
          ASSERT_EQ(1, lib.SetFrequencyByText(ptrs.data(), n, rng() % 251, nullptr));
          break;
        case 3:
          ASSERT_EQ(1, lib.MovePhrasesByText(ptrs.data(), n, rng() % nGroups, nullptr));
          break;
        default:
          lib.AddPhrase(ptrs.empty() ? "x" : ptrs[0], 255, 9, 1, uint8_t(rng() % nGroups));
          break;
      }
      if (step % 10 != 9) continue;
      ASSERT_EQ(lib.m_arrPhrase.GetCount(), lib.GetPhraseTotal());
      ASSERT_EQ(1, lib.Save(path.c_str()));
      CTabrix loaded;
      ASSERT_EQ(1, loaded.Load(path.c_str()));
      ExpectSameLibrary(lib, loaded);
      if (HasFatalFailure()) return;
    }
  }
}
