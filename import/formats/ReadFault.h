// Why a dictionary could not be read, as a value: a code and the numbers it
// names (offsets, sizes, counts, line numbers). The readers say what was
// wrong and where; a caller words it in the language of its users: wbk in
// English (ReadFaultText), the editor in Chinese.
#pragma once

#include <cstdint>
#include <string>

// Each code's numbers, in the order of arrNumbers. "byte" is an offset in the
// file unless said otherwise; a table is 0 for a .bdict's word table, 1 for
// its second table.
enum ReadFaultCode {
  READ_FAULT_NONE = 0,
  READ_FAULT_TOO_LARGE,            // file bytes, the most a dictionary may hold
  READ_FAULT_NOT_DICTIONARY,       // the format asked for is none of the readers'
  READ_FAULT_RIME_UTF16_MARK,      // a Rime dictionary starts with a UTF-16 byte-order mark
  READ_FAULT_LIST_UTF16_MARK,      // a column list starts with one
  READ_FAULT_NO_SCEL_MARK,         // no 40 15 00 00 at the start
  READ_FAULT_NO_BDICT_MARK,        // no "biptbdsw" at the start
  READ_FAULT_SHORT_HEADER,         // file bytes, header bytes
  READ_FAULT_PINYIN_ENTRY_CUT,     // byte of the pinyin table's entry
  READ_FAULT_WORD_GROUP_CUT,       // the group (from 1), the groups, byte
  READ_FAULT_WORD_CUT,             // byte
  READ_FAULT_TABLE_IN_HEADER,      // table, its start, header bytes
  READ_FAULT_TABLE_PAST_END,       // table, its start, its end, file bytes
  READ_FAULT_TABLES_OVERLAP,       // word table's start and end, second table's start and end
  READ_FAULT_ENTRY_PAST_FILE,      // byte
  READ_FAULT_ENTRY_PAST_TABLE,     // byte, table, its start, its end
  READ_FAULT_FEWER_ENTRIES,        // entries read, entries the header announces
  READ_FAULT_QPYD_SHORT_HEADER,    // file bytes, header bytes
  READ_FAULT_QPYD_BODY_OFFSET,     // byte of the field, its value, file bytes
  READ_FAULT_QPYD_ENTRY_COUNT,     // byte of the field, its value, file bytes
  READ_FAULT_INFLATE_START,        // byte of the body (zlib could not start)
  READ_FAULT_INFLATE_TOO_LARGE,    // byte of the body, the most it may inflate to
  READ_FAULT_INFLATE_CUT,          // byte of the body
  READ_FAULT_INFLATE_DAMAGED,      // byte of the body
  READ_FAULT_QPYD_INDEX_SHORT,     // inflated bytes, byte of the body, entries of the index
  READ_FAULT_QPYD_TEXT_PAST_BODY,  // entry, its record's byte in the body, the text's, body bytes
  READ_FAULT_RIME_HEADER_OPEN,     // line the header begins at
  READ_FAULT_RIME_LINE_FIRST,      // line that comes before the header
  READ_FAULT_RIME_NO_HEADER,       // no numbers
  READ_FAULT_RIME_NO_TEXT_COLUMN,  // line of the columns key
  READ_FAULT_COUNT
};

enum : int { READ_FAULT_NUMBERS = 4 };

struct tagREADFAULT {
  int nCode;  // a ReadFaultCode
  uint64_t arrNumbers[READ_FAULT_NUMBERS];
};

// A fault of nCode with up to four numbers; false, for "return Fail(...)".
bool SetReadFault(tagREADFAULT* pFault, int nCode, uint64_t n0 = 0, uint64_t n1 = 0,
                  uint64_t n2 = 0, uint64_t n3 = 0);

// The fault in English: one line of ASCII, such as "the entry at byte 1234
// runs past the end of the file".
std::string ReadFaultText(const tagREADFAULT& fault);
