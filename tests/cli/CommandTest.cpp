// The wbk commands run in-process with captured streams: results, warnings,
// errors and exit statuses. Plain literals here are GBK (the build's
// execution character set); u8"" literals are UTF-8, as the tool's output.
#include <gtest/gtest.h>

#include <cstring>

#include "CliTestSupport.h"
#include "StreamExpectation.h"
#include "Tabrix.h"
#include "TabrixVersion.h"
#include "TestText.h"

namespace {

const tagPHRASE2* FindPhrase(CTabrix& lib, const std::string& text) {
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = lib.m_arrPhrase.GetAt(i);
    if (std::string(p->szWord, p->cLen) == text) return p;
  }
  return nullptr;
}

// The phrase's frequency or group, -1 when the text is not stored.
int FreqOf(CTabrix& lib, const std::string& text) {
  const tagPHRASE2* p = FindPhrase(lib, text);
  return p != nullptr ? p->byFreq : -1;
}
int GroupOf(CTabrix& lib, const std::string& text) {
  const tagPHRASE2* p = FindPhrase(lib, text);
  return p != nullptr ? p->byGroup : -1;
}

using tabrix_test::Contains;

// A library saved to path: groups named as given, phrases (text, freq, group).
struct tagTESTPHRASE {
  std::string strText;
  uint8_t byFreq, byGroup;
};
void SaveLibrary(const std::string& path, const std::vector<std::string>& groups,
                 const std::vector<tagTESTPHRASE>& phrases) {
  CTabrix lib;
  for (const std::string& g : groups) ASSERT_NE(lib.AddGroup(g.c_str(), "", ""), TABRIX_NO_GROUP);
  for (const tagTESTPHRASE& p : phrases) {
    ASSERT_TRUE(lib.AddPhrase(p.strText.data(), static_cast<uint8_t>(p.strText.size()), p.byFreq, 1,
                              p.byGroup));
  }
  ASSERT_TRUE(lib.Save(path.c_str()));
}

TEST(WbkUsage, HelpVersionAndUsageErrors) {
  struct tagCASE {
    std::vector<std::string> args;
    int nStatus;
    tagSTREAMWANT out;  // the standard output
    tagSTREAMWANT err;  // the error stream
  };
  const tagCASE cases[] = {
      {{"--version"}, EXIT_DONE, Holds("wbk " TABRIX_VERSION_TEXT), NothingWritten()},
      {{"--help"}, EXIT_DONE, Holds("merge"), NothingWritten()},
      {{"info", "--help"}, EXIT_DONE, Holds("--json"), NothingWritten()},
      {{"import", "--help"}, EXIT_DONE, Holds("--encoding"), NothingWritten()},
      {{"export", "--help"}, EXIT_DONE, Holds("--dir"), NothingWritten()},
      {{"check", "--help"}, EXIT_DONE, Holds("LIB"), NothingWritten()},
      {{"merge", "--help"}, EXIT_DONE, Holds("127"), NothingWritten()},
      {{}, EXIT_FAILED, NothingWritten(), Holds("error: no command given")},
      {{"frobnicate"}, EXIT_FAILED, NothingWritten(), Holds("frobnicate")},
      {{"info"}, EXIT_FAILED, NothingWritten(), Holds("LIB")},
      {{"import", "out.wbk"}, EXIT_FAILED, NothingWritten(), Holds("TEXT")},
      {{"import", "out.wbk", "a.txt", "--encoding", "latin1"},
       EXIT_FAILED,
       NothingWritten(),
       Holds("latin1")},
      {{"import", "out.wbk", "a.txt", "--into", "300"},
       EXIT_FAILED,
       NothingWritten(),
       Holds("--into")},
      {{"export", "x.wbk", "-o", "a", "--dir", "b"},
       EXIT_FAILED,
       NothingWritten(),
       Holds("exclude each other")},
      {{"merge", "out.wbk"}, EXIT_FAILED, NothingWritten(), Holds("LIB")},
      {{"check", "x.wbk", "--bogus"}, EXIT_FAILED, NothingWritten(), Holds("--bogus")},
  };
  for (const tagCASE& c : cases) {
    tagWBKRUN r = RunCli(c.args);
    std::string line;
    for (const std::string& a : c.args) line += a + " ";
    EXPECT_EQ(r.nStatus, c.nStatus) << line;
    EXPECT_TRUE(StreamMatches(r.strOut, c.out)) << line;
    EXPECT_TRUE(StreamMatches(r.strErr, c.err)) << line;
  }
}

