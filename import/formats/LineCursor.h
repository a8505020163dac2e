// The lines of a text dictionary's bytes, for the readers of text formats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Lines in order: a line ends at LF, a CR just before the LF is not part of
// it, and the last line needs no LF. A UTF-8 byte-order mark at the start is
// not part of the first line.
class CLineCursor {
 public:
  CLineCursor(const uint8_t* data, size_t size);
  // The next line; false when none is left.
  bool Next(std::string_view* pLine);
  // 1-based number of the line Next gave last (for error messages).
  size_t LineNumber() const { return m_nLine; }

 private:
  const char* m_pData;
  size_t m_nSize;
  size_t m_nPos;
  size_t m_nLine;
};

// Spaces and tabs off both ends.
std::string_view TrimBlanks(std::string_view text);
