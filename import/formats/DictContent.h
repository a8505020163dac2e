// What a reader of another input method's dictionary hands on: the
// dictionary's own title and its entries, each a text and a weight on the
// dictionary's own scale. The import converts the texts to GBK, maps the
// weights into 0..250 and adds the entries as a text import does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ReadFault.h"

struct tagDICTENTRY {
  std::string strText;  // UTF-8
  int64_t nWeight;      // larger is more frequent; 0 when bHasWeight is false
  bool bHasWeight;
};

// Takes a reader's entries one by one as they are read, in place of the
// list: a large dictionary need not be held whole as strings.
class CDictEntrySink {
 public:
  virtual ~CDictEntrySink() = default;
  virtual void Entry(std::string_view text, int64_t nWeight, bool bHasWeight) = 0;
};

struct tagDICTCONTENT {
  std::string strTitle;                  // UTF-8: the dictionary's own name, empty when it has none
  std::vector<tagDICTENTRY> arrEntries;  // in the file's order; empty with a sink
  uint32_t nUndecodable;                 // entries left out because their text does not decode
  CDictEntrySink* pSink = nullptr;       // when set, takes the entries instead of arrEntries
};

// Where the readers put each entry: the sink, or the list.
void AddDictEntry(tagDICTCONTENT* pOut, std::string_view text, int64_t nWeight, bool bHasWeight);

// The largest dictionary file read: the readers take the whole file in
// memory, and their output grows only with the entries found in it.
enum : uint64_t { DICT_MAX_FILE_BYTES = 512ull << 20 };

// The readers, one per format (one file each in this folder). Each takes the
// whole file's bytes; true with *pOut filled for a readable dictionary, false
// with *pFault set (what was wrong and where, such as "the entry at byte 1234
// runs past the end of the file": ReadFault.h) for a truncated or damaged
// one. Every length and offset is checked against the bytes
// remaining, and nothing is allocated on the word of a length field alone.
bool ReadScel(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault);
bool ReadBdict(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault);
bool ReadQpyd(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault);
bool ReadRimeDict(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault);
// A plain UTF-8 list of whitespace-separated columns, the text first and a
// column of whole numbers (if any) as the weight: "text pinyin frequency",
// "word frequency tag", or the text alone.
bool ReadColumnList(const uint8_t* data, size_t size, tagDICTCONTENT* pOut, tagREADFAULT* pFault);

// The marks that tell a format by its content, whatever the file's name;
// each looks only at the bytes given (the start of a file) and says false
// when they do not hold the mark whole. .scel and .bdict: their magic bytes;
// Rime: its YAML header, a "---" line (after comments and blank lines only),
// a top-level "name:" key and the "..." line that ends it; .qpyd, which has
// no magic bytes: its body offset and the zlib stream it points to.
bool HasScelMark(const uint8_t* data, size_t size);
bool HasBdictMark(const uint8_t* data, size_t size);
bool HasRimeHeader(const uint8_t* data, size_t size);
bool HasQpydHeader(const uint8_t* data, size_t size);
