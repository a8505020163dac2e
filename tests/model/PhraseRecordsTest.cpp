#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "PhraseRecords.h"

namespace {

tagPHRASE2 Phrase(const char* text, uint8_t group = 0, uint8_t freq = 0) {
  tagPHRASE2 p;
  std::memset(&p, 0, sizeof(p));
  p.byGroup = group;
  p.byFreq = freq;
  p.cLen = uint8_t(std::strlen(text));
  std::memcpy(p.szWord, text, p.cLen);
  return p;
}

TEST(ComparePhraseTest, OrdersByUnsignedBytesOfTheText) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {"a", "b", -1},      {"b", "a", 1},
      {"abc", "abc", 0},   {"ab", "abc", -1},  // a proper prefix sorts first
      {"abc", "ab", 1},    {"", "a", -1},
      {"", "", 0},         {"z", "\xB0\xA1", -1},  // a lead byte above 0x7F sorts after ASCII
      {"啊", "阿", -1},                            // GBK B0A1 before B0A2
      {"\x80", "\x7F", 1},
  };
  for (const Case& c : cases) {
    const tagPHRASE2 a = Phrase(c.a), b = Phrase(c.b);
    EXPECT_EQ(c.expected, ComparePhrase(&a, &b, nullptr)) << c.a << " / " << c.b;
  }
}

TEST(ComparePhraseTest, IgnoresGroupFrequencyAndLengthByte) {
  tagPHRASE2 a = Phrase("word", 1, 200), b = Phrase("word", 7, 3);
  b.cLen = 30;
  EXPECT_EQ(0, ComparePhrase(&a, &b, nullptr));
}

TEST(ComparePhraseTest, StopsAtTheFieldEndWithoutANul) {
  // Each record ends its own allocation, so a read past szWord would be caught.
  auto a = std::make_unique<tagPHRASE2>();
  auto b = std::make_unique<tagPHRASE2>();
  std::memset(a->szWord, 'x', sizeof(a->szWord));
  std::memset(b->szWord, 'x', sizeof(b->szWord));
  EXPECT_EQ(0, ComparePhrase(a.get(), b.get(), nullptr));
  b->szWord[30] = 'y';
  EXPECT_EQ(-1, ComparePhrase(a.get(), b.get(), nullptr));
  b->szWord[30] = '\0';
  EXPECT_EQ(1, ComparePhrase(a.get(), b.get(), nullptr));
}

TEST(FieldTextLengthTest, StopsAtNulOrFieldEnd) {
  struct Case {
    const char* field;
    size_t width;
    size_t expected;
  };
  const Case cases[] = {
      {"", 5, 0}, {"abc", 5, 3}, {"abcd", 5, 4}, {"abcdefgh", 5, 5}, {"abc", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, FieldTextLength(c.field, c.width)) << c.field << " " << c.width;
  }
  // A full field with no terminator is read to its end and no further.
  auto field = std::make_unique<char[]>(50);
  std::memset(field.get(), 'n', 50);
  EXPECT_EQ(50u, FieldTextLength(field.get(), 50));
}

}  // namespace
