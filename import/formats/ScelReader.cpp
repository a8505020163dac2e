// Sogou cell dictionary (.scel): numbers little-endian, texts UTF-16LE.
//
//   0x0000  40 15 00 00, two bytes naming the file's maker ("DC" for the
//           vendor's own), 53 01 01 00 00 00; the first four are checked
//   0x0120  u32  number of word groups, one per pinyin spelling
//   0x0124  u32  number of words; not checked, the words are what the groups hold
//   0x0130  title, 0x208 bytes padded with U+0000
//   0x0338  category (0x208 bytes), 0x0540 description (0x800 bytes),
//   0x0D40  example words (0x800 bytes): skipped
//   0x1540  pinyin table: u16 entry count, two bytes unknown, then per entry
//           u16 index, u16 byte length and the pinyin; skipped. The vendor's
//           files hold 413 entries (the word table then starts at 0x2628),
//           some 26 more for the letters (0x26C4), so the table is read past
//           rather than the word table taken at a fixed offset.
//   then    the word groups, as many as 0x120 says: u16 word count, u16 byte
//           length of the pinyin index list, the list (u16 indices, skipped),
//           then per word a u16 byte length and the word, a u16 extension
//           length and the extension.
//
// The extension is 10 bytes in the files described: a u16 that the format
// notes read as the word's frequency (larger is more common), then 8 bytes of
// zero. That u16 is the weight; an extension too short to hold it gives none.
// Files made recently end with a list of blocked words after the groups
// ("DELTBL" in UTF-16LE, a u16 count, each a u16 length in units and the
// word): not read, since the groups' count says where the words end.
#include <algorithm>
#include <string>
#include <utility>

#include "ByteCursor.h"
#include "DictContent.h"
#include "ReaderStart.h"
#include "Utf16Fields.h"

namespace {

enum : size_t {
  SCEL_GROUP_COUNT = 0x120,
  SCEL_TITLE = 0x130,
  SCEL_TITLE_BYTES = 0x208,
  SCEL_PINYIN_TABLE = 0x1540,
  SCEL_HEADER_BYTES = SCEL_PINYIN_TABLE + 4,  // up to the pinyin table's entries
};

const tagCELLHEADER kScelHeader = {
    {"\x40\x15\x00\x00", 4, READ_FAULT_NO_SCEL_MARK},
    {SCEL_HEADER_BYTES, SCEL_GROUP_COUNT, SCEL_TITLE, SCEL_TITLE_BYTES}};

}  // namespace

bool HasScelMark(const uint8_t* data, size_t size) { return HasCellMark(data, size, kScelHeader); }

bool ReadScel(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault) {
  uint32_t nGroups = 0;
  if (!StartCellDict(data, size, kScelHeader, pOut, &nGroups, pFault)) return false;
  CByteCursor cur(data, size);
  uint16_t nPinyins = 0;
  cur.Seek(SCEL_PINYIN_TABLE);
  cur.U16(&nPinyins);
  cur.Skip(2);

  for (uint32_t i = 0; i < nPinyins; ++i) {
    const size_t pos = cur.Pos();
    uint16_t nIndex = 0, nBytes = 0;
    if (!cur.U16(&nIndex) || !cur.U16(&nBytes) || !cur.Skip(nBytes))
      return SetReadFault(pFault, READ_FAULT_PINYIN_ENTRY_CUT, pos);
  }

  // Room for a word a group, as far as the bytes left can hold groups (eight
  // bytes at the least): never more than the file itself vouches for.
  if (pOut->pSink == nullptr)
    pOut->arrEntries.reserve(std::min<size_t>(nGroups, (size - cur.Pos()) / 8));
  std::string text;
  for (uint32_t g = 0; g < nGroups; ++g) {
    const size_t pos = cur.Pos();
    uint16_t nWords = 0, nIndexBytes = 0;
    if (!cur.U16(&nWords) || !cur.U16(&nIndexBytes) || !cur.Skip(nIndexBytes))
      return SetReadFault(pFault, READ_FAULT_WORD_GROUP_CUT, g + 1ull, nGroups, pos);
    for (uint16_t w = 0; w < nWords; ++w) {
      const size_t wordPos = cur.Pos();
      uint16_t nBytes = 0, nExtBytes = 0;
      const uint8_t* pWord = nullptr;
      const uint8_t* pExt = nullptr;
      if (!cur.U16(&nBytes) || !cur.Take(nBytes, &pWord) || !cur.U16(&nExtBytes) ||
          !cur.Take(nExtBytes, &pExt))
        return SetReadFault(pFault, READ_FAULT_WORD_CUT, wordPos);
      if (nBytes == 0) continue;  // nothing to import
      if (!DecodeUtf16Word(pWord, nBytes, &text)) {
        ++pOut->nUndecodable;
        continue;
      }
      const bool bHasWeight = nExtBytes >= 2;
      AddDictEntry(pOut, text, bHasWeight ? int64_t(pExt[0] | (pExt[1] << 8)) : 0, bHasWeight);
    }
  }
  return true;
}
