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

CGbkSource::CGbkSource() : m_nEncoding(SOURCE_GBK), m_nNoGbkForm(0), m_nUndecodable(0) {}

CGbkSource::~CGbkSource() = default;

const char* CGbkSource::GetPath() const {
  return m_pCopy ? m_pCopy->GetPath().c_str() : m_strPath.c_str();
}

void CGbkSource::LineSkipped(uint32_t nLine, bool bDecodable) {
  ++(bDecodable ? m_nNoGbkForm : m_nUndecodable);
  OnLineSkipped(nLine, bDecodable);
}

int CGbkSource::Open(const char* path, SourceMode nMode) {
  m_strPath = path;
  m_pCopy.reset();
  m_nEncoding = SOURCE_GBK;
  m_nNoGbkForm = m_nUndecodable = 0;
  if (nMode == SOURCE_MODE_GBK) return SOURCE_OK;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(NativePath(m_strPath), ec)) return SOURCE_OK;
  std::FILE* file = OpenFileByPath(path, "rb");
  if (file == nullptr) return SOURCE_CANNOT_READ;

  std::vector<unsigned char> block(kBlock);
  size_t n = std::fread(block.data(), 1, block.size(), file);
  size_t nMark = 0;
  SourceEncoding encoding = EncodingFromMark(block.data(), n, &nMark);
  if (nMode == SOURCE_MODE_UTF8 && encoding != SOURCE_UTF8) {
    encoding = SOURCE_UTF8;  // said to be UTF-8: a UTF-16 mark is just bytes then
    nMark = 0;
  }
  if (encoding == SOURCE_GBK) {
    // Without a mark: UTF-8 when the whole text is valid UTF-8 and not plain
    // ASCII, read until the answer is known.
    CUtf8Scan scan;
    while (n > 0) {
      scan.Feed(reinterpret_cast<const char*>(block.data()), n);
      if (!scan.IsValidSoFar()) break;
      n = std::fread(block.data(), 1, block.size(), file);
    }
    if (scan.IsValid() && !scan.IsPlainAscii()) encoding = SOURCE_UTF8;
  }
  if (std::ferror(file)) {
    std::fclose(file);
    return SOURCE_CANNOT_READ;
  }
  m_nEncoding = encoding;
  if (encoding == SOURCE_GBK) {
    std::fclose(file);
    return SOURCE_OK;
  }
  if (std::fseek(file, static_cast<long>(nMark), SEEK_SET) != 0) {
    std::fclose(file);
    return SOURCE_CANNOT_READ;
  }
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
