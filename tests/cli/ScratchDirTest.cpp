// The tests' scratch folder itself: it goes with everything in it, Chinese
// names whose last byte looks like a backslash and read-only files included,
// and it starts empty whatever an earlier run left behind.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ScratchDir.h"

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#endif

namespace {

// 中文誠 in GBK: the last byte, 0x5C, is the trail byte of 誠.
const std::string kFolder = "\xD6\xD0\xCE\xC4\xD5\x5C";

bool MakeOneFolder(const std::string& path) {
#ifdef _WIN32
  return _mkdir(path.c_str()) == 0;
#else
  return mkdir(path.c_str(), 0777) == 0;
#endif
}

void MakeReadOnly(const std::string& path) {
#ifdef _WIN32
  _chmod(path.c_str(), _S_IREAD);
#else
  chmod(path.c_str(), 0444);
#endif
}

TEST(ScratchDirTest, GoesWithEverythingInIt) {
  std::string dir;
  {
    CScratchDir scratch;
    dir = scratch.Dir();
    ASSERT_TRUE(IsFolderPath(dir));
    ASSERT_TRUE(MakeOneFolder(scratch.Path(kFolder)));
    scratch.Write(kFolder + "/a.txt", "a");
    ASSERT_TRUE(MakeOneFolder(scratch.Path(kFolder + "/" + kFolder)));
    scratch.Write(kFolder + "/" + kFolder + "/b.txt", "b");
    MakeReadOnly(scratch.Write("locked.wbk", "c"));
    EXPECT_EQ(scratch.Names(), (std::vector<std::string>{"locked.wbk", kFolder}));
    EXPECT_EQ(scratch.Names(kFolder), (std::vector<std::string>{"a.txt", kFolder}));
    EXPECT_EQ(scratch.Files(kFolder + "/" + kFolder),
              std::vector<std::string>{scratch.Path(kFolder + "/" + kFolder + "/b.txt")});
  }
  EXPECT_FALSE(IsFolderPath(dir));
  EXPECT_TRUE(FolderNames(dir).empty());
}

TEST(ScratchDirTest, SeveralInOneCaseAreApartAndStartEmpty) {
  // What an earlier run may have left in the case's second folder.
  const std::string stale = TestTempPath("dir2");
  RemoveTree(stale);
  ASSERT_TRUE(MakeOneFolder(stale));
  {
    std::FILE* f = std::fopen((stale + "/old.txt").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
  }
  CScratchDir first;
  CScratchDir second;
  EXPECT_NE(first.Dir(), second.Dir());
  EXPECT_EQ(second.Dir(), stale);
  EXPECT_TRUE(second.Names().empty());
  first.Write("x", "1");
  EXPECT_EQ(first.Names(), std::vector<std::string>{"x"});
  EXPECT_TRUE(second.Names().empty());
}

}  // namespace
