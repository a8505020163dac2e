// The real wbk program run as a child process: its exit statuses and streams.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "StreamExpectation.h"
#include "Tabrix.h"
#include "TabrixVersion.h"
#include "WbkProcess.h"

namespace {

TEST(WbkProgram, ExitStatuses) {
  CScratchDir dir;
  std::string good = dir.Path("good.wbk");
  {
    CTabrix lib;
    lib.AddGroup("a", "", "");
    lib.AddPhrase("b", 255, 3, 1, 0);
    ASSERT_TRUE(lib.Save(good.c_str()));
  }
  std::string damaged = dir.Write("damaged.wbk", ReadBytes(good) + "x");
  std::string comments = dir.Write("c.txt", "# nothing\n");
  struct tagCASE {
    std::vector<std::string> args;
    int nStatus;
    tagSTREAMWANT out;
    tagSTREAMWANT err;
  };
  const tagCASE cases[] = {
      {{"--version"}, 0, Holds("wbk " TABRIX_VERSION_TEXT), NothingWritten()},
      {{"check", good}, 0, Holds("clean"), NothingWritten()},
      {{"check", damaged}, 1, Holds("trailing-bytes"), NothingWritten()},
      {{"check", dir.Path("none.wbk")}, 2, NothingWritten(), Holds("cannot be read")},
      {{"import", dir.Path("out.wbk"), comments},
       1,
       Holds("0 phrases added"),
       Holds("added no phrases")},
      {{"info"}, 2, NothingWritten(), Holds("LIB")},
  };
  for (const tagCASE& c : cases) {
    std::string out = dir.Path("stdout.txt"), err = dir.Path("stderr.txt");
    int status = RunProgram(c.args, out, err);
    EXPECT_EQ(status, c.nStatus) << c.args[0];
    std::string outText = ReadBytes(out), errText = ReadBytes(err);
    EXPECT_TRUE(StreamMatches(outText, c.out)) << c.args[0];
    EXPECT_TRUE(StreamMatches(errText, c.err)) << c.args[0];
  }
}

}  // namespace
