// Sogou cell dictionaries (.scel) built byte by byte as the format notes lay
// them out, for the reader's tests: a header with its fixed-offset fields, a
// pinyin table, word groups and an optional list of blocked words.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace tabrix_test {

typedef std::vector<uint8_t> Bytes;

struct tagSCELWORD {
  std::u16string strText;
  std::string strExt;    // the extension's bytes as stored
  std::string strBytes;  // when not empty, the word's bytes as stored, in place of strText
};

// The extension the vendor's files carry: the frequency, then 8 bytes of zero.
inline std::string ScelExt(uint16_t freq) {
  std::string ext(10, '\0');
  ext[0] = char(freq & 0xFF);
  ext[1] = char(freq >> 8);
  return ext;
}

class CScelBuilder {
 public:
  enum : size_t {
    GROUP_COUNT_AT = 0x120,
    WORD_COUNT_AT = 0x124,
    TITLE_AT = 0x130,
    CATEGORY_AT = 0x338,
    DESCRIPTION_AT = 0x540,
    EXAMPLES_AT = 0xD40,
    PINYIN_TABLE_AT = 0x1540,
  };

  CScelBuilder() {
    m_strTitle = u"test";
    for (const char16_t* py : {u"a", u"ai", u"an"}) m_arrPinyin.push_back(py);
  }
  CScelBuilder& Title(const std::u16string& title) {
    m_strTitle = title;
    return *this;
  }
  CScelBuilder& Pinyins(const std::vector<std::u16string>& table) {
    m_arrPinyin = table;
    return *this;
  }
  // One group: the words of one spelling (pinyin indices).
  CScelBuilder& Group(const std::vector<uint16_t>& spelling,
                      const std::vector<tagSCELWORD>& words) {
    m_arrGroups.push_back({spelling, words});
    return *this;
  }
  CScelBuilder& GroupCount(uint32_t n) {
    m_nGroupCount = n;
    m_bGroupCountSet = true;
    return *this;
  }
  CScelBuilder& BlockedWords(const std::vector<std::u16string>& words) {
    m_arrBlocked = words;
    return *this;
  }

  // Where the word groups start in what Build() makes.
  size_t WordTableAt() const {
    size_t n = PINYIN_TABLE_AT + 4;
    for (const std::u16string& py : m_arrPinyin) n += 4 + 2 * py.size();
    return n;
  }

  Bytes Build() const {
    Bytes b(PINYIN_TABLE_AT, 0);
    const uint8_t magic[12] = {0x40, 0x15, 0, 0, 'D', 'C', 0x53, 0x01, 0x01, 0, 0, 0};
    std::copy(magic, magic + 12, b.begin());
    uint32_t nWords = 0;
    for (const tagGROUP& g : m_arrGroups) nWords += uint32_t(g.arrWords.size());
    PutU32(b, GROUP_COUNT_AT, m_bGroupCountSet ? m_nGroupCount : uint32_t(m_arrGroups.size()));
    PutU32(b, WORD_COUNT_AT, nWords);
    PutText(b, TITLE_AT, m_strTitle, CATEGORY_AT - TITLE_AT);
    // The fields after the title hold text, so a title read past its end shows.
    PutText(b, CATEGORY_AT, u"category", DESCRIPTION_AT - CATEGORY_AT);
    PutText(b, DESCRIPTION_AT, u"description", EXAMPLES_AT - DESCRIPTION_AT);
    PutText(b, EXAMPLES_AT, u"examples", PINYIN_TABLE_AT - EXAMPLES_AT);

    U16(b, uint16_t(m_arrPinyin.size()));
    U16(b, 0);
    for (size_t i = 0; i < m_arrPinyin.size(); ++i) {
      U16(b, uint16_t(i));
      U16(b, uint16_t(2 * m_arrPinyin[i].size()));
      Utf16(b, m_arrPinyin[i]);
    }
    for (const tagGROUP& g : m_arrGroups) {
      U16(b, uint16_t(g.arrWords.size()));
      U16(b, uint16_t(2 * g.arrSpelling.size()));
      for (uint16_t index : g.arrSpelling) U16(b, index);
      for (const tagSCELWORD& w : g.arrWords) {
        if (!w.strBytes.empty()) {
          U16(b, uint16_t(w.strBytes.size()));
          b.insert(b.end(), w.strBytes.begin(), w.strBytes.end());
        } else {
          U16(b, uint16_t(2 * w.strText.size()));
          Utf16(b, w.strText);
        }
        U16(b, uint16_t(w.strExt.size()));
        b.insert(b.end(), w.strExt.begin(), w.strExt.end());
      }
    }
    if (!m_arrBlocked.empty()) {
      Utf16(b, u"DELTBL");
      U16(b, uint16_t(m_arrBlocked.size()));
      for (const std::u16string& w : m_arrBlocked) {
        U16(b, uint16_t(w.size()));
        Utf16(b, w);
      }
    }
    return b;
  }

  static void U16(Bytes& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
  }
  static void PutU16(Bytes& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
  }
  static void PutU32(Bytes& b, size_t at, uint32_t v) {
    PutU16(b, at, uint16_t(v));
    PutU16(b, at + 2, uint16_t(v >> 16));
  }

 private:
  struct tagGROUP {
    std::vector<uint16_t> arrSpelling;
    std::vector<tagSCELWORD> arrWords;
  };

  static void Utf16(Bytes& b, const std::u16string& text) {
    for (char16_t u : text) U16(b, uint16_t(u));
  }
  // A fixed-width field; the text is cut at the field's width.
  static void PutText(Bytes& b, size_t at, const std::u16string& text, size_t width) {
    for (size_t i = 0; i < text.size() && 2 * i + 1 < width; ++i) PutU16(b, at + 2 * i, text[i]);
  }

  std::u16string m_strTitle;
  std::vector<std::u16string> m_arrPinyin;
  std::vector<tagGROUP> m_arrGroups;
  std::vector<std::u16string> m_arrBlocked;
  uint32_t m_nGroupCount = 0;
  bool m_bGroupCountSet = false;
};

}  // namespace tabrix_test
