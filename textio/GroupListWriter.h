// A group as a phrase-list file in the import format: its header lines (name,
// editor, remark, and the tick of a ticked group), then one line per phrase. Importing the file as
// a new group gives the group back; whatever a line cannot carry is counted and the first phrases
// concerned are named, so that the caller can say so. Used by `wbk export` and by the editor's
// "export group".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTabrix;

// Phrases named one by one; the rest are only counted.
enum : uint32_t { GROUP_LIST_NAMED_LIMIT = 20 };

// A phrase named in the report, and why.
struct tagNAMEDPHRASE {
  std::string strText;    // GBK
  const char* pszReason;  // what the text format cannot carry
};

struct tagGROUPLIST {
  std::string strText;  // the file's bytes
  uint32_t nWritten = 0;
  uint32_t nLeftOut = 0;   // phrases the text format cannot carry, not written
  uint32_t nHighFreq = 0;  // written, but import as 250
  std::vector<tagNAMEDPHRASE> arrNamed;
  std::vector<std::string> arrHeaderWarnings;

  bool HasWarnings() const { return !arrHeaderWarnings.empty() || nLeftOut > 0 || nHighFreq > 0; }
};

// Turns one GBK line into the file's encoding; false when it has no such
// form. A null encoder keeps the GBK bytes.
typedef bool (*LineEncodeFunc)(const std::string& gbk, std::string* out);
// Called once per phrase written or left out.
typedef void (*PhraseStepFunc)(void* data);

// The lines of group g, its phrases being the store positions given (in the
// order the file gets them), appended to pList->strText. Lines end as the
// platform's text files do.
void WriteGroupList(CTabrix& lib, uint32_t g, const std::vector<uint32_t>& phrases,
                    LineEncodeFunc encode, PhraseStepFunc step, void* stepData,
                    tagGROUPLIST* pList);
// The store positions of group g's phrases, in store order.
std::vector<uint32_t> GroupPhrasePositions(CTabrix& lib, uint32_t g);
