// wbk set-group, set-freq, diff and stats, a group's tick carried through
// export and import, and --format given per file. Plain literals are GBK;
// u8"" literals are UTF-8, as the tool's arguments and output are on Linux.
#include <functional>
#include <sstream>

#include <nlohmann/json.hpp>

#include "CliTestSupport.h"
#include "EditHistory.h"
#include "StoreWalk.h"
#include "StreamExpectation.h"
#include "Tabrix.h"

namespace {

// Three groups, the second ticked.
CTabrix& JobSample(CTabrix& lib) {
  EXPECT_EQ(0, lib.AddGroup("成语", "张三", "四字"));
  EXPECT_EQ(1, lib.AddGroup("地名", "", ""));
  EXPECT_EQ(2, lib.AddGroup("其他", "", "杂项"));
  lib.GetGroup(1)->bEnable = 1;
  const struct {
    const char* text;
    uint8_t freq, group;
  } phrases[] = {{"一心一意", 5, 0}, {"三心二意", 3, 0}, {"北京", 9, 1},
                 {"北京人", 2, 2},   {"啊阿", 1, 2},     {"a", 0, 2}};
  for (const auto& p : phrases) EXPECT_TRUE(lib.AddPhrase(p.text, 255, p.freq, 1, p.group));
  return lib;
}

std::string SaveLibrary(CTabrix& lib, const std::string& path) {
  EXPECT_EQ(1, lib.Save(path.c_str()));
  return path;
}

std::string SaveJobSample(const CScratchDir& dir, const char* name = "sample.wbk") {
  CTabrix lib;
  return SaveLibrary(JobSample(lib), dir.Path(name));
}

// The file without its stamp (bytes 8..11): what two saves of the same
// library share, ticks included.
std::string WithoutStamp(std::string bytes) {
  for (size_t i = 8; i < 12 && i < bytes.size(); ++i) bytes[i] = 0;
  return bytes;
}

// The sample with edit applied by the core, saved; its bytes without stamp.
template <typename F>
std::string JobCoreResult(const CScratchDir& dir, F edit) {
  CTabrix lib;
  JobSample(lib);
  edit(lib);
  return WithoutStamp(ReadBytes(SaveLibrary(lib, dir.Path("core.wbk"))));
}

TEST(WbkTick, ExportThenImportGivesTheSameLibraryTicksIncluded) {
  CScratchDir dir;
  CTabrix lib;
  JobSample(lib);
  lib.GetGroup(2)->bEnable = 1;  // two ticked groups of three
  const std::string path = SaveLibrary(lib, dir.Path("lib.wbk"));
  for (const char* encoding : {"gbk", "utf-8"}) {
    SCOPED_TRACE(encoding);
    const std::string folder = dir.Path(std::string("export-") + encoding);
    const tagWBKRUN exported = RunCli({"export", path, "--dir", folder, "--encoding", encoding});
    ASSERT_EQ(EXIT_DONE, exported.nStatus) << exported.strErr;
    std::vector<std::string> args = {"import", dir.Path("back.wbk"), "--force"};
    for (const std::string& f : dir.Files(std::string("export-") + encoding)) args.push_back(f);
    const tagWBKRUN imported = RunCli(args);
    ASSERT_EQ(EXIT_DONE, imported.nStatus) << imported.strErr;
    EXPECT_EQ(WithoutStamp(ReadBytes(path)), WithoutStamp(ReadBytes(dir.Path("back.wbk"))));
  }
  // Only the ticked groups' lists have the line.
  const std::vector<std::string> files = dir.Files("export-gbk");
  ASSERT_EQ(3u, files.size());
  const bool ticked[] = {false, true, true};
  for (size_t g = 0; g < files.size(); ++g) {
    EXPECT_EQ(ticked[g], ReadBytes(files[g]).find("@启用=1") != std::string::npos) << files[g];
  }
}

TEST(WbkTick, TheHeaderLineTicksOnlyANewGroupAndOnlyWithItsTwoValues) {
  CScratchDir dir;
  const struct {
    const char* pszHeader;
    int32_t bTicked;
  } cases[] = {
      {"@启用=1\n", 1},
      {"@启用=0\n", 0},
      {"@启用=1\n@启用=0\n", 0},
      {"@启用=yes\n", 0},
      {"@启用=10\n", 0},
      {"@启用 =1\n", 0},
      {"", 0},
      {"@启用=0\n@启用=1\n", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszHeader);
    const std::string list = dir.Write("list.txt", std::string(c.pszHeader) + "词 3\n");
    const std::string out = dir.Path("out.wbk");
    ASSERT_EQ(EXIT_DONE, RunCli({"import", list, "-o", out, "--force"}).nStatus);
    CTabrix back;
    ASSERT_EQ(1, back.Load(out.c_str()));
    EXPECT_EQ(c.bTicked, back.GetGroup(0)->bEnable);
    EXPECT_EQ(1u, back.GetPhraseTotal());  // the header line is no phrase
  }
  // Into an existing group the header lines are ignored, the tick's too.
  const std::string base = SaveJobSample(dir);
  const std::string list = dir.Write("tick.txt", "@启用=1\n新词 3\n");
  ASSERT_EQ(EXIT_DONE,
            RunCli({"import", dir.Path("into.wbk"), list, "--base", base, "--into", "0"}).nStatus);
  CTabrix into;
  ASSERT_EQ(1, into.Load(dir.Path("into.wbk").c_str()));
  EXPECT_EQ(0, into.GetGroup(0)->bEnable);
}

TEST(WbkSetGroup, EachChangeIsTheEditorsOwnGroupEdit) {
  CScratchDir dir;
  const std::string lib = SaveJobSample(dir);
  struct tagCASE {
    std::vector<std::string> args;
    // What the editor's history makes of the same edit.
    std::function<void(CEditHistory&, CTabrix&)> edit;
  };
  const tagCASE cases[] = {
      {{"--group", "0", "--name", Arg(u8"熟语")},
       [](CEditHistory& h, CTabrix& l) { h.SetGroupText(l, 0, "熟语", "张三", "四字"); }},
      {{"--group", "0", "--editor", "", "--remark", Arg(u8"新的备注")},
       [](CEditHistory& h, CTabrix& l) { h.SetGroupText(l, 0, "成语", "", "新的备注"); }},
      {{"--group", "2", "--tick"}, [](CEditHistory& h, CTabrix& l) { h.SetGroupEnable(l, 2, 1); }},
      {{"--group", "1", "--untick", "--name", "x"},
       [](CEditHistory& h, CTabrix& l) {
         h.SetGroupText(l, 1, "x", "", "");
         h.SetGroupEnable(l, 1, 0);
       }},
      {{"--group", "1", "--tick"}, [](CEditHistory&, CTabrix&) {}},  // ticked already
      {{"--group", "0", "--name", std::string(49, 'n')},
       [](CEditHistory& h, CTabrix& l) {
         h.SetGroupText(l, 0, std::string(49, 'n').c_str(), "张三", "四字");
       }},
  };
  for (const tagCASE& c : cases) {
    std::vector<std::string> args = {"set-group", lib, "-o", dir.Path("out.wbk"), "--force"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    SCOPED_TRACE(args[5] + " " + args[6] + " " + args[7]);
    const tagWBKRUN run = RunCli(args);
    EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
    EXPECT_EQ("", run.strErr);
    const std::string expected = JobCoreResult(dir, [&](CTabrix& core) {
      CEditHistory history;
      c.edit(history, core);
    });
    EXPECT_EQ(expected, WithoutStamp(ReadBytes(dir.Path("out.wbk"))));
  }
  // In place: OUT may be LIB.
  ASSERT_EQ(EXIT_DONE, RunCli({"set-group", lib, "-o", lib, "--group", "0", "--tick"}).nStatus);
  CTabrix back;
  ASSERT_EQ(1, back.Load(lib.c_str()));
  EXPECT_EQ(1, back.GetGroup(0)->bEnable);
}

TEST(WbkSetGroup, RefusalsWriteNothing) {
  CScratchDir dir;
  const std::string lib = SaveJobSample(dir);
  const std::string out = dir.Path("out.wbk");
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"--group", "0"}, "nothing to set"},
      {{"--group", "3", "--tick"}, "group 3: the library has 3 groups"},
      {{"--group", "0", "--name", std::string(50, 'n')}, "50 bytes in GBK, at most 49 fit"},
      {{"--group", "0", "--remark", std::string(200, 'r')}, "at most 199 fit"},
      {{"--group", "0", "--tick", "--untick"}, "--tick and --untick"},
      {{"--group", "127", "--tick"}, "--group"},
      {{"--tick"}, "--group"},
#ifndef _WIN32  // the ANSI command line cannot carry it at all
      {{"--group", "0", "--name", u8"😀"}, "GBK cannot represent"},
#endif
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"set-group", lib, "-o", out};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const tagWBKRUN run = RunCli(args);
    EXPECT_EQ(EXIT_FAILED, run.nStatus) << c.reason;
    EXPECT_TRUE(StreamMatches(run.strErr, Holds(c.reason))) << c.reason;
    EXPECT_FALSE(FileExists(out)) << c.reason;
  }
}

