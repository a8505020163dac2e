// The rules of UTF-8: what is well formed, a text checked as it arrives in
// pieces, and one code point's bytes. Every reader and converter asks here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

bool IsPlainAscii(const char* text, size_t size);
// Well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no sequence cut short.
bool IsValidUtf8(const char* text, size_t size);
// Text a phrase can be made of: well-formed UTF-8 without a NUL.
bool IsPhraseUtf8(std::string_view text);

// IsValidUtf8 and IsPlainAscii of a text that arrives in pieces of any size.
class CUtf8Scan {
 public:
  void Feed(const char* text, size_t size);
  // Nothing so far makes the text invalid, whatever follows.
  bool IsValidSoFar() const { return m_bValid; }
  // Valid UTF-8 when the text ends here (a sequence left open is not).
  bool IsValid() const { return m_bValid && m_nPending == 0; }
  bool IsPlainAscii() const { return !m_bHigh; }

 private:
  bool m_bValid = true;
  bool m_bHigh = false;       // a byte of 0x80 or more was seen
  uint32_t m_nPending = 0;    // continuation bytes the open sequence still needs
  uint32_t m_nLength = 0;     // continuation bytes of the open sequence in all
  uint32_t m_nCodePoint = 0;  // its value so far
};

// Appends the code point's UTF-8 bytes (one to four) to *pOut. The code point
// is U+0000..U+10FFFF and no surrogate: the caller has paired those.
void AppendUtf8(uint32_t codePoint, std::string* pOut);
