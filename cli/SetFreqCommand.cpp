// wbk set-freq: the frequencies of the phrases a list names, set through the
// store's own frequency edit, wherever the phrases are.
#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "CommandLine.h"
#include "JobCommands.h"
#include "LibraryFiles.h"
#include "LibraryJson.h"
#include "OutputRules.h"
#include "PhraseListInput.h"
#include "StoreWalk.h"
#include "Tabrix.h"
#include "Warnings.h"

namespace {

// Texts named one by one in a warning; the rest are only counted.
const size_t kNamedLimit = 20;
const uint32_t kMaxFreq = 250;

// The frequency field of a line: decimal digits with a value 0..250, ended
// by the line's end or a blank or tab (after which other columns, such as
// find's group, are passed over). Unlike an import, which takes what it can
// of any field, a frequency set on purpose is taken only when it says one.
bool ParseFrequency(const std::string& field, uint8_t* pFreq) {
  size_t i = 0;
  uint32_t value = 0;
  while (i < field.size() && field[i] >= '0' && field[i] <= '9') {
    value = value * 10 + uint32_t(field[i] - '0');
    if (value > kMaxFreq) return false;
    ++i;
  }
  if (i == 0 || (i < field.size() && field[i] != ' ' && field[i] != '\t')) return false;
  *pFreq = static_cast<uint8_t>(value);
  return true;
}

// "warning: N WHAT:" then the named texts and how many more there are.
void WarnTexts(const tagCLICONTEXT& ctx, const char* kind, size_t count, const char* what,
               const std::vector<std::string>& named) {
  std::string text = std::to_string(count) + " " + what + ":";
  for (const std::string& one : named) text += "\n  \"" + Shown(ctx, one) + "\"";
  if (count > named.size()) text += "\n  ... and " + std::to_string(count - named.size()) + " more";
  Warn(ctx, kind, text);
}

}  // namespace

