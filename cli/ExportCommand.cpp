// wbk export: groups as phrase lists in the import format, so that importing
// the files into an empty library gives the same groups back. Whatever the
// format cannot carry is named in a warning.
#include <cstdio>
#include <cstring>
#include <ostream>

#include "Commands.h"
#include "GbkText.h"
#include "LibraryFiles.h"
#include "GroupListWriter.h"
#include "ProgressBar.h"
#include "SafeSave.h"
#include "SaveError.h"
#include "Tabrix.h"
#include "TextEncoding.h"

namespace {

bool Utf8Line(const std::string& gbk, std::string* out) { return GbkToUtf8(gbk, out); }

struct tagSTEP {
  CProgressBar* pBar;
  uint64_t* pDone;
};

void StepBar(void* data) {
  tagSTEP* step = static_cast<tagSTEP*>(data);
  step->pBar->Update(++*step->pDone);
}

// "NNN-name.txt" when the name makes a short, safe file name, else "NNN.txt".
// The name itself travels in the @名称= line; the number keeps the groups'
// order when the files are imported in name order.
std::string FileNameFor(uint32_t g, const tagGROUPINFO& info) {
  char number[16];
  snprintf(number, sizeof number, "%03u", static_cast<unsigned>(g));
  std::string name = FieldText(info.szName, sizeof info.szName);
  // The title of the file name must fit a group name when it is imported.
  if (name.empty() || strlen(number) + 1 + name.size() >= TABRIX_NAME_FIELD) {
    return std::string(number) + ".txt";
  }
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsGbkLeadByte(c)) {
      ++i;  // the second byte of a GBK character is never a separator
    } else if (c < 0x20 || strchr("/\\:*?\"<>|.", c) != nullptr) {
      name[i] = '_';
    }
  }
  std::string converted;
  if (!ConvertCodePage(CODEPAGE_GBK, FileNameCodePage(), name, &converted)) {
    return std::string(number) + ".txt";
  }
  return std::string(number) + "-" + converted + ".txt";
}

void Warn(const tagCLICONTEXT& ctx, CTabrix& lib, uint32_t g, const tagGROUPLIST& ex) {
  const tagGROUPINFO* info = lib.GetGroup(g);
  std::string who =
      "group " + std::to_string(g) + " \"" + Shown(ctx, info->szName, sizeof info->szName) + "\"";
  for (const std::string& w : ex.arrHeaderWarnings)
    *ctx.pErr << "warning: " << who << ": " << w << "\n";
  const uint32_t skipped = ex.nLeftOut, high = ex.nHighFreq;
  if (skipped) {
    *ctx.pErr << "warning: " << who << ": " << skipped
              << " phrases cannot be carried by the text format and are left out";
  }
  if (high) {
    *ctx.pErr << (skipped ? "; " : "warning: " + who + ": ") << high
              << " phrases have a frequency above 250 and import as 250";
  }
  if (skipped || high) {
    *ctx.pErr << ":\n";
    for (const tagNAMEDPHRASE& named : ex.arrNamed) {
      *ctx.pErr << "  \"" << Shown(ctx, named.strText) << "\": " << named.pszReason << "\n";
    }
    if (skipped + high > ex.arrNamed.size()) {
      *ctx.pErr << "  ... and " << skipped + high - ex.arrNamed.size() << " more\n";
    }
  }
}

}  // namespace

int RunExport(const tagCLICONTEXT& ctx, const tagEXPORTARGS& args) {
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, args.bSalvage ? DAMAGE_SALVAGE : DAMAGE_REFUSE)) {
    return EXIT_FAILED;
  }
  uint32_t groups = lib.GetGroupCount();
  std::vector<uint32_t> chosen;
  if (args.nGroup >= 0) {
    if (static_cast<uint32_t>(args.nGroup) >= groups) {
      *ctx.pErr << "error: --group " << args.nGroup << ": the library has " << groups
                << " groups\n";
      return EXIT_FAILED;
    }
    chosen.push_back(static_cast<uint32_t>(args.nGroup));
  } else {
    for (uint32_t g = 0; g < groups; ++g) chosen.push_back(g);
  }
  if (args.strDir.empty() && chosen.size() != 1) {
    *ctx.pErr << "error: the library has " << groups
              << " groups; one file holds one group: choose one with --group N, or write all with "
                 "--dir DIR\n";
    return EXIT_FAILED;
  }
  if (!args.strDir.empty()) {
    if (!MakeFolder(args.strDir)) {
      *ctx.pErr << "error: " << ShownPath(ctx, args.strDir) << ": cannot create the folder\n";
      return EXIT_FAILED;
    }
  }
  bool utf8 = args.strEncoding == "utf-8";
  int status = EXIT_DONE;
  if (groups > TABRIX_MAX_GROUPS && args.nGroup < 0) {
    *ctx.pErr << "warning: the library holds " << groups << " groups; an import stops at "
              << TABRIX_MAX_GROUPS << "\n";
    status = EXIT_WARNINGS;
  }
  // The store is sorted by text; each group's phrases keep that order.
  std::vector<std::vector<uint32_t>> byGroup(groups);
  uint64_t total = 0;
  for (uint32_t i = 0; i < lib.m_arrPhrase.GetCount(); ++i) {
    uint8_t g = lib.m_arrPhrase.GetAt(i)->byGroup;
    if (g < groups && (args.nGroup < 0 || g == static_cast<uint32_t>(args.nGroup))) {
      byGroup[g].push_back(i);
      ++total;
    }
  }
  CProgressBar bar(ctx, "exporting");
  bar.Begin(total);
  uint64_t done = 0;
  for (uint32_t g : chosen) {
    tagGROUPLIST ex;
    tagSTEP step = {&bar, &done};
    WriteGroupList(lib, g, byGroup[g], utf8 ? &Utf8Line : nullptr, &StepBar, &step, &ex);
    std::vector<uint32_t>().swap(byGroup[g]);
    std::string target;
    if (!args.strDir.empty()) {
      target = JoinPath(args.strDir, FileNameFor(g, *lib.GetGroup(g)));
    } else {
      target = args.strOutput;
    }
    if (target.empty()) {
      ctx.pOut->write(ex.strText.data(), static_cast<std::streamsize>(ex.strText.size()));
      ctx.pOut->flush();
      if (!*ctx.pOut) {
        bar.End();
        *ctx.pErr << "error: cannot write to the standard output\n";
        return EXIT_FAILED;
      }
    } else if (const int nError =
                   SaveBytesSafely(target.c_str(), ex.strText.data(), ex.strText.size())) {
      // Written like a library: an export over an earlier file never costs it.
      bar.End();
      *ctx.pErr << "error: " << ShownPath(ctx, target)
                << ": cannot be written: " << SaveErrorText(nError) << "\n";
      return EXIT_FAILED;
    }
    bar.End();
    if (!target.empty()) {
      *ctx.pOut << "group " << g << " -> " << ShownPath(ctx, target) << ": " << ex.nWritten
                << " phrases\n";
    }
    if (ex.HasWarnings()) {
      Warn(ctx, lib, g, ex);
      status = EXIT_WARNINGS;
    }
  }
  return status;
}