TEST(WbkSetGroupAndSetFreq, FollowTheOutputRules) {
  CScratchDir dir;
  const std::string lib = SaveJobSample(dir);
  const std::string before = ReadBytes(lib);
  const std::string list = dir.Write("freq.txt", "北京 7\n");
  const std::string notLibrary = dir.Write("notes.txt", "keep me\n");
  const std::vector<std::string> edits[] = {{"set-group", lib, "--group", "0", "--tick"},
                                            {"set-freq", lib, "--phrases", list}};
  for (const std::vector<std::string>& edit : edits) {
    SCOPED_TRACE(edit[0]);
    // A dry run reports in JSON and writes nothing, not even in place.
    std::vector<std::string> args = edit;
    args.insert(args.end(), {"-o", lib, "--dry-run", "--json"});
    const tagWBKRUN dry = RunCli(args);
    EXPECT_EQ(EXIT_DONE, dry.nStatus) << dry.strErr;
    const nlohmann::json json = nlohmann::json::parse(dry.strOut);
    EXPECT_EQ(edit[0], json["command"]);
    EXPECT_TRUE(json["dry_run"].get<bool>());
    EXPECT_EQ(3, json["group_count"].get<int>());
    EXPECT_EQ(before, ReadBytes(lib));
    // Never a library over a file that is not one, whatever the name.
    args = edit;
    args.insert(args.end(), {"-o", notLibrary});
    const tagWBKRUN refused = RunCli(args);
    EXPECT_EQ(EXIT_FAILED, refused.nStatus);
    EXPECT_TRUE(StreamMatches(refused.strErr, Holds("error: "))) << refused.strErr;
    EXPECT_EQ("keep me\n", ReadBytes(notLibrary));
    // Without -o there is nothing to write to.
    const tagWBKRUN noOutput = RunCli(edit);
    EXPECT_EQ(EXIT_FAILED, noOutput.nStatus);
    EXPECT_TRUE(StreamMatches(noOutput.strErr, Holds("no library to write"))) << noOutput.strErr;
  }
}

