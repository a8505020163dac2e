#include "GbkSource.h"

#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

#include "FileNames.h"
#include "InputFile.h"
#include "ConvertedBytes.h"
#include "TxtLineReader.h"
#include "Utf16Decode.h"

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

CGbkSource::CGbkSource()
    : m_nEncoding(SOURCE_GBK),
      m_nMark(0),
      m_nNoGbkForm(0),
      m_nUndecodable(0),
      m_nFault(TEXT_FAULT_NONE),
      m_nFaultLine(0),
      m_byFaultByte(0) {}

CGbkSource::~CGbkSource() = default;

void CGbkSource::LineSkipped(uint32_t nLine, bool bDecodable, void* pData) {
  CGbkSource& source = *static_cast<CGbkSource*>(pData);
  ++(bDecodable ? source.m_nNoGbkForm : source.m_nUndecodable);
  source.OnLineSkipped(nLine, bDecodable);
}

std::unique_ptr<CByteSource> CGbkSource::Bytes(bool bReport) {
  if (m_nEncoding == SOURCE_GBK) return OpenFileBytes(m_strPath.c_str());
  uint64_t nLength = 0;
  std::FILE* file = OpenInputFile(m_strPath.c_str(), INPUT_SHARED, &nLength, nullptr);
  if (file == nullptr) return nullptr;
  if (std::fseek(file, static_cast<long>(m_nMark), SEEK_SET) != 0) {
    std::fclose(file);
    return nullptr;
  }
  return std::unique_ptr<CByteSource>(new CConvertedBytes(
      file, nLength, m_nEncoding, bReport ? &CGbkSource::LineSkipped : nullptr, this));
}

std::unique_ptr<CByteSource> CGbkSource::OpenBytes() const {
  // Reading again reports nothing: Open counted every line left out.
  return const_cast<CGbkSource*>(this)->Bytes(false);
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
  m_nEncoding = SOURCE_GBK;
  m_nMark = 0;
  m_nNoGbkForm = m_nUndecodable = 0;
  m_nFault = TEXT_FAULT_NONE;
  m_nFaultLine = 0;
  m_byFaultByte = 0;
  InputKind nKind = INPUT_UNOPENED;
  std::FILE* file = OpenInputFile(path, INPUT_SHARED, nullptr, &nKind);
  if (file == nullptr) {
    // No regular file (or none at all) is handed on as GBK: the importer
    // refuses it. One that is there but cannot be read is said here.
    std::error_code ec;
    const bool bThere = std::filesystem::is_regular_file(NativePath(m_strPath), ec);
    return nKind == INPUT_UNOPENED && bThere ? SOURCE_CANNOT_READ : SOURCE_OK;
  }

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
  std::fclose(file);
  // The lines that do not convert are counted and reported here, once: the
  // text converts as it is read and the result is not kept.
  std::unique_ptr<CByteSource> bytes = Bytes(true);
  if (bytes == nullptr) return SOURCE_CANNOT_READ;
  CConvertedBytes& converted = static_cast<CConvertedBytes&>(*bytes);
  std::vector<unsigned char> block(kBlock);
  while (converted.Read(block.data(), block.size()) > 0) {
  }
  return converted.IsReadFailed() ? SOURCE_CANNOT_READ : SOURCE_OK;
}

bool CGbkSource::ReadUtf8(std::string* pText) const {
  pText->clear();
  std::FILE* file = OpenInputFile(m_strPath.c_str(), INPUT_SHARED, nullptr, nullptr);
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