TEST(WbkImport, PhraseLinesAsTheEditorReadsThem) {
  CScratchDir dir;
  std::string text =
      "中文 12\n"
      "甲\t\t7\n"
      "乙\n"
      " 5\n"
      "词 300\n"
      "丙 253\n"
      "丁 -3\n"
      "戊 99999999999\n"
      "己 -99999999999\n"
      "@名称=先名\n"
      "# a comment\n"
      "\n"
      "长长长长长长长长长长长长长长长长 1\n"
      "@编辑=编者\n"
      "@名称=成语\n";
  std::string file = dir.Write("list.txt", text);
  std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, file});
  ASSERT_EQ(r.nStatus, EXIT_DONE) << r.strErr;
  EXPECT_TRUE(Contains(r.strOut,
                       u8"group 0 \"成语\": 13 lines read, 9 phrases added; skipped: 0 "
                       u8"duplicate, 1 too long, 0 out of range; 3 header lines; 5 "
                       u8"frequencies reduced into 0..250; read as gbk text"))
      << r.strOut;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  ASSERT_EQ(lib.GetGroupCount(), 1u);
  EXPECT_STREQ(lib.GetGroup(0)->szName, "成语");  // the later header line wins
  EXPECT_STREQ(lib.GetGroup(0)->szEditor, "编者");
  struct tagWANT {
    std::string strText;
    int nFreq;
  };
  // " 5": the blank before the text is passed over.
  const tagWANT wants[] = {{"中文", 12}, {"甲", 7},   {"乙", 0},   {"5", 0}, {"词", 44},
                           {"丙", 250},  {"丁", 250}, {"戊", 250}, {"己", 0}};
  for (const tagWANT& w : wants) {
    const tagPHRASE2* p = FindPhrase(lib, w.strText);
    ASSERT_NE(p, nullptr) << w.strText;
    EXPECT_EQ(p->byFreq, w.nFreq) << w.strText;
  }
  EXPECT_EQ(lib.GetPhraseTotal(), 9u);
}

TEST(WbkImport, RangeBoundsTakeTheirLowEightBits) {
  CScratchDir dir;
  std::string file = dir.Write("r.txt", "a 1\nb 2\nc 3\nd 0\n");
  std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, file, "--min", "257", "--max", "+258"});
  ASSERT_EQ(r.nStatus, EXIT_DONE) << r.strErr;
  EXPECT_TRUE(
      Contains(r.strOut, "2 phrases added; skipped: 0 duplicate, 0 too long, 2 out of range"))
      << r.strOut;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  EXPECT_NE(FindPhrase(lib, "a"), nullptr);
  EXPECT_NE(FindPhrase(lib, "b"), nullptr);
  EXPECT_EQ(FindPhrase(lib, "c"), nullptr);
  EXPECT_EQ(FindPhrase(lib, "d"), nullptr);

  for (const char* bad : {"x", "-1", "", "1.5"}) {
    tagWBKRUN e = RunCli({"import", out, file, "--min", bad, "--force"});
    EXPECT_EQ(e.nStatus, EXIT_FAILED) << bad;
    EXPECT_TRUE(Contains(e.strErr, "--min")) << e.strErr;
  }
}

