// wbk find, remove and delete-group: the editor's phrase window and group
// commands from the command line, over the same core operations.
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "Commands.h"
#include "GbkText.h"
#include "JsonText.h"
#include "LibraryFiles.h"
#include "PhraseImport.h"
#include "Tabrix.h"
#include "TextEncoding.h"
#include "CommandLine.h"
#include "LibraryJson.h"
#include "OutputRules.h"
#include "PhraseListInput.h"
#include "StoreWalk.h"
#include "Warnings.h"

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

// Where find's hits go, one at a time as they are found: the output never
// holds more than one hit, however many there are.
struct tagHITWRITER {
  const tagCLICONTEXT* pCtx;
  bool bJson;
  uint32_t nWritten;
};

void WriteHit(uint32_t, const tagPHRASE2* p, void* data) {
  tagHITWRITER& w = *static_cast<tagHITWRITER*>(data);
  const std::string text(p->szWord, FieldTextLength(p->szWord, p->cLen));
  std::ostream& out = *w.pCtx->pOut;
  if (w.bJson) {
    out << (w.nWritten ? "," : "") << PhraseJsonText(text, p->byFreq, p->byGroup);
  } else {
    // A phrase line as the import reads it (text, then frequency), the group
    // after: remove and import take this output as a list.
    out << Shown(*w.pCtx, text) << "\t" << static_cast<unsigned>(p->byFreq) << "\t"
        << static_cast<unsigned>(p->byGroup) << "\n";
  }
  ++w.nWritten;
}

}  // namespace

int RunFind(const tagCLICONTEXT& ctx, const tagFINDARGS& args) {
  std::string needle;
  // The text comes in the code page of the command line's arguments. A text
  // GBK cannot spell is in no phrase: no hits.
  const bool spellable = ConvertCodePage(FileNameCodePage(), CODEPAGE_GBK, args.strText, &needle);
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, PolicyOf(args.bSalvage))) return EXIT_FAILED;
  if (args.nGroup >= 0 && !CheckGroup(ctx, lib, "--group", args.nGroup)) return EXIT_FAILED;
  const uint32_t group = args.nGroup >= 0 ? static_cast<uint32_t>(args.nGroup) : TABRIX_NO_GROUP;
  tagHITWRITER writer{&ctx, args.bJson, 0};
  if (args.bJson) {
    // The count comes before the hits: a first search counts them (a pass
    // over the store costs much less than writing the hits).
    CJson head = CommandJson("find");
    head["file"] = JsonTextPath(args.strLibrary);
    head["text"] = spellable ? JsonTextGbk(needle) : JsonTextPath(args.strText);
    if (args.nGroup >= 0) head["group"] = args.nGroup;
    head["phrase_count"] =
        spellable ? lib.FindSubstring(needle.c_str(), group, nullptr, nullptr) : 0;
    head["phrases"] = CJson::array();
    *ctx.pOut << JsonDumpOpen(head);
  }
  if (spellable) lib.FindSubstring(needle.c_str(), group, &WriteHit, &writer);
  if (args.bJson) *ctx.pOut << "]}\n";
  return EXIT_DONE;
}

