// What the editor's progress bar costs: a Load, a Save and an import
// (ImportNewGroup, as "导入新组" runs it) of n phrases, each timed with the
// editor's progress handlers wired to the main dialog's real progress bar,
// with no progress callback at all, with a callback that does nothing (what
// the calls alone cost), and with every step sent to the bar (the handlers as
// they were before the bar was throttled). Medians of the rounds;
// the editor's overhead over no progress must stay within 10 %.
//
//   bench_progress [--rounds N] [--sizes a,b,...] [--every-max N] [--show]
//
// --every-max N times the every-step variant only for n <= N (100000): under
// Wine each position sent costs tens of microseconds, minutes at 1,000,000.
// The dialog is created hidden (--show: visible, so that every position the
// bar takes is also painted). A Windows program: run it under Wine with
//   tools/wine-session.sh tools/wine-run.sh <build>/bench/bench_progress.exe
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchOptions.h"
#include "BenchTexts.h"
#include "BenchTiming.h"
#include "PhraseImport.h"
#include "TabrixDlg.h"

namespace {

const double kLimitPercent = 10.0;

struct Options {
  int nRounds = 5;
  std::vector<uint32_t> sizes{1000000};
  bool bShow = false;
  uint32_t nEveryMax = 100000;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--show") {
      options->bShow = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (arg == "--rounds") {
      options->nRounds = std::max(1, atoi(value.c_str()));
    } else if (arg == "--sizes") {
      if (!ParseSizeList(value, &options->sizes)) return false;
    } else if (arg == "--every-max") {
      options->nEveryMax = static_cast<uint32_t>(strtoul(value.c_str(), nullptr, 10));
    } else {
      return false;
    }
  }
  return true;
}

// A phrase-list text file of n distinct GBK phrases in random order.
bool WritePhraseList(const std::string& path, uint32_t n) {
  return WriteFileText(path, RandomPhraseList(n));
}

// The bar as it was driven before the throttle: every step sent (load,
// save and import alike: one shape of progress).
void EveryStepToBar(int32_t stage, int32_t value, void* data) {
  CProgressCtrl& bar = static_cast<CTabrixDlg*>(data)->m_ctrlProgress;
  if (stage == 0) {
    bar.SetRange32(0, value);
  } else if (stage == 1) {
    bar.SetPos(value);
  }
}

// A callback that does nothing: what the calls alone cost.
void NoProgress(int32_t, int32_t, void*) {}

enum Variant { NONE, EMPTY, EDITOR, EVERY, VARIANTS };
const char* const kVariantNames[VARIANTS] = {"no callback", "empty callback", "editor",
                                             "every step"};

struct tagTIMES {
  std::vector<double> seconds[VARIANTS];
};

class CBench {
 public:
  CBench(CTabrixDlg& dlg, const std::string& folder) : m_dlg(dlg), m_strFolder(folder) {}

  bool Run(uint32_t n, int nRounds, bool bEvery) {
    const std::string text = m_strFolder + "/bench-progress.txt";
    const std::string saved = m_strFolder + "/bench-progress.wbk";
    if (!WritePhraseList(text, n)) {
      fprintf(stderr, "bench_progress: cannot write %s\n", text.c_str());
      return false;
    }
    tagTIMES import, load, save;
    bool ok = true;
    for (int round = 0; round < nRounds && ok; ++round) {
      // Each round takes the variants in another order, so that a drift of
      // the machine's speed does not favour one of them.
      for (int k = 0; k < VARIANTS && ok; ++k) {
        const Variant v = static_cast<Variant>((round + k) % VARIANTS);
        if (v == EVERY && !bEvery) continue;
        ok &= TimeImport(v, text, n, &import);
        ok &= TimeSave(v, saved, &save);
        ok &= TimeLoad(v, saved, n, &load);
      }
    }
    std::remove(text.c_str());
    std::remove(saved.c_str());
    if (!ok) {
      fprintf(stderr, "bench_progress: a run at n = %u went wrong\n", n);
      return false;
    }
    RECT rect = {};
    m_dlg.m_ctrlProgress.GetClientRect(&rect);
    printf("n = %u, median of %d rounds, bar %ld px wide, dialog %s, one move of the bar %.1f us\n",
           n, nRounds, static_cast<long>(rect.right - rect.left),
           ::IsWindowVisible(m_dlg.m_hWnd) ? "shown" : "hidden", MoveMicroseconds());
    printf("  %-7s", "");
    for (const char* name : kVariantNames) printf(" %25s", name);
    printf("  editor within %.0f %%\n", kLimitPercent);
    bool pass = true;
    pass &= Print("import", import);
    pass &= Print("load", load);
    pass &= Print("save", save);
    fflush(stdout);
    return pass;
  }

