// Importing a GBK phrase-list text file into a library: as a new group named
// after the file, or into an existing group. One implementation serves the
// editor's two import buttons and the wbk command-line tool.
#pragma once

#include <cstdint>
#include <string>

#include "ImportStats.h"
#include "PhraseLine.h"
#include "PhraseRecords.h"

class CEditHistory;
class CTabrix;
class CTxtLineReader;

enum ImportResult {
  IMPORT_OK = 1,
  IMPORT_OPEN_FAILED = 0,     // the text file cannot be opened; nothing changed
  IMPORT_GROUP_FAILED = -1,   // the new group cannot be created; nothing changed.
                              // Why: GetGroupCount() >= 127, or the title is 50
                              // bytes or longer, or no memory.
  IMPORT_NO_SUCH_GROUP = -2,  // ImportToGroup: the index names no group; nothing changed
  // -3 is IMPORT_DAMAGED (DictImport.h).
  // The file added no phrase (every one refused, or none in it): no new
  // group is left, nothing changed; the statistics say why.
  IMPORT_NOTHING_ADDED = -4,
  // The file is no text (CGbkSource::GetTextFault says why); nothing changed.
  IMPORT_NOT_TEXT = -5
};

struct tagIMPORTOPTIONS {
  uint8_t byMinFreq;     // 0 in the editor's first state
  uint8_t byMaxFreq;     // 250
  const char* pszTitle;  // new group's name; null: GroupTitleFromPath(path)
  // May be null. Begins with the file's length in bytes, steps with the
  // bytes read after every line, and ends once (Progress.h).
  ProgressCallback funProgress;
  void* pProgressData;
  // May be null. With a history, the import's changes are recorded in it as
  // one step, which undo takes back.
  CEditHistory* pHistory;
};

// Options as the editor starts: range 0..250, title from the path, no progress.
tagIMPORTOPTIONS DefaultImportOptions();

// "导入新组": creates the group only after the file opened and its first line
// was read; header lines set its name, editor and remark (a value longer than
// its field is cut after the last whole GBK character that fits). A file
// that adds no phrase leaves no group (IMPORT_NOTHING_ADDED). *pGroup
// receives the new group's index (255 unless IMPORT_OK). pGroup and pStats
// may be null.
int ImportNewGroup(CTabrix& lib, const char* path, const tagIMPORTOPTIONS& opt, uint8_t* pGroup,
                   tagIMPORTSTATS* pStats);

// ImportNewGroup from a reader already open (null title: no name), and
// closed at the end.
int ImportNewGroup(CTabrix& lib, CTxtLineReader& reader, const tagIMPORTOPTIONS& opt,
                   uint8_t* pGroup, tagIMPORTSTATS* pStats);

// "导入到当前组": header lines are ignored; IMPORT_NOTHING_ADDED when no
// phrase was added. pStats may be null.
int ImportToGroup(CTabrix& lib, uint8_t group, const char* path, const tagIMPORTOPTIONS& opt,
                  tagIMPORTSTATS* pStats);

// ImportToGroup from a reader already open, and closed at the end.
int ImportToGroup(CTabrix& lib, uint8_t group, CTxtLineReader& reader, const tagIMPORTOPTIONS& opt,
                  tagIMPORTSTATS* pStats);

// The new group of an import (AddGroup, through the history when there is
// one): its index, or 255.
uint8_t AddImportGroup(CTabrix& lib, const char* title, const tagIMPORTOPTIONS& opt);

// Ends an import that added no phrase (inside its CEditCompound): with a
// history its open compound is cancelled, without one a new group g is
// removed. IMPORT_NOTHING_ADDED, or IMPORT_OK when what it began could not
// be taken back (no memory) and stays.
int EndEmptyImport(CTabrix& lib, uint8_t g, bool bNewGroup, const tagIMPORTOPTIONS& opt);

// The title of a new group from a path: the file's title (FileTitleFromPath:
// no folder, no last extension, "dir/a.b.txt" -> "a.b").
std::string GroupTitleFromPath(const char* path);

// A GBK title cut after its last whole character that fits a group's name
// field (TABRIX_NAME_FIELD - 1 bytes), never inside a two-byte character.
std::string FitGroupName(const std::string& title);
