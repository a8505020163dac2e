// wbk stats: a library's phrases counted by group, by length in characters
// and by frequency, in one pass over the store.
#include <ostream>
#include <string>
#include <vector>

#include "GbkText.h"
#include "JobCommands.h"
#include "CommandLine.h"
#include "JsonText.h"
#include "LibraryFiles.h"
#include "LibraryJson.h"
#include "Tabrix.h"

namespace {

struct tagCOUNTS {
  std::vector<uint64_t> arrByGroup;
  uint64_t arrByLength[TABRIX_MAX_PHRASE_LEN + 1] = {};  // characters
  uint64_t arrByFreq[256] = {};
  uint64_t nTotal = 0;
};

// Characters of a text: a lead byte and the byte after it are one.
uint32_t CharacterCount(const tagPHRASE2& p) {
  uint32_t n = 0;
  for (size_t i = 0; i < p.cLen; i += GbkCharLength(p.szWord, p.cLen, i)) ++n;
  return n;
}

void Count(CTabrix& lib, uint32_t group, tagCOUNTS* c) {
  c->arrByGroup.assign(lib.GetGroupCount(), 0);
  for (const tagSABLOCK<tagPHRASE2>* b = lib.m_arrPhrase.m_pFirst; b != nullptr; b = b->pNext) {
    for (uint32_t r = 0; r < b->nCount; ++r) {
      const tagPHRASE2& p = b->pItems[r];
      if (p.byGroup >= c->arrByGroup.size() || (group != TABRIX_NO_GROUP && p.byGroup != group)) {
        continue;
      }
      ++c->arrByGroup[p.byGroup];
      ++c->arrByLength[CharacterCount(p)];
      ++c->arrByFreq[p.byFreq];
      ++c->nTotal;
    }
  }
}

void PrintJson(const tagCLICONTEXT& ctx, const tagSTATSARGS& args, CTabrix& lib,
               const tagCOUNTS& c) {
  CJson json = CommandJson("stats");
  json["file"] = JsonTextPath(args.strLibrary);
  if (args.nGroup >= 0) json["group"] = args.nGroup;
  json["phrase_count"] = c.nTotal;
  CJson groups = CJson::array();
  for (uint32_t g = 0; g < c.arrByGroup.size(); ++g) {
    if (args.nGroup >= 0 && g != static_cast<uint32_t>(args.nGroup)) continue;
    CJson one = GroupJson(lib, g);
    one["phrase_count"] = c.arrByGroup[g];  // the phrases counted, whatever the header says
    groups.push_back(std::move(one));
  }
  json["groups"] = std::move(groups);
  CJson lengths = CJson::array();
  for (uint32_t n = 0; n <= TABRIX_MAX_PHRASE_LEN; ++n) {
    if (c.arrByLength[n] == 0) continue;
    CJson one;
    one["characters"] = n;
    one["phrase_count"] = c.arrByLength[n];
    lengths.push_back(std::move(one));
  }
  json["by_length"] = std::move(lengths);
  CJson freqs = CJson::array();
  for (uint32_t f = 0; f < 256; ++f) {
    if (c.arrByFreq[f] == 0) continue;
    CJson one;
    one["frequency"] = f;
    one["phrase_count"] = c.arrByFreq[f];
    freqs.push_back(std::move(one));
  }
  json["by_frequency"] = std::move(freqs);
  *ctx.pOut << JsonDump(json) << "\n";
}

void PrintText(const tagCLICONTEXT& ctx, const tagSTATSARGS& args, CTabrix& lib,
               const tagCOUNTS& c) {
  std::ostream& out = *ctx.pOut;
  out << "file: " << ShownPath(ctx, args.strLibrary) << "\n"
      << "phrases: " << c.nTotal << "\n"
      << "by group (index, name, phrases):\n";
  for (uint32_t g = 0; g < c.arrByGroup.size(); ++g) {
    if (args.nGroup >= 0 && g != static_cast<uint32_t>(args.nGroup)) continue;
    const tagGROUPINFO* info = lib.GetGroup(g);
    out << "  " << g << "\t" << Shown(ctx, info->szName, sizeof info->szName) << "\t"
        << c.arrByGroup[g] << "\n";
  }
  out << "by length (characters, phrases):\n";
  for (uint32_t n = 0; n <= TABRIX_MAX_PHRASE_LEN; ++n) {
    if (c.arrByLength[n]) out << "  " << n << "\t" << c.arrByLength[n] << "\n";
  }
  out << "by frequency (frequency, phrases):\n";
  for (uint32_t f = 0; f < 256; ++f) {
    if (c.arrByFreq[f]) out << "  " << f << "\t" << c.arrByFreq[f] << "\n";
  }
}

}  // namespace

int RunStats(const tagCLICONTEXT& ctx, const tagSTATSARGS& args) {
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, args.bSalvage ? DAMAGE_SALVAGE : DAMAGE_REFUSE)) {
    return EXIT_FAILED;
  }
  if (args.nGroup >= 0 && static_cast<uint32_t>(args.nGroup) >= lib.GetGroupCount()) {
    *ctx.pErr << "error: group " << args.nGroup << ": the library has " << lib.GetGroupCount()
              << " groups\n";
    return EXIT_FAILED;
  }
  tagCOUNTS counts;
  Count(lib, args.nGroup >= 0 ? static_cast<uint32_t>(args.nGroup) : TABRIX_NO_GROUP, &counts);
  if (args.bJson) {
    PrintJson(ctx, args, lib, counts);
  } else {
    PrintText(ctx, args, lib, counts);
  }
  return EXIT_DONE;
}

namespace {

int RunStatsCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagSTATSARGS args;
  args.strLibrary = line.GetArgs()[0];
  if (!GroupOption(ctx, line, "--group", &args.nGroup)) return EXIT_FAILED;
  args.bJson = line.Has("--json");
  args.bSalvage = line.Has("--salvage");
  if (RefuseSpecialFile(ctx, args.strLibrary)) return EXIT_FAILED;
  return RunStats(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kStatsCommand = {
    "stats",
    "LIB [--group N] [--json]",
    "a library's phrases counted",
    "Count the phrases of the library LIB (or of its group N) by group, by length in "
    "characters and by frequency.",
    {OPTION_GROUP, OPTION_JSON, OPTION_SALVAGE},
    1,
    1,
    &RunStatsCommand};
