#include "GbkSource.h"

#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "FileNames.h"
#include "TextConvert.h"
#include "Utf8Append.h"

#ifdef _WIN32
#include <io.h>
#else
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

const size_t kBlock = 65536;

// UTF-16 code units to UTF-8, as they arrive in pieces. A unit that is no
// character (a surrogate without its partner, a byte left over at the end)
// becomes the byte 0xFF, which no UTF-8 text holds: its line then counts as
// not decodable.
class CUtf16ToUtf8 {
 public:
  explicit CUtf16ToUtf8(bool bBigEndian) : m_bBig(bBigEndian), m_nOdd(-1), m_nHigh(0) {}

  void Feed(const unsigned char* p, size_t n, std::string* out) {
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
  void Finish(std::string* out) {
    if (m_nHigh != 0 || m_nOdd >= 0) out->push_back('\xFF');
    m_nHigh = 0;
    m_nOdd = -1;
  }

 private:
  void Unit(uint32_t u, std::string* out) {
    if (m_nHigh != 0) {
      const uint32_t high = m_nHigh;
      m_nHigh = 0;
      if (u >= 0xDC00 && u <= 0xDFFF) {
        AppendUtf8(0x10000 + ((high - 0xD800) << 10) + (u - 0xDC00), out);
        return;
      }
      out->push_back('\xFF');  // a high surrogate without its low one
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
      m_nHigh = u;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      out->push_back('\xFF');  // a low surrogate alone
    } else {
      AppendUtf8(u, out);
    }
  }

  bool m_bBig;
  int m_nOdd;        // the first byte of a unit, or -1
  uint32_t m_nHigh;  // a high surrogate waiting for its low one, or 0
};

// Hands the file's bytes from offset on to feed, a block at a time, until
// feed returns false or the file ends; false on a read error.
template <class FEED>
bool ReadBlocks(std::FILE* file, size_t offset, FEED feed) {
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
  std::vector<unsigned char> block(kBlock);
  size_t n;
  while ((n = std::fread(block.data(), 1, block.size(), file)) > 0) {
    if (!feed(block.data(), n)) break;
  }
  return std::ferror(file) == 0;
}

bool IsUtf16(SourceEncoding encoding) {
  return encoding == SOURCE_UTF16LE || encoding == SOURCE_UTF16BE;
}

}  // namespace

// UTF-8 lines to GBK into the copy; a line that does not convert is left out
// as an empty line, which the reader skips.
class CSourceLineSink : public CUtf8LineConverter {
 public:
  CSourceLineSink(CGbkSource& source, std::FILE* out) : m_source(source), m_pOut(out) {}

 protected:
  bool Put(const char* gbk, size_t size) override {
    return m_pOut != nullptr && std::fwrite(gbk, 1, size, m_pOut) == size;
  }
  bool TakeBack(uint64_t size) override {
    if (m_pOut == nullptr || std::fflush(m_pOut) != 0) return false;
#ifdef _WIN32
    return _chsize_s(_fileno(m_pOut), static_cast<__int64>(size)) == 0 &&
           _fseeki64(m_pOut, static_cast<__int64>(size), SEEK_SET) == 0;
#else
    return ftruncate(fileno(m_pOut), static_cast<off_t>(size)) == 0 &&
           fseeko(m_pOut, static_cast<off_t>(size), SEEK_SET) == 0;
#endif
  }
  void OnLineSkipped(uint32_t line, bool validUtf8) override {
    m_source.LineSkipped(line, validUtf8);
  }

 private:
  CGbkSource& m_source;
  std::FILE* m_pOut;
};

SourceEncoding EncodingFromMark(const unsigned char* head, size_t size, size_t* pMarkSize) {
  *pMarkSize = 0;
  if (size >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
    *pMarkSize = 3;
    return SOURCE_UTF8;
  }
  if (size >= 2 && head[0] == 0xFF && head[1] == 0xFE) {
    *pMarkSize = 2;
    return SOURCE_UTF16LE;
  }
  if (size >= 2 && head[0] == 0xFE && head[1] == 0xFF) {
    *pMarkSize = 2;
    return SOURCE_UTF16BE;
  }
  return SOURCE_GBK;
}