TEST(WbkImport, AFileThatAddsNothingIsAWarning) {
  CScratchDir dir;
  std::string comments = dir.Write("comments.txt", "# only\n# comments\n");
  std::string good = dir.Write("good.txt", "x 1\n");
  std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, good, comments});
  EXPECT_EQ(r.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(r.strErr, "comments.txt added no phrases; no group was made for it"))
      << r.strErr;
  EXPECT_TRUE(Contains(r.strOut, "comments.txt -> no group: 0 lines read, 0 phrases added"))
      << r.strOut;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));  // still saved, without an empty group
  ASSERT_EQ(lib.GetGroupCount(), 1u);
  EXPECT_STREQ(lib.GetGroup(0)->szName, "good");
}

TEST(WbkImport, APhraseInAnotherGroupChangesNoCount) {
  CScratchDir dir;
  std::string base = dir.Path("base.wbk");
  SaveLibrary(base, {"old"}, {{"中文", 9, 0}});
  std::string file = dir.Write("new.txt", "中文 5\n");
  std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, "--base", base, file});
  EXPECT_EQ(r.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(r.strOut, "0 phrases added; skipped: 1 duplicate")) << r.strOut;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  ASSERT_EQ(lib.GetGroupCount(), 1u);
  EXPECT_EQ(lib.GetGroup(0)->dwCount, 1u);
  EXPECT_EQ(FreqOf(lib, "中文"), 9);
}

// A file that is no phrase list is refused with the reason, and nothing is
// written.
TEST(WbkImport, AFileThatIsNotTextIsRefused) {
  CScratchDir dir;
  static const char kPng[] = "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06";
  const std::string png = dir.Write("picture.txt", std::string(kPng, sizeof kPng - 1));
  const std::string esc = dir.Write("esc.txt", "a 1\nb\x1B 2\n");
  const std::string good = dir.Write("good.txt", "x 1\n");
  const struct {
    std::string strPath;
    const char* pszWhy;
  } cases[] = {{png, "picture.txt: not a text file: line 3 holds a NUL byte; nothing imported"},
               {esc, "esc.txt: not a text file: line 2 holds the control byte 0x1B"}};
  for (const auto& c : cases) {
    for (const char* encoding : {"auto", "gbk", "utf-8"}) {
      const std::string out = dir.Path("out.wbk");
      tagWBKRUN r = RunCli({"import", out, good, c.strPath, "--encoding", encoding});
      EXPECT_EQ(r.nStatus, EXIT_FAILED) << encoding;
      EXPECT_TRUE(Contains(r.strErr, c.pszWhy)) << r.strErr;
      EXPECT_FALSE(FileExists(out));
    }
  }
}

// The report names the encoding and the format each file was read in; a
// UTF-8 or UTF-16 list with weights above 250 is read as columns.
TEST(WbkImport, TheReportSaysHowEachFileWasRead) {
  CScratchDir dir;
  std::string utf16("\xFF\xFE", 2);
  for (char16_t u : std::u16string(u"词\t5\r\n")) utf16 += {char(u & 0xFF), char(u >> 8)};
  const struct {
    const char* pszName;
    std::string strBytes;
    const char* pszRead;
  } cases[] = {
      {"gbk.txt", "中文 5\n", "read as gbk text"},
      {"utf8.txt", u8"中文 5\n", "read as utf-8 text"},
      {"utf16.txt", utf16, "read as utf-16le text"},
      {"nomark.txt", utf16.substr(2), "read as utf-16le text"},
      {"essay.txt", u8"的\t5376\n中文\t905\n", "read as utf-8 columns"},
      {"d.dict.yaml", u8"---\nname: d\nversion: \"1\"\n...\n中文\tzhong wen\t3\n",
       "read as utf-8 rime"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.Write(c.pszName, c.strBytes);
    tagWBKRUN r = RunCli({"import", dir.Path(std::string(c.pszName) + ".wbk"), path});
    EXPECT_EQ(r.nStatus, EXIT_DONE) << c.pszName << r.strErr;
    EXPECT_TRUE(Contains(r.strOut, c.pszRead)) << c.pszName << ": " << r.strOut;
  }
}

// A UTF-8 list with one byte that is not UTF-8 stays UTF-8: that line is
// named and skipped, the Chinese lines arrive whole.
TEST(WbkImport, AUtf8ListWithABadByteNamesTheLine) {
  CScratchDir dir;
  const std::string path =
      dir.Write("list.txt", std::string(u8"中文 5\n一心一意 3\n") + "caf\xE9 2\n" + u8"词语 1\n");
  const std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, path});
  EXPECT_EQ(r.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(r.strErr, "list.txt:3: not valid UTF-8; line skipped")) << r.strErr;
  EXPECT_TRUE(Contains(r.strOut, "3 phrases added")) << r.strOut;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  EXPECT_EQ(FreqOf(lib, "中文"), 5);
  EXPECT_EQ(FreqOf(lib, "词语"), 1);
}

