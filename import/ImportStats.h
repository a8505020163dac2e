// The counts of one import, shared by the importer and its phrase batch.
#pragma once

#include <cstdint>

// What an import did, line by line. For a finished import
// nLines == nHeaders + nAdded + nDuplicate + nTooLong + nOutOfRange.
struct tagIMPORTSTATS {
  uint32_t nLines;    // lines handed out by the reader (comments and empty lines excluded)
  uint32_t nHeaders;  // lines beginning with '@' (applied or ignored)
  uint32_t nAdded;
  uint32_t nDuplicate;   // text already in the library
  uint32_t nTooLong;     // text longer than 30 bytes (and frequency in range)
  uint32_t nOutOfRange;  // frequency outside lo..hi (checked first)
  // Left out before the import: lines or entries whose text does not decode,
  // or holds a character GBK cannot represent. Not among nLines.
  uint32_t nUndecodable;
  uint32_t nNoGbkForm;
};
