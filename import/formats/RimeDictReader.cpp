// Rime's dictionaries (*.dict.yaml): comments, then a YAML header between a
// "---" line and a "..." line, then one entry a line, its columns separated
// by tabs. Of the header only two keys matter here, read by a small parser
// of our own that passes over anything else: "name" (the title) and
// "columns", the order of the columns among text, code, weight and stem
// (by default text, code, weight). Of each entry the text and the weight are
// kept. Body lines starting with "#" are comments, until a line
// "# no comment" turns that off for the rest of the file (texts may then
// start with "#").
//
// A weight is an integer (a sign allowed) or a decimal, rounded to the
// nearest integer. A percentage ("5%") is no weight of the text: Rime splits
// a text's frequency among its readings by such shares, and with the codes
// left out the share says nothing of how frequent the text is, so such an
// entry comes without a weight, as one whose weight column is empty.
#include <string_view>
#include <utility>

#include "DictContent.h"
#include "LineCursor.h"
#include "ReaderStart.h"
#include "Utf8Rules.h"
#include "WholeNumber.h"

namespace {

enum : size_t { NO_COLUMN = ~size_t(0) };

struct tagRIMEHEADER {
  std::string strName;
  bool bHasName = false;
  bool bHasColumns = false;
  size_t nColumnsLine = 0;  // where "columns:" is, for the error when text is missing
  size_t nTextColumn = 0;
  size_t nWeightColumn = 2;
  size_t nColumnsSeen = 0;  // items of the columns list read so far
};

// "---" or "..." alone, or followed by blanks (and whatever YAML lets follow).
bool IsMarker(std::string_view line, std::string_view marker) {
  return line.substr(0, 3) == marker && (line.size() == 3 || line[3] == ' ' || line[3] == '\t');
}

// A scalar's value: its comment (" #...") cut off, blanks trimmed, one pair of
// quotes taken off (a doubled quote inside single quotes is one quote).
std::string ScalarValue(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && (text.front() == '"' || text.front() == '\'')) {
    const char cQuote = text.front();
    std::string strValue;
    for (size_t i = 1; i < text.size(); ++i) {
      const char c = text[i];
      if (c == cQuote && cQuote == '\'' && i + 1 < text.size() && text[i + 1] == '\'') {
        strValue.push_back('\'');
        ++i;
      } else if (c == cQuote) {
        return strValue;
      } else if (c == '\\' && cQuote == '"' && i + 1 < text.size()) {
        strValue.push_back(text[++i]);
      } else {
        strValue.push_back(c);
      }
    }
    return strValue;  // no closing quote: what there is
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '#' && (i == 0 || text[i - 1] == ' ' || text[i - 1] == '\t'))
      return std::string(TrimBlanks(text.substr(0, i)));
  }
  return std::string(text);
}

void AddColumn(tagRIMEHEADER* pHeader, std::string_view item) {
  const std::string strName = ScalarValue(item);
  const size_t nIndex = pHeader->nColumnsSeen++;
  if (strName == "text" && pHeader->nTextColumn == NO_COLUMN) pHeader->nTextColumn = nIndex;
  if (strName == "weight" && pHeader->nWeightColumn == NO_COLUMN) pHeader->nWeightColumn = nIndex;
}

void StartColumns(tagRIMEHEADER* pHeader, size_t nLine) {
  pHeader->bHasColumns = true;
  pHeader->nColumnsLine = nLine;
  pHeader->nTextColumn = NO_COLUMN;
  pHeader->nWeightColumn = NO_COLUMN;
  pHeader->nColumnsSeen = 0;
}

// "columns: [text, weight]": the flow form of the list.
void ReadFlowColumns(tagRIMEHEADER* pHeader, std::string_view value) {
  value.remove_prefix(1);
  const size_t nClose = value.find(']');
  value = value.substr(0, nClose);
  while (!value.empty()) {
    const size_t nComma = value.find(',');
    AddColumn(pHeader, value.substr(0, nComma));
    value = nComma == std::string_view::npos ? std::string_view() : value.substr(nComma + 1);
  }
}

