// Importing another input method's dictionary (a Sogou .scel, a Baidu
// .bdict, a QQ .qpyd, a Rime .dict.yaml, a plain list of columns): its
// entries converted to GBK, their weights mapped into 0..250 by rank, then
// through the same range filter, duplicate check and store as a phrase list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "DictFormat.h"
#include "ImportStats.h"
#include "PhraseImport.h"
#include "ReadFault.h"

class CPackedDictEntries;  // PackedEntries.h
struct tagDICTCONTENT;     // DictContent.h

// "auto", "text", "scel", "bdict", "qpyd", "rime", "columns"; -1 for another name.
int DictFormatFromName(const std::string& name);
const char* DictFormatName(int nFormat);

// The format of a file: by the mark in its first bytes when it has one
// (DictContent.h), whatever its name; else by its name; else a UTF-8 list of
// columns or, when nothing else fits, DICT_FORMAT_TEXT (a file that cannot
// be read included: the import then says so).
int DetectDictFormat(const char* path);

// The import failed because the file is no readable dictionary of its
// format (truncated, damaged, or too large): nothing changed.
enum : int { IMPORT_DAMAGED = -3 };

// As ImportNewGroup (bNewGroup) or ImportToGroup (*pGroup names the group)
// for a format other than text. The new group is named from the
// dictionary's own title, else from the file (opt.pszTitle, else the path).
// nLines counts the entries read; nUndecodable and nNoGbkForm those left out
// before the range check. On IMPORT_DAMAGED, *pFault says what was wrong.
// A dictionary that yields no phrase leaves no new group (IMPORT_NOTHING_ADDED).
int ImportDictionary(CTabrix& lib, const char* path, int nFormat, const tagIMPORTOPTIONS& opt,
                     bool bNewGroup, uint8_t* pGroup, tagIMPORTSTATS* pStats, tagREADFAULT* pFault);

// A UTF-8 column list's entries into content (its pSink, or its list),
// read a piece of about nPiece bytes of whole lines at a time, so that the
// file is never held whole: the entries are those ReadColumnList finds in
// the whole file. IMPORT_OK, IMPORT_OPEN_FAILED, or IMPORT_DAMAGED with
// *pFault set.
enum : size_t { DICT_COLUMN_PIECE = size_t(8) << 20 };
int ReadColumnsInPieces(const char* path, tagDICTCONTENT* pContent, tagREADFAULT* pFault,
                        size_t nPiece);

// ImportDictionary for entries already read (a UTF-8 or UTF-16 list read as
// columns): the same weights by rank, checks and results. The statistics
// name a UTF-8 column list; the caller puts what it read.
int ImportDictContent(CTabrix& lib, const tagDICTCONTENT& content, const char* path,
                      const tagIMPORTOPTIONS& opt, bool bNewGroup, uint8_t* pGroup,
                      tagIMPORTSTATS* pStats);
// The same for entries a reader handed to packed (content.pSink), which is
// used up: its memory goes back before the phrases join the library.
int ImportPackedEntries(CTabrix& lib, const tagDICTCONTENT& content, CPackedDictEntries& packed,
                        const char* path, const tagIMPORTOPTIONS& opt, bool bNewGroup,
                        uint8_t* pGroup, tagIMPORTSTATS* pStats);
