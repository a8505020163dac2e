// The bash completion and the man page that tools/wbk-shell-files.py makes
// from the built wbk's help: every command is in them, and the completion
// completes. Skipped where python3 or bash is missing, and on Windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "CliTestSupport.h"

namespace {

#ifndef _WIN32
bool Runs(const std::string& command) { return std::system(command.c_str()) == 0; }
#endif

TEST(WbkShellFiles, CompletionAndManPageFollowTheHelp) {
#ifdef _WIN32
  GTEST_SKIP() << "the files are made for a Unix shell";
#else
  if (!Runs("python3 --version >/dev/null 2>&1") || !Runs("bash --version >/dev/null 2>&1")) {
    GTEST_SKIP() << "python3 or bash is not installed";
  }
  CScratchDir dir;
  const std::string out = dir.Path("shell");
  const std::string log = dir.Path("log.txt");
  ASSERT_TRUE(
      Runs("python3 '" WBK_SHELL_FILES "' '" WBK_PROGRAM "' '" + out + "' >'" + log + "' 2>&1"))
      << ReadBytes(log);
  const std::string bash = ReadBytes(out + "/wbk.bash");
  const bool manPage = Runs("command -v help2man >/dev/null 2>&1");
  const std::string man = manPage ? ReadBytes(out + "/wbk.1") : "";
  for (const char* command : {"info", "import", "export", "check", "merge", "find", "remove",
                              "delete-group", "set-group", "set-freq", "diff", "stats"}) {
    EXPECT_NE(std::string::npos, bash.find("    " + std::string(command) + ")\n")) << command;
    if (manPage) {
      std::string title;  // a hyphen in roff is "\-"
      for (const char* c = command; *c; ++c)
        title += *c == '-' ? std::string("\\-") : std::string(1, *c);
      EXPECT_NE(std::string::npos, man.find(".SS \"" + title + "\"")) << command;
    }
  }
  // What bash offers after a few beginnings of a command line.
  const struct {
    const char* pszWords;  // the words typed, the last one being completed
    const char* pszOffered;
  } cases[] = {
      {"wbk set-", "set-group set-freq"},
      {"wbk import a.txt --format ", "auto text scel bdict qpyd rime columns"},
      {"wbk import a.txt --encoding u", "utf-8"},
      {"wbk set-group LIB --un", "--untick"},
      {"wbk help st", "stats"},
  };
  for (const auto& c : cases) {
    const std::string offered = dir.Path("offered.txt");
    // A word being begun from nothing is an empty word.
    const std::string typed = c.pszWords;
    const std::string words = typed + (typed.back() == ' ' ? "''" : "");
    const std::string script =
        dir.Write("complete.sh", "source '" + out + "/wbk.bash'\nCOMP_WORDS=(" + words +
                                     ")\nCOMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n_wbk\n"
                                     "echo \"${COMPREPLY[*]}\" >'" +
                                     offered + "'\n");
    ASSERT_TRUE(Runs("bash '" + script + "'")) << c.pszWords;
    EXPECT_EQ(std::string(c.pszOffered) + "\n", ReadBytes(offered)) << c.pszWords;
  }
#endif
}

}  // namespace
