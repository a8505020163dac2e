// The line rules of a phrase list (GBK): a phrase line split into its text
// and its frequency field, the frequency brought into one byte, and the
// editor's range fields read the same way.
#pragma once

#include <cstdint>

// Lines handed to the importer hold at most this many bytes; a longer line of
// the file arrives as its first bytes, the rest read past.
enum : uint32_t { IMPORT_MAX_LINE = 100 };

// The split of one phrase line: the text is line[nTextStart..nTextStart +
// nTextLen), after the blanks and tabs the line may begin with; the
// frequency field starts at line + nFreqStart (possibly the line's end).
struct tagPHRASELINE {
  uint32_t nTextStart;
  uint32_t nTextLen;
  uint32_t nFreqStart;
};
void SplitPhraseLine(const char* line, uint32_t lineLen, tagPHRASELINE* out);

// The frequency of a phrase line's frequency field (NUL-terminated): an
// optional sign and decimal digits, clamped to the signed 32-bit range,
// reduced to its low 8 bits, and lowered to 250 above that. 0 without digits.
uint8_t PhraseFrequency(const char* field);
// The field's number before it is brought into one byte: clamped to the
// signed 32-bit range, 0 without digits. Outside 0..250 the frequency is
// reduced.
int64_t PhraseFrequencyValue(const char* field);

// A range field of the editor: leading blanks and tabs skipped, an optional
// '+', decimal digits (a value above 32 bits is clamped to 4294967295), then
// reduced to its low 8 bits. 0 when the text holds no number or a negative one,
// since the field takes unsigned numbers only. A null text is 0.
uint8_t RangeFieldValue(const char* text);

// Copies a header value into a fixed-size text field of fieldSize bytes: at
// most fieldSize - 1 bytes, cut after the last whole GBK character that fits
// (a lead byte without its second byte is half a character and is dropped);
// every byte after the text is zero. Returns the bytes copied.
uint32_t CopyHeaderValue(char* field, uint32_t fieldSize, const char* value);

// The header line of a group's tick, "@启用=" in GBK: "@启用=1" ticks the new
// group, "@启用=0" clears its tick, and any other value does nothing. An
// export writes "@启用=1" for a ticked group only.
extern const char kTickHeaderKey[];
