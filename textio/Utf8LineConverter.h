// The streaming conversion of a UTF-8 phrase list to GBK, line by line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Utf8Rules.h"

// A UTF-8 phrase list converted to GBK as it arrives, with the memory of one
// window whatever the length of the text. Each line (LF ends it) converts, or
// is left out whole as an empty line and reported; a line that does not
// convert never loses the rest. The result is the text converted at once when
// every line converts. A line longer than the window is put as it converts and
// taken back when a later part of it does not.
class CUtf8LineConverter {
 public:
  explicit CUtf8LineConverter(size_t window = 65536);
  virtual ~CUtf8LineConverter() = default;
  CUtf8LineConverter(const CUtf8LineConverter&) = delete;
  CUtf8LineConverter& operator=(const CUtf8LineConverter&) = delete;

  // The text's bytes in order, in pieces of any size (a byte-order mark is
  // the caller's to leave out).
  void Feed(const char* text, size_t size);
  // The text ended: a last line without LF is converted.
  void Finish();

  uint32_t GetSkipped() const { return m_nSkipped; }
  // Bytes put that no later TakeBack can drop: all of them but those of a
  // line longer than the window, put while it has not ended.
  uint64_t GetSettled() const { return m_bLong ? m_nLineStart : m_nPut; }
  // Put or TakeBack failed; the lines were still converted and reported.
  bool IsOutputFailed() const { return m_bOutputFailed; }

 protected:
  // The converted bytes, in order.
  virtual bool Put(const char* gbk, size_t size) = 0;
  // Drops every byte put after the first size bytes.
  virtual bool TakeBack(uint64_t size) = 0;
  // Line number (from 1) left out; validUtf8 false: the line is not valid
  // UTF-8, true: some character of it has no GBK form.
  virtual void OnLineSkipped(uint32_t line, bool validUtf8) = 0;

 private:
  void Emit(const char* gbk, size_t size);
  // Lines that each end with LF, converted together when they can be.
  void ConvertLines(const char* text, size_t size);
  void ConvertLine(const char* text, size_t size, bool lf);
  void AddToLine(const char* text, size_t size);
  // The part of a long line that holds whole characters, converted and put.
  void ConvertLongPart();
  void EndLine(bool lf);

  size_t m_nWindow;
  std::string m_strLine;  // the current line's bytes not converted yet
  bool m_bLong;           // the current line outgrew the window: put as it goes
  bool m_bLongFailed;     // ... and a part of it did not convert
  CUtf8Scan m_scan;       // the long line's bytes so far
  uint64_t m_nPut;        // bytes put
  uint64_t m_nLineStart;  // m_nPut when the long line began
  uint32_t m_nLine;       // lines finished
  uint32_t m_nSkipped;
  bool m_bOutputFailed;
};
