// QQ Pinyin's cell dictionary (.qpyd, before version 6), all little-endian:
//   0x38  uint32  where the body starts (a zlib stream to the end of the file)
//   0x44  uint32  the number of entries
//   0x60  UTF-16  the description, up to the body (NUL-padded)
// The inflated body: an index of 10 bytes per entry (the pinyin's length,
// the word's length in bytes, 4 bytes described as the float 1.0 in every
// file, the offset in the body of the entry's pinyin), then the pinyin
// (ASCII) of each entry followed at once by its word (UTF-16 LE). There is no
// frequency: every entry comes without a weight.
//
// The header has no magic bytes of its own (what the first 0x38 hold is not
// described), so a file is taken for one by its structure: the body offset
// points past the header into the file, and the two bytes there open a zlib
// stream (compression method 8, a window of at most 32 KiB, check bits that
// make the pair a multiple of 31, no preset dictionary). The bytes at 0x38 of
// a text file make an offset of megabytes (of hundreds of them for 8-bit
// text), where the text would have to hold those two bytes exactly; so no
// phrase list is taken for one.
#include <string_view>
#include <utility>

#include "DictContent.h"
#include "ReaderStart.h"
#include "Utf16Decode.h"
#include "ZlibInflate.h"

namespace {

enum : size_t {
  QPYD_BODY_AT = 0x38,
  QPYD_COUNT_AT = 0x44,
  QPYD_HEADER_BYTES = 0x48,  // the fields read; the description may be absent
  QPYD_DESCRIPTION_AT = 0x60,
  QPYD_INDEX_RECORD = 10,
};

uint32_t ReadU32(const uint8_t* p) {
  return p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void TrimSpaces(std::string_view* pText) {
  while (!pText->empty() && pText->front() == ' ') pText->remove_prefix(1);
  while (!pText->empty() && pText->back() == ' ') pText->remove_suffix(1);
}

// "Name:" in any case, or its Chinese form, with an ASCII or a full-width
// colon: taken off the line, true.
bool TakeNameKey(std::string_view* pLine) {
  std::string_view line = *pLine;
  bool bName = line.size() >= 4;
  for (size_t i = 0; bName && i < 4; ++i) bName = (line[i] | 0x20) == "name"[i];
  const std::string_view strChinese = u8"名称";
  if (bName) {
    line.remove_prefix(4);
  } else if (line.substr(0, strChinese.size()) == strChinese) {
    line.remove_prefix(strChinese.size());
  } else {
    return false;
  }
  TrimSpaces(&line);
  const std::string_view strWideColon = u8"：";
  if (line.substr(0, 1) == ":") {
    line.remove_prefix(1);
  } else if (line.substr(0, strWideColon.size()) == strWideColon) {
    line.remove_prefix(strWideColon.size());
  } else {
    return false;
  }
  TrimSpaces(&line);
  *pLine = line;
  return true;
}

// The dictionary's name from its description, whose layout is not
// documented: the value of a "Name:" line (or its Chinese form) when there is
// one, else the first line, so that a bare name and "key: value" lines both
// give it. The text ends at its first NUL; one that does not decode gives
// no title, which is no reason to refuse the entries.
std::string TitleFromDescription(const uint8_t* p, size_t nBytes) {
  size_t nUnits = 0;
  while (nUnits < nBytes / 2 && (p[2 * nUnits] | p[2 * nUnits + 1]) != 0) ++nUnits;
  std::string strText;
  if (!Utf16LeToUtf8(p, nUnits, &strText)) return std::string();
  std::string_view strFirst;
  std::string_view rest = strText;
  while (!rest.empty()) {
    const size_t nEnd = rest.find_first_of("\r\n");
    std::string_view line = rest.substr(0, nEnd);
    rest = nEnd == std::string_view::npos ? std::string_view() : rest.substr(nEnd + 1);
    TrimSpaces(&line);
    if (line.empty()) continue;
    if (TakeNameKey(&line)) return std::string(line);
    if (strFirst.empty()) strFirst = line;
  }
  return std::string(strFirst);
}

// The two bytes that open a zlib stream of the kind the body is.
bool IsZlibStart(const uint8_t* p) {
  const unsigned nMethod = p[0] & 0x0F;
  const unsigned nWindow = p[0] >> 4;
  const bool bPresetDictionary = (p[1] & 0x20) != 0;
  return nMethod == 8 && nWindow <= 7 && !bPresetDictionary && ((p[0] << 8) | p[1]) % 31 == 0;
}

}  // namespace

bool HasQpydHeader(const uint8_t* data, size_t size) {
  if (size < QPYD_HEADER_BYTES) return false;
  const size_t nBodyAt = ReadU32(data + QPYD_BODY_AT);
  return nBodyAt >= QPYD_HEADER_BYTES && nBodyAt <= size - 2 && IsZlibStart(data + nBodyAt);
}

bool ReadQpyd(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault) {
  ClearDictContent(pOut);
  if (size < QPYD_HEADER_BYTES)
    return SetReadFault(pFault, READ_FAULT_QPYD_SHORT_HEADER, size, QPYD_HEADER_BYTES);
  const size_t nBodyAt = ReadU32(data + QPYD_BODY_AT);
  const size_t nCount = ReadU32(data + QPYD_COUNT_AT);
  if (nBodyAt < QPYD_HEADER_BYTES || nBodyAt >= size)
    return SetReadFault(pFault, READ_FAULT_QPYD_BODY_OFFSET, QPYD_BODY_AT, nBodyAt, size);
  // Real entries take some bytes each even compressed; a count above the
  // file's size is a damaged header, and bounds what the index may claim.
  if (nCount > size)
    return SetReadFault(pFault, READ_FAULT_QPYD_ENTRY_COUNT, QPYD_COUNT_AT, nCount, size);
  std::vector<uint8_t> body;
  const int nInflate = InflateZlib(data + nBodyAt, size - nBodyAt, ZLIB_MAX_OUTPUT, &body);
  if (nInflate != READ_FAULT_NONE)
    return SetReadFault(pFault, nInflate, nBodyAt,
                        nInflate == READ_FAULT_INFLATE_TOO_LARGE ? uint64_t(ZLIB_MAX_OUTPUT) : 0);
  if (body.size() / QPYD_INDEX_RECORD < nCount)
    return SetReadFault(pFault, READ_FAULT_QPYD_INDEX_SHORT, body.size(), nBodyAt, nCount);
  if (pOut->pSink == nullptr) pOut->arrEntries.reserve(nCount);
  std::string strText;
  for (size_t i = 0; i < nCount; ++i) {
    const uint8_t* pRecord = body.data() + i * QPYD_INDEX_RECORD;
    const size_t nPinyin = pRecord[0];
    const size_t nWord = pRecord[1];
    const size_t nAt = ReadU32(pRecord + 6);
    if (nAt > body.size() || body.size() - nAt < nPinyin + nWord) {
      pOut->arrEntries.clear();
      return SetReadFault(pFault, READ_FAULT_QPYD_TEXT_PAST_BODY, i, i * QPYD_INDEX_RECORD, nAt,
                          body.size());
    }
    // A text with a NUL cannot be a phrase: it does not decode either.
    if (nWord == 0 || nWord % 2 != 0 ||
        !Utf16LeToUtf8(body.data() + nAt + nPinyin, nWord / 2, &strText) ||
        strText.find('\0') != std::string::npos) {
      ++pOut->nUndecodable;
      continue;
    }
    AddDictEntry(pOut, strText, 0, false);
  }
  if (nBodyAt > QPYD_DESCRIPTION_AT)
    pOut->strTitle =
        TitleFromDescription(data + QPYD_DESCRIPTION_AT, nBodyAt - QPYD_DESCRIPTION_AT);
  return true;
}
