#include "TextEncoding.h"

#include <cstdio>

#include "FileNames.h"
#include "GbkText.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

uint32_t TerminalCodePage() {
  UINT cp = GetConsoleOutputCP();
  return cp != 0 ? cp : GetACP();
}

uint32_t FileNameCodePage() { return PathsAreUtf8() ? CODEPAGE_UTF8 : GetACP(); }

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

#else
#include <unistd.h>

uint32_t TerminalCodePage() { return CODEPAGE_UTF8; }

uint32_t FileNameCodePage() { return CODEPAGE_UTF8; }

bool StderrIsTerminal() { return isatty(fileno(stderr)) != 0; }

#endif

std::string GbkForDisplay(const std::string& gbk, uint32_t codePage) {
  std::string out;
  if (ConvertCodePage(CODEPAGE_GBK, codePage, gbk, &out)) return out;
  // Character by character, so that one bad character costs only itself.
  out.clear();
  static const char kHex[] = "0123456789ABCDEF";
  size_t i = 0;
  while (i < gbk.size()) {
    size_t n = GbkCharLength(gbk.data(), gbk.size(), i);
    std::string one;
    if (ConvertCodePage(CODEPAGE_GBK, codePage, gbk.substr(i, n), &one)) {
      out += one;
    } else {
      for (size_t k = 0; k < n; ++k) {
        unsigned char b = static_cast<unsigned char>(gbk[i + k]);
        out += "\\x";
        out += kHex[b >> 4];
        out += kHex[b & 15];
      }
    }
    i += n;
  }
  return out;
}

std::string ConvertEachCharacter(uint32_t fromCodePage, uint32_t toCodePage, const std::string& in,
                                 const char* replacement) {
  std::string out;
  const bool utf8 = fromCodePage == CODEPAGE_UTF8;
  for (size_t i = 0; i < in.size();) {
    size_t n = 1;
    if (utf8) {
      const unsigned char lead = static_cast<unsigned char>(in[i]);
      n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (i + n > in.size()) n = in.size() - i;
    }
    std::string one;
    out += ConvertCodePage(fromCodePage, toCodePage, in.substr(i, n), &one) ? one : replacement;
    i += n;
  }
  return out;
}
