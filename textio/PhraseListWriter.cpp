#include "PhraseListWriter.h"

#include <cstring>

#include "GbkText.h"
#include "PhraseLine.h"
#include "PhraseText.h"

namespace {

const char* const kFaultNames[LINE_FAULT_COUNT] = {"",
                                                   "a NUL byte inside",
                                                   "a line break inside",
                                                   "first byte '#'",
                                                   "first byte '@'",
                                                   "a blank or tab inside",
                                                   "ends in half a character",
                                                   "no text",
                                                   "a control byte inside",
                                                   "frequency above 250 (imports as 250)"};

}  // namespace

// The keys as GBK bytes whatever the compiler's execution character set.
const tagHEADERFIELD kHeaderFields[HEADER_FIELD_COUNT] = {
    {"@\xC3\xFB\xB3\xC6=", offsetof(tagGROUPINFO, szName), sizeof(tagGROUPINFO::szName), "name"},
    {"@\xB1\xE0\xBC\xAD=", offsetof(tagGROUPINFO, szEditor), sizeof(tagGROUPINFO::szEditor),
     "editor"},
    {"@\xB1\xB8\xD7\xA2=", offsetof(tagGROUPINFO, szRemark), sizeof(tagGROUPINFO::szRemark),
     "remark"},
};

const char* PhraseLineFaultName(PhraseLineFault fault) {
  return fault >= LINE_OK && fault < LINE_FAULT_COUNT ? kFaultNames[fault] : "";
}

PhraseLineFault PhraseListLine(const tagPHRASE2& p, std::string* line) {
  std::string text(p.szWord, p.cLen);
  *line = text + "\t" + std::to_string(p.byFreq);
  const uint32_t faults = PhraseTextFaults(text.data(), text.size());
  if (faults & PHRASE_TEXT_NUL) return LINE_NUL;
  if (faults & PHRASE_TEXT_LINE_BREAK) return LINE_BREAK;
  if (faults & PHRASE_TEXT_EMPTY) return LINE_EMPTY;
  // A tab is a blank here: the line's split tells.
  if (faults & PHRASE_TEXT_CONTROL) return LINE_CONTROL;
  if (!text.empty() && text[0] == '#') return LINE_COMMENT;
  if (!text.empty() && text[0] == '@') return LINE_HEADER;
  tagPHRASELINE split{};
  SplitPhraseLine(line->c_str(), static_cast<uint32_t>(line->size()), &split);
  if (split.nTextStart != 0 || split.nTextLen != p.cLen) {
    return text.find_first_of(" \t") != std::string::npos ? LINE_BLANK : LINE_SPLIT;
  }
  if (PhraseFrequency(line->c_str() + split.nFreqStart) != p.byFreq) return LINE_HIGH_FREQ;
  return LINE_OK;
}

size_t HeaderValueLimit(const tagHEADERFIELD& field) {
  return IMPORT_MAX_LINE - std::strlen(field.pszKey);
}

std::string HeaderLineValue(const tagHEADERFIELD& field, const tagGROUPINFO& group,
                            bool* pCarried) {
  const char* bytes = reinterpret_cast<const char*>(&group) + field.nOffset;
  const std::string text = FieldText(bytes, field.nWidth);
  std::string value = text.substr(0, text.find_first_of("\r\n"));
  value.resize(GbkWholeCharsWithin(value.data(), value.size(), HeaderValueLimit(field)));
  // What the import makes of the line, read back the import's own way.
  std::string copy(field.nWidth, '\0');
  CopyHeaderValue(&copy[0], static_cast<uint32_t>(field.nWidth), value.c_str());
  *pCarried = FieldText(copy.data(), field.nWidth) == text;
  return value;
}
