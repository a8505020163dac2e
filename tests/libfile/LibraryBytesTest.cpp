// The exact bytes a save produces.
#include <gtest/gtest.h>

#include "LibfileTestSupport.h"

using namespace tabrix_test;

namespace {

// Compares everything but the stamp (bytes 8..11), which changes every save.
void ExpectFileBytes(const Bytes& expected, const Bytes& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    if (i >= 8 && i < 12) continue;
    ASSERT_EQ(expected[i], actual[i]) << "byte " << i;
  }
}

}  // namespace

TEST(LibraryBytes, AGroupOfTwoPhrasesIsLaidOutByteForByteAndLoadsBack) {
  CScratchDir dir;
  const std::string path = dir.Path("ref.wbk");
  CTabrix library;
  BuildReferenceLibrary(library);
  ASSERT_EQ(1, library.Save(path.c_str()));

  const Bytes expected = CFileBuilder()
                             .Header()
                             .Byte(1)
                             .Group("a", 2)
                             .U32(8)  // phraseBytes
                             .Raw("\x00\x03\x01\x62", 4)
                             .Raw("\x00\x00\x01\x63", 4)
                             .U32(0)
                             .U32(4)
                             .Get();
  ASSERT_EQ(12u + 1 + 308 + 4 + 8 + 8, expected.size());
  ExpectFileBytes(expected, ReadAll(path));

  CTabrix loaded;
  ASSERT_EQ(1, loaded.Load(path.c_str()));
  ExpectSameLibrary(library, loaded);
  EXPECT_EQ((std::vector<std::string>{"0/3/b", "0/0/c"}), DescribePhrases(loaded));
  EXPECT_EQ(2u, loaded.GetGroup(0)->dwCount);
}

TEST(LibraryBytes, AnEmptyLibraryIsAHeaderAndTwoZeroCountsAndLoadsEmpty) {
  CScratchDir dir;
  const std::string path = dir.Path("empty.wbk");
  CTabrix library;
  ASSERT_EQ(1, library.Save(path.c_str()));
  ExpectFileBytes(CFileBuilder().Header().Byte(0).U32(0).Get(), ReadAll(path));

  CTabrix loaded;
  BuildReferenceLibrary(loaded);
  ASSERT_EQ(1, loaded.Load(path.c_str()));
  ExpectEmpty(loaded);
}

TEST(LibraryBytes, GroupRecordIsStoredWhole) {
  CScratchDir dir;
  const std::string path = dir.Path("g.wbk");
  CTabrix library;
  ASSERT_EQ(0, library.AddGroup("name", "editor", "remark"));
  ASSERT_EQ(1, library.AddGroup("second", "", ""));
  library.GetGroup(1)->bEnable = 1;
  ASSERT_TRUE(library.AddPhrase("xy", 255, 250, 1, 1));
  ASSERT_EQ(1, library.Save(path.c_str()));

  const Bytes expected = CFileBuilder()
                             .Header()
                             .Byte(2)
                             .Group("name", 0, 0, "editor", "remark")
                             .Group("second", 1, 1)
                             .U32(5)
                             .Phrase(1, 250, "xy")
                             .U32(0)
                             .Get();
  ExpectFileBytes(expected, ReadAll(path));
}

TEST(LibraryBytes, StampChangesNothingElse) {
  CScratchDir dir;
  CTabrix library;
  BuildReferenceLibrary(library);
  ASSERT_EQ(1, library.Save(dir.Path("1.wbk").c_str()));
  ASSERT_EQ(1, library.Save(dir.Path("2.wbk").c_str()));
  ExpectFileBytes(ReadAll(dir.Path("1.wbk")), ReadAll(dir.Path("2.wbk")));
}
