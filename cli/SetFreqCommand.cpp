// wbk set-freq: the frequencies of the phrases a list names, set through the
// store's own frequency edit, wherever the phrases are.
#include <algorithm>
#include <cstring>
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
  // The lines with a frequency, as store records (text and frequency) in the
  // store's order; a text listed twice keeps its lines in the list's order.
  std::vector<tagPHRASE2> wanted;
  std::vector<size_t> lineOf;  // wanted[i]'s index in listed
  std::vector<std::string> badNamed, missingNamed;
  size_t nBad = 0;
  for (size_t i = 0; i < listed.size(); ++i) {
    tagPHRASE2 rec;
    std::memset(&rec, 0, sizeof rec);
    if (!ParseFrequency(listed[i].strRest, &rec.byFreq)) {
      if (nBad++ < kNamedLimit) badNamed.push_back(listed[i].strText + " " + listed[i].strRest);
      continue;
    }
    // A text too long for a record is in no library: it stays empty, and
    // empty is no text of the store either.
    if (listed[i].strText.size() <= TABRIX_MAX_PHRASE_LEN) {
      std::memcpy(rec.szWord, listed[i].strText.data(), listed[i].strText.size());
      rec.cLen = static_cast<uint8_t>(listed[i].strText.size());
    }
    wanted.push_back(rec);
    lineOf.push_back(i);
  }
  std::vector<size_t> order(wanted.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
    return ComparePhrase(&wanted[x], &wanted[y], nullptr) < 0;
  });
  // One pass over the store beside the sorted list: each frequency's
  // positions, to be set in one edit each.
  std::vector<std::vector<uint32_t>> byFreq(kMaxFreq + 1);
  std::vector<size_t> missingLines;
  size_t nSet = 0, nChanged = 0;
  CStoreWalk walk(lib);
  for (size_t k = 0; k < order.size(); ++k) {
    const tagPHRASE2& want = wanted[order[k]];
    // Of a text listed twice, the last line counts.
    if (k + 1 < order.size() && ComparePhrase(&want, &wanted[order[k + 1]], nullptr) == 0) {
      continue;
    }
    while (walk.Get() != nullptr && ComparePhrase(walk.Get(), &want, nullptr) < 0) walk.Advance();
    if (want.cLen == 0 || walk.Get() == nullptr || ComparePhrase(walk.Get(), &want, nullptr) != 0) {
      missingLines.push_back(lineOf[order[k]]);
      continue;
    }
    byFreq[want.byFreq].push_back(walk.GetPosition());
    ++nSet;
    nChanged += walk.Get()->byFreq != want.byFreq;
  }
  for (uint32_t f = 0; f <= kMaxFreq; ++f) {
    if (byFreq[f].empty()) continue;
    if (!lib.SetFrequencyAt(byFreq[f].data(), static_cast<uint32_t>(byFreq[f].size()), f)) {
      *ctx.pErr << "error: the frequencies could not be set\n";
      return EXIT_FAILED;
    }
  }
  // The texts not found are named in the list's order.
  std::sort(missingLines.begin(), missingLines.end());
  const size_t nMissing = missingLines.size();
  for (size_t i = 0; i < nMissing && i < kNamedLimit; ++i) {
    missingNamed.push_back(listed[missingLines[i]].strText);
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
  if (args.bJson && IsStandardStream(args.strOutput)) {
    return UsageError(ctx, line, "--json and -o - would both write to the standard output");
  }
  rule.arrInputs = {args.strLibrary, args.strPhrases};
  if (!CheckOutput(ctx, "set-freq", rule)) return EXIT_FAILED;
  for (const std::string& input : rule.arrInputs) {
    if (!IsStandardStream(input) && RefuseSpecialFile(ctx, input)) return EXIT_FAILED;
  }
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
