// Character conversion for the wbk tool: library texts are GBK bytes, while the
// terminal, file names and some phrase lists use other encodings. iconv does
// the work on Linux, MultiByteToWideChar/WideCharToMultiByte on Windows.
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

// Whether a phrase list must be converted from UTF-8 before the GBK line rules
// apply. mode "gbk": never; "utf-8": always; "auto": when the text starts with
// a UTF-8 byte-order mark, or is valid UTF-8 and not plain ASCII.
bool NeedsUtf8Conversion(const char* text, size_t size, const std::string& mode);

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

// A GBK text for showing in codePage: characters that do not convert (a
// damaged file can hold any bytes) appear as \xHH for each of their bytes.
std::string GbkForDisplay(const std::string& gbk, uint32_t codePage);

// Where texts go: the terminal (UTF-8 on Linux, the console's output code
// page on Windows) and file names (UTF-8 on Linux, the ANSI code page on
// Windows, since paths are handed to the C library as narrow strings).
uint32_t TerminalCodePage();
uint32_t FileNameCodePage();

// True when the standard error stream is a terminal (for the progress bar).
bool StderrIsTerminal();
