// wbk find, remove and delete-group: the editor's phrase window and group
// commands from the command line, over the same core operations.
#include <ostream>
#include <string>
#include <vector>

#include "Commands.h"
#include "GbkSource.h"
#include "GbkText.h"
#include "JsonText.h"
#include "LibraryFiles.h"
#include "PhraseImport.h"
#include "Tabrix.h"
#include "TextEncoding.h"
#include "TxtLineReader.h"

namespace {

// Texts named one by one in a warning; the rest are only counted.
const size_t kNamedLimit = 20;

LoadDamagePolicy PolicyOf(bool bSalvage) { return bSalvage ? DAMAGE_SALVAGE : DAMAGE_REFUSE; }

bool CheckGroup(const tagCLICONTEXT& ctx, CTabrix& lib, const char* what, int nGroup) {
  if (nGroup >= 0 && static_cast<uint32_t>(nGroup) < lib.GetGroupCount()) return true;
  *ctx.pErr << "error: " << what << " " << nGroup << ": the library has " << lib.GetGroupCount()
            << " groups\n";
  return false;
}

struct tagHIT {
  uint8_t byGroup;
  uint8_t byFreq;
  std::string strText;  // GBK
};

void CollectHit(uint32_t, const tagPHRASE2* p, void* data) {
  static_cast<std::vector<tagHIT>*>(data)->push_back(
      {p->byGroup, p->byFreq, std::string(p->szWord, FieldTextLength(p->szWord, p->cLen))});
}

// The texts of a phrase list, read with the import's encodings and line
// rules: the text of each phrase line (up to its blank or tab); comment and
// header lines are passed over, so that an exported list can be given.
bool ReadTextList(const tagCLICONTEXT& ctx, const std::string& path,
                  std::vector<std::string>* pTexts) {
  CGbkSource source;
  if (source.Open(path.c_str(), SOURCE_MODE_AUTO) != SOURCE_OK) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot be read\n";
    return false;
  }
  CTxtLineReader reader('#');
  if (!reader.Open(source.GetPath())) {
    *ctx.pErr << "error: " << ShownPath(ctx, path) << ": cannot be read\n";
    return false;
  }
  char buffer[IMPORT_MAX_LINE + 1];
  for (char* line = reader.ReadLine(buffer, IMPORT_MAX_LINE); line;
       line = reader.ReadLine(buffer, IMPORT_MAX_LINE)) {
    if (line[0] == '@') continue;
    tagPHRASELINE split;
    SplitPhraseLine(line, static_cast<uint32_t>(std::char_traits<char>::length(line)), &split);
    if (split.nTextLen > 0) pTexts->emplace_back(line, split.nTextLen);
  }
  if (source.GetNoGbkForm() || source.GetUndecodable()) {
    *ctx.pErr << "warning: " << ShownPath(ctx, path) << ": "
              << source.GetNoGbkForm() + source.GetUndecodable()
              << " lines have characters GBK cannot represent or do not decode, and are left "
                 "out\n";
  }
  return true;
}

}  // namespace

int RunFind(const tagCLICONTEXT& ctx, const tagFINDARGS& args) {
  std::string needle;
  // The text comes in the code page of the command line's arguments.
  if (!ConvertCodePage(FileNameCodePage(), CODEPAGE_GBK, args.strText, &needle)) {
    *ctx.pErr << "error: TEXT has characters that GBK cannot represent\n";
    return EXIT_FAILED;
  }
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, PolicyOf(args.bSalvage))) return EXIT_FAILED;
  if (args.nGroup >= 0 && !CheckGroup(ctx, lib, "--group", args.nGroup)) return EXIT_FAILED;
  std::vector<tagHIT> hits;
  lib.FindSubstring(needle.c_str(),
                    args.nGroup >= 0 ? static_cast<uint32_t>(args.nGroup) : TABRIX_NO_GROUP,
                    &CollectHit, &hits);
  if (args.bJson) {
    CJson list = CJson::array();
    for (const tagHIT& hit : hits) {
      CJson one;
      one["group"] = hit.byGroup;
      one["text"] = JsonTextGbk(hit.strText);
      one["frequency"] = hit.byFreq;
      list.push_back(std::move(one));
    }
    CJson json;
    json["file"] = JsonTextPath(args.strLibrary);
    json["text"] = JsonTextGbk(needle);
    if (args.nGroup >= 0) json["group"] = args.nGroup;
    json["count"] = hits.size();
    json["hits"] = std::move(list);
    *ctx.pOut << JsonDump(json) << "\n";
    return EXIT_DONE;
  }
  for (const tagHIT& hit : hits) {
    *ctx.pOut << static_cast<unsigned>(hit.byGroup) << "\t" << Shown(ctx, hit.strText) << "\t"
              << static_cast<unsigned>(hit.byFreq) << "\n";
  }
  return EXIT_DONE;
}

int RunRemove(const tagCLICONTEXT& ctx, const tagREMOVEARGS& args) {
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, PolicyOf(args.bSalvage))) return EXIT_FAILED;
  std::vector<std::string> texts;
  if (!ReadTextList(ctx, args.strPhrases, &texts)) return EXIT_FAILED;
  // The texts not in the library, named before the removal makes them
  // indistinguishable from the removed ones.
  std::vector<std::string> named;
  std::vector<const char*> pointers;
  pointers.reserve(texts.size());
  for (const std::string& text : texts) {
    pointers.push_back(text.c_str());
    if (named.size() < kNamedLimit && !lib.FindPhrase(text.c_str(), nullptr, nullptr)) {
      named.push_back(text);
    }
  }
  const uint32_t before = lib.m_arrPhrase.GetCount();
  uint32_t missing = 0;
  if (!lib.RemovePhrasesByText(pointers.data(), static_cast<uint32_t>(pointers.size()), &missing)) {
    *ctx.pErr << "error: not enough memory to remove the phrases\n";
    return EXIT_FAILED;
  }
  if (!SaveLibraryFile(ctx, lib, args.strOutput)) return EXIT_FAILED;
  *ctx.pOut << "removed " << before - lib.m_arrPhrase.GetCount() << " phrases -> "
            << ShownPath(ctx, args.strOutput) << "\n";
  if (missing == 0) return EXIT_DONE;
  *ctx.pErr << "warning: " << missing << " listed texts are not in the library:\n";
  for (const std::string& text : named) *ctx.pErr << "  \"" << Shown(ctx, text) << "\"\n";
  if (missing > named.size()) *ctx.pErr << "  ... and " << missing - named.size() << " more\n";
  return EXIT_WARNINGS;
}

int RunDeleteGroup(const tagCLICONTEXT& ctx, const tagDELETEGROUPARGS& args) {
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, PolicyOf(args.bSalvage))) return EXIT_FAILED;
  if (!CheckGroup(ctx, lib, "group", args.nGroup)) return EXIT_FAILED;
  const tagGROUPINFO group = *lib.GetGroup(static_cast<uint32_t>(args.nGroup));
  if (!lib.RemoveGroup(static_cast<uint32_t>(args.nGroup))) {
    *ctx.pErr << "error: not enough memory to delete the group\n";
    return EXIT_FAILED;
  }
  if (!SaveLibraryFile(ctx, lib, args.strOutput)) return EXIT_FAILED;
  *ctx.pOut << "deleted group " << args.nGroup << " \""
            << Shown(ctx, group.szName, sizeof group.szName) << "\" with " << group.dwCount
            << " phrases -> " << ShownPath(ctx, args.strOutput) << "\n";
  return EXIT_DONE;
}
