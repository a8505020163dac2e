// Libraries of random content survive a save and a load unchanged.
#include <gtest/gtest.h>

#include "LibfileTestSupport.h"

using namespace tabrix_test;

namespace {

// Random non-NUL bytes of the given length.
std::string RandomTextOfLength(std::mt19937& rng, size_t length) {
  std::uniform_int_distribution<int> byte(1, 255);
  std::string text;
  for (size_t i = 0; i < length; ++i) text.push_back(char(byte(rng)));
  return text;
}

void BuildRandomLibrary(std::mt19937& rng, CTabrix& library) {
  const int groups = std::uniform_int_distribution<int>(1, 12)(rng);
  for (int g = 0; g < groups; ++g) {
    const std::string name = RandomTextOfLength(rng, rng() % 50);
    const std::string editor = RandomTextOfLength(rng, rng() % 50);
    const std::string remark = RandomTextOfLength(rng, rng() % 200);
    ASSERT_EQ(g, library.AddGroup(name.c_str(), editor.c_str(), remark.c_str()));
    library.GetGroup(g)->bEnable = int32_t(rng() % 2);
  }
  const int phrases = std::uniform_int_distribution<int>(0, 3000)(rng);
  for (int i = 0; i < phrases; ++i) {
    // Mostly short texts over a small alphabet, so duplicates occur.
    const size_t length = rng() % 4 == 0 ? rng() % 31 : rng() % 4;
    std::string text = RandomTextOfLength(rng, length);
    if (rng() % 2)
      for (char& c : text) c = char('a' + (uint8_t(c) % 3));
    library.AddPhrase(text.c_str(), uint8_t(text.size()), uint8_t(rng() % 251), int(rng() % 2),
                      uint8_t(rng() % groups));
  }
}

}  // namespace

TEST(LibraryRoundTrip, RandomLibrariesComeBackUnchanged) {
  CScratchDir dir;
  for (unsigned seed = 1; seed <= 25; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    CTabrix library;
    BuildRandomLibrary(rng, library);
    const std::string first = dir.Path("first.wbk");
    ASSERT_EQ(1, library.Save(first.c_str()));
    CTabrix loaded;
    ASSERT_EQ(1, loaded.Load(first.c_str()));
    ExpectSameLibrary(library, loaded);

    // Saving what was loaded gives the same bytes but for the stamp.
    const std::string second = dir.Path("second.wbk");
    ASSERT_EQ(1, loaded.Save(second.c_str()));
    Bytes a = ReadAll(first), b = ReadAll(second);
    std::fill(a.begin() + 8, a.begin() + 12, 0);
    std::fill(b.begin() + 8, b.begin() + 12, 0);
    EXPECT_EQ(a, b);
  }
}

TEST(LibraryRoundTrip, LoadReplacesWhatWasThere) {
  CScratchDir dir;
  std::mt19937 rng(99);
  CTabrix small;
  BuildReferenceLibrary(small);
  ASSERT_EQ(1, small.Save(dir.Path("small.wbk").c_str()));
  CTabrix library;
  BuildRandomLibrary(rng, library);
  ASSERT_EQ(1, library.Load(dir.Path("small.wbk").c_str()));
  ExpectSameLibrary(small, library);
}
