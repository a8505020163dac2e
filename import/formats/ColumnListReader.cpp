// Plain lists of columns in UTF-8: one entry a line, its columns separated by
// spaces or tabs (any run of them), the text first. The weight is the first
// later column that is a whole decimal number, so that the usual shapes all
// read: "text pinyin frequency" (a pinyin of several syllables included),
// jieba's "word frequency tag", Rime's essay "text<TAB>weight", and a text
// alone, which has no weight. Lines starting with "#" are comments; blank
// lines are passed over. A line that is not UTF-8 (or holds a NUL) is left
// out and counted as undecodable, the rest of the file is still read.
#include <string_view>
#include <utility>

#include "DictContent.h"
#include "LineCursor.h"
#include "ReaderStart.h"
#include "Utf8Rules.h"
#include "WholeNumber.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The next column of the line at *pPos, which moves past it; false when none is left.
bool NextColumn(std::string_view line, size_t* pPos, std::string_view* pColumn) {
  size_t nBegin = *pPos;
  while (nBegin < line.size() && IsBlank(line[nBegin])) ++nBegin;
  if (nBegin == line.size()) return false;
  size_t nEnd = nBegin;
  while (nEnd < line.size() && !IsBlank(line[nEnd])) ++nEnd;
  *pColumn = line.substr(nBegin, nEnd - nBegin);
  *pPos = nEnd;
  return true;
}

}  // namespace

bool ReadColumnList(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault) {
  if (!StartUtf8Text(data, size, READ_FAULT_LIST_UTF16_MARK, pOut, pFault)) return false;
  CLineCursor cursor(data, size);
  std::string_view line;
  while (cursor.Next(&line)) {
    size_t nPos = 0;
    std::string_view strText;
    if (!NextColumn(line, &nPos, &strText) || strText.front() == '#') continue;
    if (!IsPhraseUtf8(line)) {
      ++pOut->nUndecodable;
      continue;
    }
    int64_t nWeight = 0;
    bool bHasWeight = false;
    std::string_view strColumn;
    while (!bHasWeight && NextColumn(line, &nPos, &strColumn))
      bHasWeight = ParseWholeNumber(strColumn, &nWeight);
    AddDictEntry(pOut, strText, bHasWeight ? nWeight : 0, bHasWeight);
  }
  return true;
}
