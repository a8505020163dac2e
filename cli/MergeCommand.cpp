// wbk merge: the groups of several libraries appended in order into one, each
// library's phrases merged into the store in one pass (the first text wins),
// counts rebuilt.
#include <cstring>
#include <ostream>
#include <vector>

#include "Commands.h"
#include "GbkText.h"
#include "LibraryFiles.h"
#include "LoadReport.h"
#include "PhraseRun.h"
#include "ProgressBar.h"
#include "Tabrix.h"
#include "CommandLine.h"
#include "LibraryJson.h"
#include "OutputRules.h"
#include "Warnings.h"

namespace {

// A field of a loaded group as AddGroup takes it: NUL-terminated and short
// enough. A field without terminator (written elsewhere) is cut after its last
// whole character. *pCut tells whether that happened.
std::string GroupText(const char* field, uint32_t width, bool* pCut) {
  std::string text = FieldText(field, width);
  const size_t kept = GbkWholeCharsWithin(text.data(), text.size(), width - 1);
  *pCut = *pCut || kept != text.size();
  text.resize(kept);
  return text;
}

// A loaded library's phrases in store order (ascending texts, each once),
// their groups given their new indexes, the progress bar moving as they go.
class CLibraryRun : public CPhraseRun {
 public:
  CLibraryRun(CTabrix& lib, const std::vector<uint8_t>& remap, CProgressBar& bar)
      : m_remap(remap), m_bar(bar), m_pBlock(lib.m_arrPhrase.m_pFirst) {}
  bool Next(tagPHRASE2* pOut) override {
    while (m_pBlock != nullptr && m_nItem == m_pBlock->nCount) {
      m_pBlock = m_pBlock->pNext;
      m_nItem = 0;
      m_bar.Update(m_nDone);
    }
    if (m_pBlock == nullptr) return false;
    *pOut = m_pBlock->pItems[m_nItem++];
    ++m_nDone;
    // A record of no group of its library (the loader keeps none) names no
    // group here either, and the merge drops it.
    pOut->byGroup = pOut->byGroup < m_remap.size() ? m_remap[pOut->byGroup]
                                                   : static_cast<uint8_t>(TABRIX_NO_GROUP);
    return true;
  }

 private:
  const std::vector<uint8_t>& m_remap;
  CProgressBar& m_bar;
  const tagSABLOCK<tagPHRASE2>* m_pBlock;
  uint32_t m_nItem = 0;
  uint64_t m_nDone = 0;
};

}  // namespace

