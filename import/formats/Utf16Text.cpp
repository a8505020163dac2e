#include "DictContent.h"

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
    if (u < 0x80) {
      pOut->push_back(char(u));
    } else if (u < 0x800) {
      pOut->push_back(char(0xC0 | (u >> 6)));
      pOut->push_back(char(0x80 | (u & 0x3F)));
    } else if (u < 0x10000) {
      pOut->push_back(char(0xE0 | (u >> 12)));
      pOut->push_back(char(0x80 | ((u >> 6) & 0x3F)));
      pOut->push_back(char(0x80 | (u & 0x3F)));
    } else {
      pOut->push_back(char(0xF0 | (u >> 18)));
      pOut->push_back(char(0x80 | ((u >> 12) & 0x3F)));
      pOut->push_back(char(0x80 | ((u >> 6) & 0x3F)));
      pOut->push_back(char(0x80 | (u & 0x3F)));
    }
  }
  return true;
}
