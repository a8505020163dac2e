// Checks shared by the tests of the dictionary readers.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "DictContent.h"
#include "FileBytes.h"
#include "TestPaths.h"

namespace tabrix_test {

typedef bool (*DictReader)(const uint8_t* data, size_t size, tagDICTCONTENT* pOut,
                           tagREADFAULT* pFault);

// A fixture of data/; empty when it cannot be read.
inline std::vector<uint8_t> ReadDataFile(const std::string& leaf) {
  std::vector<uint8_t> bytes;
  ReadFileBytes(TestDataPath(leaf), &bytes);
  return bytes;
}

struct tagREADRESULT {
  bool bOk;
  tagDICTCONTENT content;
  tagREADFAULT fault;
  std::string strError;  // the fault in English
};

// The bytes are copied to a block of their own size, so that a read past
// the end is one past a heap block (which the sanitizer reports).
inline tagREADRESULT ReadWith(DictReader read, const std::vector<uint8_t>& bytes,
                              size_t size = SIZE_MAX) {
  const std::vector<uint8_t> copy(bytes.begin(), bytes.begin() + std::min(size, bytes.size()));
  tagREADRESULT r;
  r.content.nUndecodable = 0;
  r.fault = {};
  r.bOk = read(copy.data(), copy.size(), &r.content, &r.fault);
  if (!r.bOk) r.strError = ReadFaultText(r.fault);
  return r;
}

// A text or a file built as a string, read whole.
inline tagREADRESULT ReadWith(DictReader read, const std::string& file) {
  return ReadWith(read, std::vector<uint8_t>(file.begin(), file.end()));
}

inline bool IsOneLineOfText(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < 0x20 || c > 0x7E) return false;
  return true;
}

// A read that fails with an error of one line naming strWant.
inline void ExpectFailsSaying(const tagREADRESULT& r, const std::string& strWant) {
  EXPECT_FALSE(r.bOk) << strWant;
  EXPECT_TRUE(IsOneLineOfText(r.strError)) << r.strError;
  EXPECT_NE(r.strError.find(strWant), std::string::npos) << r.strError;
}

struct tagWANTENTRY {
  std::string strText;
  int64_t nWeight;
  bool bHasWeight = true;
};

// The entries read are these, in this order.
inline void ExpectEntries(const tagDICTCONTENT& content, const std::vector<tagWANTENTRY>& want) {
  ASSERT_EQ(content.arrEntries.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    EXPECT_EQ(content.arrEntries[i].strText, want[i].strText);
    EXPECT_EQ(content.arrEntries[i].nWeight, want[i].nWeight);
    EXPECT_EQ(content.arrEntries[i].bHasWeight, want[i].bHasWeight);
  }
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
