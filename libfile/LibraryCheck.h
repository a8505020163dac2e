// Validation of a library file's raw bytes: everything the loader does not
// look at (the stored counts, phraseBytes, the offset index, text order,
// duplicates, stray bytes). Pure functions over a byte buffer; every read is
// bounds-checked, so any bytes at all can be handed in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FileHeader.h"

enum CheckKind {
  CHECK_HEADER_SHORT,       // fewer than 12 bytes: the loader refuses the file
  CHECK_HEADER_MAGIC,       // not 4B 58: refused
  CHECK_HEADER_TYPE,        // not a phrase library: refused
  CHECK_HEADER_VERSION,     // older than the loader takes: refused
  CHECK_GROUP_LIMIT,        // more than 127 groups
  CHECK_GROUP_TABLE_SHORT,  // the file ends inside the group table
  CHECK_FIELD_UNTERMINATED,
  CHECK_FIELD_PADDING,     // a nonzero byte after a text's terminator
  CHECK_TICK_FLAG,         // bEnable neither 0 nor 1
  CHECK_PHRASE_BYTES,      // phraseBytes missing or not the records' length
  CHECK_GROUP_COUNT,       // a stored count differs from the records of the group
  CHECK_RECORD_TOTAL,      // the counts' sum (what the loader reads) differs from the records
  CHECK_RECORD_TRUNCATED,  // a record runs past the end of the file
  CHECK_TEXT_TOO_LONG,     // cLen above 30
  CHECK_TEXT_NUL,          // a NUL byte inside a text
  CHECK_GROUP_BYTE,        // byGroup names no group
  CHECK_TEXT_ORDER,        // a text sorts before the one ahead of it
  CHECK_DUPLICATE,         // a text already stored earlier in the file
  CHECK_INDEX_SHORT,       // the file ends before the index does
  CHECK_INDEX_ENTRY,       // an offset that does not point at its record
  CHECK_TRAILING_BYTES,    // bytes after the index
  CHECK_KIND_COUNT
};

enum CheckStatus { CHECK_CLEAN = 0, CHECK_FINDINGS = 1, CHECK_UNREADABLE = 2 };

struct tagCHECKFINDING {
  uint64_t nOffset;  // byte offset in the file
  CheckKind nKind;
  std::string strMessage;  // ASCII
  std::string strText;     // the phrase text concerned (GBK), or empty
};

struct tagCHECKREPORT {
  CheckStatus nStatus;
  bool bHeader;  // header holds 12 bytes (values below are valid)
  tagLIBHEADER header;
  uint32_t nGroups;   // the group table's count byte
  uint32_t nRecords;  // phrase records found in the section
  uint64_t nSize;
  std::vector<tagCHECKFINDING> arrFindings;
  uint32_t nNotListed;  // findings beyond the listing limit of their kind
};

// Findings of one kind listed at most this many times; the rest are counted.
enum : uint32_t { CHECK_LIST_LIMIT = 100 };

void CheckLibraryBytes(const uint8_t* data, size_t size, tagCHECKREPORT* report);

// A short stable name of the kind, for --json ("phrase-bytes").
const char* CheckKindName(CheckKind kind);
