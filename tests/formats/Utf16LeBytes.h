// Texts as the dictionaries store them: UTF-16 LE code units, for the
// readers' fixtures.
#pragma once

#include <string>

namespace tabrix_test {

// Each unit as its low byte, then its high byte.
inline std::string Utf16LeBytes(const std::u16string& text) {
  std::string out;
  for (char16_t u : text) {
    out.push_back(char(u & 0xFF));
    out.push_back(char(u >> 8));
  }
  return out;
}

}  // namespace tabrix_test
