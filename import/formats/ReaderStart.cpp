#include "ReaderStart.h"

#include <cstring>

#include "ByteCursor.h"
#include "ByteOrderMark.h"
#include "LineCursor.h"
#include "Utf16Fields.h"

void ClearDictContent(tagDICTCONTENT* pOut) {
  pOut->strTitle.clear();
  pOut->arrEntries.clear();
  pOut->nUndecodable = 0;
}

void AddDictEntry(tagDICTCONTENT* pOut, std::string_view text, int64_t nWeight, bool bHasWeight) {
  if (pOut->pSink != nullptr) {
    pOut->pSink->Entry(text, nWeight, bHasWeight);
  } else {
    pOut->arrEntries.push_back(tagDICTENTRY{std::string(text), nWeight, bHasWeight});
  }
}

bool StartUtf8Text(const uint8_t* data, size_t size, int nMarkFault, tagDICTCONTENT* pOut,
                   tagREADFAULT* pFault) {
  ClearDictContent(pOut);
  if (!StartsWithUtf16Mark(data, size)) {
    if (pOut->pSink != nullptr) return true;
    // At most one entry a line that holds something: room for them all at
    // once, counted from the bytes themselves, spares a million-entry list
    // its copies as it grows. Capped, so that a file of short lines cannot
    // ask for many times its own size before any entry is read.
    const size_t kMaxReserve = size_t(1) << 22;
    size_t nLines = 0;
    for (size_t i = 0; i < size && nLines < kMaxReserve;) {
      const void* end = std::memchr(data + i, '\n', size - i);
      const size_t next = end ? size_t(static_cast<const uint8_t*>(end) - data) + 1 : size;
      if (next - i > 1) ++nLines;
      i = next;
    }
    pOut->arrEntries.reserve(nLines);
    return true;
  }
  return SetReadFault(pFault, nMarkFault);
}

bool HasCellMark(const uint8_t* data, size_t size, const tagCELLHEADER& header) {
  return size >= header.magic.nBytes &&
         std::memcmp(data, header.magic.pszBytes, header.magic.nBytes) == 0;
}

bool StartCellDict(const uint8_t* data, size_t size, const tagCELLHEADER& header,
                   tagDICTCONTENT* pOut, uint32_t* pCount, tagREADFAULT* pFault) {
  ClearDictContent(pOut);
  if (!HasCellMark(data, size, header)) return SetReadFault(pFault, header.magic.nNotThisFormat);
  if (size < header.layout.nHeaderBytes)
    return SetReadFault(pFault, READ_FAULT_SHORT_HEADER, size, header.layout.nHeaderBytes);
  CByteCursor cur(data, size);
  *pCount = 0;
  cur.Seek(header.layout.nCountAt);
  cur.U32(pCount);
  pOut->strTitle = DecodeUtf16Field(data + header.layout.nTitleAt, header.layout.nTitleBytes);
  return true;
}
