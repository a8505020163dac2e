#include "ReaderStart.h"

#include <cstring>

#include "ByteCursor.h"
#include "LineCursor.h"
#include "Utf16Fields.h"

void ClearDictContent(tagDICTCONTENT* pOut) {
  pOut->strTitle.clear();
  pOut->arrEntries.clear();
  pOut->nUndecodable = 0;
}

bool StartUtf8Text(const uint8_t* data, size_t size, const char* pszUtf8Note, tagDICTCONTENT* pOut,
                   std::string* pError) {
  ClearDictContent(pOut);
  if (!StartsWithUtf16Mark(data, size)) return true;
  *pError = std::string("the file starts with a UTF-16 byte-order mark; ") + pszUtf8Note;
  return false;
}

bool StartCellDict(const uint8_t* data, size_t size, const tagCELLHEADER& header,
                   tagDICTCONTENT* pOut, uint32_t* pCount, std::string* pError) {
  ClearDictContent(pOut);
  if (size < header.magic.nBytes ||
      std::memcmp(data, header.magic.pszBytes, header.magic.nBytes) != 0) {
    *pError = header.magic.pszNotThisFormat;
    return false;
  }
  if (size < header.layout.nHeaderBytes) {
    *pError = "the file holds " + std::to_string(size) + " bytes, fewer than the " +
              std::to_string(header.layout.nHeaderBytes) + " of the header";
    return false;
  }
  CByteCursor cur(data, size);
  *pCount = 0;
  cur.Seek(header.layout.nCountAt);
  cur.U32(pCount);
  pOut->strTitle = DecodeUtf16Field(data + header.layout.nTitleAt, header.layout.nTitleBytes);
  return true;
}
