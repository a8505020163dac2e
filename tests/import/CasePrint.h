// Readable, stable names for table cases: CTest lists each case under the text
// its PrintTo gives, so bytes of GBK and control characters are spelled out.
#pragma once

#include <cstdio>
#include <string>

inline std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof(hex), "\\x%02X", c);
      out += hex;
    }
  }
  if (out.empty()) return "(empty)";
  if (out.size() <= 60) return out;
  return out.substr(0, 30) + "..." + out.substr(out.size() - 12) + " (" +
         std::to_string(bytes.size()) + " bytes)";
}
