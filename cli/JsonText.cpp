#include "JsonText.h"

#include "GbkText.h"
#include "TextEncoding.h"
#include "Utf8Rules.h"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Length of the well-formed UTF-8 sequence at s[i] (2..4), 0 when there is none.
size_t SequenceLength(const std::string& s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
  if (n == 0 || s.size() - i < n) return 0;
  return IsValidUtf8(s.data() + i, n) ? n : 0;
}

// nlohmann writes backspace and form feed as \b and \f; the output has always
// spelt them \u0008 and \u000c. Every backslash of the dumped text begins an
// escape (one in a text is written as two), so the pairs are read in step.
std::string SpellControlsAsUnicode(const std::string& dumped) {
  std::string out;
  out.reserve(dumped.size());
  for (size_t i = 0; i < dumped.size(); ++i) {
    if (dumped[i] != '\\' || i + 1 == dumped.size()) {
      out += dumped[i];
      continue;
    }
    const char escaped = dumped[++i];
    if (escaped == 'b') {
      out += "\\u0008";
    } else if (escaped == 'f') {
      out += "\\u000c";
    } else {
      out += '\\';
      out += escaped;
    }
  }
  return out;
}

}  // namespace

std::string JsonTextUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      out += s[i++];
      continue;
    }
    const size_t n = SequenceLength(s, i);
    if (n == 0) {
      out += kReplacement;
      ++i;
    } else {
      out.append(s, i, n);
      i += n;
    }
  }
  return out;
}

std::string JsonTextGbk(const std::string& gbk) {
  std::string out;
  if (ConvertCodePage(CODEPAGE_GBK, CODEPAGE_UTF8, gbk, &out)) return JsonTextUtf8(out);
  // Character by character, so that one bad character costs only itself.
  out.clear();
  for (size_t i = 0; i < gbk.size();) {
    const size_t n = GbkCharLength(gbk.data(), gbk.size(), i);
    std::string one;
    out +=
        ConvertCodePage(CODEPAGE_GBK, CODEPAGE_UTF8, gbk.substr(i, n), &one) ? one : kReplacement;
    i += n;
  }
  return JsonTextUtf8(out);
}

bool GbkHasUnicodeForm(const std::string& gbk) {
  std::string out;
  return ConvertCodePage(CODEPAGE_GBK, CODEPAGE_UTF8, gbk, &out);
}

std::string HexBytes(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

std::string JsonTextPath(const std::string& path) {
  std::string utf8;
  if (ConvertCodePage(FileNameCodePage(), CODEPAGE_UTF8, path, &utf8)) return JsonTextUtf8(utf8);
  return JsonTextUtf8(path);
}

std::string JsonDump(const CJson& value) {
  // The texts are well-formed UTF-8 already (JsonText...); replacing instead
  // of throwing only keeps dump() free of exceptions whatever it is given.
  return SpellControlsAsUnicode(
      value.dump(-1, ' ', true, nlohmann::ordered_json::error_handler_t::replace));
}

std::string JsonDumpOpen(const CJson& object) {
  std::string text = JsonDump(object);
  text.resize(text.size() - 2);  // "]}"
  return text;
}

std::string JsonQuoteUtf8(const std::string& utf8) { return JsonDump(CJson(JsonTextUtf8(utf8))); }

std::string JsonQuoteGbk(const std::string& gbk) { return JsonDump(CJson(JsonTextGbk(gbk))); }

std::string JsonQuotePath(const std::string& path) { return JsonDump(CJson(JsonTextPath(path))); }
