// The real wbk program run as a child process, its standard output and error
// sent to files. On Linux the child can also be held to an address-space
// limit and a time limit, so a run that reads without end fails the test
// instead of eating the machine or hanging it.
#pragma once

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#ifndef WBK_PROGRAM
#error "WBK_PROGRAM is the path of the wbk program (tests/cli/CMakeLists.txt)"
#endif

// AddressSanitizer reserves terabytes of address space for its shadow, so an
// address-space limit cannot be set on a sanitized program.
#if defined(__SANITIZE_ADDRESS__)
#define WBK_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WBK_TEST_ASAN 1
#endif
#endif
#ifndef WBK_TEST_ASAN
#define WBK_TEST_ASAN 0
#endif

struct tagWBKLIMITS {
  unsigned long long nAddressSpace = 0;  // bytes; 0: no limit (always none on Windows)
  unsigned nSeconds = 0;                 // 0: no limit (always none on Windows)
};

// What RunProgram returns when the child did not exit by itself (a signal,
// the time limit) or could not be started.
enum : int { WBK_NO_EXIT = -1 };

inline std::string WbkProgramPath() {
  std::string path = WBK_PROGRAM;
#ifdef _WIN32
  // A cross-built program run by Wine: the Linux file system is drive Z:.
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
  return path;
}

#ifdef _WIN32
inline std::wstring WidenAnsi(const std::string& text) {
  const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? static_cast<size_t>(n) : 1, L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], n);
  out.resize(out.size() - 1);
  return out;
}

// Runs wbk with wide arguments (any name Windows holds), each quoted; its
// standard output and error go to inheritable handles of the two files (ANSI
// names). The exit status, or WBK_NO_EXIT.
inline int RunProgramWide(const std::vector<std::wstring>& args, const std::string& outFile,
                          const std::string& errFile) {
  const std::wstring program = WidenAnsi(WbkProgramPath());
  std::wstring line = L"\"" + program + L"\"";
  for (const std::wstring& a : args) line += L" \"" + a + L"\"";
  SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileA(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE err = CreateFileA(errFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi = {};
  const BOOL started = CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr,
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
  return started ? static_cast<int>(status) : WBK_NO_EXIT;
}
#endif

// Runs wbk with the arguments; its standard output and error go to the two
// files (outFile may be a device such as /dev/full). The exit status, or
// WBK_NO_EXIT.
inline int RunProgram(const std::vector<std::string>& args, const std::string& outFile,
                      const std::string& errFile, const tagWBKLIMITS& limits = tagWBKLIMITS()) {
  std::string program = WbkProgramPath();
#ifdef _WIN32
  (void)limits;
  (void)program;
  // The arguments in the ANSI code page, as a narrow command line carries them.
  std::vector<std::wstring> wide;
  for (const std::string& arg : args) wide.push_back(WidenAnsi(arg));
  return RunProgramWide(wide, outFile, errFile);
#else
  std::vector<char*> argv;
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  for (std::string& a : all) argv.push_back(&a[0]);
  argv.push_back(nullptr);
  pid_t pid;
  if (limits.nAddressSpace == 0 && limits.nSeconds == 0) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return WBK_NO_EXIT;
  } else {
    // Limits need code between fork and exec; only calls that are safe
    // there: everything else was prepared above.
    pid = fork();
    if (pid < 0) return WBK_NO_EXIT;
    if (pid == 0) {
      int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(127);
      if (limits.nAddressSpace != 0) {
        struct rlimit rl;
        rl.rlim_cur = rl.rlim_max = static_cast<rlim_t>(limits.nAddressSpace);
        if (setrlimit(RLIMIT_AS, &rl) != 0) _exit(127);
      }
      // The alarm outlives exec and ends the program with SIGALRM.
      if (limits.nSeconds != 0) alarm(limits.nSeconds);
      execve(program.c_str(), argv.data(), environ);
      _exit(127);
    }
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return WBK_NO_EXIT;
  return WEXITSTATUS(status);
#endif
}
