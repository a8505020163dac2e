// The grammar every wbk command shares: usage errors that name their cause,
// help wrapped at 80 columns, one JSON vocabulary checked against one
// schema, "-" for the standard streams, --quiet and warnings cut short by
// kind. Plain literals are GBK, u8"" literals UTF-8.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <map>
#include <sstream>

#include "CliTestSupport.h"
#include "StreamExpectation.h"
#include "Tabrix.h"
#include "TestText.h"

namespace {

using tabrix_test::Joined;

std::string SampleLibrary(const CScratchDir& dir, const std::string& name) {
  CTabrix lib;
  lib.AddGroup("甲", "编者", "备注");
  lib.AddGroup("乙", "", "");
  lib.GetGroup(1)->bEnable = 1;
  lib.AddPhrase("北京", 255, 9, 1, 0);
  lib.AddPhrase("北京人", 255, 2, 1, 1);
  lib.AddPhrase("上海", 255, 3, 1, 1);
  const std::string path = dir.Path(name);
  EXPECT_EQ(1, lib.Save(path.c_str()));
  return path;
}

TEST(WbkGrammar, UsageErrorsNameTheirCause) {
  CScratchDir dir;
  const std::string lib = SampleLibrary(dir, "lib.wbk");
  struct tagCASE {
    std::vector<std::string> args;
    const char* pszReason;
  };
  const tagCASE cases[] = {
      {{}, "error: no command given"},
      {{"--bogus"}, "error: unknown option \"--bogus\""},
      {{"-V"}, "(did you mean \"--version\"?)"},
      {{"imprt"}, "error: unknown command \"imprt\" (did you mean \"import\"?)"},
      {{"help", "nosuch"}, "error: unknown command \"nosuch\""},
      {{"--json", "info", lib}, "error: --json is an option of a command"},
      {{"info", "--bogus"}, "error: info: unknown option \"--bogus\""},
      {{"info", lib, "--jsn"}, "(did you mean \"--json\"?)"},
      {{"info", lib, "--json=yes"}, "error: info: --json takes no value"},
      {{"info", lib, lib}, "error: info: too many arguments"},
      {{"find", lib}, "error: find: too few arguments"},
      {{"import", dir.Path("a.txt")}, "error: import: no library to write"},
      {{"import", dir.Path("a.txt"), "-o"}, "error: import: --output needs a value (FILE)"},
      {{"export", lib, "--group", "127"}, "a group is named by its index, 0..126"},
      {{"delete-group", lib, "-o", dir.Path("x.wbk")}, "which group?"},
      {{"delete-group", lib, dir.Path("x.wbk"), "0", "1"}, "too many arguments"},
      {{"remove", lib, dir.Path("x.wbk")}, "--phrases LIST is required"},
      {{"set-freq", lib, "-o", dir.Path("x.wbk")}, "--phrases LIST is required"},
      {{"set-group", lib, "-o", dir.Path("x.wbk"), "--tick"}, "which group?"},
      {{"set-group", lib, dir.Path("x.wbk"), "--group", "0"}, "nothing to set"},
      {{"set-group", lib, dir.Path("x.wbk"), "y.wbk", "--group", "0"}, "too many arguments"},
      {{"set-group", lib, "--group", "0", "--tick", "--untick", "-o", dir.Path("x.wbk")},
       "--tick and --untick"},
      {{"diff", lib}, "error: diff: too few arguments"},
      {{"diff", lib, lib, lib}, "error: diff: too many arguments"},
      {{"stats", lib, "--group", "127"}, "a group is named by its index, 0..126"},
      {{"import", dir.Path("a.txt"), "--format", "bogus", "-o", dir.Path("x.wbk")},
       "not one of auto, text"},
      {{"import", dir.Path("a.txt"), "-", "-", "-o", dir.Path("x.wbk")}, "can be read once"},
      {{"import", dir.Path("a.txt"), "-o", "-", "--json"}, "both write to the standard output"},
  };
  for (const tagCASE& c : cases) {
    const tagWBKRUN run = RunCli(c.args);
    EXPECT_EQ(EXIT_FAILED, run.nStatus) << Joined(c.args);
    EXPECT_EQ(0u, run.strErr.rfind("error: ", 0)) << Joined(c.args) << run.strErr;
    EXPECT_TRUE(StreamMatches(run.strErr, Holds(c.pszReason))) << Joined(c.args);
    EXPECT_EQ("", run.strOut) << Joined(c.args);
  }
  EXPECT_FALSE(FileExists(dir.Path("x.wbk")));
  // wbk alone says what is wrong and how to go on.
  EXPECT_TRUE(StreamMatches(RunCli({}).strErr, Holds("Usage: wbk COMMAND")));
}

// Lines of at most 80 columns; ASCII only, so bytes are columns.
void ExpectWrapped(const std::string& help, const std::string& what) {
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 80u) << what << ": " << line;
    for (char c : line) EXPECT_GE(static_cast<signed char>(c), 0) << what << ": " << line;
  }
}