const char* SourceEncodingName(int nEncoding) {
  switch (nEncoding) {
    case SOURCE_GBK:
      return "gbk";
    case SOURCE_UTF8:
      return "utf-8";
    case SOURCE_UTF16LE:
      return "utf-16le";
    case SOURCE_UTF16BE:
      return "utf-16be";
    default:
      return "unknown";
  }
}

CGbkSource::CGbkSource()
    : m_nEncoding(SOURCE_GBK),
      m_nMark(0),
      m_nNoGbkForm(0),
      m_nUndecodable(0),
      m_nFault(TEXT_FAULT_NONE),
      m_nFaultLine(0),
      m_byFaultByte(0) {}

CGbkSource::~CGbkSource() = default;

const char* CGbkSource::GetPath() const {
  return m_pCopy ? m_pCopy->GetPath().c_str() : m_strPath.c_str();
}

void CGbkSource::LineSkipped(uint32_t nLine, bool bDecodable) {
  ++(bDecodable ? m_nNoGbkForm : m_nUndecodable);
  OnLineSkipped(nLine, bDecodable);
}

int CGbkSource::Judge(std::FILE* file, SourceEncoding* pEncoding, bool bGuessed) {
  CTextScan raw;
  if (!IsUtf16(*pEncoding)) {
    bool bFirst = true;
    auto feed = [&](const unsigned char* p, size_t n) {
      raw.Feed(p, n);
      // UTF-16 without a mark shows in the first block already.
      bool bBig = false;
      if (bFirst && bGuessed && raw.GetControlFault() == TEXT_FAULT_NUL &&
          raw.LooksLikeUtf16(&bBig)) {
        *pEncoding = bBig ? SOURCE_UTF16BE : SOURCE_UTF16LE;
        return false;
      }
      bFirst = false;
      // A fault refuses the file: the rest need not be read.
      return raw.GetControlFault() == TEXT_FAULT_NONE;
    };
    if (!ReadBlocks(file, m_nMark, feed)) return SOURCE_CANNOT_READ;
    raw.Finish();
  }
  // UTF-16 is judged by its characters: the text it decodes to, as UTF-8.
  CTextScan decoded;
  const CTextScan* pText = &raw;
  if (IsUtf16(*pEncoding)) {
    CUtf16ToUtf8 utf16(*pEncoding == SOURCE_UTF16BE);
    std::string utf8;
    auto feed = [&](const unsigned char* p, size_t n) {
      utf8.clear();
      utf16.Feed(p, n, &utf8);
      decoded.Feed(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size());
      return decoded.GetControlFault() == TEXT_FAULT_NONE;
    };
    if (!ReadBlocks(file, m_nMark, feed)) return SOURCE_CANNOT_READ;
    utf8.clear();
    utf16.Finish(&utf8);
    decoded.Feed(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size());
    decoded.Finish();
    pText = &decoded;
  } else if (bGuessed) {
    *pEncoding = raw.IsMostlyUtf8() ? SOURCE_UTF8 : SOURCE_GBK;
  }
  TextFault fault = pText->GetControlFault();
  if (fault == TEXT_FAULT_NONE && bGuessed) {
    // A guess that leaves most of the text undecodable is no guess at all;
    // an encoding the file or the caller named is taken at its word.
    const bool bGbk = *pEncoding == SOURCE_GBK;
    const uint64_t nGood =
        (bGbk ? pText->GetGbkChars() : pText->GetUtf8Chars()) + pText->GetAsciiChars();
    const uint64_t nBad = bGbk ? pText->GetGbkBad() : pText->GetUtf8Bad();
    if (nBad > nGood) fault = TEXT_FAULT_UNDECODABLE;
  }
  if (fault == TEXT_FAULT_NONE) return SOURCE_OK;
  m_nFault = fault;
  m_nFaultLine = fault == TEXT_FAULT_UNDECODABLE ? 0 : pText->GetFaultLine();
  m_byFaultByte = fault == TEXT_FAULT_UNDECODABLE ? 0 : pText->GetFaultByte();
  return SOURCE_NOT_TEXT;
}

