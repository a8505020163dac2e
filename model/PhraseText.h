// The one rule of what a phrase's text may hold, without a window: the
// phrase window, the imports and the list writers each ask here and refuse,
// in their own words, the faults they care for.
#pragma once

#include <cstddef>
#include <cstdint>

enum : uint32_t {
  PHRASE_TEXT_EMPTY = 1u << 0,
  PHRASE_TEXT_NUL = 1u << 1,
  PHRASE_TEXT_LINE_BREAK = 1u << 2,  // CR or LF
  PHRASE_TEXT_TAB = 1u << 3,
  PHRASE_TEXT_CONTROL = 1u << 4,  // another byte below 0x20, or 0x7F
  PHRASE_TEXT_SPACE = 1u << 5,
  PHRASE_TEXT_TOO_LONG = 1u << 6,  // more than TABRIX_MAX_PHRASE_LEN bytes
  // What no phrase of the library holds: no text, or a control byte (no GBK
  // character holds one: second bytes are 0x40 or more, and never 0x7F).
  PHRASE_TEXT_NOT_STORABLE = PHRASE_TEXT_EMPTY | PHRASE_TEXT_NUL | PHRASE_TEXT_LINE_BREAK |
                             PHRASE_TEXT_TAB | PHRASE_TEXT_CONTROL,
  // What ends a phrase's text on a line of a list.
  PHRASE_TEXT_BLANKS = PHRASE_TEXT_SPACE | PHRASE_TEXT_TAB | PHRASE_TEXT_LINE_BREAK,
};

// Every fault of the text's bytes, as PHRASE_TEXT_... bits; 0 for a text
// any phrase may have.
uint32_t PhraseTextFaults(const char* text, size_t length);
