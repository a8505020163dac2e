#include "Utf16Decode.h"

#include "Utf8Rules.h"

void CUtf16ToUtf8::Feed(const unsigned char* p, size_t n, std::string* out) {
  for (size_t i = 0; i < n; ++i) {
    if (m_nOdd < 0) {
      m_nOdd = p[i];
      continue;
    }
    const uint32_t unit =
        m_bBig ? (uint32_t(m_nOdd) << 8) | p[i] : (uint32_t(p[i]) << 8) | uint32_t(m_nOdd);
    m_nOdd = -1;
    Unit(unit, out);
  }
}

void CUtf16ToUtf8::Finish(std::string* out) {
  if (m_nHigh != 0 || m_nOdd >= 0) Fault(out);
  m_nHigh = 0;
  m_nOdd = -1;
}

void CUtf16ToUtf8::Fault(std::string* out) {
  out->push_back('\xFF');
  m_bFault = true;
}

void CUtf16ToUtf8::Unit(uint32_t u, std::string* out) {
  if (m_nHigh != 0) {
    const uint32_t high = m_nHigh;
    m_nHigh = 0;
    if (u >= 0xDC00 && u <= 0xDFFF) {
      AppendUtf8(0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00), out);
      return;
    }
    Fault(out);  // a high surrogate without its low one
  }
  if (u >= 0xD800 && u <= 0xDBFF) {
    m_nHigh = u;
  } else if (u >= 0xDC00 && u <= 0xDFFF) {
    Fault(out);  // a low surrogate alone
  } else {
    AppendUtf8(u, out);
  }
}

bool Utf16LeToUtf8(const uint8_t* data, size_t units, std::string* pOut) {
  pOut->clear();
  CUtf16ToUtf8 decoder(false);
  decoder.Feed(data, 2 * units, pOut);
  decoder.Finish(pOut);
  return !decoder.HasFault();
}
