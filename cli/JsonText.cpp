#include "JsonText.h"

#include <cstdint>
#include <cstdio>

#include "TextEncoding.h"

namespace {

void AppendEscape(std::string* out, uint32_t unit) {
  char buf[8];
  snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(unit));
  out->append(buf);
}

// Length of the well-formed UTF-8 sequence at p (1..4), 0 when there is none.
size_t SequenceLength(const std::string& s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
  if (n == 0 || s.size() - i < n) return 0;
  return IsValidUtf8(s.data() + i, n) ? n : 0;
}

}  // namespace

std::string JsonQuoteUtf8(const std::string& s) {
  std::string out = "\"";
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      if (c == '"' || c == '\\') {
        out += '\\';
        out += static_cast<char>(c);
      } else if (c == '\n') {
        out += "\\n";
      } else if (c == '\r') {
        out += "\\r";
      } else if (c == '\t') {
        out += "\\t";
      } else if (c < 0x20 || c == 0x7F) {
        AppendEscape(&out, c);
      } else {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    size_t n = SequenceLength(s, i);
    if (n == 0) {
      AppendEscape(&out, 0xFFFD);
      ++i;
      continue;
    }
    uint32_t cp = c & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
    for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      AppendEscape(&out, 0xD800 + (cp >> 10));
      AppendEscape(&out, 0xDC00 + (cp & 0x3FF));
    } else {
      AppendEscape(&out, cp);
    }
    i += n;
  }
  out += '"';
  return out;
}

std::string JsonQuoteGbk(const std::string& gbk) {
  return JsonQuoteUtf8(GbkForDisplay(gbk, CODEPAGE_UTF8));
}

std::string JsonQuotePath(const std::string& path) {
  std::string utf8;
  if (ConvertCodePage(FileNameCodePage(), CODEPAGE_UTF8, path, &utf8)) return JsonQuoteUtf8(utf8);
  return JsonQuoteUtf8(path);
}
