// wbk info: the header and the group table of a library.
#include <cstdio>
#include <ostream>

#include "Commands.h"
#include "GbkText.h"
#include "CommandLine.h"
#include "JsonText.h"
#include "LibraryJson.h"
#include "LoadReport.h"
#include "LibraryFiles.h"
#include "Tabrix.h"
#include "Warnings.h"

namespace {

void PrintJson(const tagCLICONTEXT& ctx, const tagINFOARGS& args, const tagLOADREPORT& h,
               CTabrix& lib) {
  CJson json = CommandJson("info");
  json["file"] = JsonTextPath(args.strLibrary);
  json["version"]["major"] = h.wMajor;
  json["version"]["minor"] = h.wMinor;
  json["stamp"] = h.dwStamp;
  SetLibraryJson(json, lib);
  json["dropped"]["duplicate"] = h.nDropDuplicate;
  json["dropped"]["no_group"] = h.nDropNoGroup;
  json["dropped"]["bad_length"] = h.nDropBadLength;
  json["dropped"]["damaged"] = h.nDropDamaged;
  if (h.nStatus == LOAD_DAMAGED) {
    json["damage"]["reason"] = JsonTextUtf8(DamageName(h.nDamage));
    json["damage"]["announced_phrase_count"] = h.nAnnounced;
    json["damage"]["recovered_phrase_count"] = h.nKept;
  }
  *ctx.pOut << JsonDump(json) << "\n";
}

void PrintText(const tagCLICONTEXT& ctx, const tagINFOARGS& args, const tagLOADREPORT& h,
               CTabrix& lib) {
  std::ostream& out = *ctx.pOut;
  out << "file: " << ShownPath(ctx, args.strLibrary) << "\n"
      << "version: " << h.wMajor << "." << h.wMinor << "\n"
      << "stamp: " << h.dwStamp << "\n"
      << "groups: " << lib.GetGroupCount() << "\n";
  for (uint32_t g = 0; g < lib.GetGroupCount(); ++g) {
    const tagGROUPINFO* info = lib.GetGroup(g);
    out << "group " << g << ": " << Shown(ctx, info->szName, sizeof info->szName) << "\n"
        << "  phrases: " << info->dwCount << "\n"
        << "  ticked: " << (info->bEnable ? "yes" : "no") << "\n"
        << "  editor: " << Shown(ctx, info->szEditor, sizeof info->szEditor) << "\n"
        << "  remark: " << Shown(ctx, info->szRemark, sizeof info->szRemark) << "\n";
  }
  out << "total phrases: " << lib.GetPhraseTotal() << "\n";
  const uint64_t nDropped = h.nDropDuplicate + h.nDropNoGroup + h.nDropBadLength + h.nDropDamaged;
  if (nDropped > 0) {
    out << "dropped records: " << h.nDropDuplicate << " duplicate, " << h.nDropNoGroup
        << " naming no group, " << h.nDropBadLength << " with a bad length";
    if (h.nDropDamaged > 0) out << ", " << h.nDropDamaged << " damaged";
    out << "\n";
  }
  if (h.nStatus == LOAD_DAMAGED) out << "damaged: " << DamageName(h.nDamage) << "\n";
}

}  // namespace

int RunInfo(const tagCLICONTEXT& ctx, const tagINFOARGS& args) {
  CTabrix lib;
  tagLOADREPORT report;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, DAMAGE_SHOW, &report)) return EXIT_FAILED;
  if (args.bJson) {
    PrintJson(ctx, args, report, lib);
  } else {
    PrintText(ctx, args, report, lib);
  }
  if (report.nStatus == LOAD_DAMAGED) {
    Warn(ctx, "damaged library", ShownPath(ctx, args.strLibrary) + ": " + DamageSummary(report));
    return EXIT_WARNINGS;
  }
  return EXIT_DONE;
}

namespace {

int RunInfoCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagINFOARGS args;
  args.strLibrary = line.GetArgs()[0];
  args.bJson = line.Has("--json");
  if (RefuseSpecialFile(ctx, args.strLibrary)) return EXIT_FAILED;
  return RunInfo(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kInfoCommand = {
    "info",
    "LIB [--json]",
    "the header, the groups and the phrase count of a library",
    "Show the header, each group (index, name, editor, remark, tick, phrase count) and the "
    "total of the library LIB. A damaged library is shown as far as it can be read, with what "
    "was dropped, and exits 1.",
    {OPTION_JSON},
    1,
    1,
    &RunInfoCommand};