// Every line outside GBK: nothing added, no group, and the reason.
TEST(WbkImport, AListOfNoGbkCharacterMakesNoGroup) {
  CScratchDir dir;
  const std::string path = dir.Write("emoji.txt", u8"\U0001F600 5\n\U0001F601 3\n");
  const std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, path});
  EXPECT_EQ(r.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(r.strOut, "emoji.txt -> no group: 0 lines read, 0 phrases added"))
      << r.strOut;
  EXPECT_TRUE(Contains(r.strOut, "2 lines with no GBK form")) << r.strOut;
  EXPECT_TRUE(Contains(r.strErr, "emoji.txt added no phrases; no group was made for it"))
      << r.strErr;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  EXPECT_EQ(lib.GetGroupCount(), 0u);
}

TEST(WbkImport, IntoAGroupIgnoresHeaderLines) {
  CScratchDir dir;
  std::string base = dir.Path("base.wbk");
  SaveLibrary(base, {"first", "second"}, {{"a", 1, 0}});
  std::string file = dir.Write("more.txt", "@名称=新名\nb 2\nc 3\n");
  std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, "--base", base, "--into", "1", file});
  ASSERT_EQ(r.nStatus, EXIT_DONE) << r.strErr;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  ASSERT_EQ(lib.GetGroupCount(), 2u);
  EXPECT_STREQ(lib.GetGroup(1)->szName, "second");
  EXPECT_EQ(lib.GetGroup(1)->dwCount, 2u);
  EXPECT_EQ(GroupOf(lib, "b"), 1);

  tagWBKRUN bad = RunCli({"import", out, "--base", base, "--into", "2", file, "--force"});
  EXPECT_EQ(bad.nStatus, EXIT_FAILED);
  EXPECT_TRUE(Contains(bad.strErr, "--into 2: the library has 2 groups")) << bad.strErr;
  tagWBKRUN none = RunCli({"import", dir.Path("x.wbk"), "--into", "0", file});
  EXPECT_EQ(none.nStatus, EXIT_FAILED);
  EXPECT_FALSE(FileExists(dir.Path("x.wbk")));
}

TEST(WbkImport, FailuresWriteNothing) {
  CScratchDir dir;
  std::string out = dir.Path("out.wbk");
  std::string good = dir.Write("good.txt", "x 1\n");
  std::string full = dir.Path("full.wbk");
  std::vector<std::string> names;
  for (int g = 0; g < 127; ++g) names.push_back("g" + std::to_string(g));
  SaveLibrary(full, names, {});
  std::string longName = dir.Write(std::string(50, 'n') + ".txt", "y 1\n");
  struct tagCASE {
    std::vector<std::string> args;
    const char* pszErr;
  };
  const tagCASE cases[] = {
      {{"import", out, good, dir.Path("missing.txt")}, "missing.txt: cannot open"},
      {{"import", out, "--encoding", "gbk", good, dir.Path("missing.txt")},
       "missing.txt: cannot open"},
      {{"import", out, "--base", dir.Path("nobase.wbk"), good}, "nobase.wbk"},
      {{"import", out, "--base", good, good}, "not a .wbk file"},
      {{"import", out, "--base", full, good}, "already holds 127 groups"},
      {{"import", out, longName}, "rename the file"},
  };
  for (const tagCASE& c : cases) {
    tagWBKRUN r = RunCli(c.args);
    EXPECT_EQ(r.nStatus, EXIT_FAILED) << c.pszErr;
    EXPECT_TRUE(Contains(r.strErr, c.pszErr)) << r.strErr;
    EXPECT_FALSE(FileExists(out)) << c.pszErr;
  }
}