TEST(WbkGrammar, HelpIsWrappedAndSpeaksOfFilesAndGroups) {
  const tagWBKRUN all = RunCli({"help"});
  ASSERT_EQ(EXIT_DONE, all.nStatus);
  EXPECT_EQ(all.strOut, RunCli({"--help"}).strOut);
  ExpectWrapped(all.strOut, "wbk help");
  // The exit statuses, once for all commands.
  EXPECT_TRUE(StreamMatches(all.strOut, Holds("Exit status, for every command:\n  0  done\n")));
  EXPECT_TRUE(StreamMatches(all.strOut, Holds("0..126")));
  for (const char* name : {"info", "import", "export", "check", "merge", "find", "remove",
                           "delete-group", "set-group", "set-freq", "diff", "stats"}) {
    const tagWBKRUN own = RunCli({"help", name});
    EXPECT_EQ(EXIT_DONE, own.nStatus) << name;
    EXPECT_EQ(own.strOut, RunCli({name, "--help"}).strOut) << name;
    ExpectWrapped(own.strOut, name);
    EXPECT_TRUE(StreamMatches(own.strOut, Holds("Usage: wbk "))) << name;
    EXPECT_EQ(std::string::npos, own.strOut.find("Exit status")) << name;
    for (const char* banned : {"low 8 bits", "import new group", "254", "Subcommand"}) {
      EXPECT_EQ(std::string::npos, own.strOut.find(banned)) << name << ": " << banned;
    }
  }
}

// The one vocabulary of every --json output: each name with the one type it
// has wherever it appears, and the names an object of a kind holds.
enum JsonKind {
  J_STRING,
  J_NUMBER,
  J_NUMBER_OR_NULL,
  J_BOOL,
  J_OBJECT,
  J_GROUPS,
  J_PHRASES,
  J_ARRAY,
  J_STRINGS
};

