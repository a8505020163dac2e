#include "TextEncoding.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <iconv.h>
#include <unistd.h>
#endif

bool IsPlainAscii(const char* text, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  }
  return true;
}

bool IsValidUtf8(const char* text, size_t size) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (i < size) {
    unsigned char c = p[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t n;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      n = 1;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      n = 2;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      n = 3;
      cp = c & 0x07;
    } else {
      return false;  // a continuation byte first, or C0, C1, F5..FF
    }
    if (size - i - 1 < n) return false;
    for (size_t k = 1; k <= n; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000)) return false;  // overlong
    if (cp >= 0xD800 && cp <= 0xDFFF) return false;
    if (cp > 0x10FFFF) return false;
    i += n + 1;
  }
  return true;
}

bool HasUtf8Bom(const char* text, size_t size) {
  return size >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
         static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF;
}

bool NeedsUtf8Conversion(const char* text, size_t size, const std::string& mode) {
  if (mode == "gbk") return false;
  if (mode == "utf-8") return true;
  return HasUtf8Bom(text, size) || (IsValidUtf8(text, size) && !IsPlainAscii(text, size));
}

#ifdef _WIN32

namespace {

bool ToWide(uint32_t codePage, const std::string& in, std::wstring* out) {
  out->clear();
  if (in.empty()) return true;
  if (in.size() > 0x7FFFFFFF) return false;
  int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(),
                              static_cast<int>(in.size()), nullptr, 0);
  if (n <= 0) return false;
  out->resize(static_cast<size_t>(n));
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()),
                             &(*out)[0], n) == n;
}

bool FromWide(uint32_t codePage, const std::wstring& in, std::string* out) {
  out->clear();
  if (in.empty()) return true;
  // UTF-8 takes no default character; every other code page must not fall
  // back to a look-alike or to '?' silently.
  DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* pUsedDefault = codePage == CP_UTF8 ? nullptr : &usedDefault;
  int n = WideCharToMultiByte(codePage, flags, in.data(), static_cast<int>(in.size()), nullptr, 0,
                              nullptr, pUsedDefault);
  if (n <= 0 || usedDefault) return false;
  out->resize(static_cast<size_t>(n));
  if (WideCharToMultiByte(codePage, flags, in.data(), static_cast<int>(in.size()), &(*out)[0], n,
                          nullptr, pUsedDefault) != n) {
    return false;
  }
  return !usedDefault;
}

}  // namespace

bool ConvertCodePage(uint32_t fromCodePage, uint32_t toCodePage, const std::string& in,
                     std::string* out) {
  if (fromCodePage == toCodePage) {
    *out = in;
    return true;
  }
  std::wstring wide;
  if (!ToWide(fromCodePage, in, &wide) || !FromWide(toCodePage, wide, out)) return false;
  // Some code pages map a few characters one way only; a text that does not
  // come back unchanged did not convert.
  std::wstring back;
  return ToWide(toCodePage, *out, &back) && back == wide;
}

uint32_t TerminalCodePage() {
  UINT cp = GetConsoleOutputCP();
  return cp != 0 ? cp : GetACP();
}

uint32_t FileNameCodePage() { return GetACP(); }

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

#else

namespace {

const char* IconvName(uint32_t codePage, char* buffer, size_t size) {
  if (codePage == CODEPAGE_UTF8) return "UTF-8";
  if (codePage == CODEPAGE_GBK) return "GBK";
  snprintf(buffer, size, "CP%u", static_cast<unsigned>(codePage));
  return buffer;
}

}  // namespace

bool ConvertCodePage(uint32_t fromCodePage, uint32_t toCodePage, const std::string& in,
                     std::string* out) {
  if (fromCodePage == toCodePage) {
    *out = in;
    return true;
  }
  char fromBuf[16], toBuf[16];
  iconv_t cd = iconv_open(IconvName(toCodePage, toBuf, sizeof toBuf),
                          IconvName(fromCodePage, fromBuf, sizeof fromBuf));
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->clear();
  std::string input(in);  // iconv wants a non-const source
  char* src = input.empty() ? nullptr : &input[0];
  size_t srcLeft = input.size();
  char chunk[1024];
  bool ok = true;
  while (srcLeft > 0) {
    char* dst = chunk;
    size_t dstLeft = sizeof chunk;
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out->append(chunk, sizeof chunk - dstLeft);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      ok = false;  // EILSEQ or EINVAL: invalid or unconvertible input
      break;
    }
    if (r != 0) {  // irreversible conversions: not an exact form
      ok = false;
      break;
    }
  }
  if (ok) {  // flush any shift state
    char* dst = chunk;
    size_t dstLeft = sizeof chunk;
    if (iconv(cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) ok = false;
    out->append(chunk, sizeof chunk - dstLeft);
  }
  iconv_close(cd);
  return ok;
}

uint32_t TerminalCodePage() { return CODEPAGE_UTF8; }

uint32_t FileNameCodePage() { return CODEPAGE_UTF8; }

bool StderrIsTerminal() { return isatty(fileno(stderr)) != 0; }

#endif

std::string GbkForDisplay(const std::string& gbk, uint32_t codePage) {
  std::string out;
  if (ConvertCodePage(CODEPAGE_GBK, codePage, gbk, &out)) return out;
  // Character by character: a byte of 0x80 or more starts a two-byte one.
  out.clear();
  static const char kHex[] = "0123456789ABCDEF";
  size_t i = 0;
  while (i < gbk.size()) {
    size_t n = static_cast<unsigned char>(gbk[i]) >= 0x80 && i + 1 < gbk.size() ? 2 : 1;
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
