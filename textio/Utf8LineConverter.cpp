#include "Utf8LineConverter.h"

#include <cstring>

#include "TextConvert.h"

CUtf8LineConverter::CUtf8LineConverter(size_t window)
    : m_nWindow(window < 16 ? 16 : window),
      m_bLong(false),
      m_bLongFailed(false),
      m_nPut(0),
      m_nLineStart(0),
      m_nLine(0),
      m_nSkipped(0),
      m_bOutputFailed(false) {}

void CUtf8LineConverter::Emit(const char* gbk, size_t size) {
  // After a failed write the lines are still converted, so that every line
  // with no GBK form is reported as it would have been.
  if (!m_bOutputFailed && size > 0 && !Put(gbk, size)) m_bOutputFailed = true;
  m_nPut += size;
}

void CUtf8LineConverter::Feed(const char* text, size_t size) {
  while (size > 0) {
    const char* lf = static_cast<const char*>(std::memchr(text, '\n', size));
    if (lf == nullptr) {
      AddToLine(text, size);
      return;
    }
    size_t end = 0;
    if (!m_bLong && m_strLine.empty()) {
      // Whole lines in one conversion, a window's worth at most.
      end = size < m_nWindow ? size : m_nWindow;
      while (end > 0 && text[end - 1] != '\n') --end;
      if (end > 0) ConvertLines(text, end);
    }
    if (end == 0) {  // the end of the line begun earlier, or of one longer than the window
      end = static_cast<size_t>(lf - text) + 1;
      AddToLine(text, end - 1);
      EndLine(true);
    }
    text += end;
    size -= end;
  }
}

void CUtf8LineConverter::Finish() {
  if (m_bLong || !m_strLine.empty()) EndLine(false);
}

void CUtf8LineConverter::ConvertLines(const char* text, size_t size) {
  std::string gbk;
  if (Utf8ToGbk(std::string(text, size), &gbk)) {  // the usual case: every line converts
    Emit(gbk.data(), gbk.size());
    for (size_t i = 0; i < size; ++i) m_nLine += text[i] == '\n';
    return;
  }
  size_t start = 0;
  while (start < size) {
    size_t stop = static_cast<size_t>(
        static_cast<const char*>(std::memchr(text + start, '\n', size - start)) - text);
    ConvertLine(text + start, stop - start, true);
    start = stop + 1;
  }
}

void CUtf8LineConverter::ConvertLine(const char* text, size_t size, bool lf) {
  ++m_nLine;
  std::string gbk;
  if (Utf8ToGbk(std::string(text, size), &gbk)) {
    Emit(gbk.data(), gbk.size());
  } else {
    ++m_nSkipped;
    OnLineSkipped(m_nLine, IsValidUtf8(text, size));
  }
  if (lf) Emit("\n", 1);
}

void CUtf8LineConverter::AddToLine(const char* text, size_t size) {
  while (size > 0) {
    // Never more than one byte over the window before it is converted.
    size_t take = m_nWindow + 1 - m_strLine.size();
    if (take > size) take = size;
    m_strLine.append(text, take);
    text += take;
    size -= take;
    if (m_strLine.size() > m_nWindow) ConvertLongPart();
  }
}

void CUtf8LineConverter::ConvertLongPart() {
  if (!m_bLong) {
    m_bLong = true;
    m_bLongFailed = false;
    m_scan = CUtf8Scan();
    m_nLineStart = m_nPut;
  }
  // Up to the last byte that starts a character: every sequence before it
  // is whole. With four continuation bytes at the end the line is invalid
  // wherever it is cut.
  size_t cut = m_strLine.size();
  for (size_t back = 1; back <= 4; ++back) {
    if ((static_cast<unsigned char>(m_strLine[m_strLine.size() - back]) & 0xC0) != 0x80) {
      cut = m_strLine.size() - back;
      break;
    }
  }
  m_scan.Feed(m_strLine.data(), cut);
  if (!m_bLongFailed) {
    std::string gbk;
    if (Utf8ToGbk(m_strLine.substr(0, cut), &gbk)) {
      Emit(gbk.data(), gbk.size());
    } else {
      m_bLongFailed = true;
    }
  }
  m_strLine.erase(0, cut);
}

void CUtf8LineConverter::EndLine(bool lf) {
  if (!m_bLong) {
    ConvertLine(m_strLine.data(), m_strLine.size(), lf);
    m_strLine.clear();
    return;
  }
  ++m_nLine;
  m_scan.Feed(m_strLine.data(), m_strLine.size());
  std::string gbk;
  if (!m_bLongFailed && Utf8ToGbk(m_strLine, &gbk)) {
    Emit(gbk.data(), gbk.size());
  } else {
    ++m_nSkipped;
    if (!m_bOutputFailed && !TakeBack(m_nLineStart)) m_bOutputFailed = true;
    m_nPut = m_nLineStart;
    OnLineSkipped(m_nLine, m_scan.IsValid());
  }
  if (lf) Emit("\n", 1);
  m_strLine.clear();
  m_bLong = false;
}
