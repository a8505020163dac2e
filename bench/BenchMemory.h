// Peak memory of one operation, shared by the benchmark programs: the growth
// of the resident set while it runs in a child process of its own (Linux).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#if defined(__linux__)
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>
#define TABRIX_BENCH_POSIX 1
#endif

#if TABRIX_BENCH_POSIX
// Resident kB of this process: "VmRSS:" now, "VmHWM:" the peak.
inline long StatusKb(const char* key) {
  FILE* file = fopen("/proc/self/status", "r");
  if (!file) return -1;
  char line[256];
  long kb = -1;
  while (fgets(line, sizeof(line), file)) {
    if (strncmp(line, key, strlen(key)) == 0) kb = strtol(line + strlen(key), nullptr, 10);
  }
  fclose(file);
  return kb;
}

// Growth of the resident set while work runs, in bytes, or -1. The work runs
// in a child; free heap inherited from this process is first given back to
// the system, so that memory the work takes shows however it is allocated.
inline double PeakBytes(const std::function<bool()>& work) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    malloc_trim(0);
    // The peak starts from here: a child inherits its parent's.
    if (FILE* refs = fopen("/proc/self/clear_refs", "w")) {
      fputs("5", refs);
      fclose(refs);
    }
    const long before = StatusKb("VmRSS:");
    const bool ok = work();
    const long peak = StatusKb("VmHWM:");
    const long growth = ok && before >= 0 && peak >= 0 ? peak - before : -1;
    ssize_t written = write(fds[1], &growth, sizeof(growth));
    _exit(written == sizeof(growth) ? 0 : 1);
  }
  close(fds[1]);
  long growth = -1;
  if (pid < 0 || read(fds[0], &growth, sizeof(growth)) != sizeof(growth)) growth = -1;
  close(fds[0]);
  if (pid > 0) waitpid(pid, nullptr, 0);
  return growth < 0 ? -1 : double(growth) * 1024;
}
#else
inline double PeakBytes(const std::function<bool()>&) { return -1; }
#endif