const std::map<std::string, JsonKind>& Vocabulary() {
  static const std::map<std::string, JsonKind> names = {
      {"command", J_STRING},
      {"file", J_STRING},
      {"output", J_STRING},
      {"dry_run", J_BOOL},
      {"files", J_ARRAY},
      {"version", J_OBJECT},
      {"major", J_NUMBER},
      {"minor", J_NUMBER},
      {"stamp", J_NUMBER},
      {"size", J_NUMBER},
      {"status", J_STRING},
      {"groups", J_GROUPS},
      {"group", J_NUMBER_OR_NULL},  // null: an import that made no group
      {"group_count", J_NUMBER},
      {"index", J_NUMBER},
      {"name", J_STRING},
      {"editor", J_STRING},
      {"remark", J_STRING},
      {"ticked", J_BOOL},
      {"phrases", J_PHRASES},
      {"phrase_count", J_NUMBER},
      {"text", J_STRING},
      {"frequency", J_NUMBER},
      {"added_count", J_NUMBER},
      {"removed_count", J_NUMBER},
      {"written_count", J_NUMBER},
      {"line_count", J_NUMBER},
      {"entry_count", J_NUMBER},
      {"header_line_count", J_NUMBER},
      {"frequency_reduced_count", J_NUMBER},
      {"encoding", J_STRING},
      {"format", J_STRING},
      {"frequency_above_250_count", J_NUMBER},
      {"dropped", J_OBJECT},
      {"duplicate", J_NUMBER},
      {"no_group", J_NUMBER},
      {"bad_length", J_NUMBER},
      {"damaged", J_NUMBER},
      {"too_long", J_NUMBER},
      {"out_of_range", J_NUMBER},
      {"control_or_empty", J_NUMBER},
      {"no_gbk_form", J_NUMBER},
      {"undecodable", J_NUMBER},
      {"not_found", J_NUMBER},
      {"not_in_text_format", J_NUMBER},
      {"missing", J_ARRAY},
      {"damage", J_OBJECT},
      {"reason", J_STRING},
      {"announced_phrase_count", J_NUMBER},
      {"recovered_phrase_count", J_NUMBER},
      {"findings", J_ARRAY},
      {"findings_not_listed", J_NUMBER},
      {"offset", J_NUMBER},
      {"kind", J_STRING},
      {"message", J_STRING},
      {"name_bytes", J_STRING},
      {"editor_bytes", J_STRING},
      {"remark_bytes", J_STRING},
      {"text_bytes", J_STRING},
      {"changed", J_BOOL},
      {"set_count", J_NUMBER},
      {"changed_count", J_NUMBER},
      {"no_frequency", J_NUMBER},
      {"same", J_BOOL},
      {"moved_count", J_NUMBER},
      {"frequency_changed_count", J_NUMBER},
      {"changed_groups", J_ARRAY},
      {"in", J_STRING},
      {"changed_fields", J_STRINGS},
      {"a", J_OBJECT},
      {"b", J_OBJECT},
      {"added", J_PHRASES},
      {"removed", J_PHRASES},
      {"moved", J_PHRASES},
      {"frequency_changed", J_PHRASES},
      {"old_frequency", J_NUMBER},
      {"from_group", J_NUMBER},
      {"by_length", J_ARRAY},
      {"by_frequency", J_ARRAY},
      {"characters", J_NUMBER},
  };
  return names;
}

bool IsSnakeCase(const std::string& key) {
  if (key.empty() || key[0] < 'a' || key[0] > 'z') return false;
  for (char c : key) {
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
  }
  return true;
}

void CheckObject(const nlohmann::json& obj, const std::string& where);

void CheckValue(const std::string& key, const nlohmann::json& value, const std::string& where) {
  const auto it = Vocabulary().find(key);
  ASSERT_NE(Vocabulary().end(), it) << where << ": \"" << key << "\" is not in the vocabulary";
  const std::string at = where + "." + key;
  switch (it->second) {
    case J_STRING:
      EXPECT_TRUE(value.is_string()) << at;
      break;
    case J_NUMBER:
      EXPECT_TRUE(value.is_number_unsigned()) << at;
      break;
    case J_NUMBER_OR_NULL:
      EXPECT_TRUE(value.is_number_unsigned() || value.is_null()) << at;
      break;
    case J_BOOL:
      EXPECT_TRUE(value.is_boolean()) << at;
      break;
    case J_STRINGS:
      ASSERT_TRUE(value.is_array()) << at;
      for (const nlohmann::json& item : value) EXPECT_TRUE(item.is_string()) << at;
      break;
    case J_OBJECT:
      ASSERT_TRUE(value.is_object()) << at;
      CheckObject(value, at);
      break;
    case J_GROUPS:
    case J_PHRASES:
    case J_ARRAY:
      ASSERT_TRUE(value.is_array()) << at;
      for (const nlohmann::json& item : value) {
        ASSERT_TRUE(item.is_object()) << at;
        CheckObject(item, at);
        // Every group and every phrase carries the same names.
        const std::vector<const char*> needed =
            it->second == J_GROUPS    ? std::vector<const char*>{"index",  "name",   "editor",
                                                                 "remark", "ticked", "phrase_count"}
            : it->second == J_PHRASES ? std::vector<const char*>{"text", "frequency", "group"}
                                      : std::vector<const char*>{};
        for (const char* name : needed) EXPECT_TRUE(item.contains(name)) << at << " " << name;
      }
      break;
  }
}

