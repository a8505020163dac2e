// The wbk command line: one subcommand per task, parsed with CLI11.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "Commands.h"

#ifndef WBK_VERSION
#define WBK_VERSION "0"
#endif

namespace {

// The subcommands, in the order the help lists them; the names in the same
// order.
enum WbkCommand {
  COMMAND_INFO,
  COMMAND_IMPORT,
  COMMAND_EXPORT,
  COMMAND_CHECK,
  COMMAND_MERGE,
  COMMAND_FIND,
  COMMAND_REMOVE,
  COMMAND_DELETE_GROUP
};
const char* const kCommandNames[] = {"info",  "import", "export", "check",
                                     "merge", "find",   "remove", "delete-group"};

CLI::App* AddInfo(CLI::App& app, tagINFOARGS& a) {
  CLI::App* c = app.add_subcommand(kCommandNames[COMMAND_INFO],
                                   "Show the header, each group and the total of a library");
  c->add_option("LIB", a.strLibrary, "library file (.wbk)")->required()->type_name("FILE");
  c->add_flag("--json", a.bJson, "write JSON (ASCII, other characters as \\u escapes)");
  return c;
}

CLI::App* AddImport(CLI::App& app, tagIMPORTARGS& a) {
  CLI::App* c = app.add_subcommand(
      kCommandNames[COMMAND_IMPORT],
      "Import phrase lists: each text file becomes a new group (as \"import new group\" does), or "
      "goes into group N with --into; the result is saved to OUT");
  c->add_option("OUT", a.strOutput, "library file to write")->required()->type_name("FILE");
  c->add_option("TEXT", a.arrTexts, "phrase-list text files")->required()->type_name("FILE");
  c->add_flag(
      "--salvage", a.bSalvage,
      "start from what can be recovered of a damaged --base library instead of refusing it");
  c->add_option("--base", a.strBase, "start from this library instead of an empty one")
      ->type_name("LIB.wbk");
  c->add_option("--into", a.nInto, "import into this existing group (header lines are ignored)")
      ->type_name("N")
      ->check(CLI::Range(0, 254));
  c->add_option("--min", a.strMin, "lowest frequency taken (low 8 bits; default 0)")
      ->type_name("N");
  c->add_option("--max", a.strMax, "highest frequency taken (low 8 bits; default 250)")
      ->type_name("N");
  c->add_option("--encoding", a.strEncoding,
                "auto: UTF-8 text (a byte-order mark, or valid UTF-8 that is not plain ASCII) is "
                "converted to GBK; gbk: bytes as they are; utf-8: always converted")
      ->check(CLI::IsMember({"auto", "gbk", "utf-8"}));
  c->add_option("--format", a.strFormat,
                "auto: by the file's content when it has a format's mark (the .scel and "
                ".bdict magic bytes, Rime's YAML header, the .qpyd header), whatever its "
                "name; else by its name (.scel, .bdict, .qpyd, .dict.yaml; anything else is "
                "a text phrase list); text: a phrase list (the "
                "encoding as --encoding says); scel, bdict, qpyd: Sogou, Baidu, QQ cell "
                "dictionaries; rime: a Rime .dict.yaml; columns: a UTF-8 list of columns, the "
                "text first and a column of whole numbers as the weight. The weights of a "
                "dictionary are mapped into 0..250 by rank")
      ->check(CLI::IsMember({"auto", "text", "scel", "bdict", "qpyd", "rime", "columns"}));
  return c;
}

CLI::App* AddExport(CLI::App& app, tagEXPORTARGS& a) {
  CLI::App* c = app.add_subcommand(
      kCommandNames[COMMAND_EXPORT],
      "Write groups as phrase lists in the import format (header lines, then text<TAB>frequency "
      "per phrase); without -o or --dir the one group goes to the standard output. Tick "
      "flags are not carried; anything else that the text format cannot carry is named in a "
      "warning");
  c->add_option("LIB", a.strLibrary, "library file (.wbk)")->required()->type_name("FILE");
  c->add_flag("--salvage", a.bSalvage,
              "export what can be recovered from a damaged library instead of refusing it");
  c->add_option("--group", a.nGroup, "export only this group")
      ->type_name("N")
      ->check(CLI::Range(0, 254));
  CLI::Option* o = c->add_option("-o,--output", a.strOutput, "write the one group to this file");
  o->type_name("FILE");
  CLI::Option* d = c->add_option("--dir", a.strDir,
                                 "write each group to DIR/NNN-name.txt (NNN: the group's index)");
  d->type_name("DIR");
  o->excludes(d);
  c->add_option("--encoding", a.strEncoding, "encoding of the text written (default gbk)")
      ->check(CLI::IsMember({"gbk", "utf-8"}));
  return c;
}

CLI::App* AddCheck(CLI::App& app, tagCHECKARGS& a) {
  CLI::App* c = app.add_subcommand(
      kCommandNames[COMMAND_CHECK],
      "Validate a library file byte by byte: exit 0 clean, 1 findings, 2 unreadable");
  c->add_option("LIB", a.strLibrary, "library file (.wbk)")->required()->type_name("FILE");
  c->add_flag("--json", a.bJson, "write JSON (ASCII, other characters as \\u escapes)");
  return c;
}

CLI::App* AddMerge(CLI::App& app, tagMERGEARGS& a) {
  CLI::App* c = app.add_subcommand(
      kCommandNames[COMMAND_MERGE],
      "Append the groups of the libraries in order into OUT (at most 127 groups); a text "
      "already present keeps its first group and frequency");
  c->add_option("OUT", a.strOutput, "library file to write")->required()->type_name("FILE");
  c->add_option("LIB", a.arrInputs, "libraries to merge, in order")->required()->type_name("FILE");
  c->add_flag("--salvage", a.bSalvage,
              "merge what can be recovered from a damaged library instead of refusing it");
  return c;
}

CLI::App* AddFind(CLI::App& app, tagFINDARGS& a) {
  CLI::App* c = app.add_subcommand(
      kCommandNames[COMMAND_FIND],
      "List the phrases whose text holds TEXT (a match starts on a whole character), in the "
      "library's order: group index, phrase and frequency per line, tab-separated; no hit is "
      "not an error (exit 0, nothing written)");
  c->add_option("LIB", a.strLibrary, "library file (.wbk)")->required()->type_name("FILE");
  c->add_option("TEXT", a.strText, "the text to look for; empty: every phrase")
      ->required()
      ->type_name("TEXT");
  c->add_option("--group", a.nGroup, "only in this group")
      ->type_name("N")
      ->check(CLI::Range(0, 254));
  c->add_flag("--json", a.bJson, "write JSON (ASCII, other characters as \\u escapes)");
  c->add_flag("--salvage", a.bSalvage,
              "search what can be recovered from a damaged library instead of refusing it");
  return c;
}

CLI::App* AddRemove(CLI::App& app, tagREMOVEARGS& a) {
  CLI::App* c = app.add_subcommand(
      kCommandNames[COMMAND_REMOVE],
      "Remove every phrase whose text a list names, from whichever group holds it, and save "
      "the result to OUT (which may be LIB). The list is read like an import: GBK, UTF-8 or "
      "UTF-16, one phrase per line, the text up to its first blank or tab (a frequency after it "
      "is ignored), '#' comments and '@' header lines passed over, so a list that export wrote "
      "will do. Texts not in the library are named in a warning (exit 1)");
  c->add_option("LIB", a.strLibrary, "library file (.wbk)")->required()->type_name("FILE");
  c->add_option("OUT", a.strOutput, "library file to write")->required()->type_name("FILE");
  c->add_option("--phrases", a.strPhrases, "the list of texts to remove")
      ->required()
      ->type_name("LIST.txt");
  c->add_flag("--salvage", a.bSalvage,
              "start from what can be recovered of a damaged library instead of refusing it");
  return c;
}

CLI::App* AddDeleteGroup(CLI::App& app, tagDELETEGROUPARGS& a) {
  CLI::App* c = app.add_subcommand(
      kCommandNames[COMMAND_DELETE_GROUP],
      "Delete group N and its phrases and save the result to OUT (which may be LIB); the later "
      "groups move up one index, every other group stays as it was");
  c->add_option("LIB", a.strLibrary, "library file (.wbk)")->required()->type_name("FILE");
  c->add_option("OUT", a.strOutput, "library file to write")->required()->type_name("FILE");
  c->add_option("N", a.nGroup, "the group's index")
      ->required()
      ->type_name("N")
      ->check(CLI::Range(0, 254));
  c->add_flag("--salvage", a.bSalvage,
              "start from what can be recovered of a damaged library instead of refusing it");
  return c;
}

// "info, import, export, check, merge, ..."
std::string CommandList() {
  std::string list;
  for (const char* name : kCommandNames) list += (list.empty() ? "" : ", ") + std::string(name);
  return list;
}

int RunCommand(const tagCLICONTEXT& ctx, int argc, const char* const* argv) {
  CLI::App app{"wbk: batch work on phrase library files (.wbk)", "wbk"};
  app.set_version_flag("--version", "wbk " WBK_VERSION);
  app.require_subcommand(1);
  tagINFOARGS info;
  tagIMPORTARGS import;
  tagEXPORTARGS exportArgs;
  tagCHECKARGS check;
  tagMERGEARGS merge;
  tagFINDARGS find;
  tagREMOVEARGS remove;
  tagDELETEGROUPARGS deleteGroup;
  CLI::App* commands[] = {AddInfo(app, info),         AddImport(app, import),
                          AddExport(app, exportArgs), AddCheck(app, check),
                          AddMerge(app, merge),       AddFind(app, find),
                          AddRemove(app, remove),     AddDeleteGroup(app, deleteGroup)};
  static_assert(sizeof commands / sizeof commands[0] == std::size(kCommandNames),
                "one subcommand for each name");
  // CLI11 would only say that a command is required.
  if (argc >= 2 && argv[1][0] != '-' &&
      std::none_of(std::begin(kCommandNames), std::end(kCommandNames),
                   [&](const char* c) { return std::strcmp(c, argv[1]) == 0; })) {
    *ctx.pErr << "error: unknown command \"" << argv[1] << "\" (commands: " << CommandList()
              << "; see --help)\n";
    return EXIT_FAILED;
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int code = app.exit(e, *ctx.pOut, *ctx.pErr);
    return code == 0 ? EXIT_DONE : EXIT_FAILED;
  }
  // Every file the command will read, refused before any of them is read
  // when it is a device, a FIFO or a folder: the loaders would read a device
  // for ever and wait on a FIFO. The readers check again on their own open.
  std::vector<std::string> inputs;
  if (commands[COMMAND_INFO]->parsed()) inputs = {info.strLibrary};
  if (commands[COMMAND_IMPORT]->parsed()) {
    if (!import.strBase.empty()) inputs.push_back(import.strBase);
    inputs.insert(inputs.end(), import.arrTexts.begin(), import.arrTexts.end());
  }
  if (commands[COMMAND_EXPORT]->parsed()) inputs = {exportArgs.strLibrary};
  if (commands[COMMAND_CHECK]->parsed()) inputs = {check.strLibrary};
  if (commands[COMMAND_MERGE]->parsed()) inputs = merge.arrInputs;
  if (commands[COMMAND_FIND]->parsed()) inputs = {find.strLibrary};
  if (commands[COMMAND_REMOVE]->parsed()) inputs = {remove.strLibrary, remove.strPhrases};
  if (commands[COMMAND_DELETE_GROUP]->parsed()) inputs = {deleteGroup.strLibrary};
  for (const std::string& path : inputs) {
    if (RefuseSpecialFile(ctx, path)) return EXIT_FAILED;
  }
  if (commands[COMMAND_INFO]->parsed()) return RunInfo(ctx, info);
  if (commands[COMMAND_IMPORT]->parsed()) return RunImport(ctx, import);
  if (commands[COMMAND_EXPORT]->parsed()) return RunExport(ctx, exportArgs);
  if (commands[COMMAND_CHECK]->parsed()) return RunCheck(ctx, check);
  if (commands[COMMAND_MERGE]->parsed()) return RunMerge(ctx, merge);
  if (commands[COMMAND_FIND]->parsed()) return RunFind(ctx, find);
  if (commands[COMMAND_REMOVE]->parsed()) return RunRemove(ctx, remove);
  return RunDeleteGroup(ctx, deleteGroup);
}

}  // namespace

int RunWbk(const tagCLICONTEXT& ctx, int argc, const char* const* argv) {
  int status = RunCommand(ctx, argc, argv);
  // Results that never reached their reader are a failure whatever the
  // command made of its work, and the stream may have held them back until
  // now. A command that failed has said why already (export names a failed
  // write itself).
  if (!ctx.pOut->flush()) {
    if (status != EXIT_FAILED) *ctx.pErr << "error: cannot write to the standard output\n";
    return EXIT_FAILED;
  }
  return status;
}
