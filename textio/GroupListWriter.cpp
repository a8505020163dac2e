#include "GroupListWriter.h"

#include "PhraseLine.h"
#include "PhraseListWriter.h"
#include "Tabrix.h"

namespace {

#ifdef _WIN32
const char kLineEnd[] = "\r\n";
#else
const char kLineEnd[] = "\n";
#endif

bool AppendLine(const std::string& gbk, LineEncodeFunc encode, std::string* out) {
  if (encode) {
    std::string line;
    if (!encode(gbk, &line)) return false;
    *out += line;
  } else {
    *out += gbk;
  }
  *out += kLineEnd;
  return true;
}

void CollectPosition(uint32_t pos, const tagPHRASE2*, void* data) {
  static_cast<std::vector<uint32_t>*>(data)->push_back(pos);
}

}  // namespace

void WriteGroupList(CTabrix& lib, uint32_t g, const std::vector<uint32_t>& phrases,
                    LineEncodeFunc encode, PhraseStepFunc step, void* stepData,
                    tagGROUPLIST* pList) {
  const tagGROUPINFO* info = lib.GetGroup(g);
  for (const tagHEADERFIELD& field : kHeaderFields) {
    bool carried = false;
    const std::string value = HeaderLineValue(field, *info, &carried);
    if (!AppendLine(field.pszKey + value, encode, &pList->strText)) {
      AppendLine(field.pszKey, encode, &pList->strText);
      pList->arrHeaderWarnings.push_back(std::string("the ") + field.pszWhat +
                                         " has no Unicode form and is left empty");
    } else if (!carried) {
      pList->arrHeaderWarnings.push_back(
          std::string("the ") + field.pszWhat + " is cut (a line holds " +
          std::to_string(HeaderValueLimit(field)) +
          " bytes of value, a line break ends it, and its field keeps whole characters)");
    }
  }
  // Only a ticked group has the line: a list of an unticked group stays as
  // lists have always been.
  if (info->bEnable) AppendLine(std::string(kTickHeaderKey) + "1", encode, &pList->strText);
  for (uint32_t index : phrases) {
    const tagPHRASE2& p = *lib.m_arrPhrase.GetAt(index);
    std::string line;
    const PhraseLineFault fault = PhraseListLine(p, &line);
    const char* reason = PhraseLineFaultName(fault);
    bool written = false;
    if (fault == LINE_OK || fault == LINE_HIGH_FREQ) {
      written = AppendLine(line, encode, &pList->strText);
      if (written) {
        ++pList->nWritten;
      } else {
        reason = "no Unicode form";
      }
    }
    if (!written) {
      ++pList->nLeftOut;
    } else if (fault == LINE_HIGH_FREQ) {
      ++pList->nHighFreq;
    }
    if ((!written || fault != LINE_OK) && pList->arrNamed.size() < GROUP_LIST_NAMED_LIMIT) {
      pList->arrNamed.push_back({std::string(p.szWord, p.cLen), reason});
    }
    if (step) step(stepData);
  }
}

std::vector<uint32_t> GroupPhrasePositions(CTabrix& lib, uint32_t g) {
  std::vector<uint32_t> positions;
  positions.reserve(g < lib.GetGroupCount() ? lib.GetGroup(g)->dwCount : 0);
  lib.FindSubstring("", g, &CollectPosition, &positions);
  return positions;
}
