// What a file's bytes say before it is read as a phrase list: whether it is
// text at all (no NUL, no control byte but tab, CR and LF), how much of it
// decodes as UTF-8 and as GBK, and whether its zero bytes are those of
// UTF-16 without a byte-order mark.
#pragma once

#include <cstddef>
#include <cstdint>

// Why a file is no text: in this order, the first found names the file.
enum TextFault {
  TEXT_FAULT_NONE,
  TEXT_FAULT_NUL,          // a NUL byte (or character)
  TEXT_FAULT_CONTROL,      // a control byte other than tab, CR and LF
  TEXT_FAULT_UNDECODABLE,  // more of its characters fail to decode than decode
};

class CTextScan {
 public:
  // The bytes in order, in pieces of any size.
  void Feed(const unsigned char* p, size_t n);
  // The text ended: a character left open does not decode.
  void Finish();

  // TEXT_FAULT_NUL, else TEXT_FAULT_CONTROL, else TEXT_FAULT_NONE.
  TextFault GetControlFault() const;
  // The line (from 1; LF, CR LF and CR end lines) of the first NUL, or of
  // the first other control byte when there is no NUL, and that byte.
  uint32_t GetFaultLine() const;
  uint8_t GetFaultByte() const;

  // Characters of two bytes or more that decode, and bytes or sequences
  // that do not, read as UTF-8 and read as GBK.
  uint64_t GetUtf8Chars() const { return m_nUtf8Good; }
  uint64_t GetUtf8Bad() const { return m_nUtf8Bad; }
  uint64_t GetGbkChars() const { return m_nGbkGood; }
  uint64_t GetGbkBad() const { return m_nGbkBad; }
  // Printable ASCII characters and tabs: text in either encoding.
  uint64_t GetAsciiChars() const { return m_nAscii; }
  // UTF-8 but for a few bytes: some characters beyond ASCII, and at most one
  // bad sequence for every two of them (GBK text read as UTF-8 has about
  // five bad ones for each that decodes).
  bool IsMostlyUtf8() const { return m_nUtf8Good > 0 && m_nUtf8Bad * 2 <= m_nUtf8Good; }

  // The zero bytes of UTF-16 without a mark: nearly all on one side of the
  // units (the high byte of line ends, digits and blanks), at least one
  // for 32 units, and a line end among them. *pBigEndian: the order.
  bool LooksLikeUtf16(bool* pBigEndian) const;

 private:
  void Control(uint8_t b);
  void Utf8Byte(uint8_t b);
  void GbkByte(uint8_t b);

  uint64_t m_nOffset = 0;
  uint64_t m_nAscii = 0;
  uint32_t m_nLine = 1;
  bool m_bAfterCr = false;
  // NUL and other control bytes.
  uint32_t m_nNulLine = 0;  // 0: none yet
  uint32_t m_nControlLine = 0;
  uint8_t m_byControl = 0;
  // UTF-8: the sequence open.
  uint32_t m_nNeed = 0;
  uint32_t m_nCodePoint = 0;
  uint32_t m_nMin = 0;
  uint64_t m_nUtf8Good = 0;
  uint64_t m_nUtf8Bad = 0;
  // GBK: a lead byte waiting for its second byte.
  bool m_bGbkLead = false;
  uint64_t m_nGbkGood = 0;
  uint64_t m_nGbkBad = 0;
  // UTF-16: zero bytes at even and odd offsets; line-end units in either order.
  uint64_t m_nZeroEven = 0;
  uint64_t m_nZeroOdd = 0;
  uint64_t m_nEndsLe = 0;
  uint64_t m_nEndsBe = 0;
  int m_nPrev = -1;  // the byte before, or -1
};
