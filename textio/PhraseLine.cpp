// The pieces of one phrase line, and the numbers of the editor's range fields.
#include <cstdint>
#include <cstring>

#include "GbkText.h"
#include "PhraseLine.h"

const char kTickHeaderKey[] = "@\xC6\xF4\xD3\xC3=";  // @启用=

namespace {

bool IsBlank(uint8_t c) { return c == ' ' || c == '\t'; }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Decimal digits from p on, clamped at limit (the value stops growing there,
// so nothing overflows however many digits follow).
uint64_t ReadDigits(const uint8_t* p, uint64_t limit, bool* pAny) {
  uint64_t value = 0;
  *pAny = false;
  for (; IsDigit(*p); ++p) {
    *pAny = true;
    if (value <= limit) value = value * 10 + (*p - '0');
  }
  return value < limit ? value : limit;
}

}  // namespace

void SplitPhraseLine(const char* line, uint32_t lineLen, tagPHRASELINE* out) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(line);
  uint32_t i = 0;
  // Blanks before the text are no part of it: the text begins after them.
  while (i < lineLen && IsBlank(p[i])) ++i;
  const uint32_t start = i;
  out->nTextStart = start;
  while (i < lineLen) {
    if (IsGbkLeadByte(p[i])) {
      // A lead byte with nothing after it ends the scan like the line's end.
      if (i + 1 >= lineLen) break;
      i += 2;
      continue;
    }
    if (IsBlank(p[i])) {
      out->nTextLen = i - start;
      while (i < lineLen && IsBlank(p[i])) ++i;
      out->nFreqStart = i;
      return;
    }
    ++i;
  }
  out->nTextLen = lineLen - start;
  out->nFreqStart = lineLen;
}

int64_t PhraseFrequencyValue(const char* field) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(field);
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  bool any = false;
  // Clamped to the signed 32-bit range: 2147483647 above, -2147483648 below.
  const uint64_t magnitude = ReadDigits(p, negative ? 2147483648u : 2147483647u, &any);
  if (!any) return 0;
  return negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

uint8_t PhraseFrequency(const char* field) {
  // The low 8 bits of the 32-bit value in two's complement.
  const uint32_t bits = static_cast<uint32_t>(PhraseFrequencyValue(field));
  uint8_t freq = static_cast<uint8_t>(bits & 0xFF);
  return freq > 250 ? 250 : freq;
}

uint8_t RangeFieldValue(const char* text) {
  if (text == nullptr) return 0;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  while (IsBlank(*p)) ++p;
  if (*p == '+') ++p;
  bool any = false;
  uint64_t value = ReadDigits(p, 4294967295u, &any);
  return any ? static_cast<uint8_t>(value & 0xFF) : 0;
}

uint32_t CopyHeaderValue(char* field, uint32_t fieldSize, const char* value) {
  if (field == nullptr || fieldSize == 0) return 0;
  if (value == nullptr) value = "";
  const uint32_t n =
      static_cast<uint32_t>(GbkWholeCharsWithin(value, std::strlen(value), fieldSize - 1));
  std::memset(field, 0, fieldSize);
  std::memcpy(field, value, n);
  return n;
}