TEST(WbkImport, Utf8TextIsConvertedToGbk) {
  CScratchDir dir;
  const std::string bom = "\xEF\xBB\xBF";
  std::string withBom = dir.Write("bom.txt", bom + "abc 1\n");
  std::string utf8 = dir.Write("utf.txt", std::string(u8"@名称=统一\n中文 3\n"));
  std::string ascii = dir.Write("ascii.txt", "plain 4\n");
  std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, withBom, utf8, ascii});
  ASSERT_EQ(r.nStatus, EXIT_DONE) << r.strErr;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  ASSERT_EQ(lib.GetGroupCount(), 3u);
  EXPECT_STREQ(lib.GetGroup(0)->szName, "bom");  // titled after the file, not the GBK copy
  EXPECT_STREQ(lib.GetGroup(1)->szName, "统一");
  EXPECT_STREQ(lib.GetGroup(2)->szName, "ascii");
  EXPECT_NE(FindPhrase(lib, "abc"), nullptr);  // the byte-order mark is not part of the text
  EXPECT_EQ(FreqOf(lib, "中文"), 3);
  EXPECT_EQ(FreqOf(lib, "plain"), 4);

  // gbk takes the bytes as they are.
  tagWBKRUN raw = RunCli({"import", out, "--encoding", "gbk", withBom, "--force"});
  ASSERT_EQ(raw.nStatus, EXIT_DONE) << raw.strErr;
  ASSERT_TRUE(lib.Load(out.c_str()));
  EXPECT_NE(FindPhrase(lib, bom + "abc"), nullptr);
}

TEST(WbkImport, ACharacterWithNoGbkFormSkipsItsLine) {
  CScratchDir dir;
  std::string file =
      dir.Write("emoji.txt", std::string(u8"甲 1\r\n") + "x\xF0\x9F\x98\x80 2\r\n" + u8"乙 3\r\n");
  std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"import", out, file});
  EXPECT_EQ(r.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(r.strErr, "emoji.txt:2: a character with no GBK form; line skipped"))
      << r.strErr;
  EXPECT_TRUE(Contains(r.strOut, "2 phrases added")) << r.strOut;
  EXPECT_TRUE(Contains(r.strOut, "1 lines with no GBK form")) << r.strOut;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  EXPECT_EQ(FreqOf(lib, "甲"), 1);
  EXPECT_EQ(FreqOf(lib, "乙"), 3);
  EXPECT_EQ(lib.GetPhraseTotal(), 2u);

  // Forcing UTF-8 on GBK bytes names each line that is not UTF-8.
  std::string gbk = dir.Write("gbk.txt", "ok 1\n中文 2\n");
  tagWBKRUN forced = RunCli({"import", out, "--encoding", "utf-8", gbk, "--force"});
  EXPECT_EQ(forced.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(forced.strErr, "gbk.txt:2: not valid UTF-8; line skipped")) << forced.strErr;
}

