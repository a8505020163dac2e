// Baidu cell dictionaries (.bdict) built byte by byte as the format notes lay
// them out, for the reader's tests: the header's fields at their offsets, a
// word table of entries of the three kinds from 0x350 on and, when entries
// were added to it, the second table right after it; the header gives both
// tables' bounds unless told not to.
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
    WORDS_FIELD = 0x40,   // the word table's offset, then its length
    SECOND_FIELD = 0x60,  // the second table's offset, then its length
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
  // An entry of the second table: a u32, the code's and the word's lengths
  // in units, the code, the word.
  CBdictBuilder& Second(const std::u16string& code, const std::u16string& word, uint32_t lead = 0) {
    U32(m_second, lead);
    U16(m_second, uint16_t(code.size()));
    U16(m_second, uint16_t(word.size()));
    Utf16(m_second, code);
    Utf16(m_second, word);
    return *this;
  }
  CBdictBuilder& SecondRaw(const Bytes& bytes) {
    m_second.insert(m_second.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // Both tables' fields left 0, as a file that gives no bounds.
  CBdictBuilder& NoBounds() {
    m_bBounds = false;
    return *this;
  }
  // A u32 of the header set to v after everything else (damaged bounds).
  CBdictBuilder& Field(size_t at, uint32_t v) {
    m_fields.emplace_back(at, v);
    return *this;
  }
  // Bytes after both tables, which no table's bounds take in.
  CBdictBuilder& Trailer(const Bytes& bytes) {
    m_trailer = bytes;
    return *this;
  }
  size_t SecondAt() const { return ENTRIES_AT + m_entries.size(); }

  Bytes Build() const {
    Bytes b(ENTRIES_AT, 0);
    const char magic[] = "biptbdsw";
    std::copy(magic, magic + 8, b.begin());
    Put32(b, COUNT_AT, m_bCountSet ? m_nCount : m_nEntries);
    if (m_bBounds) {
      Put32(b, WORDS_FIELD, uint32_t(ENTRIES_AT));
      Put32(b, WORDS_FIELD + 4, uint32_t(m_entries.size()));
      if (!m_second.empty()) {
        Put32(b, SECOND_FIELD, uint32_t(SecondAt()));
        Put32(b, SECOND_FIELD + 4, uint32_t(m_second.size()));
      }
    }
    PutText(b, TITLE_AT, m_strTitle, AUTHOR_AT - TITLE_AT);
    // The fields after the title hold text, so a title read past its end shows.
    PutText(b, AUTHOR_AT, u"author", EXAMPLES_AT - AUTHOR_AT);
    PutText(b, EXAMPLES_AT, u"examples", DESCRIPTION_AT - EXAMPLES_AT);
    PutText(b, DESCRIPTION_AT, u"description", ENTRIES_AT - DESCRIPTION_AT);
    b.insert(b.end(), m_entries.begin(), m_entries.end());
    b.insert(b.end(), m_second.begin(), m_second.end());
    b.insert(b.end(), m_trailer.begin(), m_trailer.end());
    for (const auto& f : m_fields) Put32(b, f.first, f.second);
    return b;
  }

 private:
  static void U16(Bytes& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
  }
  static void U32(Bytes& b, uint32_t v) {
    U16(b, uint16_t(v));
    U16(b, uint16_t(v >> 16));
  }
  static void Utf16(Bytes& b, const std::u16string& text) {
    for (char16_t u : text) U16(b, uint16_t(u));
  }
  static void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
  }
  void U16(uint16_t v) { U16(m_entries, v); }
  void Head(uint16_t n, uint16_t freq) {
    U16(n);
    U16(freq);
    ++m_nEntries;
  }
  void Utf16(const std::u16string& text) { Utf16(m_entries, text); }
  static void PutText(Bytes& b, size_t at, const std::u16string& text, size_t width) {
    for (size_t i = 0; i < text.size() && 2 * i + 1 < width; ++i) {
      b[at + 2 * i] = uint8_t(text[i]);
      b[at + 2 * i + 1] = uint8_t(text[i] >> 8);
    }
  }

  std::u16string m_strTitle = u"test";
  Bytes m_entries;  // the word table
  Bytes m_second;
  Bytes m_trailer;
  std::vector<std::pair<size_t, uint32_t>> m_fields;
  bool m_bBounds = true;
  uint32_t m_nEntries = 0;
  uint32_t m_nCount = 0;
  bool m_bCountSet = false;
};

}  // namespace tabrix_test
