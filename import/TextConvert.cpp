#include "TextConvert.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "GbkText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

bool IsPlainAscii(const char* text, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  }
  return true;
}

bool IsValidUtf8(const char* text, size_t size) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (i < size) {
    unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t n;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      n = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      cp = c & 0x07;
    } else {
      return false;  // a continuation byte first, or C0, C1, F5..FF
    }
    if (size - i - 1 < n) return false;
    for (size_t k = 1; k <= n; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000)) return false;  // overlong
    if (cp >= 0xD800 && cp <= 0xDFFF) return false;
    if (cp > 0x10FFFF) return false;
    i += n + 1;
  }
  return true;
}

bool HasUtf8Bom(const char* text, size_t size) {
  return size >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
         static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF;
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

#ifdef _WIN32

namespace {

bool ToWide(uint32_t codePage, const std::string& in, std::wstring* out) {
  out->clear();
  if (in.empty()) return true;
  if (in.size() > 0x7FFFFFFF) return false;
  int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(),
                              static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return false;
  out->resize(static_cast<size_t>(n));
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()),
                             &(*out)[0], n) == n;
}

bool FromWide(uint32_t codePage, const std::wstring& in, std::string* out) {
  out->clear();
  if (in.empty()) return true;
  // UTF-8 takes no default character; every other code page must not fall
  // back to a look-alike or to '?' silently.
  DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* pUsedDefault = codePage == CP_UTF8 ? nullptr : &usedDefault;
  int n = WideCharToMultiByte(codePage, flags, in.data(), static_cast<int>(in.size()), nullptr, 0,
                              nullptr, pUsedDefault);
  if (n <= 0 || usedDefault) return false;
  out->resize(static_cast<size_t>(n));
  if (WideCharToMultiByte(codePage, flags, in.data(), static_cast<int>(in.size()), &(*out)[0], n,
                          nullptr, pUsedDefault) != n) {
    return false;
  }
  return !usedDefault;
}

}  // namespace

bool ConvertCodePage(uint32_t fromCodePage, uint32_t toCodePage, const std::string& in,
                     std::string* out) {
  if (fromCodePage == toCodePage) {
    *out = in;
    return true;
  }
  std::wstring wide;
  if (!ToWide(fromCodePage, in, &wide) || !FromWide(toCodePage, wide, out)) return false;
  // Some code pages map a few characters one way only; a text that does not
  // come back unchanged did not convert.
  std::wstring back;
  return ToWide(toCodePage, *out, &back) && back == wide;
}

CUtf8ToGbk::CUtf8ToGbk() : m_pHandle(nullptr) {}

CUtf8ToGbk::~CUtf8ToGbk() = default;

bool CUtf8ToGbk::Convert(const std::string& utf8, std::string* out) {
  return Utf8ToGbk(utf8, out);  // the two calls of the system need no set-up
}

#else

namespace {

const char* IconvName(uint32_t codePage, char* buffer, size_t size) {
  if (codePage == CODEPAGE_UTF8) return "UTF-8";
  if (codePage == CODEPAGE_GBK) return "GBK";
  snprintf(buffer, size, "CP%u", static_cast<unsigned>(codePage));
  return buffer;
}

}  // namespace

bool ConvertCodePage(uint32_t fromCodePage, uint32_t toCodePage, const std::string& in,
                     std::string* out) {
  if (fromCodePage == toCodePage) {
    *out = in;
    return true;
  }
  char fromBuf[16], toBuf[16];
  iconv_t cd = iconv_open(IconvName(toCodePage, toBuf, sizeof toBuf),
                          IconvName(fromCodePage, fromBuf, sizeof fromBuf));
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->clear();
  std::string input(in);  // iconv wants a non-const source
  char* src = input.empty() ? nullptr : &input[0];
  size_t srcLeft = input.size();
  char chunk[1024];
  bool ok = true;
  while (srcLeft > 0) {
    char* dst = chunk;
    size_t dstLeft = sizeof chunk;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out->append(chunk, sizeof chunk - dstLeft);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      ok = false;  // EILSEQ or EINVAL: invalid or unconvertible input
      break;
    }
    if (r != 0) {  // irreversible conversions: not an exact form
      ok = false;
      break;
    }
  }
  if (ok) {  // flush any shift state
    char* dst = chunk;
    size_t dstLeft = sizeof chunk;
    if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) ok = false;
    out->append(chunk, sizeof chunk - dstLeft);
  }
  iconv_close(cd);
  return ok;
}

CUtf8ToGbk::CUtf8ToGbk() : m_pHandle(nullptr) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd != reinterpret_cast<iconv_t>(-1)) m_pHandle = cd;
}

CUtf8ToGbk::~CUtf8ToGbk() {
  if (m_pHandle != nullptr) iconv_close(static_cast<iconv_t>(m_pHandle));
}

bool CUtf8ToGbk::Convert(const std::string& utf8, std::string* out) {
  if (m_pHandle == nullptr) return Utf8ToGbk(utf8, out);
  iconv_t cd = static_cast<iconv_t>(m_pHandle);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh start for each text
  // A GBK text takes at most as many bytes as its UTF-8 form, plus room.
  char buffer[256];
  std::string input(utf8);
  char* src = input.empty() ? nullptr : &input[0];
  size_t srcLeft = input.size();
  out->clear();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out->append(buffer, sizeof buffer - dstLeft);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      return false;  // not UTF-8, or a character GBK does not have
    }
    if (r != 0) return false;  // irreversible: not an exact form
  }
  return true;
}

#endif

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