int RunSetFreq(const tagCLICONTEXT& ctx, const tagSETFREQARGS& args) {
  CTabrix lib;
  if (!LoadLibraryFile(ctx, lib, args.strLibrary, args.bSalvage ? DAMAGE_SALVAGE : DAMAGE_REFUSE)) {
    return EXIT_FAILED;
  }
  std::vector<tagLISTEDPHRASE> listed;
  if (!ReadPhraseList(ctx, args.strPhrases, &listed)) return EXIT_FAILED;
  std::vector<std::string> texts;
  texts.reserve(listed.size());
  for (const tagLISTEDPHRASE& one : listed) texts.push_back(one.strText);
  const std::vector<uint32_t> positions = StorePositions(lib, texts);
  // (position, frequency) in the list's order: a text listed twice takes
  // its last frequency.
  std::vector<std::pair<uint32_t, uint8_t>> wanted;
  wanted.reserve(listed.size());
  std::vector<std::string> badNamed, missingNamed;
  size_t nBad = 0, nMissing = 0;
  for (size_t i = 0; i < listed.size(); ++i) {
    uint8_t freq = 0;
    if (!ParseFrequency(listed[i].strRest, &freq)) {
      if (nBad++ < kNamedLimit) badNamed.push_back(listed[i].strText + " " + listed[i].strRest);
    } else if (positions[i] == kNotStored) {
      if (nMissing++ < kNamedLimit) missingNamed.push_back(listed[i].strText);
    } else {
      wanted.emplace_back(positions[i], freq);
    }
  }
  std::stable_sort(wanted.begin(), wanted.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  // Each frequency's positions, to be set in one edit each.
  std::vector<std::vector<uint32_t>> byFreq(kMaxFreq + 1);
  size_t nSet = 0, nChanged = 0;
  CStoreWalk walk(lib);  // the positions ascend: the records are met in one pass
  for (size_t i = 0; i < wanted.size(); ++i) {
    if (i + 1 < wanted.size() && wanted[i + 1].first == wanted[i].first) continue;
    byFreq[wanted[i].second].push_back(wanted[i].first);
    ++nSet;
    while (walk.GetPosition() < wanted[i].first) walk.Advance();
    nChanged += walk.Get()->byFreq != wanted[i].second;
  }
  for (uint32_t f = 0; f <= kMaxFreq; ++f) {
    if (byFreq[f].empty()) continue;
    if (!lib.SetFrequencyAt(byFreq[f].data(), static_cast<uint32_t>(byFreq[f].size()), f)) {
      *ctx.pErr << "error: the frequencies could not be set\n";
      return EXIT_FAILED;
    }
  }
  if (!WriteLibraryOutput(ctx, lib, args.strOutput, args.bDryRun)) return EXIT_FAILED;
  if (args.bJson) {
    CJson json = CommandJson("set-freq");
    json["file"] = JsonTextPath(args.strLibrary);
    json["output"] = JsonTextPath(args.strOutput);
    json["dry_run"] = args.bDryRun;
    json["set_count"] = nSet;
    json["changed_count"] = nChanged;
    json["dropped"]["no_frequency"] = nBad;
    json["dropped"]["not_found"] = nMissing;
    SetLibraryJson(json, lib);
    *ctx.pOut << JsonDump(json) << "\n";
  } else {
    ReportStream(ctx, IsStandardStream(args.strOutput))
        << nSet << " phrases given their frequency, " << nChanged << " of them changed -> "
        << ShownPath(ctx, args.strOutput) << (args.bDryRun ? " (dry run: nothing written)" : "")
        << "\n";
  }
  if (nBad) {
    WarnTexts(ctx, "no frequency", nBad, "lines have no frequency 0..250 and are left out",
              badNamed);
  }
  if (nMissing) {
    WarnTexts(ctx, "not in the library", nMissing, "listed texts are not in the library",
              missingNamed);
  }
  return nBad || nMissing ? EXIT_WARNINGS : EXIT_DONE;
}

namespace {

int RunSetFreqCommand(const tagCLICONTEXT& ctx, const CCommandLine& line) {
  tagSETFREQARGS args;
  tagOUTPUTRULE rule;
  size_t next = 0;
  args.strLibrary = line.GetArgs()[0];
  if (!TakeOutput(ctx, line, "LIB --phrases LIST -o OUT [options]", &args.strOutput, &next,
                  &rule)) {
    return EXIT_FAILED;
  }
  if (next < line.GetArgs().size()) {
    return UsageError(ctx, line,
                      "too many arguments: \"" + line.GetArgs()[next] +
                          "\" is one more than set-freq takes (LIB [OUT] --phrases LIST)");
  }
  const std::string* list = line.Value("--phrases");
  if (list == nullptr) {
    return UsageError(ctx, line, "--phrases LIST is required: the texts and their frequencies");
  }
  args.strPhrases = *list;
  args.bSalvage = line.Has("--salvage");
  args.bJson = line.Has("--json");
  args.bDryRun = line.Has("--dry-run");
  rule.arrInputs = {args.strLibrary, args.strPhrases};
  const int nCheck = CheckEditRun(ctx, line, "set-freq", args.bJson, args.strOutput, rule);
  if (nCheck != EXIT_DONE) return nCheck;
  return RunSetFreq(ctx, args);
}

}  // namespace

extern const tagCOMMANDDEF kSetFreqCommand = {
    "set-freq",
    "LIB --phrases LIST -o OUT [options]\nLIB OUT.wbk --phrases LIST [options]",
    "the frequencies of phrases named in a list",
    "Give the phrases the list LIST names their frequencies, wherever they are, and write the "
    "library to OUT, which may be LIB itself. The list is read like an import (GBK, UTF-8 or "
    "UTF-16; '#' comments and '@' header lines passed over): the text, a blank or tab, and a "
    "frequency 0..250 per line, any further column passed over, so a list that export or find "
    "wrote will do; \"-\" reads it "
    "from the standard input. Texts not in the library and lines without a frequency are named "
    "in a warning (exit 1).",
    {{"--phrases", 0, "LIST", "the list of texts and frequencies (\"-\": the standard input)"},
     OPTION_OUTPUT,
     OPTION_FORCE,
     OPTION_DRY_RUN,
     OPTION_JSON,
     OPTION_SALVAGE},
    1,
    2,
    &RunSetFreqCommand};
