#include "ReadFault.h"

namespace {

std::string N(uint64_t n) { return std::to_string(n); }

const char* TableName(uint64_t nTable) {
  return nTable == 0 ? "the word table" : "the second table";
}

std::string Bytes(uint64_t nStart, uint64_t nEnd) {
  return " (bytes " + N(nStart) + " to " + N(nEnd) + ")";
}

}  // namespace

bool SetReadFault(tagREADFAULT* pFault, int nCode, uint64_t n0, uint64_t n1, uint64_t n2,
                  uint64_t n3) {
  *pFault = {nCode, {n0, n1, n2, n3}};
  return false;
}

std::string ReadFaultText(const tagREADFAULT& fault) {
  const uint64_t* n = fault.arrNumbers;
  const std::string strPastFile = " runs past the end of the file";
  const std::string strUtf16Mark = "the file starts with a UTF-16 byte-order mark; ";
  switch (fault.nCode) {
    case READ_FAULT_TOO_LARGE:
      return "the file holds " + N(n[0]) + " bytes, more than a dictionary may (" + N(n[1]) + ")";
    case READ_FAULT_NOT_DICTIONARY:
      return "not a dictionary format";
    case READ_FAULT_RIME_UTF16_MARK:
      return strUtf16Mark + "a Rime dictionary is UTF-8";
    case READ_FAULT_LIST_UTF16_MARK:
      return strUtf16Mark + "a column list is read as UTF-8";
    case READ_FAULT_NO_SCEL_MARK:
      return "not a Sogou cell dictionary: the file does not start with 40 15 00 00";
    case READ_FAULT_NO_BDICT_MARK:
      return "not a Baidu cell dictionary: the file does not start with \"biptbdsw\"";
    case READ_FAULT_SHORT_HEADER:
      return "the file holds " + N(n[0]) + " bytes, fewer than the " + N(n[1]) + " of the header";
    case READ_FAULT_PINYIN_ENTRY_CUT:
      return "the pinyin table's entry at byte " + N(n[0]) + strPastFile;
    case READ_FAULT_WORD_GROUP_CUT:
      return "word group " + N(n[0]) + " of " + N(n[1]) + " at byte " + N(n[2]) + strPastFile;
    case READ_FAULT_WORD_CUT:
      return "the word at byte " + N(n[0]) + strPastFile;
    case READ_FAULT_TABLE_IN_HEADER:
      return std::string(TableName(n[0])) + " starts at byte " + N(n[1]) + ", inside the header (" +
             N(n[2]) + " bytes)";
    case READ_FAULT_TABLE_PAST_END:
      return TableName(n[0]) + Bytes(n[1], n[2]) + " ends past the end of the file (" + N(n[3]) +
             " bytes)";
    case READ_FAULT_TABLES_OVERLAP:
      return TableName(0) + Bytes(n[0], n[1]) + " and " + TableName(1) + Bytes(n[2], n[3]) +
             " overlap";
    case READ_FAULT_ENTRY_PAST_FILE:
      return "the entry at byte " + N(n[0]) + strPastFile;
    case READ_FAULT_ENTRY_PAST_TABLE:
      return "the entry at byte " + N(n[0]) + " runs past the end of " + TableName(n[1]) +
             Bytes(n[2], n[3]);
    case READ_FAULT_FEWER_ENTRIES:
      return "the word table ends after " + N(n[0]) + " entries, its header announces " + N(n[1]);
    case READ_FAULT_QPYD_SHORT_HEADER:
      return "the file has " + N(n[0]) + " bytes, fewer than a .qpyd header's " + N(n[1]);
    case READ_FAULT_QPYD_BODY_OFFSET:
      return "the body offset at byte " + N(n[0]) + " (" + N(n[1]) + ") is not within the file's " +
             N(n[2]) + " bytes after the header";
    case READ_FAULT_QPYD_ENTRY_COUNT:
      return "the entry count at byte " + N(n[0]) + " (" + N(n[1]) + ") is more than a file of " +
             N(n[2]) + " bytes holds";
    case READ_FAULT_INFLATE_START:
      return "the body at byte " + N(n[0]) + ": zlib could not start inflating";
    case READ_FAULT_INFLATE_TOO_LARGE:
      return "the body at byte " + N(n[0]) + ": the compressed data inflates to more than " +
             N(n[1]) + " bytes";
    case READ_FAULT_INFLATE_CUT:
      return "the body at byte " + N(n[0]) + ": the compressed data ends before its stream does";
    case READ_FAULT_INFLATE_DAMAGED:
      return "the body at byte " + N(n[0]) + ": the compressed data is damaged";
    case READ_FAULT_QPYD_INDEX_SHORT:
      return "the inflated body (" + N(n[0]) + " bytes, from byte " + N(n[1]) +
             ") is too short for the index of " + N(n[2]) + " entries";
    case READ_FAULT_QPYD_TEXT_PAST_BODY:
      return "entry " + N(n[0]) + " of the index (inflated body byte " + N(n[1]) +
             ") places its text at " + N(n[2]) + ", running past the body's " + N(n[3]) + " bytes";
    case READ_FAULT_RIME_HEADER_OPEN:
      return "the header begun at line " + N(n[0]) +
             " has no end (a line \"...\") before the end of the file";
    case READ_FAULT_RIME_LINE_FIRST:
      return "line " + N(n[0]) +
             " comes before the YAML header (a line \"---\") that starts a Rime dictionary";
    case READ_FAULT_RIME_NO_HEADER:
      return "the file has no YAML header (a line \"---\"), which starts a Rime dictionary";
    case READ_FAULT_RIME_NO_TEXT_COLUMN:
      return "the header's columns (line " + N(n[0]) + ") name no text column";
    default:
      return "the file could not be read";
  }
}
