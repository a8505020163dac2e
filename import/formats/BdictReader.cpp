// Baidu cell dictionary (.bdict; the phone's .bcd is laid out alike):
// numbers little-endian, texts UTF-16LE.
//
//   0x000  "biptbdsw"
//   0x070  u32  number of entries: a file that ends before so many is cut short
//   0x090  title, 0x40 bytes padded with U+0000
//   0x0D0  author (0x40 bytes), 0x110 example words (0x40 bytes),
//   0x150  description (0x200 bytes): skipped
//   0x350  the entries, to the end of the file. Each starts with a u16 n and
//          a u16 frequency (larger is more common: the weight); the two bytes
//          after tell its kind:
//     00 00        a code and a word of lengths of their own: 00 00, a u16
//                  word length in units, the code (n units: pinyin or letters,
//                  skipped), the word;
//     24 to FE     (no initial has such an index: a letter) an English word
//                  of n ASCII bytes;
//     otherwise    n pairs of bytes, each an initial's index (below 24) and a
//                  final's (below 33), or FF and a letter: skipped; then the
//                  word, n units.
//
// Less certain, so not relied on: the descriptions differ on whether the
// count at 0x70 holds every entry or the pinyin ones only (hence it is only a
// floor); on whether the u32 at 0x60 is the end of the entries or the start of
// a section of the code-and-word kind (the entries are read to the end of the
// file instead); and one of them finds a second header of that kind in real
// files that none describes, which this reader takes for damage.
#include <string>
#include <utility>

#include "ByteCursor.h"
#include "DictContent.h"
#include "ReaderStart.h"
#include "Utf16Fields.h"

namespace {

enum : size_t {
  BDICT_ENTRY_COUNT = 0x70,
  BDICT_TITLE = 0x90,
  BDICT_TITLE_BYTES = 0x40,
  BDICT_ENTRIES = 0x350,
  BDICT_INITIALS = 24,  // the first index that is no initial's
  BDICT_LETTER = 0xFF,  // the initial's place of a letter in a pinyin word
};

const tagCELLHEADER kBdictHeader = {
    {"biptbdsw", 8, "not a Baidu cell dictionary: the file does not start with \"biptbdsw\""},
    {BDICT_ENTRIES, BDICT_ENTRY_COUNT, BDICT_TITLE, BDICT_TITLE_BYTES}};

bool Fail(std::string* pError, const std::string& text) {
  *pError = text;
  return false;
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
  const uint8_t* pBytes;
  size_t nBytes;
  bool bUtf16;
};

// The entry at the cursor; false when it runs past the end of the file.
bool ReadEntry(CByteCursor& cur, tagSTOREDWORD* pWord) {
  uint16_t n = 0;
  const uint8_t* pKind = nullptr;
  if (!cur.U16(&n) || !cur.U16(&pWord->nFreq)) return false;
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

}  // namespace

bool ReadBdict(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, std::string* pError) {
  uint32_t nAnnounced = 0;
  if (!StartCellDict(data, size, kBdictHeader, pOut, &nAnnounced, pError)) return false;
  CByteCursor cur(data, size);
  cur.Seek(BDICT_ENTRIES);

  uint64_t nEntries = 0;
  std::string text;
  while (!cur.AtEnd()) {
    const size_t pos = cur.Pos();
    tagSTOREDWORD word = {};
    if (!ReadEntry(cur, &word))
      return Fail(pError,
                  "the entry at byte " + std::to_string(pos) + " runs past the end of the file");
    ++nEntries;
    if (word.nBytes == 0) continue;  // nothing to import
    if (!(word.bUtf16 ? DecodeUtf16Word(word.pBytes, word.nBytes, &text)
                      : DecodeAscii(word.pBytes, word.nBytes, &text))) {
      ++pOut->nUndecodable;
      continue;
    }
    tagDICTENTRY entry;
    entry.strText = text;
    entry.nWeight = word.nFreq;
    entry.bHasWeight = true;
    pOut->arrEntries.push_back(std::move(entry));
  }
  if (nEntries < nAnnounced)
    return Fail(pError, "the file ends after " + std::to_string(nEntries) +
                            " entries, its header announces " + std::to_string(nAnnounced));
  return true;
}
