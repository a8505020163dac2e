#include "GbkSource.h"

#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "FileNames.h"
#include "Utf16Decode.h"
#include "Utf8LineConverter.h"

#ifdef _WIN32
#include <io.h>
#else
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

const size_t kBlock = 65536;

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
      if (bFirst && bGuessed && GuessUtf16(raw, pEncoding)) return false;
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
    *pEncoding = GuessFromScan(raw);
  }
  const TextFault fault = JudgeScan(*pText, *pEncoding, bGuessed);
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
  bool bGuessed = false;
  SourceEncoding encoding = EncodingFromHead(head, nHead, nMode, &m_nMark, &bGuessed);
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
  // Created empty under a name nobody else holds, then filled as the text
  // converts.
  if (m_pCopy->Create(std::string())) out = OpenFileByPath(m_pCopy->GetPath().c_str(), "wb");
  // Without a copy the lines are still converted, to count what would be left
  // out.
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
