// The first steps of the readers: the content emptied, and a file refused at
// once when its first bytes are not of the reader's format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "DictContent.h"

// No title, no entries, nothing left out.
void ClearDictContent(tagDICTCONTENT* pOut);

// A reader of UTF-8 text: *pOut emptied, with room for an entry a line;
// false with *pFault of nMarkFault (the reader's READ_FAULT_..._UTF16_MARK)
// when the file starts with a UTF-16 byte-order mark.
bool StartUtf8Text(const uint8_t* data, size_t size, int nMarkFault, tagDICTCONTENT* pOut,
                   tagREADFAULT* pFault);

// What every reader of a binary cell dictionary takes from its header: the
// magic bytes it starts with, a u32 count and a UTF-16LE title field.
struct tagCELLHEADER {
  struct {
    const char* pszBytes;
    size_t nBytes;
    int nNotThisFormat;  // the fault of a file without them
  } magic;
  struct {
    size_t nHeaderBytes;  // a shorter file is cut short
    size_t nCountAt;
    size_t nTitleAt;
    size_t nTitleBytes;
  } layout;
};

// The file starts with the header's magic bytes.
bool HasCellMark(const uint8_t* data, size_t size, const tagCELLHEADER& header);

// A reader of a binary cell dictionary: *pOut emptied, then false with
// *pFault unless the file starts with the magic bytes and holds the whole
// header; else its title in *pOut and its count in *pCount.
bool StartCellDict(const uint8_t* data, size_t size, const tagCELLHEADER& header,
                   tagDICTCONTENT* pOut, uint32_t* pCount, tagREADFAULT* pFault);
