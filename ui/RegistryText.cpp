#include "RegistryText.h"

namespace {

// `count` characters of `data`.
template <class Char>
int32_t TakeText(uint32_t type, const Char* data, size_t count, size_t capacity,
                 std::basic_string<Char>& out) {
  if (type != REGISTRY_SZ && type != REGISTRY_EXPAND_SZ) return REGISTRY_TEXT_INVALID;
  if (count == 0) {
    out.clear();
    return REGISTRY_TEXT_OK;
  }
  if (data[count - 1] != Char(0)) return REGISTRY_TEXT_INVALID;
  // The text ends at its first NUL, which may come before the last character.
  size_t length = 0;
  while (data[length] != Char(0)) ++length;
  if (length + 1 > capacity) return REGISTRY_TEXT_INVALID;
  out.assign(data, length);
  return REGISTRY_TEXT_OK;
}

}  // namespace

int32_t TakeRegistryText(uint32_t type, const char* data, size_t size, size_t capacity,
                         std::string& out) {
  return TakeText(type, data, size, capacity, out);
}

int32_t TakeRegistryText(uint32_t type, const wchar_t* data, size_t size, size_t capacity,
                         std::wstring& out) {
  if (size % sizeof(wchar_t) != 0) return REGISTRY_TEXT_INVALID;
  return TakeText(type, data, size / sizeof(wchar_t), capacity, out);
}