TEST(WbkSetFreq, ListedPhrasesTakeTheirFrequenciesWhereverTheyAre) {
  CScratchDir dir;
  const std::string lib = SaveJobSample(dir);
  const std::string expected = JobCoreResult(dir, [](CTabrix& core) {
    const char* to7[] = {"北京", "啊阿"};
    const char* to250[] = {"一心一意"};
    const char* to0[] = {"三心二意"};
    EXPECT_EQ(1, core.SetFrequencyByText(to7, 2, 7, nullptr));
    EXPECT_EQ(1, core.SetFrequencyByText(to250, 1, 250, nullptr));
    EXPECT_EQ(1, core.SetFrequencyByText(to0, 1, 0, nullptr));
  });
  // An exported list's header and comments are passed over; a text listed
  // twice takes its last frequency; blanks after the number are allowed.
  const std::string list = dir.Write(
      "freq.txt", "@名称=x\n# comment\n北京\t7\n一心一意 250 \n啊阿 3\n三心二意\t0\n啊阿 7\n");
  const tagWBKRUN run = RunCli({"set-freq", lib, "--phrases", list, "-o", dir.Path("out.wbk")});
  EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_TRUE(
      StreamMatches(run.strOut, Holds("4 phrases given their frequency, 4 of them changed")))
      << run.strOut;
  EXPECT_EQ(expected, WithoutStamp(ReadBytes(dir.Path("out.wbk"))));

  // A UTF-8 list, in place.
  ASSERT_EQ(
      EXIT_DONE,
      RunCli({"set-freq", lib, "--phrases", dir.Write("u.txt", u8"北京 1\n"), "-o", lib}).nStatus);
  CTabrix back;
  ASSERT_EQ(1, back.Load(lib.c_str()));
  uint32_t pos = 0;
  ASSERT_EQ(1, back.FindPhrase("北京", &pos, nullptr));
  EXPECT_EQ(1, back.m_arrPhrase.GetAt(pos)->byFreq);
}

