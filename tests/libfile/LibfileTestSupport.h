// Shared helpers of the library file tests: whole-file reads and writes and
// library comparison. Hand-made files: tests/support/LibraryBytes.h; the
// scratch folder: tests/support/ScratchDir.h.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "FileHeader.h"
#include "FileIO.h"
#include "LibraryBytes.h"
#include "LoadReport.h"
#include "SaveError.h"
#include "ScratchDir.h"
#include "Tabrix.h"

namespace tabrix_test {

// Disarms the file fault seam whatever the test did.
struct SeamGuard {
  ~SeamGuard() { CFileFaultSeam::FailAt(0); }
};

inline Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline std::string PhraseText(const tagPHRASE2& phrase) {
  return std::string(phrase.szWord, FieldTextLength(phrase.szWord, sizeof(phrase.szWord)));
}

// Texts of the store in order, each prefixed with its group and frequency.
inline std::vector<std::string> DescribePhrases(CTabrix& library) {
  std::vector<std::string> out;
  for (uint32_t i = 0; i < library.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = library.m_arrPhrase.GetAt(i);
    out.push_back(std::to_string(p->byGroup) + "/" + std::to_string(p->byFreq) + "/" +
                  PhraseText(*p));
  }
  return out;
}

// Groups byte for byte, and the phrase store record for record.
inline void ExpectSameLibrary(CTabrix& expected, CTabrix& actual) {
  ASSERT_EQ(expected.GetGroupCount(), actual.GetGroupCount());
  for (uint32_t i = 0; i < expected.GetGroupCount(); ++i)
    EXPECT_EQ(0, memcmp(expected.GetGroup(i), actual.GetGroup(i), sizeof(tagGROUPINFO)))
        << "group " << i;
  ASSERT_EQ(expected.m_arrPhrase.GetCount(), actual.m_arrPhrase.GetCount());
  for (uint32_t i = 0; i < expected.m_arrPhrase.GetCount(); ++i)
    EXPECT_EQ(
        0, memcmp(expected.m_arrPhrase.GetAt(i), actual.m_arrPhrase.GetAt(i), sizeof(tagPHRASE2)))
        << "phrase " << i;
}

inline void ExpectEmpty(CTabrix& library) {
  EXPECT_EQ(0u, library.GetGroupCount());
  EXPECT_EQ(0u, library.m_arrPhrase.GetCount());
}

// The library of the reference file: group a with the phrases b (3) and c (0).
inline void BuildReferenceLibrary(CTabrix& library) {
  ASSERT_EQ(0, library.AddGroup("a", "", ""));
  ASSERT_TRUE(library.AddPhrase("b", 1, 3, 1, 0));
  ASSERT_TRUE(library.AddPhrase("c", 1, 0, 1, 0));
}

// Records every progress call as (stage, value).
struct CProgressLog {
  std::vector<std::pair<int32_t, int32_t>> calls;
  static void Callback(int32_t stage, int32_t value, void* data) {
    static_cast<CProgressLog*>(data)->calls.emplace_back(stage, value);
  }
  void Attach(CTabrix& library) {
    library.m_funProgress = &CProgressLog::Callback;
    library.m_pProgressData = this;
  }
  // begin with n, one step for each of 0..steps-1, end.
  static std::vector<std::pair<int32_t, int32_t>> Expected(int32_t n, int32_t steps) {
    std::vector<std::pair<int32_t, int32_t>> v{{0, n}};
    for (int32_t i = 0; i < steps; ++i) v.emplace_back(1, i);
    v.emplace_back(2, 0);
    return v;
  }
};

}  // namespace tabrix_test
