// What the real wbk program creates on the disk when it imports a UTF-8
// list: the library it writes and that library's own temporary, nothing
// else. Watched with strace, on Linux.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "Tabrix.h"
#include "WbkProcess.h"

namespace {

#ifndef _WIN32

std::string ShellQuoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs the command under strace, each file call of every process written to
// log; the command's status, or -1 when strace itself could not trace.
int RunTraced(const std::string& log, const std::string& command) {
  const std::string line =
      "strace -f -qq -e trace=%file -o " + ShellQuoted(log) + " " + command + " >/dev/null 2>&1";
  const int status = std::system(line.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The paths the traced calls created, wrote, renamed to or linked: the
// first quoted argument of an open for writing or creating, or of a
// creating call, and the second of a rename or link.
std::vector<std::string> TracedMadePaths(const std::string& log) {
  std::vector<std::string> made;
  std::istringstream lines(ReadBytes(log));
  std::string line;
  auto quoted = [&](size_t which) {
    size_t at = 0;
    for (size_t i = 0; i <= which; ++i) {
      at = line.find('"', at);
      if (at == std::string::npos) return std::string();
      const size_t end = line.find('"', at + 1);
      if (end == std::string::npos) return std::string();
      if (i == which) return line.substr(at + 1, end - at - 1);
      at = end + 1;
    }
    return std::string();
  };
  while (std::getline(lines, line)) {
    if (line.find("= -1 ") != std::string::npos) continue;  // a call that failed made nothing
    const bool bOpen = line.find(" open") != std::string::npos;
    if (bOpen &&
        (line.find("O_CREAT") != std::string::npos || line.find("O_WRONLY") != std::string::npos ||
         line.find("O_RDWR") != std::string::npos)) {
      made.push_back(quoted(0));
    } else if (line.find(" creat(") != std::string::npos ||
               line.find(" mkdir") != std::string::npos ||
               line.find(" mknod") != std::string::npos) {
      made.push_back(quoted(0));
    } else if (line.find(" rename") != std::string::npos ||
               line.find(" link") != std::string::npos ||
               line.find(" symlink") != std::string::npos) {
      made.push_back(quoted(1));
    }
  }
  return made;
}

TEST(WbkImportFiles, AUtf8ListMakesNoFileButTheLibrarysOwn) {
  if (std::system("strace -V >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "strace is not installed: the files an import makes are not watched";
  }
  CScratchDir dir;
  if (RunTraced(dir.Path("probe.log"), "true") != 0) {
    GTEST_SKIP() << "strace cannot trace a process here (no ptrace): nothing is watched";
  }
  // Long enough that a copy would be written in more than one piece, with a
  // line that does not convert.
  std::string list = u8"@名称=成语\n";
  for (int i = 0; i < 20000; ++i) list += u8"词" + std::to_string(i) + " 5\n";
  list += u8"\U0001F600 3\n";
  const std::string text = dir.Write("list.txt", list);
  const std::string library = dir.Path("out.wbk");
  const std::string log = dir.Path("trace.log");
  // The line with no GBK form ends the run with a warning: status 1.
  ASSERT_EQ(RunTraced(log, ShellQuoted(WbkProgramPath()) + " import " + ShellQuoted(library) + " " +
                               ShellQuoted(text)),
            1);
  EXPECT_NE(ReadBytes(log).find("\"" + text + "\""), std::string::npos)
      << "the list was read under the trace";

  CTabrix lib;
  ASSERT_EQ(lib.Load(library.c_str()), 1);
  ASSERT_EQ(lib.GetGroupCount(), 1u);
  EXPECT_EQ(lib.GetGroup(0)->dwCount, 20000u);
  const std::vector<std::string> made = TracedMadePaths(log);
  EXPECT_FALSE(made.empty()) << "the library itself was written";
  for (const std::string& path : made) {
    // The library, and its temporary beside it (its name and a suffix).
    EXPECT_EQ(path.compare(0, library.size(), library), 0) << "made " << path;
  }
}

#endif

}  // namespace
