// wbk info: the header and the group table of a library.
#include <cstdio>
#include <ostream>

#include "Commands.h"
#include "GbkText.h"
#include "JsonText.h"
#include "LoadReport.h"
#include "LibraryFiles.h"
#include "Tabrix.h"

namespace {

void PrintJson(const tagCLICONTEXT& ctx, const tagINFOARGS& args, const tagLOADREPORT& h,
               CTabrix& lib) {
  CJson groups = CJson::array();
  for (uint32_t g = 0; g < lib.GetGroupCount(); ++g) {
    const tagGROUPINFO* info = lib.GetGroup(g);
    CJson group;
    group["index"] = g;
    group["name"] = JsonTextGbk(FieldText(info->szName, sizeof info->szName));
    group["phrases"] = info->dwCount;
    group["ticked"] = info->bEnable != 0;
    group["editor"] = JsonTextGbk(FieldText(info->szEditor, sizeof info->szEditor));
    group["remark"] = JsonTextGbk(FieldText(info->szRemark, sizeof info->szRemark));
    groups.push_back(std::move(group));
  }
  CJson json;
  json["file"] = JsonTextPath(args.strLibrary);
  json["version"]["major"] = h.wMajor;
  json["version"]["minor"] = h.wMinor;
  json["stamp"] = h.dwStamp;
  json["groups"] = std::move(groups);
  json["total"] = lib.GetPhraseTotal();
  json["dropped"]["duplicate"] = h.nDropDuplicate;
  json["dropped"]["no_group"] = h.nDropNoGroup;
  json["dropped"]["bad_length"] = h.nDropBadLength;
  json["dropped"]["damaged"] = h.nDropDamaged;
  if (h.nStatus == LOAD_DAMAGED) {
    json["damage"] = JsonTextUtf8(DamageName(h.nDamage));
    json["announced"] = h.nAnnounced;
    json["recovered"] = h.nKept;
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
    *ctx.pErr << "warning: " << ShownPath(ctx, args.strLibrary) << ": " << DamageSummary(report)
              << "\n";
    return EXIT_WARNINGS;
  }
  return EXIT_DONE;
}
