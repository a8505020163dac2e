// Baidu cell dictionary (.bdict; the phone's .bcd is laid out alike):
// numbers little-endian, texts UTF-16LE.
//
//   0x000  "biptbdsw"
//   0x040  u32  where the word table starts (0x350 in real files)
//   0x044  u32  the word table's length in bytes
//   0x060  u32  where the coded-word table starts, 0 when there is none
//   0x064  u32  its length in bytes, 0 when there is none
//   0x070  u32  number of entries of the word table (the other not counted):
//               a table that ends before so many is cut short
//   0x090  title, 0x40 bytes padded with U+0000
//   0x0D0  author (0x40 bytes), 0x110 example words (0x40 bytes),
//   0x150  description (0x200 bytes): skipped
//   0x350  the end of the header: no table starts before it.
//
// The word table: entries to its end. Each starts with a u16 n and a u16
// frequency (larger is more common: the weight); the two bytes after tell
// its kind:
//     00 00        a code and a word of lengths of their own: 00 00, a u16
//                  word length in units, the code (n units: pinyin or letters,
//                  skipped), the word;
//     24 to FE     (no initial has such an index: a letter) an English word
//                  of n ASCII bytes;
//     otherwise    n pairs of bytes, each an initial's index (below 24) and a
//                  final's (below 33), or FF and a letter: skipped; then the
//                  word, n units.
// The coded-word table, after it in real files: entries to its end, each a
// u32 (0 in every file seen: no weight), a u16 code length and a u16 word
// length (both in units), the code (syllables joined by "'", skipped), then
// the word. Its words are words of the dictionary like the others and are
// read after them, without a weight.
//
// Each table is read within the bounds its offset and length give; bounds
// that start inside the header, end past the file or overlap the other
// table's are damage. A file whose word-table fields are both 0 gives no
// bounds: its word table runs from 0x350 to the end of the file.
#include <string>
#include <utility>

#include "ByteCursor.h"
#include "DictContent.h"
#include "ReaderStart.h"
#include "Utf16Fields.h"