TEST(WbkImport, AFileNameBecomesAGbkGroupName) {
  CScratchDir dir;
  std::string name;
  if (!ConvertCodePage(CODEPAGE_GBK, FileNameCodePage(), "成语", &name)) {
    GTEST_SKIP() << "file names here cannot hold Chinese characters";
  }
  std::string file = dir.Write(name + ".txt", "x 1\n");
  std::string out = dir.Path("out.wbk");
  ASSERT_EQ(RunCli({"import", out, file}).nStatus, EXIT_DONE);
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  EXPECT_STREQ(lib.GetGroup(0)->szName, "成语");
}

TEST(WbkInfo, ShowsHeaderGroupsAndTotal) {
  CScratchDir dir;
  std::string path = dir.Path("lib.wbk");
  {
    CTabrix lib;
    lib.AddGroup("成语", "张三", "remark \"q\"");
    lib.AddGroup("b", "", "");
    lib.GetGroup(0)->bEnable = 1;
    lib.AddPhrase("一心", 255, 3, 1, 0);
    lib.AddPhrase("z", 255, 3, 1, 1);
    lib.AddPhrase("y", 255, 3, 1, 1);
    ASSERT_TRUE(lib.Save(path.c_str()));
  }
  tagWBKRUN r = RunCli({"info", path});
  ASSERT_EQ(r.nStatus, EXIT_DONE) << r.strErr;
  EXPECT_TRUE(Contains(r.strOut, "version: 2005.2\n")) << r.strOut;
  EXPECT_TRUE(Contains(r.strOut, u8"group 0: 成语\n  phrases: 1\n  ticked: yes\n  editor: 张三\n"))
      << r.strOut;
  EXPECT_TRUE(Contains(r.strOut, "group 1: b\n  phrases: 2\n  ticked: no\n")) << r.strOut;
  EXPECT_TRUE(Contains(r.strOut, "total phrases: 3\n")) << r.strOut;

  tagWBKRUN j = RunCli({"info", path, "--json"});
  ASSERT_EQ(j.nStatus, EXIT_DONE);
  EXPECT_TRUE(Contains(j.strOut, "\"version\":{\"major\":2005,\"minor\":2}")) << j.strOut;
  EXPECT_TRUE(Contains(j.strOut,
                       "{\"index\":0,\"name\":\"\\u6210\\u8bed\",\"editor\":\"\\u5f20\\u4e09\","
                       "\"remark\":\"remark \\\"q\\\"\",\"ticked\":true,\"phrase_count\":1}"))
      << j.strOut;
  EXPECT_TRUE(Contains(j.strOut, "\"group_count\":2,\"phrase_count\":3,\"groups\":[")) << j.strOut;
  EXPECT_TRUE(Contains(j.strOut,
                       "\"dropped\":{\"duplicate\":0,\"no_group\":0,"
                       "\"bad_length\":0,\"damaged\":0}}"))
      << j.strOut;

  tagWBKRUN missing = RunCli({"info", dir.Path("none.wbk")});
  EXPECT_EQ(missing.nStatus, EXIT_FAILED);
  EXPECT_TRUE(Contains(missing.strErr, "none.wbk")) << missing.strErr;
  EXPECT_TRUE(missing.strOut.empty());
}

TEST(WbkCheck, StatusFollowsTheFindings) {
  CScratchDir dir;
  std::string good = dir.Path("good.wbk");
  SaveLibrary(good, {"a"}, {{"b", 3, 0}, {"c", 0, 0}});
  tagWBKRUN clean = RunCli({"check", good});
  EXPECT_EQ(clean.nStatus, EXIT_DONE);
  EXPECT_TRUE(Contains(clean.strOut, "clean (1 groups, 2 phrases)")) << clean.strOut;

  std::string bytes = ReadBytes(good);
  std::string damaged = dir.Write("damaged.wbk", bytes + "zz");
  tagWBKRUN found = RunCli({"check", damaged});
  EXPECT_EQ(found.nStatus, EXIT_WARNINGS);
  std::string at = "offset " + std::to_string(bytes.size()) + ": trailing-bytes: 2 bytes after";
  EXPECT_TRUE(Contains(found.strOut, at)) << found.strOut;
  tagWBKRUN json = RunCli({"check", damaged, "--json"});
  EXPECT_EQ(json.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(json.strOut, "\"status\":\"findings\"")) << json.strOut;
  EXPECT_TRUE(Contains(
      json.strOut, "{\"offset\":" + std::to_string(bytes.size()) + ",\"kind\":\"trailing_bytes\""))
      << json.strOut;

  std::string text = dir.Write("text.txt", "not a library at all");
  EXPECT_EQ(RunCli({"check", text}).nStatus, EXIT_FAILED);
  tagWBKRUN missing = RunCli({"check", dir.Path("none.wbk")});
  EXPECT_EQ(missing.nStatus, EXIT_FAILED);
  EXPECT_TRUE(Contains(missing.strErr, "cannot be read")) << missing.strErr;
}

