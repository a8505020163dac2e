// UTF-16LE texts of the binary cell dictionaries, as words and as
// fixed-width header fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Utf16Decode.h"

// A word of nBytes bytes. False when it does not decode: an odd byte count, a
// surrogate without its partner, or a U+0000, which no phrase can hold.
inline bool DecodeUtf16Word(const uint8_t* p, size_t nBytes, std::string* pOut) {
  if (nBytes % 2 != 0) return false;
  for (size_t i = 0; i < nBytes; i += 2)
    if (p[i] == 0 && p[i + 1] == 0) return false;
  return Utf16LeToUtf8(p, nBytes / 2, pOut);
}

// A header field of nBytes bytes: the text up to its first U+0000. Empty when
// it does not decode: a title is a nicety, its damage no reason to refuse.
inline std::string DecodeUtf16Field(const uint8_t* p, size_t nBytes) {
  size_t nUnits = 0;
  while (nUnits < nBytes / 2 && (p[2 * nUnits] != 0 || p[2 * nUnits + 1] != 0)) ++nUnits;
  std::string text;
  if (!Utf16LeToUtf8(p, nUnits, &text)) text.clear();
  return text;
}
