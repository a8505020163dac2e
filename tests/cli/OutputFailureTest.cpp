// Results that cannot be written: every command then fails with status 2 and
// says so on the error stream, in-process and as the real program.
#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "Tabrix.h"
#include "WbkProcess.h"

namespace {

const char kMessage[] = "error: cannot write to the standard output";

std::string GoodLibrary(const CScratchDir& dir, const std::string& name) {
  std::string path = dir.Path(name);
  CTabrix lib;
  lib.AddGroup("a", "", "");
  lib.AddPhrase("b", 5, 3, 1, 0);
  EXPECT_TRUE(lib.Save(path.c_str()));
  return path;
}

// Every command with something to say on the standard output.
std::vector<std::vector<std::string>> Writers(const CScratchDir& dir) {
  std::string lib = GoodLibrary(dir, "good.wbk");
  std::string text = dir.Write("t.txt", "c\t5\n");
  return {
      {"info", lib},
      {"info", "--json", lib},
      {"check", lib},
      {"check", "--json", lib},
      // Run twice each: the second run replaces the first one's library.
      {"merge", dir.Path("merged.wbk"), lib, "--force"},
      {"import", dir.Path("imported.wbk"), text, "--force"},
      {"export", lib, "--dir", dir.Path("exported")},
      {"export", lib},
      {"--version"},
      {"--help"},
  };
}

// Takes output into its buffer, as a file stream does, and fails only when
// the buffer is flushed: what the standard output does with a full disk.
class CFailingFlushBuf : public std::streambuf {
 public:
  CFailingFlushBuf() { setp(m_arrBuffer, m_arrBuffer + sizeof m_arrBuffer); }

 protected:
  int overflow(int) override { return traits_type::eof(); }
  int sync() override { return -1; }

 private:
  char m_arrBuffer[1 << 16];
};

tagWBKRUN RunWithFailingOutput(const std::vector<std::string>& args) {
  CFailingFlushBuf buffer;
  std::ostream out(&buffer);
  std::ostringstream err;
  tagCLICONTEXT ctx{&out, &err, CODEPAGE_UTF8, false};
  std::vector<const char*> argv{"wbk"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  int status = RunWbk(ctx, static_cast<int>(argv.size()), argv.data());
  return tagWBKRUN{status, std::string(), err.str()};
}

TEST(WbkOutputFailure, EveryCommandFailsWhenItsOutputIsNotWritten) {
  CScratchDir dir;
  for (const std::vector<std::string>& args : Writers(dir)) {
    // The same command succeeds, and writes, when its output goes through.
    tagWBKRUN good = RunCli(args);
    EXPECT_EQ(good.nStatus, EXIT_DONE) << args[0] << good.strErr;
    EXPECT_NE(good.strOut, "") << args[0];
    EXPECT_EQ(good.strErr.find(kMessage), std::string::npos) << args[0];

    tagWBKRUN bad = RunWithFailingOutput(args);
    EXPECT_EQ(bad.nStatus, EXIT_FAILED) << args[0];
    EXPECT_NE(bad.strErr.find(kMessage), std::string::npos) << args[0] << ": " << bad.strErr;
    // Said once, even by export, which checks its own writes.
    EXPECT_EQ(bad.strErr.find(kMessage), bad.strErr.rfind(kMessage)) << args[0] << bad.strErr;
  }
}

TEST(WbkOutputFailure, ACommandThatFailedKeepsItsOwnError) {
  CScratchDir dir;
  tagWBKRUN r = RunWithFailingOutput({"check", dir.Path("missing.wbk")});
  EXPECT_EQ(r.nStatus, EXIT_FAILED);
  EXPECT_NE(r.strErr.find("missing.wbk: cannot be read"), std::string::npos) << r.strErr;
}

#ifndef _WIN32

TEST(WbkOutputFailure, TheProgramFailsOnAFullDevice) {
  CScratchDir dir;
  std::string err = dir.Path("stderr.txt");
  for (const std::vector<std::string>& args : Writers(dir)) {
    std::string out = dir.Path("stdout.txt");
    EXPECT_EQ(RunProgram(args, out, err), EXIT_DONE) << args[0] << ReadBytes(err);
    EXPECT_NE(ReadBytes(out), "") << args[0];

    EXPECT_EQ(RunProgram(args, "/dev/full", err), EXIT_FAILED) << args[0];
    std::string errText = ReadBytes(err);
    EXPECT_NE(errText.find(kMessage), std::string::npos) << args[0] << ": " << errText;
  }
}

#endif

}  // namespace
