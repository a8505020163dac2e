// Baidu cell dictionaries (.bdict) built byte by byte as the format notes lay
// them out, for the reader's tests: the header's fields at their offsets and
// entries of the three kinds from 0x350 on.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tabrix_test {

typedef std::vector<uint8_t> Bytes;

// A syllable as the file stores it: an initial's and a final's index, or
// 0xFF and a letter.
typedef std::pair<uint8_t, uint8_t> BdictSyllable;

class CBdictBuilder {
 public:
  enum : size_t {
    COUNT_AT = 0x70,
    TITLE_AT = 0x90,
    AUTHOR_AT = 0xD0,
    EXAMPLES_AT = 0x110,
    DESCRIPTION_AT = 0x150,
    ENTRIES_AT = 0x350,
  };

  CBdictBuilder& Title(const std::u16string& title) {
    m_strTitle = title;
    return *this;
  }
  CBdictBuilder& Count(uint32_t n) {
    m_nCount = n;
    m_bCountSet = true;
    return *this;
  }
  // A word with one syllable per unit.
  CBdictBuilder& Pinyin(const std::vector<BdictSyllable>& syllables, const std::u16string& word,
                        uint16_t freq) {
    Head(uint16_t(syllables.size()), freq);
    for (const BdictSyllable& s : syllables) {
      m_entries.push_back(s.first);
      m_entries.push_back(s.second);
    }
    Utf16(word);
    return *this;
  }
  CBdictBuilder& English(const std::string& word, uint16_t freq) {
    Head(uint16_t(word.size()), freq);
    m_entries.insert(m_entries.end(), word.begin(), word.end());
    return *this;
  }
  // A code and a word of lengths of their own.
  CBdictBuilder& Mixed(const std::u16string& code, const std::u16string& word, uint16_t freq) {
    Head(uint16_t(code.size()), freq);
    U16(0);
    U16(uint16_t(word.size()));
    Utf16(code);
    Utf16(word);
    return *this;
  }
  CBdictBuilder& Raw(const Bytes& bytes) {
    m_entries.insert(m_entries.end(), bytes.begin(), bytes.end());
    return *this;
  }

  Bytes Build() const {
    Bytes b(ENTRIES_AT, 0);
    const char magic[] = "biptbdsw";
    std::copy(magic, magic + 8, b.begin());
    const uint32_t n = m_bCountSet ? m_nCount : m_nEntries;
    for (int i = 0; i < 4; ++i) b[COUNT_AT + i] = uint8_t(n >> (8 * i));
    PutText(b, TITLE_AT, m_strTitle, AUTHOR_AT - TITLE_AT);
    // The fields after the title hold text, so a title read past its end shows.
    PutText(b, AUTHOR_AT, u"author", EXAMPLES_AT - AUTHOR_AT);
    PutText(b, EXAMPLES_AT, u"examples", DESCRIPTION_AT - EXAMPLES_AT);
    PutText(b, DESCRIPTION_AT, u"description", ENTRIES_AT - DESCRIPTION_AT);
    b.insert(b.end(), m_entries.begin(), m_entries.end());
    return b;
  }

 private:
  void U16(uint16_t v) {
    m_entries.push_back(uint8_t(v));
    m_entries.push_back(uint8_t(v >> 8));
  }
  void Head(uint16_t n, uint16_t freq) {
    U16(n);
    U16(freq);
    ++m_nEntries;
  }
  void Utf16(const std::u16string& text) {
    for (char16_t u : text) U16(uint16_t(u));
  }
  static void PutText(Bytes& b, size_t at, const std::u16string& text, size_t width) {
    for (size_t i = 0; i < text.size() && 2 * i + 1 < width; ++i) {
      b[at + 2 * i] = uint8_t(text[i]);
      b[at + 2 * i + 1] = uint8_t(text[i] >> 8);
    }
  }

  std::u16string m_strTitle = u"test";
  Bytes m_entries;
  uint32_t m_nEntries = 0;
  uint32_t m_nCount = 0;
  bool m_bCountSet = false;
};

}  // namespace tabrix_test
