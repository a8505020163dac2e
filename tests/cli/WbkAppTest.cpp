// The subcommands of wbk: the list an unknown command is answered with, and
// that every name in it is a command the parser knows.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "CliTestSupport.h"

namespace {

TEST(WbkCommands, AnUnknownCommandIsAnsweredWithTheList) {
  tagWBKRUN r = RunCli({"frobnicate", "x.wbk"});
  EXPECT_EQ(r.nStatus, EXIT_FAILED);
  EXPECT_EQ(r.strOut, "");
  EXPECT_EQ(r.strErr,
            "error: unknown command \"frobnicate\"; the commands: info, import, export, check, "
            "merge, find, remove, delete-group, set-group, set-freq, diff, stats; see wbk help\n");
}

TEST(WbkCommands, EveryListedNameIsACommandInTheHelpInThatOrder) {
  tagWBKRUN unknown = RunCli({"frobnicate"});
  const std::string head = "; the commands: ";
  const size_t from = unknown.strErr.find(head);
  ASSERT_NE(from, std::string::npos) << unknown.strErr;
  const size_t to = unknown.strErr.find(';', from + head.size());
  ASSERT_NE(to, std::string::npos) << unknown.strErr;
  std::istringstream list(unknown.strErr.substr(from + head.size(), to - from - head.size()));
  std::vector<std::string> names;
  for (std::string name; std::getline(list, name, ',');) {
    names.push_back(name.substr(name.find_first_not_of(' ')));
  }
  ASSERT_EQ(names.size(), 12u) << unknown.strErr;

  tagWBKRUN help = RunCli({"--help"});
  ASSERT_EQ(help.nStatus, EXIT_DONE);
  size_t at = help.strOut.find("Commands:");
  ASSERT_NE(at, std::string::npos) << help.strOut;
  for (const std::string& name : names) {
    tagWBKRUN own = RunCli({name, "--help"});
    EXPECT_EQ(own.nStatus, EXIT_DONE) << name;
    EXPECT_NE(own.strOut.find("Usage: wbk " + name + " "), std::string::npos) << own.strOut;
    const size_t next = help.strOut.find("\n  " + name + " ", at);
    EXPECT_NE(next, std::string::npos) << name << " after offset " << at;
    if (next != std::string::npos) at = next;
  }
}

}  // namespace
