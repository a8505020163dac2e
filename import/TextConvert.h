// Character conversion of the portable core: library texts are GBK bytes,
// phrase lists arrive in UTF-8 or UTF-16 as well. The platform converts:
// iconv on Linux, MultiByteToWideChar/WideCharToMultiByte on Windows
// (TextConvert.cpp, one branch per system).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Code page numbers as Windows names them; also used on Linux.
enum : uint32_t { CODEPAGE_GBK = 936, CODEPAGE_UTF8 = 65001 };

bool IsPlainAscii(const char* text, size_t size);
// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const char* text, size_t size);
// The three bytes EF BB BF at the start.
bool HasUtf8Bom(const char* text, size_t size);

// IsValidUtf8 and IsPlainAscii of a text that arrives in pieces of any size.
class CUtf8Scan {
 public:
  void Feed(const char* text, size_t size);
  // Nothing so far makes the text invalid, whatever follows.
  bool IsValidSoFar() const { return m_bValid; }
  // Valid UTF-8 when the text ends here (a sequence left open is not).
  bool IsValid() const { return m_bValid && m_nPending == 0; }
  bool IsPlainAscii() const { return !m_bHigh; }

 private:
  bool m_bValid = true;
  bool m_bHigh = false;       // a byte of 0x80 or more was seen
  uint32_t m_nPending = 0;    // continuation bytes the open sequence still needs
  uint32_t m_nLength = 0;     // continuation bytes of the open sequence in all
  uint32_t m_nCodePoint = 0;  // its value so far
};

// Strict conversions: false when some byte sequence is not valid in the source
// or some character has no form in the target; *out is then unspecified.
bool ConvertCodePage(uint32_t fromCodePage, uint32_t toCodePage, const std::string& in,
                     std::string* out);
inline bool GbkToUtf8(const std::string& gbk, std::string* out) {
  return ConvertCodePage(CODEPAGE_GBK, CODEPAGE_UTF8, gbk, out);
}
inline bool Utf8ToGbk(const std::string& utf8, std::string* out) {
  return ConvertCodePage(CODEPAGE_UTF8, CODEPAGE_GBK, utf8, out);
}

// Utf8ToGbk for many short texts, such as a dictionary's million entries:
// what the platform sets up for a conversion is set up once.
class CUtf8ToGbk {
 public:
  CUtf8ToGbk();
  ~CUtf8ToGbk();
  CUtf8ToGbk(const CUtf8ToGbk&) = delete;
  CUtf8ToGbk& operator=(const CUtf8ToGbk&) = delete;
  bool Convert(const std::string& utf8, std::string* out);

 private:
  void* m_pHandle;  // the converter of the C library, or null where there is none
};

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
