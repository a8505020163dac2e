#include "ListImport.h"

#include <cstring>
#include <utility>

#include "DictContent.h"
#include "DictImport.h"
#include "GbkSource.h"
#include "PackedEntries.h"
#include "Tabrix.h"
#include "TxtLineReader.h"

bool HasFrequencyAbove250(std::unique_ptr<CByteSource> bytes) {
  CTxtLineReader reader('#');
  if (!reader.Open(std::move(bytes))) return false;
  char buffer[IMPORT_MAX_LINE + 1];
  while (const char* line = reader.ReadLine(buffer, IMPORT_MAX_LINE)) {
    if (line[0] == '@') continue;
    tagPHRASELINE split;
    SplitPhraseLine(line, static_cast<uint32_t>(std::strlen(line)), &split);
    if (PhraseFrequencyValue(line + split.nFreqStart) > 250) return true;
  }
  return false;
}

int ImportSourceList(CTabrix& lib, const CGbkSource& source, const tagIMPORTOPTIONS& opt,
                     bool bNewGroup, uint8_t* pGroup, tagIMPORTSTATS* pStats,
                     tagREADFAULT* pFault) {
  *pFault = {};
  const std::string title = GroupTitleFromPath(source.GetSourcePath().c_str());
  tagIMPORTOPTIONS named = opt;
  if (named.pszTitle == nullptr) named.pszTitle = title.c_str();
  tagIMPORTSTATS stats = {};
  int result;
  // A GBK list is this input method's own: its frequencies keep the line
  // rules. Another encoding's numbers above 250 are weights of their own.
  if (source.GetEncoding() != SOURCE_GBK && HasFrequencyAbove250(source.OpenBytes())) {
    std::string text;
    if (!source.ReadUtf8(&text)) return IMPORT_OPEN_FAILED;
    tagDICTCONTENT content;
    content.nUndecodable = 0;
    CPackedDictEntries packed;
    content.pSink = &packed;
    if (!ReadColumnList(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &content,
                        pFault)) {
      stats.nFormat = DICT_FORMAT_COLUMNS;
      stats.nEncoding = source.GetEncoding();
      if (pStats != nullptr) *pStats = stats;
      return IMPORT_DAMAGED;
    }
    std::string().swap(text);
    result = ImportPackedEntries(lib, content, packed, source.GetSourcePath().c_str(), named,
                                 bNewGroup, pGroup, &stats);
  } else {
    CTxtLineReader reader('#');
    // A group that does not exist is said before the file is opened.
    if (bNewGroup || *pGroup < lib.GetGroupCount()) reader.Open(source.OpenBytes());
    result = bNewGroup ? ImportNewGroup(lib, reader, named, pGroup, &stats)
                       : ImportToGroup(lib, *pGroup, reader, named, &stats);
    stats.nNoGbkForm = source.GetNoGbkForm();
    stats.nUndecodable = source.GetUndecodable();
  }
  stats.nEncoding = source.GetEncoding();
  if (pStats != nullptr) *pStats = stats;
  return result;
}
