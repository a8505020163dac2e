#include "Utf8Rules.h"

bool IsPlainAscii(const char* text, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  }
  return true;
}

bool IsValidUtf8(const char* text, size_t size) {
  CUtf8Scan scan;
  scan.Feed(text, size);
  return scan.IsValid();
}

bool IsPhraseUtf8(std::string_view text) {
  return IsValidUtf8(text.data(), text.size()) && text.find('\0') == std::string_view::npos;
}

void CUtf8Scan::Feed(const char* text, size_t size) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  for (size_t i = 0; i < size; ++i) {
    unsigned char c = p[i];
    if (c < 0x80 && m_nPending == 0) continue;
    if (c >= 0x80) m_bHigh = true;
    if (!m_bValid) continue;
    if (m_nPending > 0) {
      if ((c & 0xC0) != 0x80) {
        m_bValid = false;
        continue;
      }
      m_nCodePoint = (m_nCodePoint << 6) | (c & 0x3F);
      if (--m_nPending > 0) continue;
      uint32_t cp = m_nCodePoint;
      if ((m_nLength == 2 && cp < 0x800) || (m_nLength == 3 && cp < 0x10000) ||
          (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
        m_bValid = false;  // overlong, a surrogate, or beyond U+10FFFF
      }
    } else if (c >= 0xC2 && c <= 0xDF) {
      m_nPending = m_nLength = 1;
      m_nCodePoint = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      m_nPending = m_nLength = 2;
      m_nCodePoint = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      m_nPending = m_nLength = 3;
      m_nCodePoint = c & 0x07;
    } else {
      m_bValid = false;  // a continuation byte first, or C0, C1, F5..FF
    }
  }
}

void AppendUtf8(uint32_t codePoint, std::string* pOut) {
  if (codePoint < 0x80) {
    pOut->push_back(char(codePoint));
  } else if (codePoint < 0x800) {
    pOut->push_back(char(0xC0 | (codePoint >> 6)));
    pOut->push_back(char(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    pOut->push_back(char(0xE0 | (codePoint >> 12)));
    pOut->push_back(char(0x80 | ((codePoint >> 6) & 0x3F)));
    pOut->push_back(char(0x80 | (codePoint & 0x3F)));
  } else {
    pOut->push_back(char(0xF0 | (codePoint >> 18)));
    pOut->push_back(char(0x80 | ((codePoint >> 12) & 0x3F)));
    pOut->push_back(char(0x80 | ((codePoint >> 6) & 0x3F)));
    pOut->push_back(char(0x80 | (codePoint & 0x3F)));
  }
}
