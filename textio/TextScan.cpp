#include "TextScan.h"

namespace {

bool IsLineEnd(int b) { return b == '\n' || b == '\r'; }

}  // namespace

void CTextScan::Control(uint8_t b) {
  if (b == 0) {
    if (m_nNulLine == 0) m_nNulLine = m_nLine;
  } else if (m_nControlLine == 0) {
    m_nControlLine = m_nLine;
    m_byControl = b;
  }
}

void CTextScan::Utf8Byte(uint8_t b) {
  if (m_nNeed > 0) {
    if ((b & 0xC0) == 0x80) {
      m_nCodePoint = (m_nCodePoint << 6) | (b & 0x3F);
      if (--m_nNeed == 0) {
        const bool bSurrogate = m_nCodePoint >= 0xD800 && m_nCodePoint <= 0xDFFF;
        const bool bBad = m_nCodePoint < m_nMin || m_nCodePoint > 0x10FFFF || bSurrogate;
        ++(bBad ? m_nUtf8Bad : m_nUtf8Good);
      }
      return;
    }
    ++m_nUtf8Bad;  // cut short: this byte starts anew
    m_nNeed = 0;
  }
  if (b < 0x80) return;
  if ((b & 0xE0) == 0xC0) {
    m_nNeed = 1, m_nMin = 0x80, m_nCodePoint = b & 0x1F;
  } else if ((b & 0xF0) == 0xE0) {
    m_nNeed = 2, m_nMin = 0x800, m_nCodePoint = b & 0x0F;
  } else if ((b & 0xF8) == 0xF0) {
    m_nNeed = 3, m_nMin = 0x10000, m_nCodePoint = b & 0x07;
  } else {
    ++m_nUtf8Bad;  // a continuation byte alone, or no UTF-8 byte at all
  }
}

void CTextScan::GbkByte(uint8_t b) {
  if (m_bGbkLead) {
    m_bGbkLead = false;
    if (b >= 0x40 && b <= 0xFE && b != 0x7F) {
      ++m_nGbkGood;
      return;
    }
    ++m_nGbkBad;  // this byte starts anew
  }
  if (b >= 0x81 && b <= 0xFE) {
    m_bGbkLead = true;
  } else if (b >= 0x80) {
    ++m_nGbkBad;
  }
}

void CTextScan::Feed(const unsigned char* p, size_t n) {
  for (size_t i = 0; i < n; ++i, ++m_nOffset) {
    const uint8_t b = p[i];
    if (b == '\n') {
      if (!m_bAfterCr) ++m_nLine;
    } else if (b == '\r') {
      ++m_nLine;
    } else if ((b < 0x20 && b != '\t') || b == 0x7F) {
      Control(b);
    } else if (b < 0x80) {
      ++m_nAscii;
    }
    m_bAfterCr = b == '\r';

    // UTF-16: a unit of a line end has its zero byte after it (LE) or before it (BE).
    const bool bOdd = (m_nOffset & 1) != 0;
    if (b == 0) {
      ++(bOdd ? m_nZeroOdd : m_nZeroEven);
      if (bOdd && IsLineEnd(m_nPrev)) ++m_nEndsLe;
    } else if (bOdd && m_nPrev == 0 && IsLineEnd(b)) {
      ++m_nEndsBe;
    }
    m_nPrev = b;

    Utf8Byte(b);
    GbkByte(b);
  }
}

void CTextScan::Finish() {
  if (m_nNeed > 0) ++m_nUtf8Bad;
  if (m_bGbkLead) ++m_nGbkBad;
  m_nNeed = 0;
  m_bGbkLead = false;
}

TextFault CTextScan::GetControlFault() const {
  if (m_nNulLine != 0) return TEXT_FAULT_NUL;
  if (m_nControlLine != 0) return TEXT_FAULT_CONTROL;
  return TEXT_FAULT_NONE;
}

uint32_t CTextScan::GetFaultLine() const { return m_nNulLine != 0 ? m_nNulLine : m_nControlLine; }

uint8_t CTextScan::GetFaultByte() const { return m_nNulLine != 0 ? 0 : m_byControl; }

bool CTextScan::LooksLikeUtf16(bool* pBigEndian) const {
  const uint64_t nUnits = m_nOffset / 2;
  // The side of the units with the zero bytes, and the other.
  const bool bBig = m_nZeroEven > m_nZeroOdd;
  const uint64_t nZeros = bBig ? m_nZeroEven : m_nZeroOdd;
  const uint64_t nOther = bBig ? m_nZeroOdd : m_nZeroEven;
  const uint64_t nEnds = bBig ? m_nEndsBe : m_nEndsLe;
  *pBigEndian = bBig;
  // A character U+xx00 puts a zero on the other side now and then.
  return nZeros > 0 && nOther * 4 <= nZeros && nZeros * 32 >= nUnits && nEnds > 0;
}
