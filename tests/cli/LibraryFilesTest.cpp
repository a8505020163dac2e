// The tool's folder and path helpers, with names in the code page the tool
// uses for paths: GBK bytes, the ANSI code page 936 under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "LibraryFiles.h"

namespace {

// 中文 D6D0 CEC4, 誠 D5 5C (its trail byte is a backslash), 目录 C4BF C2BC.
const std::string kZhongWen = "\xD6\xD0\xCE\xC4";
const std::string kCheng = "\xD5\x5C";
const std::string kMuLu = "\xC4\xBF\xC2\xBC";

// A GBK text as a file name is spelt: UTF-8 on Linux, GBK itself on Windows.
std::string FileName(const std::string& gbk) {
  std::string name;
  EXPECT_TRUE(ConvertCodePage(CODEPAGE_GBK, FileNameCodePage(), gbk, &name));
  return name;
}

TEST(JoinPathTest, OneSeparatorBetweenFolderAndName) {
  EXPECT_EQ(JoinPath("dir", "a.txt"), "dir/a.txt");
  EXPECT_EQ(JoinPath("dir/", "a.txt"), "dir/a.txt");
  EXPECT_EQ(JoinPath("dir\\", "a.txt"), "dir\\a.txt");
  EXPECT_EQ(JoinPath("C:\\out", "a.txt"), "C:\\out/a.txt");
  EXPECT_EQ(JoinPath("", "a.txt"), "a.txt");
  EXPECT_EQ(JoinPath(kZhongWen, kMuLu), kZhongWen + "/" + kMuLu);
}

#ifdef _WIN32
TEST(JoinPathTest, ATrailByteThatLooksLikeABackslashIsNoSeparator) {
  EXPECT_EQ(JoinPath("out\\" + kCheng, "a.txt"), "out\\" + kCheng + "/a.txt");
}
#endif

TEST(MakeFolderTest, MakesEveryMissingFolderOfThePath) {
  CScratchDir dir;
  const std::string deep = dir.Path("a/b/c");
  EXPECT_TRUE(MakeFolder(deep));
  EXPECT_TRUE(IsFolderPath(deep));
  EXPECT_TRUE(MakeFolder(deep));  // already there
  EXPECT_TRUE(MakeFolder(dir.Path("a/b/d/")));
  EXPECT_EQ(FolderNames(dir.Path("a/b")), (std::vector<std::string>{"c", "d"}));
  EXPECT_FALSE(MakeFolder(""));
}

TEST(MakeFolderTest, AFileInTheWayIsNoFolder) {
  CScratchDir dir;
  const std::string file = dir.Write("file", "x");
  EXPECT_FALSE(MakeFolder(file));
  EXPECT_FALSE(MakeFolder(file + "/below"));
  EXPECT_EQ(ReadBytes(file), "x");
}

TEST(MakeFolderTest, ChineseNamesStayWholeCharacters) {
  CScratchDir dir;
  // The backslash of 誠 must not split it into a folder "\xD5" and another.
  const std::string path = dir.Path(kZhongWen + "/" + kCheng + "/" + kMuLu);
  ASSERT_TRUE(MakeFolder(path));
  EXPECT_EQ(FolderNames(dir.Path("")), (std::vector<std::string>{kZhongWen}));
  EXPECT_EQ(FolderNames(dir.Path(kZhongWen)), (std::vector<std::string>{kCheng}));
  EXPECT_EQ(FolderNames(dir.Path(kZhongWen + "/" + kCheng)), (std::vector<std::string>{kMuLu}));
}

TEST(WbkExportTest, WritesIntoAFolderWithAChineseName) {
  CScratchDir dir;
  const std::string lib = dir.Path("lib.wbk");
  const std::string bytes = BuildLibraryBytes({{"g", "", "", 1}, {kMuLu, "", "", 0}},
                                              {{0, 3, kZhongWen}, {1, 4, kCheng + "a"}});
  dir.Write("lib.wbk", bytes);
  const std::string folder = FileName(kZhongWen + kCheng);
  const std::string target = dir.Path(folder);
  tagWBKRUN r = RunCli({"export", lib, "--dir", target});
  ASSERT_EQ(r.nStatus, EXIT_DONE) << r.strErr;
  EXPECT_EQ(FolderNames(dir.Path("")), (std::vector<std::string>{"lib.wbk", folder}));
  const std::string second = "001-" + FileName(kMuLu) + ".txt";
  EXPECT_EQ(FolderNames(target), (std::vector<std::string>{"000-g.txt", second}));
  EXPECT_NE(ReadBytes(target + "/000-g.txt").find(kZhongWen + "\t3"), std::string::npos);
  EXPECT_NE(ReadBytes(target + "/" + second).find(kCheng + "a\t4"), std::string::npos);
}

TEST(TempFileTest, HoldsTheBytesUntilItGoesAway) {
  std::string path;
  {
    CTempFile temp;
    ASSERT_TRUE(temp.Create(std::string("a\0b", 3)));
    path = temp.GetPath();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(ReadBytes(path), std::string("a\0b", 3));
    CTempFile other;
    ASSERT_TRUE(other.Create("c"));
    EXPECT_NE(other.GetPath(), path);
  }
  EXPECT_FALSE(FileExists(path));
}

}  // namespace