namespace {

enum : size_t {
  BDICT_WORDS_FIELD = 0x40,   // the word table's offset, then its length
  BDICT_SECOND_FIELD = 0x60,  // the second table's offset, then its length
  BDICT_ENTRY_COUNT = 0x70,
  BDICT_TITLE = 0x90,
  BDICT_TITLE_BYTES = 0x40,
  BDICT_HEADER_BYTES = 0x350,
  BDICT_INITIALS = 24,  // the first index that is no initial's
  BDICT_LETTER = 0xFF,  // the initial's place of a letter in a pinyin word
};

const tagCELLHEADER kBdictHeader = {
    {"biptbdsw", 8, READ_FAULT_NO_BDICT_MARK},
    {BDICT_HEADER_BYTES, BDICT_ENTRY_COUNT, BDICT_TITLE, BDICT_TITLE_BYTES}};

// A table's bytes: [nStart, nEnd) of the file. nTable is 0 for the word
// table, 1 for the second (as the faults name them).
struct tagTABLE {
  int nTable;
  size_t nStart;
  size_t nEnd;
};

// The table whose offset and length are the u32s at nField. Both 0 give
// *pbGiven false (an empty table); otherwise false with *pFault when the
// table starts inside the header or ends past the file.
bool TableBounds(const uint8_t* data, size_t size, size_t nField, tagTABLE* pTable, bool* pbGiven,
                 tagREADFAULT* pFault) {
  CByteCursor cur(data, size);
  uint32_t nOffset = 0;
  uint32_t nLength = 0;
  cur.Seek(nField);
  cur.U32(&nOffset);
  cur.U32(&nLength);
  *pbGiven = nOffset != 0 || nLength != 0;
  pTable->nStart = nOffset;
  pTable->nEnd = nOffset;
  if (!*pbGiven) return true;
  const uint64_t nEnd = uint64_t(nOffset) + nLength;
  if (nOffset < BDICT_HEADER_BYTES)
    return SetReadFault(pFault, READ_FAULT_TABLE_IN_HEADER, pTable->nTable, nOffset,
                        BDICT_HEADER_BYTES);
  if (nEnd > size)
    return SetReadFault(pFault, READ_FAULT_TABLE_PAST_END, pTable->nTable, nOffset, nEnd, size);
  pTable->nEnd = static_cast<size_t>(nEnd);
  return true;
}

// The two tables within the file and apart from each other.
bool ReadTables(const uint8_t* data, size_t size, tagTABLE* pWords, tagTABLE* pSecond,
                tagREADFAULT* pFault) {
  bool bGiven = false;
  if (!TableBounds(data, size, BDICT_WORDS_FIELD, pWords, &bGiven, pFault)) return false;
  if (!bGiven) *pWords = {pWords->nTable, BDICT_HEADER_BYTES, size};
  if (!TableBounds(data, size, BDICT_SECOND_FIELD, pSecond, &bGiven, pFault)) return false;
  const bool bApart = pWords->nStart == pWords->nEnd || pSecond->nStart == pSecond->nEnd ||
                      pWords->nEnd <= pSecond->nStart || pSecond->nEnd <= pWords->nStart;
  if (!bApart)
    return SetReadFault(pFault, READ_FAULT_TABLES_OVERLAP, pWords->nStart, pWords->nEnd,
                        pSecond->nStart, pSecond->nEnd);
  return true;
}

// An English word: printable ASCII, as UTF-8 unchanged.
bool DecodeAscii(const uint8_t* p, size_t n, std::string* pOut) {
  for (size_t i = 0; i < n; ++i)
    if (p[i] < 0x20 || p[i] > 0x7E) return false;
  pOut->assign(reinterpret_cast<const char*>(p), n);
  return true;
}

// An entry's word as stored: UTF-16LE, or ASCII for an English word.
struct tagSTOREDWORD {
  uint16_t nFreq;
  bool bHasFreq;
  const uint8_t* pBytes;
  size_t nBytes;
  bool bUtf16;
};

// The word-table entry at the cursor; false when it runs past the table.
bool ReadWordEntry(CByteCursor& cur, tagSTOREDWORD* pWord) {
  uint16_t n = 0;
  const uint8_t* pKind = nullptr;
  if (!cur.U16(&n) || !cur.U16(&pWord->nFreq)) return false;
  pWord->bHasFreq = true;
  pWord->bUtf16 = true;
  if (cur.Peek(2, &pKind) && pKind[0] == 0 && pKind[1] == 0) {
    uint16_t nWordUnits = 0;
    if (!cur.Skip(2) || !cur.U16(&nWordUnits) || !cur.Skip(size_t(2) * n)) return false;
    pWord->nBytes = size_t(2) * nWordUnits;
  } else if (cur.Peek(1, &pKind) && pKind[0] >= BDICT_INITIALS && pKind[0] != BDICT_LETTER) {
    pWord->bUtf16 = false;
    pWord->nBytes = n;
  } else {
    if (!cur.Skip(size_t(2) * n)) return false;
    pWord->nBytes = size_t(2) * n;
  }
  return cur.Take(pWord->nBytes, &pWord->pBytes);
}

// The second table's entry at the cursor; false when it runs past the table.
bool ReadSecondEntry(CByteCursor& cur, tagSTOREDWORD* pWord) {
  uint16_t nCodeUnits = 0;
  uint16_t nWordUnits = 0;
  if (!cur.Skip(4) || !cur.U16(&nCodeUnits) || !cur.U16(&nWordUnits) ||
      !cur.Skip(size_t(2) * nCodeUnits))
    return false;
  pWord->nFreq = 0;
  pWord->bHasFreq = false;
  pWord->bUtf16 = true;
  pWord->nBytes = size_t(2) * nWordUnits;
  return cur.Take(pWord->nBytes, &pWord->pBytes);
}

// The entries of a table, to its end, added to *pOut; *pnEntries counts
// them. False with *pFault when one runs past the table's end.
bool ReadTable(const uint8_t* data, size_t size, const tagTABLE& table,
               bool (*readEntry)(CByteCursor&, tagSTOREDWORD*), tagDICTCONTENT* pOut,
               uint64_t* pnEntries, tagREADFAULT* pFault) {
  CByteCursor cur(data, table.nEnd);  // the table's end is the cursor's
  cur.Seek(table.nStart);
  std::string text;
  while (!cur.AtEnd()) {
    const size_t pos = cur.Pos();
    tagSTOREDWORD word = {};
    if (!readEntry(cur, &word)) {
      if (table.nEnd == size) return SetReadFault(pFault, READ_FAULT_ENTRY_PAST_FILE, pos);
      return SetReadFault(pFault, READ_FAULT_ENTRY_PAST_TABLE, pos, table.nTable, table.nStart,
                          table.nEnd);
    }
    ++*pnEntries;
    if (word.nBytes == 0) continue;  // nothing to import
    if (!(word.bUtf16 ? DecodeUtf16Word(word.pBytes, word.nBytes, &text)
                      : DecodeAscii(word.pBytes, word.nBytes, &text))) {
      ++pOut->nUndecodable;
      continue;
    }
    AddDictEntry(pOut, text, word.bHasFreq ? word.nFreq : 0, word.bHasFreq);
  }
  return true;
}

}  // namespace

bool HasBdictMark(const uint8_t* data, size_t size) {
  return HasCellMark(data, size, kBdictHeader);
}

bool ReadBdict(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault) {
  uint32_t nAnnounced = 0;
  if (!StartCellDict(data, size, kBdictHeader, pOut, &nAnnounced, pFault)) return false;
  tagTABLE words = {0, 0, 0};
  tagTABLE second = {1, 0, 0};
  if (!ReadTables(data, size, &words, &second, pFault)) return false;
  uint64_t nWordEntries = 0;
  uint64_t nSecondEntries = 0;
  if (!ReadTable(data, size, words, ReadWordEntry, pOut, &nWordEntries, pFault)) return false;
  if (nWordEntries < nAnnounced)
    return SetReadFault(pFault, READ_FAULT_FEWER_ENTRIES, nWordEntries, nAnnounced);
  return ReadTable(data, size, second, ReadSecondEntry, pOut, &nSecondEntries, pFault);
}
