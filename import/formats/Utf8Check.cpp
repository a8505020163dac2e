#include "Utf8Check.h"

#include <cstdint>

bool IsWellFormedUtf8(const char* text, size_t size) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (i < size) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t nMore;
    uint32_t nMin;
    uint32_t u;
    if ((b & 0xE0) == 0xC0) {
      nMore = 1, nMin = 0x80, u = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      nMore = 2, nMin = 0x800, u = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      nMore = 3, nMin = 0x10000, u = b & 0x07;
    } else {
      return false;
    }
    if (size - i - 1 < nMore) return false;
    for (size_t k = 1; k <= nMore; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      u = (u << 6) | (p[i + k] & 0x3F);
    }
    if (u < nMin || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) return false;
    i += nMore + 1;
  }
  return true;
}

bool IsPhraseUtf8(std::string_view text) {
  return IsWellFormedUtf8(text.data(), text.size()) && text.find('\0') == std::string_view::npos;
}
