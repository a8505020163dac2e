// Checks shared by the tests of the binary dictionary readers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DictContent.h"
#include "TestPaths.h"

namespace tabrix_test {

typedef bool (*DictReader)(const uint8_t* data, size_t size, tagDICTCONTENT* pOut,
                           std::string* pError);

inline std::vector<uint8_t> ReadDataFile(const std::string& leaf) {
  std::ifstream in(TestDataPath(leaf), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct tagREADRESULT {
  bool bOk;
  tagDICTCONTENT content;
  std::string strError;
};

// The bytes are copied to a block of their own size, so that a read past
// the end is one past a heap block (which the sanitizer reports).
inline tagREADRESULT ReadWith(DictReader read, const std::vector<uint8_t>& bytes,
                              size_t size = SIZE_MAX) {
  const std::vector<uint8_t> copy(bytes.begin(), bytes.begin() + std::min(size, bytes.size()));
  tagREADRESULT r;
  r.content.nUndecodable = 0;
  r.bOk = read(copy.data(), copy.size(), &r.content, &r.strError);
  return r;
}

inline bool IsOneLineOfText(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

// Each cut of the file fails with an error of one line, or reads a prefix of
// the whole file's entries. Returns the cut points that read.
inline std::vector<size_t> CutsThatRead(DictReader read, const std::vector<uint8_t>& file) {
  const tagREADRESULT whole = ReadWith(read, file);
  EXPECT_TRUE(whole.bOk) << whole.strError;
  std::vector<size_t> arrRead;
  for (size_t n = 0; n < file.size(); ++n) {
    const tagREADRESULT cut = ReadWith(read, file, n);
    if (!cut.bOk) {
      EXPECT_TRUE(IsOneLineOfText(cut.strError)) << "cut at " << n << ": " << cut.strError;
      continue;
    }
    arrRead.push_back(n);
    const std::vector<tagDICTENTRY>& got = cut.content.arrEntries;
    EXPECT_LE(got.size(), whole.content.arrEntries.size()) << "cut at " << n;
    for (size_t i = 0; i < got.size() && i < whole.content.arrEntries.size(); ++i) {
      EXPECT_EQ(got[i].strText, whole.content.arrEntries[i].strText) << "cut at " << n;
      EXPECT_EQ(got[i].nWeight, whole.content.arrEntries[i].nWeight) << "cut at " << n;
    }
  }
  return arrRead;
}

}  // namespace tabrix_test
