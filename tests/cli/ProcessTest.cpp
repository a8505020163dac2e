// The real wbk program run as a child process: its exit statuses and streams.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "Tabrix.h"

#ifdef _WIN32
#include <windows.h>
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
  // One command line with each argument quoted; the child's standard output
  // and error go to inheritable handles of the two files.
  std::string line = "\"" + program + "\"";
  for (const std::string& a : args) line += " \"" + a + "\"";
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileA(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE err = CreateFileA(errFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi = {};
  BOOL started = CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                nullptr, &si, &pi);
  DWORD status = static_cast<DWORD>(-1);
  if (started) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    GetExitCodeProcess(pi.hProcess, &status);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
  return started ? static_cast<int>(status) : -1;
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