TEST(WbkSetFreq, BadLinesAndMissingTextsAreNamedAndTheRestIsSet) {
  CScratchDir dir;
  const std::string lib = SaveJobSample(dir);
  const std::string list =
      dir.Write("freq.txt", "北京 251\n北京人\n啊阿 x\na -1\n上海 5\n一心一意 8\n不在 1\n");
  const std::string out = dir.Path("out.wbk");
  const tagWBKRUN run = RunCli({"set-freq", lib, "--phrases", list, "-o", out});
  EXPECT_EQ(EXIT_WARNINGS, run.nStatus);
  EXPECT_TRUE(StreamMatches(run.strErr, Holds("4 lines have no frequency 0..250"))) << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strErr, Holds(u8"\"北京 251\""))) << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strErr, Holds("2 listed texts are not in the library")))
      << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strErr, Holds(u8"\"上海\""))) << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strOut, Holds("1 phrases given their frequency"))) << run.strOut;
  const std::string expected = JobCoreResult(dir, [](CTabrix& core) {
    const char* texts[] = {"一心一意"};
    EXPECT_EQ(1, core.SetFrequencyByText(texts, 1, 8, nullptr));
  });
  EXPECT_EQ(expected, WithoutStamp(ReadBytes(out)));

  const tagWBKRUN missing =
      RunCli({"set-freq", lib, "--phrases", dir.Path("none.txt"), "-o", dir.Path("x.wbk")});
  EXPECT_EQ(EXIT_FAILED, missing.nStatus);
  EXPECT_FALSE(FileExists(dir.Path("x.wbk")));
}

TEST(WbkSetFreq, FindsHitsGivenNewFrequenciesAreAListItReads) {
  CScratchDir dir;
  const std::string lib = SaveJobSample(dir);
  const tagWBKRUN found = RunCli({"find", lib, Arg(u8"北京")});
  ASSERT_EQ(EXIT_DONE, found.nStatus) << found.strErr;
  // Each hit's frequency (the column between the text and the group) made 4.
  std::string list;
  std::istringstream lines(found.strOut);
  for (std::string line; std::getline(lines, line);) {
    const size_t first = line.find('\t'), second = line.find('\t', first + 1);
    ASSERT_NE(std::string::npos, second) << line;
    list += line.substr(0, first) + "\t4" + line.substr(second) + "\n";
  }
  const std::string out = dir.Path("out.wbk");
  const tagWBKRUN run = RunCli({"set-freq", lib, "--phrases", "-", "-o", out}, list);
  EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_TRUE(
      StreamMatches(run.strOut, Holds("2 phrases given their frequency, 2 of them changed")))
      << run.strOut;
  const std::string expected = JobCoreResult(dir, [](CTabrix& core) {
    const char* texts[] = {"北京", "北京人"};
    EXPECT_EQ(1, core.SetFrequencyByText(texts, 2, 4, nullptr));
  });
  EXPECT_EQ(expected, WithoutStamp(ReadBytes(out)));
}

TEST(StorePositions, EachTextIsFoundWhereTheLookUpOfItAloneFindsIt) {
  CTabrix lib;
  JobSample(lib);
  // Any order, texts repeated, absent, too long for a record, a prefix of a
  // stored text, empty.
  const std::vector<std::string> texts = {
      "北京人", "a", "不在", std::string(31, 'a'), "北京", "北京", "北", "", "啊阿", "一心一意"};
  const std::vector<uint32_t> positions = StorePositions(lib, texts);
  ASSERT_EQ(texts.size(), positions.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    uint32_t pos = 0;
    const bool stored = texts[i].size() <= 30 && lib.FindPhrase(texts[i].c_str(), &pos, nullptr);
    EXPECT_EQ(stored ? pos : kNotStored, positions[i]) << i;
  }
  EXPECT_EQ(positions[4], positions[5]);
  EXPECT_EQ(kNotStored, positions[2]);
}

TEST(WbkDiff, ALibraryWithItselfIsTheSame) {
  CScratchDir dir;
  const std::string a = SaveJobSample(dir, "a.wbk");
  const std::string b = SaveJobSample(dir, "b.wbk");  // another save: another stamp
  const tagWBKRUN text = RunCli({"diff", a, b});
  EXPECT_EQ(EXIT_DONE, text.nStatus) << text.strErr;
  EXPECT_EQ("", text.strOut);
  EXPECT_EQ("", text.strErr);
  const tagWBKRUN json = RunCli({"diff", a, a, "--json"});
  EXPECT_EQ(EXIT_DONE, json.nStatus) << json.strErr;
  const nlohmann::json parsed = nlohmann::json::parse(json.strOut);
  EXPECT_TRUE(parsed["same"].get<bool>());
  EXPECT_TRUE(parsed["changed_groups"].empty());
  for (const char* kind : {"added", "removed", "moved", "frequency_changed"}) {
    EXPECT_EQ(0, parsed[std::string(kind) + "_count"].get<int>()) << kind;
  }
}

