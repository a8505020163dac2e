// A read position in a file's bytes: every read first checks the bytes left,
// and a read that does not fit fails and leaves the position where it was.
// Numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

class CByteCursor {
 public:
  CByteCursor(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size), m_nPos(0) {}

  size_t Pos() const { return m_nPos; }
  size_t Left() const { return m_nSize - m_nPos; }
  bool AtEnd() const { return m_nPos == m_nSize; }

  bool Seek(size_t pos) {
    if (pos > m_nSize) return false;
    m_nPos = pos;
    return true;
  }
  bool Skip(size_t n) {
    if (n > Left()) return false;
    m_nPos += n;
    return true;
  }
  // The next n bytes, passed over.
  bool Take(size_t n, const uint8_t** ppBytes) {
    if (n > Left()) return false;
    *ppBytes = m_pData + m_nPos;
    m_nPos += n;
    return true;
  }
  // The next n bytes, left where they are.
  bool Peek(size_t n, const uint8_t** ppBytes) const {
    if (n > Left()) return false;
    *ppBytes = m_pData + m_nPos;
    return true;
  }
  bool U16(uint16_t* pValue) {
    const uint8_t* p = nullptr;
    if (!Take(2, &p)) return false;
    *pValue = static_cast<uint16_t>(p[0] | (p[1] << 8));
    return true;
  }
  bool U32(uint32_t* pValue) {
    const uint8_t* p = nullptr;
    if (!Take(4, &p)) return false;
    *pValue = p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
    return true;
  }

 private:
  const uint8_t* m_pData;
  size_t m_nSize;
  size_t m_nPos;
};
