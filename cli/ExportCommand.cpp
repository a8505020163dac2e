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
#include "CommandLine.h"
#include "LibraryJson.h"
#include "OutputRules.h"
#include "Warnings.h"

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

void WarnGroup(const tagCLICONTEXT& ctx, CTabrix& lib, uint32_t g, const tagGROUPLIST& ex) {
  const tagGROUPINFO* info = lib.GetGroup(g);
  std::string who =
      "group " + std::to_string(g) + " \"" + Shown(ctx, info->szName, sizeof info->szName) + "\"";
  for (const std::string& w : ex.arrHeaderWarnings) Warn(ctx, "group header", who + ": " + w);
  const uint32_t skipped = ex.nLeftOut, high = ex.nHighFreq;
  if (!skipped && !high) return;
  std::string text = who + ": ";
  if (skipped) {
    text +=
        std::to_string(skipped) + " phrases cannot be carried by the text format and are left out";
  }
  if (high) {
    text += (skipped ? "; " : "") + std::to_string(high) +
            " phrases have a frequency above 250 and import as 250";
  }
  text += ":";
  for (const tagNAMEDPHRASE& named : ex.arrNamed) {
    text += "\n  \"" + Shown(ctx, named.strText) + "\": " + named.pszReason;
  }
  if (skipped + high > ex.arrNamed.size()) {
    text += "\n  ... and " + std::to_string(skipped + high - ex.arrNamed.size()) + " more";
  }
  Warn(ctx, "phrases not carried", text);
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
  // Every file to write, each checked before anything is written.
  std::vector<std::string> targets;
  for (uint32_t g : chosen) {
    targets.push_back(args.strDir.empty()
                          ? args.strOutput
                          : JoinPath(args.strDir, FileNameFor(g, *lib.GetGroup(g))));
    tagOUTPUTRULE rule;
    rule.strPath = targets.back();
    rule.nKind = OUTPUT_TEXT;
    rule.arrInputs = {args.strLibrary};
    rule.bForce = args.bForce;
    if (!targets.back().empty() && !CheckOutput(ctx, "export", rule)) return EXIT_FAILED;
  }
  if (!args.strDir.empty() && !args.bDryRun) {
    if (!MakeFolder(args.strDir)) {
      *ctx.pErr << "error: " << ShownPath(ctx, args.strDir) << ": cannot create the folder\n";
      return EXIT_FAILED;
    }
  }
  bool utf8 = args.strEncoding == "utf-8";
  int status = EXIT_DONE;
  if (groups > TABRIX_MAX_GROUPS && args.nGroup < 0) {
    Warn(ctx, "too many groups",
         "the library holds " + std::to_string(groups) + " groups; an import stops at " +
             std::to_string(TABRIX_MAX_GROUPS));
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
  // The list itself on the standard output: the report goes to the error stream.
  const bool toStdout =
      args.strDir.empty() && (args.strOutput.empty() || IsStandardStream(args.strOutput));
  std::ostream& report = ReportStream(ctx, toStdout);
  CJson written = CJson::array();
  CProgressBar bar(ctx, "exporting");
  bar.Begin(total);
  uint64_t done = 0;
  for (size_t k = 0; k < chosen.size(); ++k) {
    const uint32_t g = chosen[k];
    tagGROUPLIST ex;
    tagSTEP step = {&bar, &done};
    WriteGroupList(lib, g, byGroup[g], utf8 ? &Utf8Line : nullptr, &StepBar, &step, &ex);
    std::vector<uint32_t>().swap(byGroup[g]);
    const std::string& target = targets[k];
    if (args.bDryRun) {
      // Nothing is written, not even to the standard output.
    } else if (toStdout) {
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
    if (args.bJson) {
      CJson group = GroupJson(lib, g);
      group["output"] = JsonTextPath(toStdout ? std::string("-") : target);
      group["written_count"] = ex.nWritten;
      group["dropped"]["not_in_text_format"] = ex.nLeftOut;
      group["frequency_above_250_count"] = ex.nHighFreq;
      written.push_back(std::move(group));
    } else if (!toStdout || args.bDryRun) {
      report << "group " << g << " -> " << (toStdout ? std::string("-") : ShownPath(ctx, target))
             << ": " << ex.nWritten << " phrases"
             << (args.bDryRun ? " (dry run: nothing written)" : "") << "\n";
    }
    if (ex.HasWarnings()) {
      WarnGroup(ctx, lib, g, ex);
      status = EXIT_WARNINGS;
    }
  }
  if (args.bJson) {
    CJson json = CommandJson("export");
    json["file"] = JsonTextPath(args.strLibrary);
    json["dry_run"] = args.bDryRun;
    json["groups"] = std::move(written);
    *ctx.pOut << JsonDump(json) << "\n";
  }
  return status;
}

namespace {

int RunExportCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagEXPORTARGS args;
  args.strLibrary = line.GetArgs()[0];
  if (!GroupOption(ctx, line, "--group", &args.nGroup)) return EXIT_FAILED;
  if (const std::string* out = line.Value("--output")) args.strOutput = *out;
  if (const std::string* dir = line.Value("--dir")) args.strDir = *dir;
  if (line.Has("--output") && line.Has("--dir")) {
    return UsageError(ctx, line, "-o and --dir exclude each other: one file, or one per group");
  }
  if (!ChoiceOption(ctx, line, "--encoding", {"gbk", "utf-8"}, &args.strEncoding)) {
    return EXIT_FAILED;
  }
  args.bSalvage = line.Has("--salvage");
  args.bJson = line.Has("--json");
  args.bDryRun = line.Has("--dry-run");
  args.bForce = line.Has("--force");
  if (args.bJson && args.strDir.empty() &&
      (args.strOutput.empty() || IsStandardStream(args.strOutput)) && !args.bDryRun) {
    return UsageError(ctx, line,
                      "--json and the list would both go to the standard output; name the "
                      "file with -o FILE or the folder with --dir DIR");
  }
  if (RefuseSpecialFile(ctx, args.strLibrary)) return EXIT_FAILED;
  return RunExport(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kExportCommand = {
    "export",
    "LIB [--group N] [-o FILE | --dir DIR] [options]",
    "groups as phrase lists in the import format",
    "Write groups of the library LIB as phrase lists in the import format (header lines, then "
    "text<TAB>frequency per phrase), so that importing them gives the groups back. One group "
    "goes to -o FILE, or to the standard output without -o (or with -o -); --dir DIR writes "
    "each group to DIR/NNN-name.txt (NNN: the group's index). Tick flags are not carried; "
    "anything else that the text format cannot carry is named in a warning. An export never "
    "writes over a library (but with --force).",
    {OPTION_GROUP,
     {"--output", 'o', "FILE", "write the one group to this file (\"-\": the standard output)"},
     {"--dir", 0, "DIR", "write each group to DIR/NNN-name.txt"},
     {"--encoding", 0, "E", "encoding of the text written: gbk (the default) or utf-8"},
     OPTION_FORCE,
     OPTION_DRY_RUN,
     OPTION_JSON,
     OPTION_SALVAGE},
    1,
    1,
    &RunExportCommand};
