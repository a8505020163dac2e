// wbk merge: the groups of several libraries appended in order into one, the
// phrases added as the loader adds them (the first text wins), counts rebuilt.
#include <cstring>
#include <ostream>

#include "Commands.h"
#include "GbkText.h"
#include "LibraryFiles.h"
#include "LoadReport.h"
#include "ProgressBar.h"
#include "Tabrix.h"

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

}  // namespace

int RunMerge(const tagCLICONTEXT& ctx, const tagMERGEARGS& args) {
  CTabrix out;
  int status = EXIT_DONE;
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
        *ctx.pErr << "warning: " << ShownPath(ctx, path) << ": group " << g
                  << ": a text without terminator was cut to its field\n";
        status = EXIT_WARNINGS;
      }
    }
    uint32_t phrases = in.m_arrPhrase.GetCount(), added = 0;
    CProgressBar bar(ctx, "merging");
    bar.Begin(phrases);
    for (uint32_t i = 0; i < phrases; ++i) {
      const tagPHRASE2* p = in.m_arrPhrase.GetAt(i);
      // The loaded store holds only phrases of its groups, but stay safe.
      if (p->byGroup < adding &&
          out.AddPhrase(p->szWord, p->cLen, p->byFreq, 0, remap[p->byGroup])) {
        ++added;
      }
      bar.Update(i + 1);
    }
    bar.End();
    *ctx.pOut << ShownPath(ctx, path) << ": " << adding << " groups";
    if (adding) {
      *ctx.pOut << " (now " << static_cast<unsigned>(remap.front()) << ".."
                << static_cast<unsigned>(remap.back()) << ")";
    }
    *ctx.pOut << ", " << added << " phrases added, " << phrases - added << " already present\n";
  }
  if (!SaveLibraryFile(ctx, out, args.strOutput)) return EXIT_FAILED;
  *ctx.pOut << ShownPath(ctx, args.strOutput) << ": " << out.GetGroupCount() << " groups, "
            << out.GetPhraseTotal() << " phrases\n";
  return status;
}
