#include "AnsiPath.h"

#include <cwchar>

bool NarrowText(const wchar_t* text, std::string& out) {
  out.clear();
  BOOL bDefaultUsed = FALSE;
  const int size = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0,
                                         nullptr, &bDefaultUsed);
  if (size <= 1) return size == 1;
  out.assign(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, &out[0], size, nullptr,
                        &bDefaultUsed);
  out.resize(static_cast<size_t>(size) - 1);
  return !bDefaultUsed;
}

namespace {

bool ShortNarrow(const std::wstring& path, std::string& out) {
  wchar_t shortPath[MAX_PATH];
  const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  return length > 0 && length < MAX_PATH && NarrowText(shortPath, out);
}

}  // namespace

std::string AnsiPath(const wchar_t* path) {
  std::string result;
  if (NarrowText(path, result)) return result;
  std::string shortResult;
  const std::wstring wide(path);
  if (ShortNarrow(wide, shortResult)) return shortResult;
  // A new file: the folder's short name and the file's own name.
  const size_t slash = wide.find_last_of(L"\\/");
  std::string name;
  if (slash != std::wstring::npos && ShortNarrow(wide.substr(0, slash), shortResult) &&
      NarrowText(wide.c_str() + slash + 1, name)) {
    return shortResult + "\\" + name;
  }
  return result;
}
