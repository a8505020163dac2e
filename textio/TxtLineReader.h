// CTxtLineReader: reads a text file line by line through a 4096-byte buffer of
// its own, skipping comment lines and empty lines. It works on bytes (the text
// is GBK); no character conversion takes place.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "ByteSource.h"

// A regular file's bytes as they are, opened as CTxtLineReader::Open(path)
// opens it; null when that fails.
std::unique_ptr<CByteSource> OpenFileBytes(const char* path);

class CTxtLineReader {
 public:
  // commentChar 0: nothing is skipped, not even empty lines.
  explicit CTxtLineReader(char commentChar);
  virtual ~CTxtLineReader();

  CTxtLineReader(const CTxtLineReader&) = delete;
  CTxtLineReader& operator=(const CTxtLineReader&) = delete;

  // Opens the file for reading only; on Windows without sharing it, so the
  // open fails while another program holds the file open. Only a regular file
  // opens: a folder, a device or a FIFO does not (a FIFO without waiting for
  // a writer). Nonzero on success; on failure nothing is open. A reader that
  // is open is closed first.
  int Open(const char* path);
  // Reads the bytes of source, taken over, by the same line rules (a text
  // converted as it is read). Nonzero on success; a null source opens nothing.
  int Open(std::unique_ptr<CByteSource> source);

  // The next line that is neither empty nor a comment (first byte the comment
  // character), NUL-terminated in buffer, which holds at least max + 1 bytes.
  // LF, CR LF and CR alone each end a line. A line longer than max bytes
  // arrives as its first max bytes, the rest of it read past. Null at the
  // end of the file, when nothing is open, or when max is 0. A line is empty
  // when its first byte is NUL: the line's text ends at its first NUL for
  // every caller that reads it as a string.
  char* ReadLine(char* buffer, uint32_t max);

  // Closes the file; does nothing when nothing is open.
  void Close();

  bool IsOpen() const { return m_pSource != nullptr; }
  // The file's length in bytes, taken when it was opened (0 when closed).
  uint64_t GetLength() const { return m_pSource ? m_pSource->GetLength() : 0; }
  // Bytes taken from the file so far: ahead of the lines handed out by up to
  // one buffer.
  uint64_t GetPosition() const { return m_pSource ? m_pSource->ProgressAt(m_nPosition) : 0; }

 private:
  struct tagLINEBUFFER;

  // One raw line: LF, CR LF or CR ends it; its first max bytes are stored.
  // Null only when the file ends before any byte is taken.
  char* ReadRawLine(char* buffer, uint32_t max);
  // True when the buffer holds an unread byte, refilling it when needed.
  bool Fill();

  std::unique_ptr<CByteSource> m_pSource;
  uint8_t m_byComment;
  tagLINEBUFFER* m_pBuffer;  // present only while the file is open
  uint64_t m_nPosition;      // bytes taken from the source
};
