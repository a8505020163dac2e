// A phrase list as the GBK text the line rules read. GBK files are read as
// they are; UTF-8 (with or without a byte-order mark) and UTF-16 (LE or BE,
// with a mark, or without one when its zero bytes show it) are converted
// line by line as they are read, and a line that does not decode,
// or holds a character GBK cannot represent, is left out and counted: never
// written with a '?' in its place. A file that is not text is refused.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "ByteSource.h"
#include "EncodingChoice.h"
#include "TextScan.h"

enum SourceResult {
  SOURCE_OK = 0,
  SOURCE_CANNOT_READ = -1,  // the file could not be read
  SOURCE_NOT_TEXT = -3      // the file is no text: GetTextFault says why
};

class CGbkSource {
 public:
  CGbkSource();
  virtual ~CGbkSource();
  CGbkSource(const CGbkSource&) = delete;
  CGbkSource& operator=(const CGbkSource&) = delete;

  // Decides the encoding and, when it is not GBK, converts the text once to
  // count (and report) the lines left out. A file that is not a regular one
  // is handed on as GBK: the importer refuses it. A
  // file holding a NUL or another control byte but tab, CR and LF, in any
  // mode, or whose guessed encoding leaves most of it undecodable, is
  // SOURCE_NOT_TEXT, and nothing is reported.
  int Open(const char* path, SourceMode nMode);

  // Why the file is no text, the line (from 1) where it shows (0 when the
  // fault is no one line's) and the control byte found there.
  TextFault GetTextFault() const { return m_nFault; }
  uint32_t GetFaultLine() const { return m_nFaultLine; }
  uint8_t GetFaultByte() const { return m_byFaultByte; }

  // The whole text as UTF-8, from the file itself (its mark left out); for
  // a UTF-8 or UTF-16 source only. A unit of UTF-16 that is no character
  // becomes 0xFF, so that its line does not decode. False when the file
  // cannot be read.
  bool ReadUtf8(std::string* pText) const;

  // The text as GBK bytes for the line reader, from the start: the file
  // itself, or its text converted as it is read, each line that does not
  // convert an empty line. Null when the file cannot be opened (nor when it
  // is no regular file).
  std::unique_ptr<CByteSource> OpenBytes() const;
  // The file opened.
  const std::string& GetSourcePath() const { return m_strPath; }
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
  static void LineSkipped(uint32_t nLine, bool bDecodable, void* pData);
  // OpenBytes, with the lines left out counted and reported or not.
  std::unique_ptr<CByteSource> Bytes(bool bReport);
  // The encoding from what a scan of the file (after its mark) finds:
  // SOURCE_OK, SOURCE_NOT_TEXT with the fault set, or SOURCE_CANNOT_READ.
  // bGuessed: neither a mark nor the mode said the encoding.
  int Judge(std::FILE* file, SourceEncoding* pEncoding, bool bGuessed);

  std::string m_strPath;
  SourceEncoding m_nEncoding;
  size_t m_nMark;  // bytes of the byte-order mark
  uint32_t m_nNoGbkForm;
  uint32_t m_nUndecodable;
  TextFault m_nFault;
  uint32_t m_nFaultLine;
  uint8_t m_byFaultByte;
};
