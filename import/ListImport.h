// A phrase list as CGbkSource reads it (GbkSource.h), imported: by the line
// rules, or, when a UTF-8 or UTF-16 list's frequencies go above 250 (weights
// on a scale of its own, such as Rime's essay "text<TAB>weight"), as a column
// list whose weights are mapped by rank as a dictionary's are. The road of
// the editor and of wbk for a text file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ByteSource.h"

#include "ImportStats.h"
#include "PhraseImport.h"
#include "ReadFault.h"

class CGbkSource;
class CTabrix;

// As ImportNewGroup (bNewGroup) or ImportToGroup (*pGroup names the group),
// from a source opened with SOURCE_OK. The new group is named opt.pszTitle,
// else after the source's own file. The statistics carry the source's
// encoding and the format read (DICT_FORMAT_TEXT or DICT_FORMAT_COLUMNS), and
// the lines the source left out. IMPORT_DAMAGED (with *pFault) only for a
// column list that cannot be read.
int ImportSourceList(CTabrix& lib, const CGbkSource& source, const tagIMPORTOPTIONS& opt,
                     bool bNewGroup, uint8_t* pGroup, tagIMPORTSTATS* pStats, tagREADFAULT* pFault);

// Whether a GBK phrase list holds a phrase line whose frequency field is a
// number above 250 (the line rules would reduce it).
bool HasFrequencyAbove250(std::unique_ptr<CByteSource> bytes);
