#include "DictContent.h"
#include "Utf8Append.h"

bool Utf16LeToUtf8(const uint8_t* data, size_t units, std::string* pOut) {
  pOut->clear();
  for (size_t i = 0; i < units; ++i) {
    uint32_t u = data[2 * i] | (uint32_t(data[2 * i + 1]) << 8);
    if (u >= 0xDC00 && u <= 0xDFFF) return false;
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 >= units) return false;
      const uint32_t low = data[2 * i + 2] | (uint32_t(data[2 * i + 3]) << 8);
      if (low < 0xDC00 || low > 0xDFFF) return false;
      u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    }
    AppendUtf8(u, pOut);
  }
  return true;
}
