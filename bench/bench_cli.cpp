// Two wbk commands over libraries of n phrases, each against a baseline run
// side by side in the same process:
// - `wbk merge a.wbk b.wbk -o OUT` against `wbk import a.txt b.txt -o OUT`, the
//   same phrases imported from their lists (target: at most 1.0x);
// - `wbk find LIB "" --json` (every phrase a hit) against the same find
//   written as text: time, and peak memory (Linux; target: at most 1.1x the
//   text's, the hits being written one at a time).
//
//   bench_cli [--rounds N] [--sizes a,b,...]
//
// The commands run through RunWbk as the tool runs them, their output going
// nowhere. Each figure is the median of the rounds; the exit status is 0 when
// every command did its work, whether the targets were met or not.
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "BenchMemory.h"
#include "BenchTexts.h"
#include "BenchTiming.h"
#include "Commands.h"
#include "Tabrix.h"
#include "TextEncoding.h"

namespace {

const double kMergeTarget = 1.0;
const double kFindMemoryTarget = 1.1;

// Output that goes nowhere, as to /dev/null.
class CNullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return c == EOF ? 0 : c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

int Wbk(const std::vector<std::string>& args) {
  CNullBuffer buffer;
  std::ostream out(&buffer), err(&buffer);
  tagCLICONTEXT ctx{&out, &err, CODEPAGE_UTF8, false};
  std::vector<const char*> argv{"wbk"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  return RunWbk(ctx, static_cast<int>(argv.size()), argv.data());
}

uint32_t PhraseTotal(const std::string& path) {
  CTabrix lib;
  return lib.Load(path.c_str()) == 1 ? lib.GetPhraseTotal() : 0;
}

struct tagTALLY {
  int nMet = 0;
  int nMissed = 0;
};

const char* Verdict(bool pass, tagTALLY& tally) {
  ++(pass ? tally.nMet : tally.nMissed);
  return pass ? "PASS" : "FAIL";
}

}  // namespace

int main(int argc, char** argv) {
  int nRounds = 3;
  std::vector<uint32_t> sizes{1000000};
  if (!ParseRoundsAndSizes(argc, argv, "bench_cli", &nRounds, &sizes)) return 2;
  const std::filesystem::path folder = MakeScratchFolder("bench_cli");
  if (folder.empty()) return 1;
  const std::string dir = folder.string();
  tagTALLY tally;
  for (uint32_t n : sizes) {
    // Two lists of their own (the generator is seeded by the count).
    const std::string listA = dir + "/a.txt", listB = dir + "/b.txt";
    const std::string libA = dir + "/a.wbk", libB = dir + "/b.wbk";
    if (!WriteFileText(listA, RandomPhraseList(n)) ||
        !WriteFileText(listB, RandomPhraseList(n + 1)) ||
        Wbk({"import", listA, "-o", libA, "--force"}) != 0 ||
        Wbk({"import", listB, "-o", libB, "--force"}) != 0) {
      fprintf(stderr, "bench_cli: cannot make the libraries of %u phrases\n", n);
      return 1;
    }
    const std::string imported = dir + "/imported.wbk", merged = dir + "/merged.wbk";
    std::vector<double> imports, merges, findText, findJson;
    for (int round = 0; round < nRounds; ++round) {
      int status = 0;
      imports.push_back(Seconds([&] {
        status |= Wbk({"import", listA, listB, "-o", imported, "--force"});
      }));
      merges.push_back(Seconds([&] {
        status |= Wbk({"merge", libA, libB, "-o", merged, "--force"});
      }));
      findText.push_back(Seconds([&] { status |= Wbk({"find", libA, ""}); }));
      findJson.push_back(Seconds([&] { status |= Wbk({"find", libA, "", "--json"}); }));
      if (status != 0) {
        fprintf(stderr, "bench_cli: a command failed at n = %u\n", n);
        return 1;
      }
    }
    const uint32_t total = PhraseTotal(merged);
    if (total == 0 || total != PhraseTotal(imported)) {
      fprintf(stderr, "bench_cli: merge and import disagree at n = %u\n", n);
      return 1;
    }
    const double peakText = PeakBytes([&] { return Wbk({"find", libA, ""}) == 0; });
    const double peakJson = PeakBytes([&] { return Wbk({"find", libA, "", "--json"}) == 0; });
    const double tImport = Median(imports), tMerge = Median(merges);
    const double tText = Median(findText), tJson = Median(findJson);
    printf("n = %u and %u (%u phrases together), median of %d rounds:\n", n, n + 1, total, nRounds);
    printf("  %-38s %9.1f ms\n", "import a.txt b.txt -o OUT (baseline)", tImport * 1000);
    printf("  %-38s %9.1f ms  %.2fx  <= %.1fx %s\n", "merge a.wbk b.wbk -o OUT", tMerge * 1000,
           tMerge / tImport, kMergeTarget, Verdict(tMerge / tImport <= kMergeTarget, tally));
    printf("  %-38s %9.1f ms", "find LIB \"\" (baseline)", tText * 1000);
    if (peakText > 0) printf("  peak %.1f MB", peakText / 1e6);
    printf("\n  %-38s %9.1f ms  %.2fx", "find LIB \"\" --json", tJson * 1000, tJson / tText);
    if (peakText > 0 && peakJson > 0) {
      printf("  peak %.1f MB  %.2fx  <= %.1fx %s", peakJson / 1e6, peakJson / peakText,
             kFindMemoryTarget, Verdict(peakJson / peakText <= kFindMemoryTarget, tally));
    }
    printf("\n");
    fflush(stdout);
    for (const std::string& f : {listA, listB, libA, libB, imported, merged}) {
      std::remove(f.c_str());
    }
  }
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  printf("targets: %d met, %d missed\n", tally.nMet, tally.nMissed);
  return 0;
}
