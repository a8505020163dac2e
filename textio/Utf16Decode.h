// UTF-16 decoded to UTF-8: as a stream of bytes in pieces (a phrase list) or
// as whole words (the binary dictionaries). One decoder serves both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// UTF-16 code units to UTF-8, as they arrive in pieces. A unit that is no
// character (a surrogate without its partner, a byte left over at the end)
// becomes the byte 0xFF, which no UTF-8 text holds: its line then counts as
// not decodable.
class CUtf16ToUtf8 {
 public:
  explicit CUtf16ToUtf8(bool bBigEndian) : m_bBig(bBigEndian), m_nOdd(-1), m_nHigh(0) {}

  void Feed(const unsigned char* p, size_t n, std::string* out);
  // The text ended: a unit or a surrogate left open is no character.
  void Finish(std::string* out);
  // Some unit so far was no character.
  bool HasFault() const { return m_bFault; }

 private:
  void Unit(uint32_t u, std::string* out);
  void Fault(std::string* out);

  bool m_bBig;
  int m_nOdd;        // the first byte of a unit, or -1
  uint32_t m_nHigh;  // a high surrogate waiting for its low one, or 0
  bool m_bFault = false;
};

// UTF-16 LE code units to UTF-8; false when they hold a surrogate without
// its partner (a text that does not decode).
bool Utf16LeToUtf8(const uint8_t* data, size_t units, std::string* pOut);