TEST(WbkCheck, NamesThePhraseTextOfAFinding) {
  CScratchDir dir;
  std::string path =
      dir.Write("dup.wbk", BuildLibraryBytes({{"g", "", "", 0}}, {{0, 1, "中文"}, {0, 2, "中文"}}));
  tagWBKRUN r = RunCli({"check", path});
  EXPECT_EQ(r.nStatus, EXIT_WARNINGS);
  // Header 12, count byte, one group record, phraseBytes: the second record
  // starts 7 bytes after the first.
  const size_t second = 12 + 1 + 308 + 4 + 7;
  EXPECT_TRUE(Contains(r.strOut, "offset " + std::to_string(second) +
                                     ": duplicate: same text as the record at " +
                                     std::to_string(second - 7) +
                                     " (the loader keeps the first) [" + u8"中文" + "]"))
      << r.strOut;
  tagWBKRUN j = RunCli({"check", path, "--json"});
  EXPECT_TRUE(Contains(j.strOut, ",\"text\":\"\\u4e2d\\u6587\"}")) << j.strOut;
}

TEST(WbkMerge, GroupsAppendedAndTheFirstTextWins) {
  CScratchDir dir;
  std::string a = dir.Path("a.wbk"), b = dir.Path("b.wbk"), out = dir.Path("out.wbk");
  SaveLibrary(a, {"a0", "a1"}, {{"x", 1, 0}, {"y", 2, 1}});
  {
    CTabrix lib;
    lib.AddGroup("b0", "ed", "re");
    lib.GetGroup(0)->bEnable = 1;
    lib.AddPhrase("y", 255, 9, 1, 0);  // already in a.wbk: a's copy stays
    lib.AddPhrase("z", 255, 3, 1, 0);
    ASSERT_TRUE(lib.Save(b.c_str()));
  }
  tagWBKRUN r = RunCli({"merge", out, a, b});
  ASSERT_EQ(r.nStatus, EXIT_DONE) << r.strErr;
  EXPECT_TRUE(Contains(r.strOut, "b.wbk: 1 groups (now 2..2), 1 phrases added, 1 already present"))
      << r.strOut;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  ASSERT_EQ(lib.GetGroupCount(), 3u);
  EXPECT_STREQ(lib.GetGroup(2)->szName, "b0");
  EXPECT_STREQ(lib.GetGroup(2)->szEditor, "ed");
  EXPECT_STREQ(lib.GetGroup(2)->szRemark, "re");
  EXPECT_EQ(lib.GetGroup(2)->bEnable, 1);
  EXPECT_EQ(lib.GetGroup(0)->dwCount, 1u);
  EXPECT_EQ(lib.GetGroup(1)->dwCount, 1u);
  EXPECT_EQ(lib.GetGroup(2)->dwCount, 1u);
  EXPECT_EQ(GroupOf(lib, "y"), 1);
  EXPECT_EQ(FreqOf(lib, "y"), 2);
  EXPECT_EQ(GroupOf(lib, "z"), 2);
  EXPECT_EQ(RunCli({"check", out}).nStatus, EXIT_DONE);
}