int RunMerge(const tagCLICONTEXT& ctx, const tagMERGEARGS& args) {
  CTabrix out;
  int status = EXIT_DONE;
  std::ostream& report = ReportStream(ctx, IsStandardStream(args.strOutput));
  std::string reportText;  // told once the library is saved
  CJson files = CJson::array();
  for (const std::string& path : args.arrInputs) {
    CTabrix in;
    tagLOADREPORT report;
    if (!LoadLibraryFile(ctx, in, path, args.bSalvage ? DAMAGE_SALVAGE : DAMAGE_REFUSE, &report)) {
      return EXIT_FAILED;
    }
    if (report.nStatus == LOAD_DAMAGED) status = EXIT_WARNINGS;  // salvaged
    uint32_t have = out.GetGroupCount(), adding = in.GetGroupCount();
    if (have + adding > TABRIX_MAX_GROUPS) {
      *ctx.pErr << "error: merge refused: with the " << adding << " groups of "
                << ShownPath(ctx, path) << " the library would hold " << have + adding
                << " groups, at most " << TABRIX_MAX_GROUPS
                << " are allowed; nothing was written\n";
      return EXIT_FAILED;
    }
    // The new index of each group of this input.
    std::vector<uint8_t> remap(adding);
    for (uint32_t g = 0; g < adding; ++g) {
      const tagGROUPINFO* info = in.GetGroup(g);
      bool cut = false;
      std::string name = GroupText(info->szName, sizeof info->szName, &cut);
      std::string editor = GroupText(info->szEditor, sizeof info->szEditor, &cut);
      std::string remark = GroupText(info->szRemark, sizeof info->szRemark, &cut);
      uint8_t index = out.AddGroup(name.c_str(), editor.c_str(), remark.c_str());
      if (index == TABRIX_NO_GROUP) {
        *ctx.pErr << "error: out of memory while merging " << ShownPath(ctx, path) << "\n";
        return EXIT_FAILED;
      }
      out.GetGroup(index)->bEnable = info->bEnable;
      remap[g] = index;
      if (cut) {
        Warn(ctx, "field cut",
             ShownPath(ctx, path) + ": group " + std::to_string(g) +
                 ": a text without terminator was cut to its field");
        status = EXIT_WARNINGS;
      }
    }
    const uint32_t phrases = in.m_arrPhrase.GetCount();
    uint32_t added = 0;
    CProgressBar bar(ctx, "merging");
    bar.Begin(phrases);
    CLibraryRun run(in, remap, bar);
    if (!out.MergeRun(run, &added, nullptr)) {
      bar.End();
      *ctx.pErr << "error: out of memory while merging " << ShownPath(ctx, path) << "\n";
      return EXIT_FAILED;
    }
    bar.End();
    reportText += ShownPath(ctx, path) + ": " + std::to_string(adding) + " groups";
    if (adding) {
      reportText +=
          " (now " + std::to_string(remap.front()) + ".." + std::to_string(remap.back()) + ")";
    }
    reportText += ", " + std::to_string(added) + " phrases added, " +
                  std::to_string(phrases - added) + " already present\n";
    CJson file;
    file["file"] = JsonTextPath(path);
    CJson groups = CJson::array();
    for (uint8_t g : remap) groups.push_back(GroupJson(out, g));
    file["groups"] = std::move(groups);
    file["added_count"] = added;
    file["dropped"]["duplicate"] = phrases - added;
    files.push_back(std::move(file));
  }
  if (!WriteLibraryOutput(ctx, out, args.strOutput, args.bDryRun)) return EXIT_FAILED;
  if (args.bJson) {
    CJson json = CommandJson("merge");
    json["output"] = JsonTextPath(args.strOutput);
    json["dry_run"] = args.bDryRun;
    json["files"] = std::move(files);
    SetLibraryJson(json, out);
    *ctx.pOut << JsonDump(json) << "\n";
    return status;
  }
  report << reportText << ShownPath(ctx, args.strOutput) << ": " << out.GetGroupCount()
         << " groups, " << out.GetPhraseTotal() << " phrases"
         << (args.bDryRun ? " (dry run: nothing written)" : "") << "\n";
  return status;
}

namespace {

int RunMergeCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagMERGEARGS args;
  std::vector<std::string> files = line.GetArgs();
  tagOUTPUTRULE rule;
  if (const std::string* out = line.Value("--output")) {
    args.strOutput = *out;
  } else if (files.size() >= 2) {
    args.strOutput = files.front();  // the older form: OUT first
    files.erase(files.begin());
    rule.bByPosition = true;
  } else {
    return UsageError(ctx, line,
                      "no library to write: name it with -o FILE (wbk merge LIB... -o OUT)");
  }
  args.arrInputs = files;
  args.bSalvage = line.Has("--salvage");
  args.bJson = line.Has("--json");
  args.bDryRun = line.Has("--dry-run");
  if (args.bJson && IsStandardStream(args.strOutput)) {
    return UsageError(ctx, line, "--json and -o - would both write to the standard output");
  }
  rule.strPath = args.strOutput;
  rule.arrInputs = args.arrInputs;
  rule.bForce = line.Has("--force");
  if (!CheckOutput(ctx, "merge", rule)) return EXIT_FAILED;
  for (const std::string& input : args.arrInputs) {
    if (RefuseSpecialFile(ctx, input)) return EXIT_FAILED;
  }
  return RunMerge(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kMergeCommand = {
    "merge",
    "LIB... -o OUT [options]\nOUT.wbk LIB... [options]",
    "the groups of several libraries into one",
    "Append the groups of the libraries LIB, in order, into one library written to OUT (at most "
    "127 groups); a text already present keeps its first group and frequency. OUT may not be "
    "one of the libraries read; an existing library OUT is replaced only with --force.",
    {OPTION_OUTPUT, OPTION_FORCE, OPTION_DRY_RUN, OPTION_JSON, OPTION_SALVAGE},
    1,
    SIZE_MAX,
    &RunMergeCommand};
