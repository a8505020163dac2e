// Character conversion of the portable core: library texts are GBK bytes,
// phrase lists arrive in UTF-8 or UTF-16 as well. The platform converts:
// iconv on Linux (TextConvertIconv.cpp), MultiByteToWideChar and
// WideCharToMultiByte on Windows (TextConvertWin32.cpp); CMake picks the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Code page numbers as Windows names them; also used on Linux.
enum : uint32_t { CODEPAGE_GBK = 936, CODEPAGE_UTF8 = 65001 };

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