TEST(WbkMerge, RefusedBeyond127Groups) {
  CScratchDir dir;
  std::vector<std::string> hundred, twentyEight;
  for (int g = 0; g < 100; ++g) hundred.push_back("h" + std::to_string(g));
  for (int g = 0; g < 28; ++g) twentyEight.push_back("t" + std::to_string(g));
  std::string a = dir.Path("a.wbk"), b = dir.Path("b.wbk"), out = dir.Path("out.wbk");
  SaveLibrary(a, hundred, {});
  SaveLibrary(b, twentyEight, {});
  tagWBKRUN r = RunCli({"merge", out, a, b});
  EXPECT_EQ(r.nStatus, EXIT_FAILED);
  EXPECT_TRUE(Contains(r.strErr, "would hold 128 groups, at most 127")) << r.strErr;
  EXPECT_FALSE(FileExists(out));

  twentyEight.pop_back();  // exactly 127 is fine
  SaveLibrary(b, twentyEight, {});
  EXPECT_EQ(RunCli({"merge", out, a, b}).nStatus, EXIT_DONE);
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  EXPECT_EQ(lib.GetGroupCount(), 127u);
}

// A file written elsewhere can hold more groups than a library may: the
// loader takes them, merge refuses them, export warns that an import stops.
TEST(WbkMerge, AnInputOfMoreThan127GroupsIsRefused) {
  CScratchDir dir;
  std::vector<tagTESTGROUP> groups(128, tagTESTGROUP{"g", "", "", 0});
  std::string big = dir.Write("big.wbk", BuildLibraryBytes(groups, {{127, 1, "last"}}));
  tagWBKRUN r = RunCli({"merge", dir.Path("out.wbk"), big});
  EXPECT_EQ(r.nStatus, EXIT_FAILED);
  EXPECT_TRUE(Contains(r.strErr, "would hold 128 groups")) << r.strErr;
  EXPECT_FALSE(FileExists(dir.Path("out.wbk")));
  tagWBKRUN e = RunCli({"export", big, "--dir", dir.Path("export")});
  EXPECT_EQ(e.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(e.strErr, "holds 128 groups; an import stops at 127")) << e.strErr;
  EXPECT_EQ(dir.Files("export").size(), 128u);
}

TEST(WbkMerge, AFieldWithoutTerminatorIsCut) {
  CScratchDir dir;
  std::string name(48, 'n');
  name += "中";  // 50 bytes, no room for the terminator
  std::string a = dir.Write("a.wbk", BuildLibraryBytes({{name, "e", "", 0}}, {{0, 1, "w"}}));
  std::string out = dir.Path("out.wbk");
  tagWBKRUN r = RunCli({"merge", out, a});
  EXPECT_EQ(r.nStatus, EXIT_WARNINGS);
  EXPECT_TRUE(Contains(r.strErr, "group 0: a text without terminator was cut")) << r.strErr;
  CTabrix lib;
  ASSERT_TRUE(lib.Load(out.c_str()));
  EXPECT_EQ(std::string(lib.GetGroup(0)->szName), std::string(48, 'n'));  // whole characters only
  EXPECT_EQ(GroupOf(lib, "w"), 0);
}

}  // namespace

#ifndef _WIN32  // an ANSI file name on Windows has a GBK form by definition
TEST(WbkImport, AFileNameCharacterWithNoGbkFormBecomesAnUnderscoreInTheGroupsName) {
  CScratchDir dir;
  const std::string list = dir.Write(u8"地名😀表.txt", "北京 9\n");
  const std::string out = dir.Path("out.wbk");
  const tagWBKRUN run = RunCli({"import", out, list});
  EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_TRUE(Contains(run.strErr, "'_' in the group's name")) << run.strErr;
  CTabrix lib;
  ASSERT_EQ(1, lib.Load(out.c_str()));
  EXPECT_STREQ("地名_表", lib.GetGroup(0)->szName);
}
#endif