TEST(WbkDiff, AnEditedCopyNamesExactlyTheEdits) {
  CScratchDir dir;
  const std::string a = SaveJobSample(dir, "a.wbk");
  CTabrix edited;
  JobSample(edited);
  const char* moved[] = {"北京人"};
  const char* refreq[] = {"三心二意"};
  const char* removed[] = {"a"};
  ASSERT_EQ(1, edited.MovePhrasesByText(moved, 1, 1, nullptr));
  ASSERT_EQ(1, edited.SetFrequencyByText(refreq, 1, 8, nullptr));
  ASSERT_EQ(1, edited.RemovePhrasesByText(removed, 1, nullptr));
  ASSERT_EQ(1, edited.AddPhrase("新词", 255, 4, 1, 0));
  ASSERT_EQ(3, edited.AddGroup("新组", "", ""));
  ASSERT_EQ(1, edited.AddPhrase("新组词", 255, 6, 1, 3));
  {
    CEditHistory history;
    ASSERT_EQ(1, history.SetGroupText(edited, 2, "别的", "", "杂项"));
    ASSERT_EQ(1, history.SetGroupEnable(edited, 1, 0));
  }
  const std::string b = SaveLibrary(edited, dir.Path("b.wbk"));

  const tagWBKRUN json = RunCli({"diff", a, b, "--json"});
  EXPECT_EQ(EXIT_WARNINGS, json.nStatus) << json.strErr;
  // Each changed group as A and B have it, the fields that differ named.
  const nlohmann::json expected =
      nlohmann::json::parse(std::string(u8R"({
    "same": false,
    "added_count": 2, "removed_count": 1, "moved_count": 1, "frequency_changed_count": 1,
    "changed_groups": [
      {"group": 0, "in": "both", "changed_fields": [],
       "a": {"index": 0, "name": "成语", "editor": "张三", "remark": "四字", "ticked": false,
             "phrase_count": 2},
       "b": {"index": 0, "name": "成语", "editor": "张三", "remark": "四字", "ticked": false,
             "phrase_count": 3},
       "added": [{"text": "新词", "frequency": 4, "group": 0}], "removed": [], "moved": [],
       "frequency_changed": [{"text": "三心二意", "frequency": 8, "group": 0, "old_frequency": 3}]},
      {"group": 1, "in": "both", "changed_fields": ["ticked"],
       "a": {"index": 1, "name": "地名", "editor": "", "remark": "", "ticked": true,
             "phrase_count": 1},
       "b": {"index": 1, "name": "地名", "editor": "", "remark": "", "ticked": false,
             "phrase_count": 2},
       "added": [], "removed": [],
       "moved": [{"text": "北京人", "frequency": 2, "group": 1, "old_frequency": 2,
                  "from_group": 2}],
       "frequency_changed": []},
      {"group": 2, "in": "both", "changed_fields": ["name"],
       "a": {"index": 2, "name": "其他", "editor": "", "remark": "杂项", "ticked": false,
             "phrase_count": 3},
       "b": {"index": 2, "name": "别的", "editor": "", "remark": "杂项", "ticked": false,
             "phrase_count": 1},
       "added": [], "removed": [{"text": "a", "frequency": 0, "group": 2}], "moved": [],
       "frequency_changed": []},
      {"group": 3, "in": "b", "changed_fields": [],
       "b": {"index": 3, "name": "新组", "editor": "", "remark": "", "ticked": false,
             "phrase_count": 1},
       "added": [{"text": "新组词", "frequency": 6, "group": 3}], "removed": [], "moved": [],
       "frequency_changed": []}
    ]})"));
  nlohmann::json got = nlohmann::json::parse(json.strOut);
  EXPECT_EQ("diff", got["command"]);
  EXPECT_EQ(2u, got["files"].size());
  got.erase("command");
  got.erase("files");
  EXPECT_EQ(expected, got) << got.dump(1);

  const tagWBKRUN text = RunCli({"diff", a, b});
  EXPECT_EQ(EXIT_WARNINGS, text.nStatus);
  EXPECT_EQ(std::string(u8"group 0 \"成语\":\n"
                        u8"  + 新词\t4\n"
                        u8"  ~ 三心二意\t3 -> 8\n"
                        u8"group 1 \"地名\":\n"
                        u8"  ticked: yes -> no\n"
                        u8"  > 北京人\t2\tfrom group 2\n"
                        u8"group 2 \"别的\":\n"
                        u8"  name: \"其他\" -> \"别的\"\n"
                        u8"  - a\t0\n"
                        u8"group 3 \"新组\": only in B\n"
                        u8"  + 新组词\t6\n"
                        u8"2 added, 1 removed, 1 moved, 1 with another frequency; "
                        u8"2 group fields changed\n"),
            text.strOut);
}

