// Whether bytes are UTF-8 the readers hand on: the import converts their
// texts to GBK and takes nothing else.
#pragma once

#include <cstddef>
#include <string_view>

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no sequence cut short.
bool IsWellFormedUtf8(const char* text, size_t size);

// Text a phrase can be made of: well-formed UTF-8 without a NUL.
bool IsPhraseUtf8(std::string_view text);
