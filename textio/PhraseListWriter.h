// Writing a group as a phrase list that the import reads back as it was: the
// inverse of the line rules (PhraseLine.cpp) and of the header lines
// (PhraseImport.cpp). Whatever a line cannot carry is named, so that the
// caller can say so.
#pragma once

#include <cstddef>
#include <string>

#include "PhraseRecords.h"

// Why the import would not read a phrase's line back as the phrase.
enum PhraseLineFault {
  LINE_OK,
  LINE_NUL,        // a NUL byte inside the text: the import sees the text end there
  LINE_BREAK,      // CR or LF inside the text
  LINE_COMMENT,    // first byte '#'
  LINE_HEADER,     // first byte '@'
  LINE_BLANK,      // a blank or tab inside the text
  LINE_SPLIT,      // the split finds another text (half a character at its end)
  LINE_EMPTY,      // no text: the import takes no empty phrase
  LINE_CONTROL,    // a control byte inside: the import takes no such phrase
  LINE_HIGH_FREQ,  // frequency above 250: imports as 250 (the line is still written)
  LINE_FAULT_COUNT
};

// How a warning names the fault ("a NUL byte inside", ...); "" for LINE_OK.
const char* PhraseLineFaultName(PhraseLineFault fault);

// The phrase's line: its text, a tab and its frequency in decimal (GBK,
// without line end). Returns whether the import reads the same text and
// frequency back from it. Only LINE_OK and LINE_HIGH_FREQ lines belong in a
// list; the others would import as something else, or not at all.
PhraseLineFault PhraseListLine(const tagPHRASE2& phrase, std::string* line);

// A header line's key and the group field it sets.
struct tagHEADERFIELD {
  const char* pszKey;   // GBK: '@', two characters, '='
  size_t nOffset;       // of the field in tagGROUPINFO
  size_t nWidth;        // of the field, NUL included
  const char* pszWhat;  // "name", "editor", "remark"
};
enum : size_t { HEADER_FIELD_COUNT = 3 };
// @名称= (name), @编辑= (editor), @备注= (remark), in the order they are
// written.
extern const tagHEADERFIELD kHeaderFields[HEADER_FIELD_COUNT];

// Bytes of value that one header line of this key holds.
size_t HeaderValueLimit(const tagHEADERFIELD& field);

// The value written after the key for a group's field: cut at a line break,
// and after the last whole character that one line of the reader holds.
// *pCarried: importing the line gives the field its text again.
std::string HeaderLineValue(const tagHEADERFIELD& field, const tagGROUPINFO& group, bool* pCarried);