void CheckObject(const nlohmann::json& obj, const std::string& where) {
  for (auto it = obj.begin(); it != obj.end(); ++it) {
    EXPECT_TRUE(IsSnakeCase(it.key())) << where << ": " << it.key();
    CheckValue(it.key(), it.value(), where);
  }
}

TEST(WbkGrammar, EveryJsonOutputFollowsOneVocabulary) {
  CScratchDir dir;
  const std::string lib = SampleLibrary(dir, "lib.wbk");
  const std::string list = dir.Write("list.txt", "北京\n不在\n");
  // A group name and a phrase with a byte that has no Unicode form.
  const std::string odd =
      dir.Write("odd.wbk", BuildLibraryBytes({{"g\xFF", "", "", 0}}, {{0, 1, "x\xFF"}}));
  const std::vector<std::vector<std::string>> commands = {
      {"info", lib},
      {"info", odd},
      {"check", lib},
      {"check", dir.Write("trail.wbk", ReadBytes(lib) + "zz")},
      {"find", lib, Arg(u8"北京")},
      {"find", odd, "x"},
      {"import", dir.Write("a.txt", "中文 1\n长长长长长长长长长长长长长长长长 2\n"), "-o",
       dir.Path("imported.wbk")},
      {"merge", lib, dir.Path("imported.wbk"), "-o", dir.Path("merged.wbk")},
      {"remove", lib, "--phrases", list, "-o", dir.Path("removed.wbk")},
      {"export", lib, "--dir", dir.Path("lists")},
      {"delete-group", lib, "--group", "0", "-o", dir.Path("deleted.wbk")},
      {"set-group", lib, "--group", "1", "--untick", "--name", "x", "-o", dir.Path("set.wbk")},
      {"set-freq", lib, "--phrases", dir.Write("freq.txt", "北京 7\n上海 x\n不在 1\n"), "-o",
       dir.Path("freq.wbk")},
      {"diff", lib, dir.Path("set.wbk")},
      {"diff", lib, dir.Path("merged.wbk")},
      {"diff", odd, dir.Path("imported.wbk")},
      {"stats", lib},
      {"stats", odd, "--group", "0"},
  };
  for (const std::vector<std::string>& command : commands) {
    std::vector<std::string> args = command;
    args.push_back("--json");
    const tagWBKRUN run = RunCli(args);
    EXPECT_NE(EXIT_FAILED, run.nStatus) << Joined(command) << run.strErr;
    const nlohmann::json json = nlohmann::json::parse(run.strOut, nullptr, false);
    ASSERT_TRUE(json.is_object()) << Joined(command) << run.strOut;
    EXPECT_EQ(command[0], json.value("command", "")) << run.strOut;
    CheckObject(json, command[0]);
  }
  // The text of a byte with no Unicode form is no text that could be a
  // phrase's; its bytes are in their own field.
  const tagWBKRUN info = RunCli({"info", odd, "--json"});
  const nlohmann::json group = nlohmann::json::parse(info.strOut)["groups"][0];
  EXPECT_EQ(u8"g\uFFFD", group["name"].get<std::string>());
  EXPECT_EQ("67ff", group["name_bytes"].get<std::string>());
  EXPECT_FALSE(group.contains("editor_bytes"));
  const tagWBKRUN found = RunCli({"find", odd, "x", "--json"});
  EXPECT_EQ("78ff", nlohmann::json::parse(found.strOut)["phrases"][0]["text_bytes"]);
}