int RunRemove(const tagCLICONTEXT& ctx, const tagREMOVEARGS& args) {
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, PolicyOf(args.bSalvage))) return EXIT_FAILED;
  std::vector<tagLISTEDPHRASE> listed;
  if (!ReadPhraseList(ctx, args.strPhrases, &listed)) return EXIT_FAILED;
  std::vector<std::string> texts;
  texts.reserve(listed.size());
  for (tagLISTEDPHRASE& one : listed) texts.push_back(std::move(one.strText));
  // The texts not in the library, named before the removal makes them
  // indistinguishable from the removed ones.
  const std::vector<uint32_t> positions = StorePositions(lib, texts);
  std::vector<uint32_t> found;
  std::vector<std::string> named;
  uint32_t missing = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (positions[i] != kNotStored) {
      found.push_back(positions[i]);
    } else if (missing++ < kNamedLimit) {
      named.push_back(texts[i]);
    }
  }
  const uint32_t before = lib.m_arrPhrase.GetCount();
  if (!lib.RemovePhrasesAt(found.data(), static_cast<uint32_t>(found.size()))) {
    *ctx.pErr << "error: not enough memory to remove the phrases\n";
    return EXIT_FAILED;
  }
  if (!WriteLibraryOutput(ctx, lib, args.strOutput, args.bDryRun)) return EXIT_FAILED;
  const uint32_t removed = before - lib.m_arrPhrase.GetCount();
  if (args.bJson) {
    CJson json = CommandJson("remove");
    json["file"] = JsonTextPath(args.strLibrary);
    json["output"] = JsonTextPath(args.strOutput);
    json["dry_run"] = args.bDryRun;
    json["removed_count"] = removed;
    json["dropped"]["not_found"] = missing;
    CJson list = CJson::array();
    for (const std::string& text : named) {
      CJson one;
      SetJsonText(one, "text", text);
      list.push_back(std::move(one));
    }
    json["missing"] = std::move(list);
    SetLibraryJson(json, lib);
    *ctx.pOut << JsonDump(json) << "\n";
  } else {
    ReportStream(ctx, IsStandardStream(args.strOutput))
        << "removed " << removed << " phrases -> " << ShownPath(ctx, args.strOutput)
        << (args.bDryRun ? " (dry run: nothing written)" : "") << "\n";
  }
  if (missing == 0) return EXIT_DONE;
  std::string text = std::to_string(missing) + " listed texts are not in the library:";
  for (const std::string& one : named) text += "\n  \"" + Shown(ctx, one) + "\"";
  if (missing > named.size())
    text += "\n  ... and " + std::to_string(missing - named.size()) + " more";
  Warn(ctx, "not in the library", text);
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
  if (!WriteLibraryOutput(ctx, lib, args.strOutput, args.bDryRun)) return EXIT_FAILED;
  if (args.bJson) {
    CJson json = CommandJson("delete-group");
    json["file"] = JsonTextPath(args.strLibrary);
    json["output"] = JsonTextPath(args.strOutput);
    json["dry_run"] = args.bDryRun;
    json["group"] = args.nGroup;
    SetJsonField(json, "name", group.szName, sizeof group.szName);
    json["removed_count"] = group.dwCount;
    SetLibraryJson(json, lib);
    *ctx.pOut << JsonDump(json) << "\n";
    return EXIT_DONE;
  }
  ReportStream(ctx, IsStandardStream(args.strOutput))
      << "deleted group " << args.nGroup << " \"" << Shown(ctx, group.szName, sizeof group.szName)
      << "\" with " << group.dwCount << " phrases -> " << ShownPath(ctx, args.strOutput)
      << (args.bDryRun ? " (dry run: nothing written)" : "") << "\n";
  return EXIT_DONE;
}

namespace {

int RunFindCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagFINDARGS args;
  args.strLibrary = line.GetArgs()[0];
  args.strText = line.GetArgs()[1];
  if (!GroupOption(ctx, line, "--group", &args.nGroup)) return EXIT_FAILED;
  args.bJson = line.Has("--json");
  args.bSalvage = line.Has("--salvage");
  if (RefuseSpecialFile(ctx, args.strLibrary)) return EXIT_FAILED;
  return RunFind(ctx, args);
}

int RunRemoveCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagREMOVEARGS args;
  tagOUTPUTRULE rule;
  size_t next = 0;
  args.strLibrary = line.GetArgs()[0];
  if (!TakeOutput(ctx, line, "LIB --phrases LIST -o OUT", &args.strOutput, &next, &rule)) {
    return EXIT_FAILED;
  }
  if (next < line.GetArgs().size()) {
    return UsageError(ctx, line,
                      "too many arguments: \"" + line.GetArgs()[next] +
                          "\" is one more than remove takes (LIB [OUT] --phrases LIST)");
  }
  const std::string* list = line.Value("--phrases");
  if (list == nullptr)
    return UsageError(ctx, line, "--phrases LIST is required: the texts to remove");
  args.strPhrases = *list;
  args.bSalvage = line.Has("--salvage");
  args.bJson = line.Has("--json");
  args.bDryRun = line.Has("--dry-run");
  rule.arrInputs = {args.strLibrary, args.strPhrases};
  const int nCheck = CheckEditRun(ctx, line, "remove", args.bJson, args.strOutput, rule);
  if (nCheck != EXIT_DONE) return nCheck;
  return RunRemove(ctx, args);
}

int RunDeleteGroupCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagDELETEGROUPARGS args;
  tagOUTPUTRULE rule;
  size_t next = 0;
  args.strLibrary = line.GetArgs()[0];
  if (!TakeOutput(ctx, line, "LIB --group N -o OUT", &args.strOutput, &next, &rule)) {
    return EXIT_FAILED;
  }
  const std::vector<std::string>& rest = line.GetArgs();
  if (!GroupOption(ctx, line, "--group", &args.nGroup)) return EXIT_FAILED;
  if (args.nGroup < 0 && next < rest.size()) {
    if (!ParseGroupIndex(ctx, line, "N", rest[next++], &args.nGroup)) return EXIT_FAILED;
  }
  if (next < rest.size()) {
    return UsageError(ctx, line,
                      "too many arguments: \"" + rest[next] +
                          "\" is one more than delete-group takes (LIB [OUT] [N], or --group N)");
  }
  if (args.nGroup < 0) return UsageError(ctx, line, "which group? name it with --group N");
  args.bSalvage = line.Has("--salvage");
  args.bJson = line.Has("--json");
  args.bDryRun = line.Has("--dry-run");
  rule.arrInputs = {args.strLibrary};
  const int nCheck = CheckEditRun(ctx, line, "delete-group", args.bJson, args.strOutput, rule);
  if (nCheck != EXIT_DONE) return nCheck;
  return RunDeleteGroup(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kFindCommand = {
    "find",
    "LIB TEXT [--group N] [--json]",
    "the phrases that hold a text",
    "List the phrases of the library LIB whose text holds TEXT (a match starts on a whole "
    "character; an empty TEXT lists every phrase), in the library's order: the phrase, its "
    "frequency and its group's index per line, tab-separated, which is a phrase list that "
    "import and remove read (wbk find LIB TEXT | wbk remove LIB --phrases - -o LIB). No hit, "
    "also for a TEXT that GBK cannot spell, is no error: exit 0, nothing written.",
    {OPTION_GROUP, OPTION_JSON, OPTION_SALVAGE},
    2,
    2,
    &RunFindCommand};

extern const tagCOMMANDDEF kRemoveCommand = {
    "remove",
    "LIB --phrases LIST -o OUT [options]\nLIB OUT.wbk --phrases LIST [options]",
    "phrases named in a list, from whichever group holds them",
    "Remove every phrase whose text the list LIST names, from whichever group holds it, and "
    "write the library to OUT, which may be LIB itself. The list is read like an import (GBK, "
    "UTF-8 or UTF-16, one phrase per line, the text up to its first blank or tab, '#' comments "
    "and '@' header lines passed over), so a list that export or find wrote will do; \"-\" "
    "reads it from the standard input. Texts not in the library are named in a warning (exit "
    "1).",
    {{"--phrases", 0, "LIST", "the list of texts to remove (\"-\": the standard input)"},
     OPTION_OUTPUT,
     OPTION_FORCE,
     OPTION_DRY_RUN,
     OPTION_JSON,
     OPTION_SALVAGE},
    1,
    2,
    &RunRemoveCommand};

extern const tagCOMMANDDEF kDeleteGroupCommand = {
    "delete-group",
    "LIB --group N -o OUT [options]\nLIB OUT.wbk N [options]",
    "a group and its phrases",
    "Delete group N and its phrases and write the library to OUT, which may be LIB itself; "
    "the later groups move up one index, every other group stays as it was.",
    {OPTION_GROUP, OPTION_OUTPUT, OPTION_FORCE, OPTION_DRY_RUN, OPTION_JSON, OPTION_SALVAGE},
    1,
    3,
    &RunDeleteGroupCommand};
