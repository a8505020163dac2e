// The input of fuzz_load, shared with the seed writer (make_load_seeds).
//
// Byte 0 holds flags. With both LOAD_RAW bits set, the rest of the input is
// the library file as it stands. Otherwise the rest encodes a library file
// that is whole unless damage steps break it:
//   byte 1    the group count: 0..15, or 128..255 as it stands
//   byte 2    seed of the group texts, the stamp and (LOAD_NEW_VERSION) the version
//   byte 3    the store's block size (StoreBlockSize, FuzzInput.h)
//   then (flags & LOAD_DAMAGE_MASK) damage steps of 4 bytes: kind, position
//             (two bytes, high first, as a fraction of the file or of the
//             records), value
//   then commands of 4 bytes, op a b c, up to the end: op bits 0..2 the
//             command, bits 3..4 the count's scale (RunCount(a, scale)),
//             bits 5..6 the alphabet (FuzzInput.h), bit 7 a random group per
//             record (else group c % (groups + 1)); b shapes the texts
//             (CTextRun) and c picks groups.
// Commands hold at most kLoadMaxRecords records and kLoadMaxEdits edits, and
// at most kLoadRecordsPerByte records (a quarter as many edits) per byte of
// the input.
#pragma once

#include <cstdint>

enum : uint8_t {
  LOAD_DAMAGE_MASK = 0x03,
  LOAD_SPLIT_SHIFT = 2,       // 2 bits: which groups announce the records
  LOAD_NEW_VERSION = 0x10,    // a later version than Save writes
  LOAD_EDIT_NO_CHECK = 0x20,  // edits call AddPhrase without its own duplicate check
  LOAD_RAW = 0xC0
};

// How the group counts announce the records (all of them must).
enum : uint8_t {
  SPLIT_FIRST = 0,   // group 0 announces them all
  SPLIT_OWNERS = 1,  // each group its own, as Save writes; the rest the last group
  SPLIT_RANDOM = 2,
  SPLIT_LAST = 3
};

enum : uint8_t {
  CMD_ASCENDING = 0,   // a counter run: texts in ascending order
  CMD_DESCENDING = 1,  // the same texts backwards
  CMD_RANDOM = 2,      // random texts, repeating as b's high bits narrow them
  CMD_REPEAT = 3,      // records from (b / 256) of the way on again; c bit 0: other groups
  CMD_BAD = 4,      // a % 32 + 1 records: b % 4 = 0 long, 1 NUL inside, 2 no group, 3 edge lengths
  CMD_LITERAL = 5,  // one record: group a, frequency b, then c bytes of text
  CMD_EDIT = 6,     // phrases added after the load: b % 4 picks ascending,
                    // descending, random or copies of records; c bit 6 measures
  CMD_SHUFFLE = 7   // the records from (b / 255) of the way on, shuffled (none for 255)
};

// Damage steps, applied to the finished file in order.
enum : uint8_t {
  HARM_FLIP = 0,          // one byte xor (value | 1)
  HARM_CUT = 1,           // the file cut at the position
  HARM_INDEX = 2,         // an index entry plus (value | 1)
  HARM_PHRASE_BYTES = 3,  // phraseBytes plus the value as a signed byte (0: plus 1)
  HARM_COUNT = 4,         // a group count plus the value as a signed byte (0: plus 1)
  HARM_TRAILING = 5,      // (value % 16) + 1 bytes appended
  HARM_LENGTH = 6,        // a record's length byte set to the value
  HARM_SPLICE = 7         // (value % 8) + 1 bytes erased at the position, or inserted (value bit 7)
};

constexpr uint32_t kLoadMaxRecords = 4096;
constexpr uint32_t kLoadMaxEdits = 1024;
// What an input costs grows with its length: libFuzzer keeps the shortest
// input it knows for what it found, and so keeps most runs cheap, while
// thousands of records take a few hundred bytes.
constexpr uint32_t kLoadRecordsPerByte = 8;
