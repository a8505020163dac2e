// wbk set-group: a group's name, editor, remark and tick set through the edit
// history's group edits, which the editor's group property dialog and its
// list's checkboxes use too.
#include <ostream>
#include <string>

#include "CommandLine.h"
#include "EditHistory.h"
#include "GbkText.h"
#include "JobCommands.h"
#include "LibraryFiles.h"
#include "LibraryJson.h"
#include "OutputRules.h"
#include "Tabrix.h"
#include "TextEncoding.h"

namespace {

// A text of the command line in GBK, checked against its field: false, with
// the error written, when it has no GBK form or does not fit.
bool FieldValue(const tagCLICONTEXT& ctx, const char* option, const std::string& arg, size_t width,
                std::string* pGbk) {
  if (!ConvertCodePage(FileNameCodePage(), CODEPAGE_GBK, arg, pGbk)) {
    *ctx.pErr << "error: " << option << ": the text has characters that GBK cannot represent\n";
    return false;
  }
  if (pGbk->size() >= width || pGbk->find('\0') != std::string::npos) {
    *ctx.pErr << "error: " << option << ": the text is " << pGbk->size()
              << " bytes in GBK, at most " << width - 1 << " fit\n";
    return false;
  }
  return true;
}

}  // namespace

int RunSetGroup(const tagCLICONTEXT& ctx, const tagSETGROUPARGS& args) {
  if (!args.bName && !args.bEditor && !args.bRemark && !args.bTick && !args.bUntick) {
    *ctx.pErr << "error: set-group: nothing to set: give --name, --editor, --remark, --tick or "
                 "--untick\n";
    return EXIT_FAILED;
  }
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, args.bSalvage ? DAMAGE_SALVAGE : DAMAGE_REFUSE)) {
    return EXIT_FAILED;
  }
  if (args.nGroup < 0 || static_cast<uint32_t>(args.nGroup) >= lib.GetGroupCount()) {
    *ctx.pErr << "error: group " << args.nGroup << ": the library has " << lib.GetGroupCount()
              << " groups\n";
    return EXIT_FAILED;
  }
  const uint32_t g = static_cast<uint32_t>(args.nGroup);
  const tagGROUPINFO before = *lib.GetGroup(g);
  std::string name = FieldText(before.szName, sizeof before.szName);
  std::string editor = FieldText(before.szEditor, sizeof before.szEditor);
  std::string remark = FieldText(before.szRemark, sizeof before.szRemark);
  if ((args.bName && !FieldValue(ctx, "--name", args.strName, sizeof before.szName, &name)) ||
      (args.bEditor &&
       !FieldValue(ctx, "--editor", args.strEditor, sizeof before.szEditor, &editor)) ||
      (args.bRemark &&
       !FieldValue(ctx, "--remark", args.strRemark, sizeof before.szRemark, &remark))) {
    return EXIT_FAILED;
  }
  // A field that a file written elsewhere left without its NUL fits no
  // edit: it has to be given anew.
  if (name.size() >= sizeof before.szName || editor.size() >= sizeof before.szEditor ||
      remark.size() >= sizeof before.szRemark) {
    *ctx.pErr << "error: group " << g
              << ": a text that is not given fills its whole field; give it anew\n";
    return EXIT_FAILED;
  }
  CEditHistory history;
  if (!history.SetGroupText(lib, g, name.c_str(), editor.c_str(), remark.c_str())) {
    *ctx.pErr << "error: not enough memory to set the group's texts\n";
    return EXIT_FAILED;
  }
  if ((args.bTick || args.bUntick) && !history.SetGroupEnable(lib, g, args.bTick ? 1 : 0)) {
    *ctx.pErr << "error: not enough memory to set the tick\n";
    return EXIT_FAILED;
  }
  if (!WriteLibraryOutput(ctx, lib, args.strOutput, args.bDryRun)) return EXIT_FAILED;
  const bool changed = history.GetUndoCount() != 0;
  if (args.bJson) {
    CJson json = CommandJson("set-group");
    json["file"] = JsonTextPath(args.strLibrary);
    json["output"] = JsonTextPath(args.strOutput);
    json["dry_run"] = args.bDryRun;
    json["group"] = g;
    json["changed"] = changed;
    SetLibraryJson(json, lib);
    *ctx.pOut << JsonDump(json) << "\n";
    return EXIT_DONE;
  }
  const tagGROUPINFO* after = lib.GetGroup(g);
  ReportStream(ctx, IsStandardStream(args.strOutput))
      << "group " << g << " \"" << Shown(ctx, after->szName, sizeof after->szName) << "\""
      << (changed ? ": set" : ": unchanged") << " (" << (after->bEnable ? "ticked" : "not ticked")
      << ") -> " << ShownPath(ctx, args.strOutput)
      << (args.bDryRun ? " (dry run: nothing written)" : "") << "\n";
  return EXIT_DONE;
}

namespace {

int RunSetGroupCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagSETGROUPARGS args;
  tagOUTPUTRULE rule;
  size_t next = 0;
  args.strLibrary = line.GetArgs()[0];
  if (!TakeOutput(ctx, line, "LIB --group N -o OUT [options]", &args.strOutput, &next, &rule)) {
    return EXIT_FAILED;
  }
  if (next < line.GetArgs().size()) {
    return UsageError(ctx, line,
                      "too many arguments: \"" + line.GetArgs()[next] +
                          "\" is one more than set-group takes (LIB [OUT] --group N)");
  }
  if (!GroupOption(ctx, line, "--group", &args.nGroup)) return EXIT_FAILED;
  if (args.nGroup < 0) return UsageError(ctx, line, "which group? name it with --group N");
  const struct {
    const char* name;
    bool* pGiven;
    std::string* pValue;
  } texts[] = {{"--name", &args.bName, &args.strName},
               {"--editor", &args.bEditor, &args.strEditor},
               {"--remark", &args.bRemark, &args.strRemark}};
  for (const auto& t : texts) {
    if (const std::string* value = line.Value(t.name)) {
      *t.pGiven = true;
      *t.pValue = *value;
    }
  }
  args.bTick = line.Has("--tick");
  args.bUntick = line.Has("--untick");
  if (args.bTick && args.bUntick) {
    return UsageError(ctx, line, "--tick and --untick: give one of them");
  }
  args.bSalvage = line.Has("--salvage");
  args.bJson = line.Has("--json");
  args.bDryRun = line.Has("--dry-run");
  rule.arrInputs = {args.strLibrary};
  const int nCheck = CheckEditRun(ctx, line, "set-group", args.bJson, args.strOutput, rule);
  if (nCheck != EXIT_DONE) return nCheck;
  return RunSetGroup(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kSetGroupCommand = {
    "set-group",
    "LIB --group N -o OUT [options]\nLIB OUT.wbk --group N [options]",
    "a group's name, editor, remark and tick",
    "Rename, re-describe, tick or untick group N of the library LIB and write the library to "
    "OUT, which may be LIB itself; a text not given stays as it is.",
    {OPTION_GROUP,
     {"--name", 0, "TEXT", "the group's new name (at most 49 bytes in GBK)"},
     {"--editor", 0, "TEXT", "the group's new editor (at most 49 bytes in GBK)"},
     {"--remark", 0, "TEXT", "the group's new remark (at most 199 bytes in GBK)"},
     {"--tick", 0, nullptr, "tick the group"},
     {"--untick", 0, nullptr, "clear the group's tick"},
     OPTION_OUTPUT,
     OPTION_FORCE,
     OPTION_DRY_RUN,
     OPTION_JSON,
     OPTION_SALVAGE},
    1,
    2,
    &RunSetGroupCommand};
