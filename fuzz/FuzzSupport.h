// Shared by the fuzz harnesses: a scratch folder per fuzzing process (the
// loaders read files, not memory) and a check that aborts with a reason.
#pragma once

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

// The folder is made on first use and removed when the process exits.
inline const std::string& FuzzScratchDir() {
  static std::string dir;
  if (dir.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tabrix-fuzz-XXXXXX").string();
    if (!mkdtemp(&pattern[0])) abort();
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
