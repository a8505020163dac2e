// Small text helpers that test files share.
#pragma once

#include <string>
#include <vector>

namespace tabrix_test {

// True when needle occurs in haystack.
inline bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

// A command line's arguments as one line, for a failure message.
inline std::string Joined(const std::vector<std::string>& args) {
  std::string all;
  for (const std::string& a : args) all += a + " ";
  return all;
}

// n copies of c.
inline std::string Repeat(char c, size_t n) { return std::string(n, c); }

// A text's UTF-16 bytes after their byte-order mark, little- or big-endian.
inline std::string Utf16WithMark(const std::u16string& text, bool bBigEndian) {
  std::string out;
  for (char16_t u : std::u16string(1, char16_t(0xFEFF)) + text) {
    const char hi = char(u >> 8), lo = char(u & 0xFF);
    out += bBigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

}  // namespace tabrix_test
