// A UTF-8 or UTF-16 text read from its file as GBK, converted as it is read:
// the line rules get GBK bytes with no copy of the text on the disk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "ByteOrderMark.h"
#include "ByteSource.h"

class CConvertedBytes : public CByteSource {
 public:
  // A line left out: its number (from 1), and whether it decoded (then some
  // character of it has no GBK form).
  using SkipFn = void (*)(uint32_t nLine, bool bDecodable, void* pData);

  // file: open, read from its first byte after the mark; taken over.
  // nLength: the file's length. funSkip may be null.
  CConvertedBytes(std::FILE* file, uint64_t nLength, SourceEncoding nEncoding, SkipFn funSkip,
                  void* pSkipData);
  ~CConvertedBytes() override;
  CConvertedBytes(const CConvertedBytes&) = delete;
  CConvertedBytes& operator=(const CConvertedBytes&) = delete;

  // Each line converted, or left out whole as an empty line. A line is
  // handed on only once no later part of it can take it back: one longer
  // than the converter's window is held until it ends.
  size_t Read(void* data, size_t size) override;
  uint64_t GetLength() const override { return m_nLength; }
  // Bytes of the file read so far: ahead of the lines by up to one block.
  uint64_t ProgressAt(uint64_t nTaken) const override;
  // The file gave a read error: the text ended there.
  bool IsReadFailed() const { return m_bReadFailed; }

 private:
  class CSink;
  // Converts the next block of the file; false once the text has ended.
  bool Pump();

  std::FILE* m_pFile;
  uint64_t m_nLength;
  uint64_t m_nFilePos;
  bool m_bUtf16;
  bool m_bEnded;
  bool m_bReadFailed;
  std::unique_ptr<CSink> m_pSink;
  std::string m_strBlock;  // the file's bytes as read
  std::string m_strUtf8;   // a UTF-16 block decoded
  std::string m_strQueue;  // converted bytes not yet read
  size_t m_nQueueNext;     // the first of them not yet read
  uint64_t m_nQueueBase;   // the offset in the converted text of m_strQueue[0]
};
