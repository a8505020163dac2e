#include "Utf8Append.h"

void AppendUtf8(uint32_t codePoint, std::string* pOut) {
  if (codePoint < 0x80) {
    pOut->push_back(char(codePoint));
  } else if (codePoint < 0x800) {
    pOut->push_back(char(0xC0 | (codePoint >> 6)));
    pOut->push_back(char(0x80 | (codePoint & 0x3F)));
  } else if (codePoint < 0x10000) {
    pOut->push_back(char(0xE0 | (codePoint >> 12)));
    pOut->push_back(char(0x80 | ((codePoint >> 6) & 0x3F)));
    pOut->push_back(char(0x80 | (codePoint & 0x3F)));
  } else {
    pOut->push_back(char(0xF0 | (codePoint >> 18)));
    pOut->push_back(char(0x80 | ((codePoint >> 12) & 0x3F)));
    pOut->push_back(char(0x80 | ((codePoint >> 6) & 0x3F)));
    pOut->push_back(char(0x80 | (codePoint & 0x3F)));
  }
}
