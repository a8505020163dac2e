// What a load found: whether the file was whole, what damage it showed, and
// which records it dropped, so that callers can say so instead of passing a
// damaged or thinned file off as whole.
#pragma once

#include <cstdint>

enum : int {
  LOAD_WHOLE = 0,        // everything the file announces was read and agrees
  LOAD_UNREADABLE = 1,   // the file could not be opened or read
  LOAD_NOT_REGULAR = 2,  // a folder, device or pipe: nothing was read
  LOAD_NOT_LIBRARY = 3,  // no library header: nothing was read
  LOAD_DAMAGED = 4,      // read, but its parts disagree: see nDamage
  LOAD_NO_MEMORY = 5     // the library could not be held
};

// Where a damaged file disagrees with itself; the first found is kept.
enum : int {
  DAMAGE_NONE = 0,
  DAMAGE_GROUP_TABLE = 1,   // the file ends inside the group table
  DAMAGE_TRUNCATED = 2,     // the file ends before the records the groups announce
  DAMAGE_PHRASE_BYTES = 3,  // the records do not fill the phrase section's stated length
  DAMAGE_INDEX = 4,         // the offset index is missing, short or disagrees with the records
  DAMAGE_TRAILING = 5       // bytes follow the index
};

struct tagLOADREPORT {
  int nStatus;  // LOAD_...
  int nDamage;  // DAMAGE_..., for LOAD_DAMAGED
  uint16_t wMajor;
  uint16_t wMinor;
  uint32_t dwStamp;     // the header's stamp, for showing
  uint64_t nAnnounced;  // records the group counts announce
  uint64_t nRead;       // records read from the file
  uint64_t nKept;       // phrases in the library afterwards
  // Records read but not kept, by reason.
  uint64_t nDropDuplicate;  // a text already read
  uint64_t nDropNoGroup;    // a group byte naming no group
  uint64_t nDropBadLength;  // a length byte above 30
  uint64_t nDropDamaged;    // a damaged file's records that its index disowns
  // errno of a file that could not be opened (LOAD_UNREADABLE): a missing
  // file and a refused one are told apart.
  int nOpenError;
};

// Short English names for messages and JSON: "truncated", "index", ...
const char* DamageName(int nDamage);