int CGbkSource::Open(const char* path, SourceMode nMode) {
  m_strPath = path;
  m_pCopy.reset();
  m_nEncoding = SOURCE_GBK;
  m_nMark = 0;
  m_nNoGbkForm = m_nUndecodable = 0;
  m_nFault = TEXT_FAULT_NONE;
  m_nFaultLine = 0;
  m_byFaultByte = 0;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(NativePath(m_strPath), ec)) return SOURCE_OK;
  std::FILE* file = OpenFileByPath(path, "rb");
  if (file == nullptr) return SOURCE_CANNOT_READ;

  unsigned char head[3];
  const size_t nHead = std::fread(head, 1, sizeof head, file);
  SourceEncoding encoding = EncodingFromMark(head, nHead, &m_nMark);
  if (nMode != SOURCE_MODE_AUTO) {
    // Said to be GBK or UTF-8: a mark of another encoding is just bytes then.
    const SourceEncoding said = nMode == SOURCE_MODE_UTF8 ? SOURCE_UTF8 : SOURCE_GBK;
    if (encoding != said) m_nMark = 0;
    encoding = said;
  }
  const bool bGuessed = nMode == SOURCE_MODE_AUTO && m_nMark == 0;
  const int nJudged = std::ferror(file) ? SOURCE_CANNOT_READ : Judge(file, &encoding, bGuessed);
  if (nJudged != SOURCE_OK) {
    std::fclose(file);
    return nJudged;
  }
  m_nEncoding = encoding;
  if (encoding == SOURCE_GBK) {
    std::fclose(file);
    return SOURCE_OK;
  }
  if (std::fseek(file, static_cast<long>(m_nMark), SEEK_SET) != 0) {
    std::fclose(file);
    return SOURCE_CANNOT_READ;
  }
  std::vector<unsigned char> block(kBlock);
  size_t n = 0;
  m_pCopy.reset(new CTempFile);
  std::FILE* out = nullptr;
  // Created empty under a name nobody else holds, then filled as the text converts.
  if (m_pCopy->Create(std::string())) out = OpenFileByPath(m_pCopy->GetPath().c_str(), "wb");
  // Without a copy the lines are still converted, to count what would be left out.
  CSourceLineSink sink(*this, out);
  CUtf16ToUtf8 utf16(encoding == SOURCE_UTF16BE);
  std::string utf8;
  while ((n = std::fread(block.data(), 1, block.size(), file)) > 0) {
    if (encoding == SOURCE_UTF8) {
      sink.Feed(reinterpret_cast<const char*>(block.data()), n);
      continue;
    }
    utf8.clear();
    utf16.Feed(block.data(), n, &utf8);
    sink.Feed(utf8.data(), utf8.size());
  }
  const bool bReadFailed = std::ferror(file) != 0;
  std::fclose(file);
  if (!bReadFailed) {
    utf8.clear();
    utf16.Finish(&utf8);
    sink.Feed(utf8.data(), utf8.size());
    sink.Finish();
  }
  bool bWritten = out != nullptr && !sink.IsOutputFailed();
  if (out != nullptr && std::fclose(out) != 0) bWritten = false;
  if (bReadFailed) {
    m_pCopy.reset();
    return SOURCE_CANNOT_READ;
  }
  if (!bWritten) {
    m_pCopy.reset();
    return SOURCE_CANNOT_COPY;
  }
  return SOURCE_OK;
}

bool CGbkSource::ReadUtf8(std::string* pText) const {
  pText->clear();
  std::FILE* file = OpenFileByPath(m_strPath.c_str(), "rb");
  if (file == nullptr) return false;
  CUtf16ToUtf8 utf16(m_nEncoding == SOURCE_UTF16BE);
  const bool bUtf16 = IsUtf16(m_nEncoding);
  const bool bRead = ReadBlocks(file, m_nMark, [&](const unsigned char* p, size_t n) {
    if (bUtf16) {
      utf16.Feed(p, n, pText);
    } else {
      pText->append(reinterpret_cast<const char*>(p), n);
    }
    return true;
  });
  std::fclose(file);
  if (bUtf16) utf16.Finish(pText);
  return bRead;
}
