#include "RegistryText.h"

#include <cstring>

int32_t TakeRegistryText(uint32_t type, const char* data, size_t size, size_t capacity,
                         std::string& out) {
  if (type != REGISTRY_SZ && type != REGISTRY_EXPAND_SZ) return REGISTRY_TEXT_INVALID;
  if (size == 0) {
    out.clear();
    return REGISTRY_TEXT_OK;
  }
  if (data[size - 1] != '\0') return REGISTRY_TEXT_INVALID;
  // The text ends at its first NUL, which may come before the last byte.
  const size_t length = static_cast<const char*>(std::memchr(data, '\0', size)) - data;
  if (length + 1 > capacity) return REGISTRY_TEXT_INVALID;
  out.assign(data, length);
  return REGISTRY_TEXT_OK;
}
