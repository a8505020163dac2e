// Shared helpers of the wbk tests: running the tool in-process with captured
// streams, and library files built byte by byte (tests/support/LibraryBytes.h). The scratch folder
// is tests/support/ScratchDir.h.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <sys/stat.h>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "LibraryBytes.h"
#include "LibraryFiles.h"
#include "ScratchDir.h"
#include "TextConvert.h"
#include "TextEncoding.h"

// A UTF-8 text as the command line carries it: UTF-8 on Linux, the ANSI
// code page on Windows.
inline std::string Arg(const std::string& utf8) {
  std::string arg;
  EXPECT_TRUE(ConvertCodePage(CODEPAGE_UTF8, FileNameCodePage(), utf8, &arg)) << utf8;
  return arg;
}

struct tagWBKRUN {
  int nStatus;
  std::string strOut;
  std::string strErr;
};

// Runs "wbk args..." in this process; texts are shown as UTF-8. The
// standard input holds the bytes given, or nothing.
inline tagWBKRUN RunCli(const std::vector<std::string>& args, const std::string& input = "") {
  std::ostringstream out, err;
  std::istringstream in(input);
  tagCLICONTEXT ctx{&out, &err, CODEPAGE_UTF8, false};
  ctx.pIn = &in;
  std::vector<const char*> argv{"wbk"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  int status = RunWbk(ctx, static_cast<int>(argv.size()), argv.data());
  return tagWBKRUN{status, out.str(), err.str()};
}

inline std::string ReadBytes(const std::string& path) {
  std::string bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  char chunk[4096];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
  std::fclose(f);
  return bytes;
}

// Files here are named by narrow strings in the code page the program uses,
// as the tool names them; std::filesystem would reinterpret them on Windows.
inline bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

using tabrix_test::BuildLibraryBytes;
using tabrix_test::tagTESTGROUP;
using tabrix_test::tagTESTRECORD;

// The file with its stamp (bytes 8..11) and every group's tick flag zeroed:
// what two saves of the same library share.
inline std::string WithoutStampAndTicks(std::string bytes) {
  if (bytes.size() < 13) return bytes;
  for (size_t i = 8; i < 12; ++i) bytes[i] = 0;
  size_t groups = static_cast<unsigned char>(bytes[12]);
  for (size_t g = 0; g < groups; ++g) {
    size_t at = 13 + g * 308 + 304;
    for (size_t i = at; i < at + 4 && i < bytes.size(); ++i) bytes[i] = 0;
  }
  return bytes;
}
