// The counts of one import, shared by the importer and its phrase batch.
#pragma once

#include <cstdint>

// What an import did, line by line. For a finished import
// nLines == nHeaders + nAdded + nDuplicate + nTooLong + nOutOfRange +
// nControlOrEmpty.
struct tagIMPORTSTATS {
  uint32_t nLines;    // lines handed out by the reader (comments and empty lines excluded)
  uint32_t nHeaders;  // lines beginning with '@' (applied or ignored)
  uint32_t nAdded;
  uint32_t nDuplicate;       // text already in the library
  uint32_t nTooLong;         // text longer than 30 bytes (and frequency in range)
  uint32_t nOutOfRange;      // frequency outside lo..hi (checked after the text)
  uint32_t nControlOrEmpty;  // no text, or a text holding a control byte (checked first)
  // Phrase lines whose frequency lay outside 0..250 and was brought into it
  // (its low 8 bits, at most 250); counted whatever became of the line.
  uint32_t nFreqReduced;
  // Left out before the import: lines or entries whose text does not decode,
  // or holds a character GBK cannot represent. Not among nLines.
  uint32_t nUndecodable;
  uint32_t nNoGbkForm;
  // What was read: a SourceEncoding (GbkSource.h) and a DictFormat
  // (DictImport.h); a phrase list read by the line rules is DICT_FORMAT_TEXT.
  int32_t nEncoding;
  int32_t nFormat;
};
