// Shared helpers of the library file tests: whole-file reads and writes, a
// builder for hand-made files and library comparison. The scratch folder is
// tests/support/ScratchDir.h.
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
#include "LoadReport.h"
#include "SaveError.h"
#include "ScratchDir.h"
#include "Tabrix.h"

namespace tabrix_test {

typedef std::vector<uint8_t> Bytes;

inline Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Builds library files byte by byte, the way another program might write them.
class CFileBuilder {
 public:
  CFileBuilder& Header(uint16_t major = 2005, uint16_t minor = 2, uint16_t magic = 0x584B,
                       uint16_t type = 0x4C43, uint32_t stamp = 0x12345678) {
    U16(magic).U16(type).U16(major).U16(minor).U32(stamp);
    return *this;
  }
  CFileBuilder& Byte(uint8_t b) {
    m_bytes.push_back(b);
    return *this;
  }
  CFileBuilder& U16(uint16_t v) { return Byte(uint8_t(v)).Byte(uint8_t(v >> 8)); }
  CFileBuilder& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
  CFileBuilder& Raw(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
    return *this;
  }
  // A group record: three text fields (zero-padded), dwCount, bEnable.
  CFileBuilder& Group(const std::string& name, uint32_t count, int32_t enable = 0,
                      const std::string& editor = "", const std::string& remark = "") {
    Field(name, 50).Field(editor, 50).Field(remark, 200);
    return U32(count).U32(uint32_t(enable));
  }
  CFileBuilder& Field(const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i) Byte(i < text.size() ? uint8_t(text[i]) : 0);
    return *this;
  }
  // A phrase record whose length byte is the text's size.
  CFileBuilder& Phrase(uint8_t group, uint8_t freq, const std::string& text) {
    Byte(group).Byte(freq).Byte(uint8_t(text.size()));
    return Raw(text.data(), text.size());
  }
  // A whole phrase section as a writer that keeps its books makes it:
  // phraseBytes, the records (group, frequency, text; the length byte is
  // the text's size) and the offset index.
  struct tagREC {
    uint8_t byGroup;
    uint8_t byFreq;
    std::string strText;
  };
  CFileBuilder& Section(const std::vector<tagREC>& records) {
    uint32_t nBytes = 0;
    std::vector<uint32_t> offsets;
    for (const tagREC& r : records) {
      offsets.push_back(nBytes);
      nBytes += 3 + uint32_t(r.strText.size());
    }
    U32(nBytes);
    for (const tagREC& r : records) Phrase(r.byGroup, r.byFreq, r.strText);
    for (uint32_t o : offsets) U32(o);
    return *this;
  }
  const Bytes& Get() const { return m_bytes; }
  size_t Size() const { return m_bytes.size(); }

 private:
  Bytes m_bytes;
};

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
