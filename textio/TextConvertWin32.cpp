#include "TextConvert.h"

#include <windows.h>

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

CUtf8ToGbk::CUtf8ToGbk() : m_pHandle(nullptr) {}

CUtf8ToGbk::~CUtf8ToGbk() = default;

bool CUtf8ToGbk::Convert(const std::string& utf8, std::string* out) {
  return Utf8ToGbk(utf8, out);  // the two calls of the system need no set-up
}
