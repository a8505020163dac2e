#include "TextConvert.h"

#include <cerrno>
#include <cstdio>

#include <iconv.h>

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

CUtf8ToGbk::CUtf8ToGbk() : m_pHandle(nullptr) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd != reinterpret_cast<iconv_t>(-1)) m_pHandle = cd;
}

CUtf8ToGbk::~CUtf8ToGbk() {
  if (m_pHandle != nullptr) iconv_close(static_cast<iconv_t>(m_pHandle));
}

bool CUtf8ToGbk::Convert(const std::string& utf8, std::string* out) {
  if (m_pHandle == nullptr) return Utf8ToGbk(utf8, out);
  iconv_t cd = static_cast<iconv_t>(m_pHandle);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // a fresh start for each text
  // A GBK text takes at most as many bytes as its UTF-8 form, plus room.
  char buffer[256];
  std::string input(utf8);
  char* src = input.empty() ? nullptr : &input[0];
  size_t srcLeft = input.size();
  out->clear();
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out->append(buffer, sizeof buffer - dstLeft);
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      return false;  // not UTF-8, or a character GBK does not have
    }
    if (r != 0) return false;  // irreversible: not an exact form
  }
  return true;
}
