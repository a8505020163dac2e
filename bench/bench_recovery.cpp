// What the editor's recovery file costs the window, as ratios against a
// baseline run side by side: the plain save of the same library (CTabrix::Save,
// flushed to the disk), which is what the window would wait for if it wrote
// the recovery file itself.
//
//   bench_recovery [--rounds N] [--sizes a,b,...]   (default 5 rounds, 1,000,000)
//
// The window pays for a copy of the library (CTabrix::CopyFrom) and the start
// of the writer thread; the thread writes the copy (CRecoveryFile::Write).
// Target: the window's share at most 0.5x the plain save.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "BenchTexts.h"
#include "BenchTiming.h"
#include "RecoveryFiles.h"
#include "SaveError.h"
#include "Tabrix.h"

namespace {

// Random texts of 2 to 6 characters in two groups, the same for each size.
void FillLibrary(CTabrix& lib, uint32_t n) {
  std::mt19937 rng(n);
  std::vector<std::string> texts;
  FillTwoGroupLibrary(lib, n, rng, &texts);
}

}  // namespace

int main(int argc, char** argv) {
  int nRounds = 5;
  std::vector<uint32_t> sizes{1000000};
  if (!ParseRoundsAndSizes(argc, argv, "bench_recovery", &nRounds, &sizes)) return 2;
  const std::filesystem::path folder = MakeScratchFolder("tabrix-bench-recovery");
  if (folder.empty()) return 1;
  const std::string plainPath = (folder / "plain.wbk").string();
  int nFail = 0;
  bool ok = true;
  for (uint32_t n : sizes) {
    CTabrix lib;
    FillLibrary(lib, n);
    CRecoveryFile file;
    ok &= file.Create((folder / "Recovery").string());
    std::vector<double> save, copy, window, write;
    for (int r = 0; r < nRounds && ok; ++r) {
      save.push_back(Seconds([&] { ok &= lib.Save(plainPath.c_str()) == 1; }));
      // The copy alone, into a new library each time as the editor makes it.
      {
        CTabrix fresh;
        copy.push_back(Seconds([&] { ok &= fresh.CopyFrom(lib) == 1; }));
      }
      // The editor's road: the window copies and starts the writer, which
      // writes the copy while the window goes on.
      std::unique_ptr<CTabrix> pCopy;
      std::thread writer;
      double dWrite = 0;
      window.push_back(Seconds([&] {
        pCopy.reset(new CTabrix);
        ok &= pCopy->CopyFrom(lib) == 1;
        writer = std::thread(
            [&] { dWrite = Seconds([&] { ok &= file.Write(*pCopy) == SAVE_ERROR_NONE; }); });
      }));
      writer.join();
      write.push_back(dWrite);
    }
    if (!ok) break;
    const double b = Median(save);
    std::printf("n = %u phrases (median of %d rounds; ratio to the plain save)\n",
                lib.m_arrPhrase.GetCount(), nRounds);
    std::printf("  %-52s %9.1f ms  1.00x\n", "baseline: CTabrix::Save, flushed", b * 1e3);
    std::printf("  %-52s %9.1f ms  %5.2fx\n", "writer thread: the copy written (recovery file)",
                Median(write) * 1e3, Median(write) / b);
    std::printf("  %-52s %9.1f ms  %5.2fx\n", "the copy alone (CTabrix::CopyFrom)",
                Median(copy) * 1e3, Median(copy) / b);
    const double w = Median(window);
    const bool pass = w <= 0.5 * b;
    nFail += pass ? 0 : 1;
    std::printf("  %-52s %9.1f ms  %5.2fx  <= 0.50x %s\n",
                "the window's wait: copy and the writer's start", w * 1e3, w / b,
                pass ? "PASS" : "FAIL");
    file.RemoveFile();
  }
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  if (!ok) {
    std::fprintf(stderr, "bench_recovery: a step failed\n");
    return 1;
  }
  return nFail == 0 ? 0 : 1;
}