 private:
  // Each variant's median and its overhead over no callback.
  static bool Print(const char* what, const tagTIMES& times) {
    const double none = Median(times.seconds[NONE]);
    printf("  %-7s", what);
    for (const std::vector<double>& seconds : times.seconds) {
      if (seconds.empty()) {
        printf(" %25s", "skipped");
      } else {
        const double median = Median(seconds);
        printf(" %10.1f ms (%+9.1f%%)", median * 1000, (median / none - 1) * 100);
      }
    }
    const bool pass = (Median(times.seconds[EDITOR]) / none - 1) * 100 <= kLimitPercent;
    printf("  %s\n", pass ? "PASS" : "FAIL");
    return pass;
  }

  // What one move of the bar costs: positions far apart, each a new filling.
  double MoveMicroseconds() {
    CProgressCtrl& bar = m_dlg.m_ctrlProgress;
    const int kMoves = 200;
    bar.SetRange32(0, kMoves);
    const double seconds = Seconds([&] {
      for (int i = 0; i < kMoves; ++i) bar.SetPos(i % 2 ? kMoves - i : i);
    });
    return seconds / kMoves * 1e6;
  }

  void Wire(Variant v) {
    const ProgressCallback callbacks[VARIANTS] = {nullptr, &NoProgress, &CTabrixDlg::ProgressToBar,
                                                  &EveryStepToBar};
    m_library.m_funProgress = callbacks[v];
    m_library.m_pProgressData = v == NONE ? nullptr : &m_dlg;
  }

  bool TimeImport(Variant v, const std::string& path, uint32_t n, tagTIMES* times) {
    m_library.Free();
    Wire(NONE);
    tagIMPORTOPTIONS options = DefaultImportOptions();
    const ProgressCallback callbacks[VARIANTS] = {nullptr, &NoProgress, &CTabrixDlg::ProgressToBar,
                                                  &EveryStepToBar};
    options.funProgress = callbacks[v];
    options.pProgressData = v == NONE ? nullptr : &m_dlg;
    uint8_t group = TABRIX_NO_GROUP;
    int result = 0;
    times->seconds[v].push_back(Seconds(
        [&] { result = ImportNewGroup(m_library, path.c_str(), options, &group, nullptr); }));
    return result == IMPORT_OK && m_library.m_arrPhrase.GetCount() == n;
  }

  // Saves the library of the last import.
  bool TimeSave(Variant v, const std::string& path, tagTIMES* times) {
    Wire(v);
    int result = 0;
    times->seconds[v].push_back(Seconds([&] { result = m_library.Save(path.c_str()); }));
    return result == 1;
  }

  bool TimeLoad(Variant v, const std::string& path, uint32_t n, tagTIMES* times) {
    Wire(v);
    int result = 0;
    times->seconds[v].push_back(Seconds([&] { result = m_library.Load(path.c_str()); }));
    return result == 1 && m_library.m_arrPhrase.GetCount() == n;
  }

  CTabrixDlg& m_dlg;
  std::string m_strFolder;
  CTabrix m_library;
};

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    fprintf(stderr,
            "usage: bench_progress [--rounds N] [--sizes a,b,...] [--every-max N] [--show]\n");
    return 2;
  }
  CTabrixDlg dlg;
  if (!dlg.Create()) {
    fprintf(stderr, "bench_progress: cannot create the main dialog\n");
    return 1;
  }
  ::ShowWindow(dlg.m_hWnd, options.bShow ? SW_SHOWNORMAL : SW_HIDE);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);

  std::error_code error;
  const std::string folder = std::filesystem::temp_directory_path(error).string();
  if (error) {
    fprintf(stderr, "bench_progress: no folder for scratch files\n");
    return 1;
  }
  CBench bench(dlg, folder);
  bool pass = true;
  for (uint32_t n : options.sizes) pass &= bench.Run(n, options.nRounds, n <= options.nEveryMax);
  ::DestroyWindow(dlg.m_hWnd);
  printf("%s: the editor's progress adds at most %.0f %% to each operation\n",
         pass ? "PASS" : "FAIL", kLimitPercent);
  return pass ? 0 : 1;
}