TEST(WbkStats, CountsByGroupLengthAndFrequency) {
  CScratchDir dir;
  const std::string lib = SaveJobSample(dir);
  const tagWBKRUN text = RunCli({"stats", lib});
  EXPECT_EQ(EXIT_DONE, text.nStatus) << text.strErr;
  EXPECT_EQ("file: " + lib + "\n" +
                u8"phrases: 6\n"
                u8"by group (index, name, phrases):\n"
                u8"  0\t成语\t2\n  1\t地名\t1\n  2\t其他\t3\n"
                u8"by length (characters, phrases):\n"
                u8"  1\t1\n  2\t2\n  3\t1\n  4\t2\n"
                u8"by frequency (frequency, phrases):\n"
                u8"  0\t1\n  1\t1\n  2\t1\n  3\t1\n  5\t1\n  9\t1\n",
            text.strOut);

  const tagWBKRUN json = RunCli({"stats", lib, "--group", "2", "--json"});
  EXPECT_EQ(EXIT_DONE, json.nStatus) << json.strErr;
  nlohmann::json got = nlohmann::json::parse(json.strOut);
  EXPECT_EQ("stats", got["command"]);
  got.erase("command");
  got.erase("file");
  EXPECT_EQ(nlohmann::json::parse(std::string(u8R"({
    "group": 2, "phrase_count": 3,
    "groups": [{"index": 2, "name": "其他", "editor": "", "remark": "杂项", "ticked": false,
                "phrase_count": 3}],
    "by_length": [{"characters": 1, "phrase_count": 1}, {"characters": 2, "phrase_count": 1},
                  {"characters": 3, "phrase_count": 1}],
    "by_frequency": [{"frequency": 0, "phrase_count": 1}, {"frequency": 1, "phrase_count": 1},
                     {"frequency": 2, "phrase_count": 1}]})")),
            got)
      << got.dump(1);

  const tagWBKRUN bad = RunCli({"stats", lib, "--group", "3"});
  EXPECT_EQ(EXIT_FAILED, bad.nStatus);
  EXPECT_TRUE(StreamMatches(bad.strErr, Holds("the library has 3 groups"))) << bad.strErr;
}

TEST(WbkFind, JsonWithoutHitsIsStillWhole) {
  CScratchDir dir;
  const tagWBKRUN run = RunCli({"find", SaveJobSample(dir), Arg(u8"上海"), "--json"});
  ASSERT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  const nlohmann::json json = nlohmann::json::parse(run.strOut);
  EXPECT_EQ(0, json["phrase_count"].get<int>());
  EXPECT_TRUE(json["phrases"].is_array());
  EXPECT_TRUE(json["phrases"].empty());
}

TEST(WbkImport, FormatGivenOncePerFile) {
  CScratchDir dir;
  const std::string data = TABRIX_FORMAT_DATA;
  // A Rime dictionary and a phrase list under names that say neither.
  const std::string rime = dir.Write("one.dat", ReadBytes(data + "/sample.dict.yaml"));
  const std::string text = dir.Write("two.dat", "词语 3\n");
  const std::string out = dir.Path("out.wbk");
  const tagWBKRUN run = RunCli({"import", out, rime, "--format", "rime", text, "--format", "text"});
  EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strOut, Holds("one.dat -> group 0 \"sample\": 3 entries read")))
      << run.strOut;
  EXPECT_TRUE(StreamMatches(run.strOut, Holds("two.dat -> group 1 \"two\": 1 lines read")))
      << run.strOut;

  const tagWBKRUN mismatch = RunCli(
      {"import", dir.Path("x.wbk"), rime, text, text, "--format", "rime", "--format", "text"});
  EXPECT_EQ(EXIT_FAILED, mismatch.nStatus);
  EXPECT_TRUE(StreamMatches(mismatch.strErr, Holds("--format is given 2 times for 3 files")))
      << mismatch.strErr;
  EXPECT_FALSE(FileExists(dir.Path("x.wbk")));
}

}  // namespace
