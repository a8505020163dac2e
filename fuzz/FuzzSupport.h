// Shared by the fuzz harnesses: a scratch folder per fuzzing process (the
// loaders read files, not memory) and a check that aborts with a reason.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

// Where scratch folders go: /dev/shm when it is there, since every input is
// written to a file and read back, and on a memory file system that runs
// tens of times faster than on a disk; the temporary folder otherwise.
inline std::string FuzzScratchParent() {
  std::error_code ec;
  if (std::filesystem::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK | X_OK) == 0) {
    return "/dev/shm";
  }
  std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
  return ec ? std::string("/tmp") : temp.string();
}

// The folder is made on first use and removed when the process exits.
inline const std::string& FuzzScratchDir() {
  static std::string dir;
  if (dir.empty()) {
    std::string pattern = FuzzScratchParent() + "/tabrix-fuzz-XXXXXX";
    if (!mkdtemp(&pattern[0])) {
      // A memory file system that is full or read-only: the disk will do.
      std::error_code ec;
      pattern = (std::filesystem::temp_directory_path(ec) / "tabrix-fuzz-XXXXXX").string();
      if (ec || !mkdtemp(&pattern[0])) abort();
    }
    dir = pattern;
    atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    });
  }
  return dir;
}

// The harness's name goes in front of every reason.
extern const char* const kFuzzHarnessName;

inline void Check(bool condition, const char* what) {
  if (!condition) {
    fprintf(stderr, "%s: %s\n", kFuzzHarnessName, what);
    abort();
  }
}

// True when the n bytes at p are all zero. One call instead of a loop: the
// harnesses run it over every record.
inline bool AllZero(const void* p, size_t n) {
  static const char kZeros[512] = {};
  return n <= sizeof(kZeros) && memcmp(p, kZeros, n) == 0;
}

// Writes bytes to a scratch file; any failure stops the run.
inline void WriteScratchFile(const std::string& path, const void* data, size_t size) {
  FILE* file = fopen(path.c_str(), "wb");
  Check(file != nullptr, "cannot write the scratch file");
  Check(size == 0 || fwrite(data, 1, size, file) == size, "cannot write the scratch file");
  Check(fclose(file) == 0, "cannot write the scratch file");
}
