// The real wbk program run as a child process: its exit statuses and streams.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "Tabrix.h"
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
    const char* pszOut;
    const char* pszErr;
  };
  const tagCASE cases[] = {
      {{"--version"}, 0, "wbk 1.1", ""},
      {{"check", good}, 0, "clean", ""},
      {{"check", damaged}, 1, "trailing-bytes", ""},
      {{"check", dir.Path("none.wbk")}, 2, "", "cannot be read"},
      {{"import", dir.Path("out.wbk"), comments}, 1, "0 phrases added", "added no phrases"},
      {{"info"}, 2, "", "LIB"},
  };
  for (const tagCASE& c : cases) {
    std::string out = dir.Path("stdout.txt"), err = dir.Path("stderr.txt");
    int status = RunProgram(c.args, out, err);
    EXPECT_EQ(status, c.nStatus) << c.args[0];
    std::string outText = ReadBytes(out), errText = ReadBytes(err);
    EXPECT_NE(outText.find(c.pszOut), std::string::npos) << c.args[0] << ": " << outText;
    EXPECT_NE(errText.find(c.pszErr), std::string::npos) << c.args[0] << ": " << errText;
  }
}

}  // namespace
