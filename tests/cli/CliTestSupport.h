// Shared helpers of the wbk tests: running the tool in-process with captured
// streams, and library files built byte by byte. The scratch folder is
// tests/support/ScratchDir.h.
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
#include "LibraryFiles.h"
#include "ScratchDir.h"
#include "TextEncoding.h"

struct tagWBKRUN {
  int nStatus;
  std::string strOut;
  std::string strErr;
};

// Runs "wbk args..." in this process; texts are shown as UTF-8.
inline tagWBKRUN RunCli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  tagCLICONTEXT ctx{&out, &err, CODEPAGE_UTF8, false};
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

// One group and one phrase record of a library file built by hand.
struct tagTESTGROUP {
  std::string strName, strEditor, strRemark;
  int32_t bEnable;
};
struct tagTESTRECORD {
  uint8_t byGroup, byFreq;
  std::string strText;  // any bytes, any length up to 255
};

inline void PutLE(std::string* out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A library file exactly as the writer lays it out (stamp 0): counts from
// the records that name a group, phraseBytes and index from the records.
inline std::string BuildLibraryBytes(const std::vector<tagTESTGROUP>& groups,
                                     const std::vector<tagTESTRECORD>& records) {
  std::string out;
  PutLE(&out, 0x584B, 2);
  PutLE(&out, 0x4C43, 2);
  PutLE(&out, 2005, 2);
  PutLE(&out, 2, 2);
  PutLE(&out, 0, 4);
  out.push_back(static_cast<char>(groups.size()));
  for (size_t g = 0; g < groups.size(); ++g) {
    std::string rec(308, '\0');
    rec.replace(0, groups[g].strName.size(), groups[g].strName);
    rec.replace(50, groups[g].strEditor.size(), groups[g].strEditor);
    rec.replace(100, groups[g].strRemark.size(), groups[g].strRemark);
    uint32_t count = 0;
    for (const tagTESTRECORD& r : records) count += r.byGroup == g;
    std::string tail;
    PutLE(&tail, count, 4);
    PutLE(&tail, static_cast<uint32_t>(groups[g].bEnable), 4);
    rec.replace(300, 8, tail);
    out += rec;
  }
  std::string section, index;
  for (const tagTESTRECORD& r : records) {
    PutLE(&index, static_cast<uint32_t>(section.size()), 4);
    section.push_back(static_cast<char>(r.byGroup));
    section.push_back(static_cast<char>(r.byFreq));
    section.push_back(static_cast<char>(r.strText.size()));
    section += r.strText;
  }
  PutLE(&out, static_cast<uint32_t>(section.size()), 4);
  return out + section + index;
}

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
