#include "PhraseText.h"

#include "PhraseRecords.h"

uint32_t PhraseTextFaults(const char* text, size_t length) {
  uint32_t faults = length == 0 ? uint32_t(PHRASE_TEXT_EMPTY) : 0u;
  if (length > TABRIX_MAX_PHRASE_LEN) faults |= PHRASE_TEXT_TOO_LONG;
  for (size_t i = 0; i < length; ++i) {
    const uint8_t c = static_cast<uint8_t>(text[i]);
    if (c == 0) {
      faults |= PHRASE_TEXT_NUL;
    } else if (c == '\r' || c == '\n') {
      faults |= PHRASE_TEXT_LINE_BREAK;
    } else if (c == '\t') {
      faults |= PHRASE_TEXT_TAB;
    } else if (c == ' ') {
      faults |= PHRASE_TEXT_SPACE;
    } else if (c < 0x20 || c == 0x7F) {
      faults |= PHRASE_TEXT_CONTROL;
    }
  }
  return faults;
}
