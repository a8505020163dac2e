#include "LineCursor.h"

#include <cstring>

#include "ByteOrderMark.h"

CLineCursor::CLineCursor(const uint8_t* data, size_t size)
    : m_pData(reinterpret_cast<const char*>(data)), m_nSize(size), m_nPos(0), m_nLine(0) {
  m_nPos = Utf8MarkSize(data, size);
}

bool CLineCursor::Next(std::string_view* pLine) {
  if (m_nPos >= m_nSize) return false;
  const char* pStart = m_pData + m_nPos;
  const size_t nLeft = m_nSize - m_nPos;
  const void* pLf = std::memchr(pStart, '\n', nLeft);
  size_t nLength = pLf ? static_cast<size_t>(static_cast<const char*>(pLf) - pStart) : nLeft;
  m_nPos += pLf ? nLength + 1 : nLength;
  if (pLf && nLength > 0 && pStart[nLength - 1] == '\r') --nLength;
  ++m_nLine;
  *pLine = std::string_view(pStart, nLength);
  return true;
}

std::string_view TrimBlanks(std::string_view text) {
  size_t nBegin = 0;
  size_t nEnd = text.size();
  while (nBegin < nEnd && (text[nBegin] == ' ' || text[nBegin] == '\t')) ++nBegin;
  while (nEnd > nBegin && (text[nEnd - 1] == ' ' || text[nEnd - 1] == '\t')) --nEnd;
  return text.substr(nBegin, nEnd - nBegin);
}
