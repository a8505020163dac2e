// A phrase list as the GBK text the line rules read. GBK files are read as
// they are; UTF-8 (with or without a byte-order mark) and UTF-16 (LE or BE,
// with a mark) are converted line by line into a temporary GBK copy, and a
// line that does not decode, or holds a character GBK cannot represent, is
// left out and counted: never written with a '?' in its place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "FilePaths.h"

enum SourceEncoding { SOURCE_GBK, SOURCE_UTF8, SOURCE_UTF16LE, SOURCE_UTF16BE };

// How the encoding is chosen: auto looks at the byte-order mark, then takes
// text that is valid UTF-8 and not plain ASCII for UTF-8; gbk and utf8 say it.
enum SourceMode { SOURCE_MODE_AUTO, SOURCE_MODE_GBK, SOURCE_MODE_UTF8 };

enum SourceResult {
  SOURCE_OK = 0,
  SOURCE_CANNOT_READ = -1,  // the file could not be read
  SOURCE_CANNOT_COPY = -2   // the GBK copy could not be written
};

// The encoding a text starts with, from its first bytes: the byte-order mark
// and its length, or SOURCE_GBK and 0 when there is none.
SourceEncoding EncodingFromMark(const unsigned char* head, size_t size, size_t* pMarkSize);

class CGbkSource {
 public:
  CGbkSource();
  virtual ~CGbkSource();
  CGbkSource(const CGbkSource&) = delete;
  CGbkSource& operator=(const CGbkSource&) = delete;

  // Decides the encoding and, when it is not GBK, makes the copy. A file that
  // is not a regular one is handed on as GBK: the importer refuses it.
  int Open(const char* path, SourceMode nMode);

  // What the importer opens: the file itself or its GBK copy.
  const char* GetPath() const;
  SourceEncoding GetEncoding() const { return m_nEncoding; }
  uint32_t GetNoGbkForm() const { return m_nNoGbkForm; }
  uint32_t GetUndecodable() const { return m_nUndecodable; }

 protected:
  // Line number (from 1) of the converted text left out; decodable: the line
  // decoded but holds a character GBK cannot represent.
  virtual void OnLineSkipped(uint32_t nLine, bool bDecodable) {
    (void)nLine;
    (void)bDecodable;
  }

 private:
  friend class CSourceLineSink;
  void LineSkipped(uint32_t nLine, bool bDecodable);

  std::string m_strPath;
  std::unique_ptr<CTempFile> m_pCopy;
  SourceEncoding m_nEncoding;
  uint32_t m_nNoGbkForm;
  uint32_t m_nUndecodable;
};