// Reads the header up to its "..." line; false with *pFault when the file
// ends first.
bool ReadHeader(CLineCursor* pCursor, tagRIMEHEADER* pHeader, tagREADFAULT* pFault) {
  const size_t nStart = pCursor->LineNumber();
  bool bInColumns = false;  // lines "- item" now belong to the columns list
  std::string_view line;
  while (pCursor->Next(&line)) {
    if (IsMarker(line, "...")) return true;
    const std::string_view strTrimmed = TrimBlanks(line);
    if (strTrimmed.empty() || strTrimmed.front() == '#') continue;
    if (bInColumns && strTrimmed.front() == '-' &&
        (strTrimmed.size() == 1 || strTrimmed[1] == ' ' || strTrimmed[1] == '\t')) {
      AddColumn(pHeader, strTrimmed.substr(1));
      continue;
    }
    bInColumns = false;
    if (line.front() == ' ' || line.front() == '\t') continue;  // nested under another key
    const size_t nColon = line.find(':');
    if (nColon == std::string_view::npos) continue;
    const std::string_view strKey = TrimBlanks(line.substr(0, nColon));
    const std::string_view strValue = TrimBlanks(line.substr(nColon + 1));
    if (strKey == "name" && !pHeader->bHasName) {
      pHeader->strName = ScalarValue(strValue);
      pHeader->bHasName = true;
    } else if (strKey == "columns" && !pHeader->bHasColumns) {
      // A list, in block or flow form; any other value is no list of
      // columns, and the default order stands.
      const bool bFlow = !strValue.empty() && strValue.front() == '[';
      if (bFlow || strValue.empty() || strValue.front() == '#') {
        StartColumns(pHeader, pCursor->LineNumber());
        if (bFlow)
          ReadFlowColumns(pHeader, strValue);
        else
          bInColumns = true;
      }
    }
  }
  return SetReadFault(pFault, READ_FAULT_RIME_HEADER_OPEN, nStart);
}

// The field at nIndex of a tab-separated line; false when the line has fewer.
bool Field(std::string_view line, size_t nIndex, std::string_view* pField) {
  for (size_t i = 0; i < nIndex; ++i) {
    const size_t nTab = line.find('\t');
    if (nTab == std::string_view::npos) return false;
    line.remove_prefix(nTab + 1);
  }
  *pField = line.substr(0, line.find('\t'));
  return true;
}

// The weight column's value as the header comment says; false for none.
bool ParseWeight(std::string_view text, int64_t* pWeight) {
  text = TrimBlanks(text);
  bool bNegative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    bNegative = text.front() == '-';
    text.remove_prefix(1);
  }
  const size_t nPoint = text.find('.');
  int64_t nWhole = 0;
  if (!ParseWholeNumber(text.substr(0, nPoint), &nWhole)) return false;
  if (nPoint != std::string_view::npos) {
    int64_t nFraction = 0;
    const std::string_view strFraction = text.substr(nPoint + 1);
    if (!ParseWholeNumber(strFraction, &nFraction)) return false;
    if (strFraction[0] >= '5' && nWhole < INT64_MAX) ++nWhole;
  }
  *pWeight = bNegative ? -nWhole : nWhole;
  return true;
}

// Passes over the comments and blank lines before the header and its "---"
// line; false with *pFault when another line comes first or none is left.
bool StartHeader(CLineCursor* pCursor, tagREADFAULT* pFault) {
  std::string_view line;
  while (pCursor->Next(&line)) {
    const std::string_view strTrimmed = TrimBlanks(line);
    if (strTrimmed.empty() || strTrimmed.front() == '#' || strTrimmed.front() == '%') continue;
    if (IsMarker(line, "---")) return true;
    return SetReadFault(pFault, READ_FAULT_RIME_LINE_FIRST, pCursor->LineNumber());
  }
  return SetReadFault(pFault, READ_FAULT_RIME_NO_HEADER);
}

}  // namespace

bool HasRimeHeader(const uint8_t* data, size_t size) {
  CLineCursor cursor(data, size);
  tagRIMEHEADER header;
  tagREADFAULT fault;
  return StartHeader(&cursor, &fault) && ReadHeader(&cursor, &header, &fault) && header.bHasName;
}

bool ReadRimeDict(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault) {
  if (!StartUtf8Text(data, size, READ_FAULT_RIME_UTF16_MARK, pOut, pFault)) return false;
  CLineCursor cursor(data, size);
  std::string_view line;
  if (!StartHeader(&cursor, pFault)) return false;
  tagRIMEHEADER header;
  if (!ReadHeader(&cursor, &header, pFault)) return false;
  if (header.nTextColumn == NO_COLUMN)
    return SetReadFault(pFault, READ_FAULT_RIME_NO_TEXT_COLUMN, header.nColumnsLine);
  if (header.bHasName && IsValidUtf8(header.strName.data(), header.strName.size()))
    pOut->strTitle = header.strName;

  bool bComments = true;
  while (cursor.Next(&line)) {
    if (bComments && !line.empty() && line.front() == '#') {
      if (line == "# no comment") bComments = false;
      continue;
    }
    if (TrimBlanks(line).empty()) continue;
    std::string_view strText;
    if (!Field(line, header.nTextColumn, &strText)) strText = std::string_view();
    strText = TrimBlanks(strText);
    // Empty, not UTF-8, or holding a NUL: no phrase can be made of it.
    if (strText.empty() || !IsPhraseUtf8(strText)) {
      ++pOut->nUndecodable;
      continue;
    }
    int64_t nWeight = 0;
    bool bHasWeight = false;
    std::string_view strWeight;
    if (header.nWeightColumn != NO_COLUMN && Field(line, header.nWeightColumn, &strWeight))
      bHasWeight = ParseWeight(strWeight, &nWeight);
    AddDictEntry(pOut, strText, bHasWeight ? nWeight : 0, bHasWeight);
  }
  return true;
}
