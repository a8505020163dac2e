// No wbk command destroys a file by accident: each accident of a command line
// is refused with its reason and leaves every file as it was (bytes
// compared); the safe forms, older and newer, still write; --dry-run writes
// nothing. Plain literals are GBK, u8"" literals UTF-8.
#include <gtest/gtest.h>

#include <map>

#include "CliTestSupport.h"
#include "StreamExpectation.h"
#include "Tabrix.h"
#include "TestText.h"

namespace {

// Every file of the folder with its bytes: what must not change.
std::map<std::string, std::string> Snapshot(const CScratchDir& dir) {
  std::map<std::string, std::string> files;
  for (const std::string& name : dir.Names()) files[name] = ReadBytes(dir.Path(name));
  return files;
}

using tabrix_test::Joined;

// M.wbk (two groups), other.wbk (one), two phrase lists, a note that is no
// library and an empty file. The command lines of a table name files by
// their names (each with a dot), which become their paths in the folder.
struct CFiles {
  explicit CFiles(const CScratchDir& dir) : m_dir(dir) {
    CTabrix lib;
    lib.AddGroup("甲", "", "");
    lib.AddGroup("乙", "", "");
    lib.AddPhrase("北京", 255, 9, 1, 0);
    lib.AddPhrase("上海", 255, 3, 1, 1);
    EXPECT_TRUE(lib.Save(dir.Path("M.wbk").c_str()));
    CTabrix other;
    other.AddGroup("丙", "", "");
    other.AddPhrase("广州", 255, 2, 1, 0);
    EXPECT_TRUE(other.Save(dir.Path("other.wbk").c_str()));
    dir.Write("a.txt", "北京 9\n上海 3\n");
    dir.Write("b.txt", "中文 1\n");
    dir.Write("notes.txt", "my notes\n");
    dir.Write("empty.wbk", "");
  }
  // Names of the folder's files become their paths; anything else stays.
  std::vector<std::string> Args(const std::vector<std::string>& args) const {
    std::vector<std::string> out;
    for (const std::string& a : args) {
      const bool named = a.find('.') != std::string::npos && a[0] != '-';
      out.push_back(named ? m_dir.Path(a) : a);
    }
    return out;
  }
  const CScratchDir& m_dir;
};

TEST(WbkOutputRules, EachAccidentIsRefusedAndNoFileChanges) {
  CScratchDir dir;
  CFiles files(dir);
  struct tagCASE {
    std::vector<std::string> args;
    const char* pszReason;
  };
  const tagCASE cases[] = {
      // An existing library that the import does not read.
      {{"import", "M.wbk", "b.txt"}, "is an existing library; add to it with --base"},
      {{"import", "b.txt", "-o", "other.wbk"}, "replace it with --force"},
      // The output forgotten: the first list would be written over.
      {{"import", "a.txt", "b.txt"}, "a library named by position must end in .wbk"},
      {{"import", "b.txt", "-o", "b.txt"}, "is also a file the command reads"},
      {{"import", "b.txt", "-o", "notes.txt"}, "exists and is not a library"},
      {{"import", "b.txt", "-o", "notes.txt", "--force"}, "exists and is not a library"},
      {{"import", "b.txt", "M.wbk", "-o", "new.wbk"}, "is a library, not a list to import"},
      // An export over a library.
      {{"export", "M.wbk", "--group", "0", "-o", "M.wbk"}, "is also a file the command reads"},
      {{"export", "M.wbk", "--group", "0", "-o", "other.wbk"}, "would be replaced by text"},
      {{"merge", "M.wbk", "other.wbk"}, "is an existing library; replace it with --force"},
      {{"merge", "M.wbk", "M.wbk", "other.wbk"}, "is also a file the command reads"},
      {{"merge", "other.wbk", "-o", "notes.txt"}, "exists and is not a library"},
      // Arguments swapped or missing.
      {{"delete-group", "M.wbk", "1", "0"}, "a library named by position must end in .wbk"},
      {{"delete-group", "M.wbk", "--group", "0", "-o", "other.wbk"}, "replace it with --force"},
      {{"remove", "M.wbk", "notes.txt", "--phrases", "a.txt"}, "must end in .wbk"},
      {{"remove", "M.wbk", "--phrases", "a.txt", "-o", "a.txt"},
       "is also a file the command reads"},
      {{"set-group", "M.wbk", "notes.txt", "--group", "0", "--tick"}, "must end in .wbk"},
      {{"set-group", "M.wbk", "--group", "0", "--tick", "-o", "other.wbk"},
       "replace it with --force"},
      {{"set-group", "M.wbk", "--group", "0", "--tick", "-o", "notes.txt", "--force"},
       "exists and is not a library"},
      {{"set-freq", "M.wbk", "--phrases", "a.txt", "-o", "a.txt"},
       "is also a file the command reads"},
      {{"set-freq", "M.wbk", "a.txt", "--phrases", "a.txt"}, "must end in .wbk"},
      {{"set-freq", "M.wbk", "--phrases", "a.txt", "-o", "other.wbk"}, "replace it with --force"},
  };
  for (const tagCASE& c : cases) {
    const std::vector<std::string> args = files.Args(c.args);
    const auto before = Snapshot(dir);
    const tagWBKRUN run = RunCli(args);
    EXPECT_EQ(EXIT_FAILED, run.nStatus) << Joined(c.args);
    EXPECT_EQ(0u, run.strErr.rfind("error: ", 0)) << Joined(c.args) << run.strErr;
    EXPECT_TRUE(StreamMatches(run.strErr, Holds(c.pszReason))) << Joined(c.args);
    EXPECT_TRUE(StreamMatches(run.strErr, Holds("nothing was written"))) << Joined(c.args);
    EXPECT_EQ("", run.strOut) << Joined(c.args);
    EXPECT_TRUE(before == Snapshot(dir)) << Joined(c.args);
  }
}

TEST(WbkOutputRules, TheSafeFormsWrite) {
  CScratchDir dir;
  CFiles files(dir);
  struct tagCASE {
    std::vector<std::string> args;
    const char* pszWritten;  // the file that must exist as a library afterwards
    uint32_t nGroups;        // its group count
  };
  const tagCASE cases[] = {
      {{"import", "out1.wbk", "a.txt", "b.txt"}, "out1.wbk", 2},  // the older form
      {{"import", "a.txt", "-o", "out2.lib"}, "out2.lib", 1},     // -o names any file
      {{"import", "M.wbk", "b.txt", "--base", "M.wbk"}, "M.wbk", 3},
      {{"import", "b.txt", "--base", "M.wbk", "-o", "M.wbk", "--group", "0"}, "M.wbk", 3},
      {{"import", "b.txt", "-o", "other.wbk", "--force"}, "other.wbk", 1},
      {{"import", "b.txt", "-o", "empty.wbk"}, "empty.wbk", 1},  // an empty file holds nothing
      {{"merge", "out3.wbk", "M.wbk", "other.wbk"}, "out3.wbk", 4},
      {{"merge", "M.wbk", "other.wbk", "-o", "out1.wbk", "--force"}, "out1.wbk", 4},
      {{"remove", "M.wbk", "M.wbk", "--phrases", "a.txt"}, "M.wbk", 3},  // in place
      {{"delete-group", "M.wbk", "M.wbk", "2"}, "M.wbk", 2},
      {{"delete-group", "M.wbk", "--group", "1", "-o", "M.wbk"}, "M.wbk", 1},
      {{"delete-group", "out3.wbk", "out4.wbk", "--group", "3"}, "out4.wbk", 3},
      {{"delete-group", "out3.wbk", "0", "-o", "out5.wbk"}, "out5.wbk", 3},
      {{"set-group", "M.wbk", "--group", "0", "--tick", "-o", "M.wbk"}, "M.wbk", 1},
      {{"set-group", "out3.wbk", "out6.wbk", "--group", "0", "--name", "x"}, "out6.wbk", 4},
      {{"set-freq", "M.wbk", "M.wbk", "--phrases", "a.txt"}, "M.wbk", 1},
      {{"set-freq", "out3.wbk", "--phrases", "a.txt", "-o", "other.wbk", "--force"},
       "other.wbk",
       4},
  };
  for (const tagCASE& c : cases) {
    const tagWBKRUN run = RunCli(files.Args(c.args));
    EXPECT_NE(EXIT_FAILED, run.nStatus) << Joined(c.args) << run.strErr;
    CTabrix lib;
    ASSERT_EQ(1, lib.Load(dir.Path(c.pszWritten).c_str())) << Joined(c.args);
    EXPECT_EQ(c.nGroups, lib.GetGroupCount()) << Joined(c.args);
  }
  // A text file is replaced by a text: export may write over its own lists.
  const tagWBKRUN run = RunCli(files.Args({"export", "M.wbk", "--group", "0", "-o", "notes.txt"}));
  EXPECT_EQ(EXIT_DONE, run.nStatus) << run.strErr;
  EXPECT_NE(std::string::npos, ReadBytes(dir.Path("notes.txt")).find("@名称=甲"));
}

TEST(WbkOutputRules, ADryRunWritesNothing) {
  CScratchDir dir;
  CFiles files(dir);
  const std::vector<std::vector<std::string>> commands = {
      {"import", "a.txt", "b.txt", "-o", "new.wbk"},
      {"import", "b.txt", "--base", "M.wbk", "-o", "M.wbk"},
      {"merge", "M.wbk", "other.wbk", "-o", "new.wbk"},
      {"remove", "M.wbk", "M.wbk", "--phrases", "a.txt"},
      {"delete-group", "M.wbk", "--group", "0", "-o", "M.wbk"},
      {"export", "M.wbk", "--dir", "lists.d"},
      {"export", "M.wbk", "--group", "1", "-o", "notes.txt"},
      {"set-group", "M.wbk", "--group", "0", "--untick", "-o", "M.wbk"},
      {"set-freq", "M.wbk", "--phrases", "a.txt", "-o", "M.wbk"},
  };
  for (const std::vector<std::string>& command : commands) {
    std::vector<std::string> args = files.Args(command);
    args.push_back("--dry-run");
    const auto before = Snapshot(dir);
    const tagWBKRUN run = RunCli(args);
    EXPECT_EQ(EXIT_DONE, run.nStatus) << Joined(command) << run.strErr;
    EXPECT_TRUE(StreamMatches(run.strOut, Holds("dry run: nothing written"))) << Joined(command);
    EXPECT_TRUE(before == Snapshot(dir)) << Joined(command);
  }
  // The JSON summary says so too.
  const tagWBKRUN json =
      RunCli(files.Args({"import", "a.txt", "-o", "new.wbk", "--dry-run", "--json"}));
  EXPECT_TRUE(StreamMatches(json.strOut, Holds("\"dry_run\":true"))) << json.strOut;
  EXPECT_FALSE(FileExists(dir.Path("new.wbk")));
}

// What was added is told only once it is saved.
TEST(WbkOutputRules, AFailedSaveReportsNoPhrasesAdded) {
  CScratchDir dir;
  CFiles files(dir);
  const tagWBKRUN run = RunCli({"import", dir.Path("a.txt"), "-o", dir.Path("no/such/out.wbk")});
  EXPECT_EQ(EXIT_FAILED, run.nStatus);
  EXPECT_TRUE(StreamMatches(run.strErr, Holds("could not be saved"))) << run.strErr;
  EXPECT_EQ("", run.strOut);
}

}  // namespace
