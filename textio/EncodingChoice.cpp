#include "EncodingChoice.h"

SourceEncoding EncodingFromHead(const unsigned char* head, size_t size, SourceMode nMode,
                                size_t* pMarkSize, bool* pGuessed) {
  SourceEncoding encoding = EncodingFromMark(head, size, pMarkSize);
  if (nMode != SOURCE_MODE_AUTO) {
    const SourceEncoding said = nMode == SOURCE_MODE_UTF8 ? SOURCE_UTF8 : SOURCE_GBK;
    if (encoding != said) *pMarkSize = 0;
    encoding = said;
  }
  *pGuessed = nMode == SOURCE_MODE_AUTO && *pMarkSize == 0;
  return encoding;
}

bool GuessUtf16(const CTextScan& scan, SourceEncoding* pEncoding) {
  bool bBig = false;
  if (scan.GetControlFault() != TEXT_FAULT_NUL || !scan.LooksLikeUtf16(&bBig)) return false;
  *pEncoding = bBig ? SOURCE_UTF16BE : SOURCE_UTF16LE;
  return true;
}

SourceEncoding GuessFromScan(const CTextScan& scan) {
  return scan.IsMostlyUtf8() ? SOURCE_UTF8 : SOURCE_GBK;
}

TextFault JudgeScan(const CTextScan& scan, SourceEncoding nEncoding, bool bGuessed) {
  const TextFault fault = scan.GetControlFault();
  if (fault != TEXT_FAULT_NONE || !bGuessed) return fault;
  // A guess that leaves most of the text undecodable is no guess at all.
  const bool bGbk = nEncoding == SOURCE_GBK;
  const uint64_t nGood = (bGbk ? scan.GetGbkChars() : scan.GetUtf8Chars()) + scan.GetAsciiChars();
  const uint64_t nBad = bGbk ? scan.GetGbkBad() : scan.GetUtf8Bad();
  return nBad > nGood ? TEXT_FAULT_UNDECODABLE : TEXT_FAULT_NONE;
}
