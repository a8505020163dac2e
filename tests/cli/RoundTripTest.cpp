// wbk export writes what wbk import reads back: the same library file byte
// for byte apart from the stamp and the tick flags; what the text format
// cannot carry is named.
#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "Tabrix.h"
#include "TestText.h"

namespace {

using tabrix_test::Contains;

// Exports lib to a folder and imports the files, in name order, into an
// empty library; returns that library's bytes.
std::string ExportAndReimport(const CScratchDir& dir, const std::string& lib,
                              const std::string& encoding, tagWBKRUN* pExport) {
  *pExport = RunCli({"export", lib, "--dir", dir.Path("export"), "--encoding", encoding});
  std::vector<std::string> args = {"import", dir.Path("back.wbk"), "--force"};
  for (const std::string& f : dir.Files("export")) args.push_back(f);
  tagWBKRUN r = RunCli(args);
  EXPECT_NE(r.nStatus, EXIT_FAILED) << r.strErr;
  return ReadBytes(dir.Path("back.wbk"));
}

TEST(WbkRoundTrip, ImportExportImportGivesTheSameFile) {
  CScratchDir dir;
  std::vector<std::string> texts = {
      dir.Write("idioms.txt",
                "# idioms\n@名称=成语\n@编辑=张三\n@备注=四字成语\n一心一意 5\n三心二意\t7\n"
                "半途而废 250\n"),
      dir.Write("mixed.txt", "alpha 1\nbeta\n中文 12\n词 300\n alone 3\nalpha 9\n"),
      dir.Write("utf8.txt", std::string(u8"@名称=统一码\n你好 3\n世界 0\n")),
      dir.Write("empty.txt", "# nothing here\n"),
  };
  std::vector<std::string> args = {"import", dir.Path("first.wbk")};
  args.insert(args.end(), texts.begin(), texts.end());
  ASSERT_NE(RunCli(args).nStatus, EXIT_FAILED);
  std::string first = ReadBytes(dir.Path("first.wbk"));
  ASSERT_GT(first.size(), 13u);
  // empty.txt adds nothing and makes no group.
  ASSERT_EQ(static_cast<unsigned char>(first[12]), 3u);

  for (const char* encoding : {"gbk", "utf-8"}) {
    tagWBKRUN exported;
    std::string back = ExportAndReimport(dir, dir.Path("first.wbk"), encoding, &exported);
    EXPECT_EQ(exported.nStatus, EXIT_DONE) << encoding << ": " << exported.strErr;
    EXPECT_EQ(WithoutStampAndTicks(back), WithoutStampAndTicks(first)) << encoding;
  }
}

TEST(WbkRoundTrip, FieldsAtTheirLimitsAndTickedGroups) {
  CScratchDir dir;
  std::string path = dir.Path("lib.wbk");
  {
    CTabrix lib;
    std::string name49(47, 'n');
    name49 += "名";
    std::string remark94(90, 'r');
    remark94 += "备注";
    ASSERT_EQ(lib.AddGroup(name49.c_str(), std::string(49, 'e').c_str(), remark94.c_str()), 0);
    ASSERT_EQ(lib.AddGroup("", "", ""), 1);  // an empty name comes back from @名称=
    ASSERT_EQ(lib.AddGroup("x/y:z", "", ""), 2);
    lib.GetGroup(1)->bEnable = 1;
    lib.AddPhrase(std::string(30, 'w').c_str(), 30, 0, 1, 1);
    lib.AddPhrase("一二三四五六七八九十一二三四五", 255, 250, 1, 2);
    for (int f = 0; f <= 250; ++f) {
      lib.AddPhrase(("f" + std::to_string(f)).c_str(), 255, static_cast<uint8_t>(f), 1,
                    static_cast<uint8_t>(f % 3));
    }
    ASSERT_TRUE(lib.Save(path.c_str()));
  }
  tagWBKRUN exported;
  std::string back = ExportAndReimport(dir, path, "gbk", &exported);
  EXPECT_EQ(exported.nStatus, EXIT_DONE) << exported.strErr;
  EXPECT_EQ(WithoutStampAndTicks(back), WithoutStampAndTicks(ReadBytes(path)));
  std::vector<std::string> files = dir.Files("export");
  ASSERT_EQ(files.size(), 3u);
  EXPECT_TRUE(Contains(files[0], "000.txt")) << files[0];  // the name is too long for a file name
  EXPECT_TRUE(Contains(files[1], "001.txt")) << files[1];  // no name
  EXPECT_TRUE(Contains(files[2], "002-x_y_z.txt")) << files[2];
}

TEST(WbkExport, NamesWhatTheFormatCannotCarry) {
  CScratchDir dir;
  std::string path = dir.Path("lib.wbk");
  {
    CTabrix lib;
    lib.AddGroup("g", "", "");
    const char* texts[] = {"#hash", "@at", "a b", "a\tb", "ok", "cr\rx", "z\x81", "", "c\x1B"};
    for (const char* t : texts) ASSERT_TRUE(lib.AddPhrase(t, 255, 1, 1, 0)) << t;
    ASSERT_TRUE(lib.AddPhrase("high", 255, 251, 1, 0));
    ASSERT_TRUE(lib.Save(path.c_str()));
  }
  std::string file = dir.Path("g.txt");
  tagWBKRUN r = RunCli({"export", path, "-o", file});
  EXPECT_EQ(r.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(r.strErr, "8 phrases cannot be carried by the text format and are left out"))
      << r.strErr;
  EXPECT_TRUE(Contains(r.strErr, "1 phrases have a frequency above 250 and import as 250"))
      << r.strErr;
  const char* named[] = {"\"#hash\": first byte '#'",       "\"@at\": first byte '@'",
                         "\"a b\": a blank or tab inside",  "\"a\tb\": a blank or tab inside",
                         "\"cr\rx\": a line break inside",  "\"z\\x81\": ends in half a character",
                         "\"high\": frequency above 250",   "\"\": no text",
                         "\"c\x1B\": a control byte inside"};
  for (const char* n : named) EXPECT_TRUE(Contains(r.strErr, n)) << n << "\n" << r.strErr;

  std::string text = ReadBytes(file);
  EXPECT_TRUE(Contains(text, "ok\t1")) << text;
  EXPECT_TRUE(Contains(text, "high\t251")) << text;
  EXPECT_FALSE(Contains(text, "hash"));
  EXPECT_FALSE(Contains(text, "a b"));

  ASSERT_EQ(RunCli({"import", dir.Path("back.wbk"), file}).nStatus, EXIT_DONE);
  CTabrix back;
  ASSERT_TRUE(back.Load(dir.Path("back.wbk").c_str()));
  EXPECT_EQ(back.GetPhraseTotal(), 2u);
}

TEST(WbkExport, HeaderValuesTheFormatCannotCarryAreCutAndNamed) {
  CScratchDir dir;
  std::string path = dir.Path("lib.wbk");
  std::string remark(150, 'r');
  {
    CTabrix lib;
    lib.AddGroup("line\r\nbreak", "", remark.c_str());
    lib.AddPhrase("p", 255, 1, 1, 0);
    ASSERT_TRUE(lib.Save(path.c_str()));
  }
  std::string file = dir.Path("g.txt");
  tagWBKRUN r = RunCli({"export", path, "-o", file});
  EXPECT_EQ(r.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(r.strErr, "the name is cut")) << r.strErr;
  EXPECT_TRUE(Contains(r.strErr, "the remark is cut")) << r.strErr;
  ASSERT_EQ(RunCli({"import", dir.Path("back.wbk"), file}).nStatus, EXIT_DONE);
  CTabrix back;
  ASSERT_TRUE(back.Load(dir.Path("back.wbk").c_str()));
  EXPECT_STREQ(back.GetGroup(0)->szName, "line");
  EXPECT_EQ(std::string(back.GetGroup(0)->szRemark), std::string(94, 'r'));
  EXPECT_EQ(back.GetPhraseTotal(), 1u);  // no piece of the remark became a phrase
}

TEST(WbkExport, OneGroupToAFileOrTheStandardOutput) {
  CScratchDir dir;
  std::string path = dir.Path("lib.wbk");
  {
    CTabrix lib;
    lib.AddGroup("a", "ed", "");
    lib.AddGroup("b", "", "");
    lib.AddPhrase("y", 255, 2, 1, 0);
    lib.AddPhrase("x", 255, 1, 1, 0);
    lib.AddPhrase("w", 255, 1, 1, 1);
    ASSERT_TRUE(lib.Save(path.c_str()));
  }
#ifdef _WIN32
  const std::string nl = "\r\n";
#else
  const std::string nl = "\n";
#endif
  tagWBKRUN r = RunCli({"export", path, "--group", "0"});
  ASSERT_EQ(r.nStatus, EXIT_DONE) << r.strErr;
  EXPECT_EQ(r.strOut, "@名称=a" + nl + "@编辑=ed" + nl + "@备注=" + nl + "x\t1" + nl + "y\t2" + nl);

  tagWBKRUN u = RunCli({"export", path, "--group", "0", "--encoding", "utf-8"});
  ASSERT_EQ(u.nStatus, EXIT_DONE) << u.strErr;
  EXPECT_EQ(u.strOut, std::string(u8"@名称=a") + nl + u8"@编辑=ed" + nl + u8"@备注=" + nl + "x\t1" +
                          nl + "y\t2" + nl);

  tagWBKRUN many = RunCli({"export", path, "-o", dir.Path("x.txt")});
  EXPECT_EQ(many.nStatus, EXIT_FAILED);
  EXPECT_TRUE(Contains(many.strErr, "--group N")) << many.strErr;
  EXPECT_FALSE(FileExists(dir.Path("x.txt")));
  EXPECT_EQ(RunCli({"export", path, "--group", "2"}).nStatus, EXIT_FAILED);
  EXPECT_EQ(RunCli({"export", dir.Path("none.wbk"), "--group", "0"}).nStatus, EXIT_FAILED);
}

}  // namespace
