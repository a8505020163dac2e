#include "PathText.h"

#include "FileNames.h"

namespace {
// The library's and the windows' texts are GBK whatever the system's code page.
const UINT kCodePageGbk = 936;
}  // namespace

std::string PathFromSystem(const wchar_t* wide) {
  std::string path;
  if (wide == nullptr || !PathFromWide(wide, &path)) path.clear();
  return path;
}

std::wstring WideFromGbk(const std::string& gbk) {
  if (gbk.empty()) return std::wstring();
  const int size = static_cast<int>(gbk.size());
  const int length = ::MultiByteToWideChar(kCodePageGbk, 0, gbk.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(kCodePageGbk, 0, gbk.data(), size, &wide[0], length);
  return wide;
}

std::string GbkFromWide(const std::wstring& wide, char chMissing) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const char missing[2] = {chMissing, '\0'};
  const int length = ::WideCharToMultiByte(kCodePageGbk, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                           nullptr, 0, missing, nullptr);
  if (length <= 0) return std::string();
  std::string gbk(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(kCodePageGbk, WC_NO_BEST_FIT_CHARS, wide.data(), size, &gbk[0], length,
                        missing, nullptr);
  return gbk;
}

std::string PathTextInGbk(const std::string& pathText, char chMissing) {
  return GbkFromWide(WidePath(pathText.c_str()), chMissing);
}

std::string PathTextFromGbk(const std::string& gbk) {
  return PathFromSystem(WideFromGbk(gbk).c_str());
}