TEST(WbkGrammar, TheStandardStreamsAreDash) {
  CScratchDir dir;
  const std::string lib = SampleLibrary(dir, "lib.wbk");
  // A list from the standard input becomes a group named stdin.
  const std::string fromStdin = dir.Path("stdin.wbk");
  tagWBKRUN run = RunCli({"import", "-", "-o", fromStdin}, u8"广州 7\n");
  ASSERT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  CTabrix read;
  ASSERT_EQ(1, read.Load(fromStdin.c_str()));
  EXPECT_STREQ("stdin", read.GetGroup(0)->szName);
  EXPECT_EQ(1, read.FindPhrase("广州", nullptr, nullptr));

  // A library to the standard output: the same library as in a file, and
  // the report on the error stream.
  run = RunCli({"import", "-", "-o", "-"}, u8"广州 7\n");
  ASSERT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_EQ(WithoutStampAndTicks(ReadBytes(fromStdin)), WithoutStampAndTicks(run.strOut));
  EXPECT_TRUE(StreamMatches(run.strErr, Holds("1 phrases added"))) << run.strErr;

  // An export to the standard output, and into an import from it.
  run = RunCli({"export", lib, "--group", "1", "-o", "-"});
  ASSERT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strOut, Holds("上海\t3"))) << run.strOut;
  EXPECT_EQ("", run.strErr);
  const tagWBKRUN back = RunCli({"import", "-", "-o", dir.Path("back.wbk")}, run.strOut);
  EXPECT_EQ(EXIT_DONE, back.nStatus) << back.strErr;

  // find's output is a list that remove reads.
  const tagWBKRUN found = RunCli({"find", lib, Arg(u8"北京")});
  ASSERT_EQ(EXIT_DONE, found.nStatus);
  run = RunCli({"remove", lib, "--phrases", "-", "-o", lib}, found.strOut);
  EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_TRUE(StreamMatches(run.strOut, Holds("removed 2 phrases"))) << run.strOut;
  ASSERT_EQ(1, read.Load(lib.c_str()));
  EXPECT_EQ(1u, read.GetPhraseTotal());
  EXPECT_EQ(1, read.FindPhrase("上海", nullptr, nullptr));
}

TEST(WbkGrammar, WarningsOfOneKindAreCutShortAndQuietHasNone) {
  CScratchDir dir;
  std::string text;
  for (int i = 0; i < 12; ++i) text += std::string(u8"好") + "\xF0\x9F\x98\x80 1\n";
  text += u8"好 2\n";
  const std::string list = dir.Write("emoji.txt", text);
  tagWBKRUN run = RunCli({"import", list, "-o", dir.Path("a.wbk")});
  EXPECT_EQ(EXIT_WARNINGS, run.nStatus);
  size_t shown = 0;
  for (size_t at = run.strErr.find("; line skipped"); at != std::string::npos;
       at = run.strErr.find("; line skipped", at + 1)) {
    ++shown;
  }
  EXPECT_EQ(5u, shown) << run.strErr;
  EXPECT_TRUE(
      StreamMatches(run.strErr, Holds("warning: 7 more \"line skipped\" warnings not shown")))
      << run.strErr;
  std::istringstream lines(run.strErr);
  for (std::string line; std::getline(lines, line);) EXPECT_EQ(0u, line.rfind("warning: ", 0));

  run = RunCli({"import", list, "-o", dir.Path("b.wbk"), "--quiet"});
  EXPECT_EQ(EXIT_WARNINGS, run.nStatus);  // the status still tells
  EXPECT_EQ("", run.strErr);
  EXPECT_EQ("", run.strOut);
  CTabrix lib;
  ASSERT_EQ(1, lib.Load(dir.Path("b.wbk").c_str()));
  EXPECT_EQ(1u, lib.GetPhraseTotal());
  // Results stay: -q keeps find's hits.
  EXPECT_EQ(u8"好\t2\t0\n", RunCli({"find", dir.Path("b.wbk"), "", "-q"}).strOut);
}

}  // namespace
