// One code point as UTF-8, for the decoders of UTF-16 texts.
#pragma once

#include <cstdint>
#include <string>

// Appends the code point's UTF-8 bytes (one to four) to *pOut. The code point
// is U+0000..U+10FFFF and no surrogate: the caller has paired those.
void AppendUtf8(uint32_t codePoint, std::string* pOut);
