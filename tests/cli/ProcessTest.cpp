// The real wbk program run as a child process: its exit statuses and streams.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "Tabrix.h"

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace {

std::string ProgramPath() {
  std::string path = WBK_PROGRAM;
#ifdef _WIN32
  // A cross-built program run by Wine: the Linux file system is drive Z:.
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
  return path;
}

// Runs wbk with the arguments; its standard output and error go to files.
int RunProgram(const std::vector<std::string>& args, const std::string& outFile,
               const std::string& errFile) {
  std::string program = ProgramPath();
#ifdef _WIN32
  // _spawnv joins the arguments into one command line: quote each.
  std::vector<std::string> quoted = {"\"" + program + "\""};
  for (const std::string& a : args) quoted.push_back("\"" + a + "\"");
  std::vector<const char*> argv;
  for (const std::string& q : quoted) argv.push_back(q.c_str());
  argv.push_back(nullptr);
  std::FILE* out = std::freopen(outFile.c_str(), "wb", stdout);
  (void)out;
  std::FILE* err = std::freopen(errFile.c_str(), "wb", stderr);
  (void)err;
  intptr_t status = _spawnv(_P_WAIT, program.c_str(), argv.data());
  std::freopen("CON", "w", stdout);
  std::freopen("CON", "w", stderr);
  return static_cast<int>(status);
#else
  std::vector<char*> argv;
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  for (std::string& a : all) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
#endif
}

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
