// The group record as it stands in the file: the three text fields as they
// are, then dwCount and bEnable as little-endian 32-bit values.
#pragma once

#include <cstdint>
#include <cstring>

#include "FileIO.h"
#include "PhraseRecords.h"

enum : uint32_t {
  TABRIX_GROUP_RECORD_SIZE = sizeof(tagGROUPINFO),
  // A phrase record: byGroup, byFreq, cLen, then cLen text bytes.
  TABRIX_PHRASE_HEAD_SIZE = 3,
  // An entry of the phrase index: the record's offset in the section.
  TABRIX_INDEX_ENTRY_SIZE = 4
};

inline void EncodeGroupRecord(const tagGROUPINFO& group, uint8_t* out) {
  memcpy(out, group.szName, offsetof(tagGROUPINFO, dwCount));
  PutU32(out + offsetof(tagGROUPINFO, dwCount), group.dwCount);
  PutU32(out + offsetof(tagGROUPINFO, bEnable), static_cast<uint32_t>(group.bEnable));
}

inline void DecodeGroupRecord(const uint8_t* in, tagGROUPINFO* group) {
  memcpy(group->szName, in, offsetof(tagGROUPINFO, dwCount));
  group->dwCount = GetU32(in + offsetof(tagGROUPINFO, dwCount));
  group->bEnable = static_cast<int32_t>(GetU32(in + offsetof(tagGROUPINFO, bEnable)));
}

// A phrase record's head: group, frequency and the text's length; the
// text's cLen bytes follow it.
inline void EncodePhraseHead(const tagPHRASE2& phrase, uint8_t* out) {
  out[0] = phrase.byGroup;
  out[1] = phrase.byFreq;
  out[2] = phrase.cLen;
}
