// The two fixed-size records of a library. Their byte layout is also the
// layout of the library file's group record, so it must never change.
#pragma once

#include <cstddef>
#include <cstdint>

// The records' text fields are read with FieldTextLength and FieldText.
#include "GbkText.h"

#pragma pack(push, 1)
struct tagGROUPINFO {
  char szName[50];     // GBK, NUL-terminated, at most 49 bytes of text
  char szEditor[50];   // at most 49 bytes
  char szRemark[200];  // at most 199 bytes
  uint32_t dwCount;    // phrases of this group in the store
  int32_t bEnable;     // 1 when ticked in the group list
};

struct tagPHRASE2 {
  uint8_t byGroup;  // owning group
  uint8_t byFreq;   // frequency, 0..250 as imported
  uint8_t cLen;     // text length in bytes, 0..30
  char szWord[31];  // text; szWord[cLen] is NUL and the rest zero
};
#pragma pack(pop)

static_assert(sizeof(tagGROUPINFO) == 308, "group record is 308 bytes in the file");
static_assert(offsetof(tagGROUPINFO, szEditor) == 50, "group record layout");
static_assert(offsetof(tagGROUPINFO, szRemark) == 100, "group record layout");
static_assert(offsetof(tagGROUPINFO, dwCount) == 300, "group record layout");
static_assert(offsetof(tagGROUPINFO, bEnable) == 304, "group record layout");
static_assert(sizeof(tagPHRASE2) == 34, "phrase record is 34 bytes");
static_assert(offsetof(tagPHRASE2, szWord) == 3, "phrase record layout");

// Limits that callers check against.
enum : uint32_t {
  TABRIX_MAX_GROUPS = 127,     // AddGroup refuses beyond this
  TABRIX_MAX_PHRASE_LEN = 30,  // bytes of text in a phrase
  TABRIX_NAME_FIELD = 50,      // szName and szEditor
  TABRIX_REMARK_FIELD = 200,   // szRemark
  TABRIX_NO_GROUP = 255        // AddGroup's failure result; names no group
};

// Progress (Progress.h names the stages): stage 0 begins with the step count, stage 1
// reports the finished step (from 0), stage 2 ends with 0.
typedef void (*ProgressCallback)(int32_t stage, int32_t value, void* data);

// Order of the phrase store: unsigned bytes of the text up to the NUL.
int ComparePhrase(const tagPHRASE2* a, const tagPHRASE2* b, void* data);
