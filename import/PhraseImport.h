// Importing a GBK phrase-list text file into a library: as a new group named
// after the file, or into an existing group. One implementation serves the
// editor's two import buttons and the wbk command-line tool.
#pragma once

#include <cstdint>

class CTabrix;

// The split of one phrase line: the text is line[0..nTextLen), the frequency
// field starts at line + nFreqStart (possibly the line's end).
struct tagPHRASELINE {
  uint32_t nTextLen;
  uint32_t nFreqStart;
};
void SplitPhraseLine(const char* line, uint32_t lineLen, tagPHRASELINE* out);

// The frequency of a phrase line's frequency field: the decimal value clamped
// to 32 bits, reduced to its low 8 bits, and lowered to 250 above that.
uint8_t PhraseFrequency(const char* field);

// A range field of the editor: an unsigned integer reduced to its low 8 bits,
// 0 when the text holds no number.
uint8_t RangeFieldValue(const char* text);

// What an import did, line by line.
struct tagIMPORTSTATS {
  uint32_t nLines;        // lines handed out by the reader (comments and empty lines excluded)
  uint32_t nHeaders;      // lines beginning with '@'
  uint32_t nAdded;
  uint32_t nDuplicate;    // text already in the library
  uint32_t nTooLong;      // text longer than 30 bytes
  uint32_t nOutOfRange;   // frequency outside lo..hi
};

// Progress: the file's length and the reader's current position, in bytes.
// Called once with position 0 before the first line, then after every line.
typedef void (*ImportProgress)(uint64_t fileLength, uint64_t position, void* data);

enum ImportResult {
  IMPORT_OK = 1,
  IMPORT_OPEN_FAILED = 0,   // the text file cannot be opened; nothing changed
  IMPORT_GROUP_FAILED = -1  // the new group cannot be created; nothing changed
};

struct tagIMPORTOPTIONS {
  uint8_t byMinFreq;               // 0 in the editor's first state
  uint8_t byMaxFreq;               // 250
  const char* pszTitle;            // new group's name; null: the file name without folder and last extension
  ImportProgress funProgress;      // may be null
  void* pProgressData;
};

// "导入新组": creates the group only after the file opened; header lines set
// its name, editor and remark. *pGroup receives the new group's index.
int ImportNewGroup(CTabrix& lib, const char* path, const tagIMPORTOPTIONS& opt, uint8_t* pGroup,
                   tagIMPORTSTATS* pStats);

// "导入到当前组": header lines are ignored.
int ImportToGroup(CTabrix& lib, uint8_t group, const char* path, const tagIMPORTOPTIONS& opt,
                  tagIMPORTSTATS* pStats);

// The title of a new group from a path: no folder, no last extension.
void GroupTitleFromPath(const char* path, char* out, uint32_t outSize);
