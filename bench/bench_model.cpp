// Speed and memory of the phrase store, the library file and the text import,
// as ratios against a plain baseline run side by side: the same records read
// from the library file into a std::vector, then std::sort and std::unique.
//
//   bench_model [--rounds N] [--sizes a,b,...] [--random-max N]
//
// Each figure is the median of the rounds. Peak memory (Linux) is the growth
// of the resident set while one operation runs in a child process of its own,
// after the inherited heap was handed back to the system. --random-max N
// measures AddPhrase in random order only for n <= N (default 100000); that
// case grows much faster than n.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "BenchMemory.h"  // defines TABRIX_BENCH_POSIX on Linux

#if TABRIX_BENCH_POSIX
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "BenchOptions.h"
#include "BenchTiming.h"
#include "PhraseImport.h"
#include "FileHeader.h"
#include "FileIO.h"
#include "GroupRecord.h"
#include "Tabrix.h"

namespace {

const int kGroups = 8;

struct Options {
  int nRounds = 5;
  std::vector<uint32_t> sizes{100000, 1000000};
  uint64_t nRandomMax = 100000;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (arg == "--rounds") {
      options->nRounds = std::max(1, atoi(value.c_str()));
    } else if (arg == "--sizes") {
      if (!ParseSizeList(value, &options->sizes)) return false;
    } else if (arg == "--random-max") {
      options->nRandomMax = strtoull(value.c_str(), nullptr, 10);
    } else {
      return false;
    }
  }
  return true;
}

// n distinct GBK texts of 2 to 8 characters (lead B0-F7, trail A1-FE), with
// random groups and frequencies, in random order.
std::vector<tagPHRASE2> MakePhrases(uint32_t n, std::mt19937& rng) {
  std::uniform_int_distribution<int> chars(2, 8), lead(0xB0, 0xF7), trail(0xA1, 0xFE);
  std::unordered_set<std::string> seen;
  seen.reserve(n * 2);
  std::vector<tagPHRASE2> phrases;
  phrases.reserve(n);
  while (phrases.size() < n) {
    std::string text;
    for (int c = chars(rng); c > 0; --c) {
      text.push_back(char(lead(rng)));
      text.push_back(char(trail(rng)));
    }
    if (!seen.insert(text).second) continue;
    tagPHRASE2 p;
    memset(&p, 0, sizeof(p));
    p.byGroup = uint8_t(rng() % kGroups);
    p.byFreq = uint8_t(rng() % 251);
    p.cLen = uint8_t(text.size());
    memcpy(p.szWord, text.data(), text.size());
    phrases.push_back(p);
  }
  return phrases;
}

// The phrases as a phrase-list text file in their random order, "text<TAB>
// frequency" per line, with one line in a hundred repeating an earlier text.
bool WritePhraseList(const std::string& path, const std::vector<tagPHRASE2>& phrases,
                     std::mt19937& rng) {
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return false;
  for (size_t i = 0; i < phrases.size(); ++i) {
    fprintf(file, "%s\t%u\n", phrases[i].szWord, phrases[i].byFreq);
    if (i > 0 && rng() % 100 == 0) fprintf(file, "%s\t1\n", phrases[rng() % i].szWord);
  }
  return fclose(file) == 0;
}

void AddGroups(CTabrix& library) {
  for (int g = 0; g < kGroups; ++g)
    library.AddGroup(("group " + std::to_string(g)).c_str(), "bench", "");
}

void AddAll(CTabrix& library, const std::vector<tagPHRASE2>& phrases) {
  for (const tagPHRASE2& p : phrases) library.AddPhrase(p.szWord, p.cLen, p.byFreq, 1, p.byGroup);
}

// The baseline: the phrase records of a saved file read into a vector, as
// many as the group counts announce, then sorted and made unique.
size_t BaselineReadSortUnique(const std::string& path) {
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return 0;
  std::vector<tagPHRASE2> records;
  uint8_t nGroups = 0;
  uint64_t nTotal = 0;
  bool ok = fseek(file, TABRIX_HEADER_SIZE, SEEK_SET) == 0 && fread(&nGroups, 1, 1, file) == 1;
  tagGROUPINFO group;
  for (int g = 0; ok && g < nGroups; ++g) {
    ok = fread(&group, sizeof(group), 1, file) == 1;
    nTotal += group.dwCount;
  }
  ok = ok && fseek(file, 4, SEEK_CUR) == 0;
  if (ok) records.reserve(nTotal);
  tagPHRASE2 p;
  for (uint64_t i = 0; ok && i < nTotal; ++i) {
    memset(&p, 0, sizeof(p));
    ok = fread(&p, 1, 3, file) == 3 && p.cLen <= 30 && fread(p.szWord, 1, p.cLen, file) == p.cLen;
    if (ok) records.push_back(p);
  }
  fclose(file);
  auto less = [](const tagPHRASE2& a, const tagPHRASE2& b) {
    return ComparePhrase(&a, &b, nullptr) < 0;
  };
  auto equal = [](const tagPHRASE2& a, const tagPHRASE2& b) {
    return ComparePhrase(&a, &b, nullptr) == 0;
  };
  std::sort(records.begin(), records.end(), less);
  records.erase(std::unique(records.begin(), records.end(), equal), records.end());
  return records.size();
}

// The phrases as a library file in their random order (a file written by
// another program, or edited by hand): what Load must still read in n log n.
bool WriteRandomOrderLibrary(const std::string& path, const std::vector<tagPHRASE2>& phrases) {
  CFileWriter file;
  if (!file.Open(path.c_str()) ||
      !WriteFileHeader(file, TABRIX_FILE_TYPE, TABRIX_FILE_MAJOR, TABRIX_FILE_MINOR, 0, nullptr))
    return false;
  uint32_t counts[kGroups] = {};
  for (const tagPHRASE2& p : phrases) ++counts[p.byGroup];
  bool ok = file.WriteByte(kGroups);
  for (int g = 0; g < kGroups; ++g) {
    tagGROUPINFO group;
    memset(&group, 0, sizeof(group));
    snprintf(group.szName, sizeof(group.szName), "group %d", g);
    group.dwCount = counts[g];
    uint8_t record[TABRIX_GROUP_RECORD_SIZE];
    EncodeGroupRecord(group, record);
    ok &= file.Write(record, sizeof(record));
  }
  uint32_t nBytes = 0;
  for (const tagPHRASE2& p : phrases) nBytes += TABRIX_PHRASE_HEAD_SIZE + p.cLen;
  ok &= file.WriteU32(nBytes);
  for (const tagPHRASE2& p : phrases) {
    uint8_t head[TABRIX_PHRASE_HEAD_SIZE];
    EncodePhraseHead(p, head);
    ok &= file.Write(head, sizeof(head)) && file.Write(p.szWord, p.cLen);
  }
  uint32_t nOffset = 0;
  for (const tagPHRASE2& p : phrases) {
    ok &= file.WriteU32(nOffset);
    nOffset += TABRIX_PHRASE_HEAD_SIZE + p.cLen;
  }
  return file.Close() && ok;
}

#if TABRIX_BENCH_POSIX
// The physical floor of a save: the same bytes to a fresh file with one
// write and one fsync.
bool WriteAndSync(const std::string& path, const std::vector<uint8_t>& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ok = fsync(fd) == 0 && ok;
  return close(fd) == 0 && ok;
}
#endif

// Puts every file written so far on the disk, so that a timed save or floor
// does not also wait for the writes of the steps before it (the sorted list
// of `sort -u` is some megabytes that the next journal commit would carry).
void SettleWrites() {
#if TABRIX_BENCH_POSIX
  sync();
#endif
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* file = fopen(path.c_str(), "rb");
  if (!file) return bytes;
  uint8_t chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof(chunk), file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + n);
  fclose(file);
  return bytes;
}

// The text file into an empty library as "导入新组" does; true when all n
// distinct texts arrived.
bool ImportIntoEmpty(const std::string& path, uint32_t n) {
  CTabrix library;
  tagIMPORTSTATS stats = {};
  const int result = ImportNewGroup(library, path.c_str(), DefaultImportOptions(), nullptr, &stats);
  return result == IMPORT_OK && stats.nAdded == n && library.m_arrPhrase.GetCount() == n;
}

struct tagTALLY {
  int nPass = 0;
  int nFail = 0;
};

const char* Verdict(bool pass, tagTALLY& tally) {
  ++(pass ? tally.nPass : tally.nFail);
  return pass ? "PASS" : "FAIL";
}

// One row: time and ratio, the time target when there is one, then peak
// memory, its ratio and its target (at most twice the baseline's).
void PrintRow(const char* what, double seconds, double base, double target, double peak,
              double basePeak, tagTALLY& tally) {
  printf("  %-40s %9.1f ms %7.2fx", what, seconds * 1000, seconds / base);
  if (target > 0) {
    printf("  <= %.2fx %s", target, Verdict(seconds / base <= target, tally));
  } else {
    printf("  %13s", "");
  }
  if (peak >= 0 && basePeak > 0) {
    printf("   %7.1f MB %5.2fx", peak / 1e6, peak / basePeak);
    if (target > 0) printf("  <= 2x %s", Verdict(peak / basePeak <= 2.0, tally));
  }
  printf("\n");
}

// What the machine charges for the first touch of a fresh page, the cost
// behind every large new block of memory: a few hundred nanoseconds on a
// plain machine, ten times more and over in some virtual ones, where it
// dominates an operation that gathers into new memory at small n.
void PrintPageFaultCost() {
#if TABRIX_BENCH_POSIX
  const size_t nBytes = 64u << 20;
  const long nPage = sysconf(_SC_PAGESIZE);
  std::vector<double> runs;
  for (int round = 0; round < 3; ++round) {
    void* p = mmap(nullptr, nBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED || nPage <= 0) return;
    volatile char* bytes = static_cast<char*>(p);
    runs.push_back(Seconds([&] {
      for (size_t i = 0; i < nBytes; i += size_t(nPage)) bytes[i] = 1;
    }));
    munmap(p, nBytes);
  }
  printf("first touch of fresh memory: %.2f us per %ld-byte page\n",
         Median(runs) * 1e6 / double(nBytes / size_t(nPage)), nPage);
#endif
}

bool RunSize(uint32_t n, const Options& options, const std::string& folder, tagTALLY& tally) {
  std::mt19937 rng(n);
  const std::vector<tagPHRASE2> randomOrder = MakePhrases(n, rng);
  std::vector<tagPHRASE2> sortedOrder = randomOrder;
  std::sort(sortedOrder.begin(), sortedOrder.end(), [](const tagPHRASE2& a, const tagPHRASE2& b) {
    return ComparePhrase(&a, &b, nullptr) < 0;
  });
  const std::string path = folder + "/bench.wbk";
  const std::string listPath = folder + "/bench.txt";
  const std::string sortedPath = folder + "/sorted.txt";
  const std::string randomPath = folder + "/random.wbk";
  const std::string floorPath = folder + "/floor.wbk";
  const bool bRandom = n <= options.nRandomMax;
  bool ok = WritePhraseList(listPath, randomOrder, rng) &&
            WriteRandomOrderLibrary(randomPath, randomOrder);

  CTabrix saved;
  AddGroups(saved);
  AddAll(saved, sortedOrder);
  ok &= saved.Save(path.c_str()) == 1;
  if (!ok) {
    fprintf(stderr, "bench_model: cannot write the files at n = %u\n", n);
    return false;
  }

  // Peak memory, each operation once in a child of its own.
  const double peakBase = PeakBytes([&] { return BaselineReadSortUnique(path) == n; });
  const double peakLoad = PeakBytes([&] {
    CTabrix loaded;
    return loaded.Load(path.c_str()) == 1 && loaded.m_arrPhrase.GetCount() == n;
  });
  const double peakLoadRandom = PeakBytes([&] {
    CTabrix loaded;
    return loaded.Load(randomPath.c_str()) == 1 && loaded.m_arrPhrase.GetCount() == n;
  });
  const double peakSave =
      PeakBytes([&] { return saved.Save((folder + "/peak.wbk").c_str()) == 1; });
  const double peakImport = PeakBytes([&] { return ImportIntoEmpty(listPath, n); });
  const std::vector<uint8_t> savedBytes = ReadFileBytes(path);

  std::vector<double> baseline, load, loadRandom, save, floor, addSorted, addRandom, importRuns,
      sortU;
  for (int round = 0; round < options.nRounds && ok; ++round) {
    size_t nBaseline = 0;
    baseline.push_back(Seconds([&] { nBaseline = BaselineReadSortUnique(path); }));
    ok &= nBaseline == n;

    CTabrix library;
    AddGroups(library);
    addSorted.push_back(Seconds([&] { AddAll(library, sortedOrder); }));
    ok &= library.m_arrPhrase.GetCount() == n;
    SettleWrites();
    save.push_back(Seconds([&] { ok &= library.Save(path.c_str()) == 1; }));

    CTabrix loaded;
    load.push_back(Seconds([&] { ok &= loaded.Load(path.c_str()) == 1; }));
    ok &= loaded.m_arrPhrase.GetCount() == n;
    CTabrix shuffled;
    loadRandom.push_back(Seconds([&] { ok &= shuffled.Load(randomPath.c_str()) == 1; }));
    ok &= shuffled.m_arrPhrase.GetCount() == n;
#if TABRIX_BENCH_POSIX
    SettleWrites();
    floor.push_back(Seconds([&] { ok &= WriteAndSync(floorPath, savedBytes); }));
#endif

    importRuns.push_back(Seconds([&] { ok &= ImportIntoEmpty(listPath, n); }));
#if TABRIX_BENCH_POSIX
    const std::string command = "LC_ALL=C sort -u '" + listPath + "' -o '" + sortedPath + "'";
    sortU.push_back(Seconds([&] { ok &= std::system(command.c_str()) == 0; }));
#endif

    if (bRandom) {
      CTabrix random;
      AddGroups(random);
      addRandom.push_back(Seconds([&] { AddAll(random, randomOrder); }));
      ok &= random.m_arrPhrase.GetCount() == n;
    }
  }
  if (!ok) {
    fprintf(stderr, "bench_model: a run at n = %u went wrong\n", n);
    return false;
  }

  const double base = Median(baseline);
  printf("n = %u (median of %d rounds; ratio to the baseline; peak = growth of the resident set)\n",
         n, options.nRounds);
  PrintRow("baseline: read + std::sort + std::unique", base, base, 0, peakBase, peakBase, tally);
  PrintRow("Load", Median(load), base, 0.5, peakLoad, peakBase, tally);
  PrintRow("Load, random-order file", Median(loadRandom), base, 1.5, peakLoadRandom, peakBase,
           tally);
  PrintRow("Save (flushed to the disk)", Median(save), base, 0, peakSave, peakBase, tally);
  if (!floor.empty()) {
    PrintRow("floor: one write + fsync, same bytes", Median(floor), base, 0, -1, 0, tally);
    printf("  %-40s %9.2f   <= 1.30  %s\n", "Save / floor", Median(save) / Median(floor),
           Verdict(Median(save) / Median(floor) <= 1.3, tally));
  }
  PrintRow("import of a random-order list (new group)", Median(importRuns), base, 1.5, peakImport,
           peakBase, tally);
  if (!sortU.empty()) {
    PrintRow("LC_ALL=C sort -u on the same list", Median(sortU), base, 0, -1, 0, tally);
    printf("  %-40s %9.2f   <  1.00  %s\n", "import / sort -u", Median(importRuns) / Median(sortU),
           Verdict(Median(importRuns) < Median(sortU), tally));
  }
  PrintRow("AddPhrase, sorted order, duplicate check", Median(addSorted), base, 0, -1, 0, tally);
  if (bRandom) {
    PrintRow("AddPhrase, random order, duplicate check", Median(addRandom), base, 0, -1, 0, tally);
  } else {
    printf("  %-40s skipped (--random-max)\n", "AddPhrase, random order, duplicate check");
  }
  fflush(stdout);
  return true;
}  // namespace

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    fprintf(stderr, "usage: bench_model [--rounds N] [--sizes a,b,...] [--random-max N]\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::path folder;
  std::random_device seed;
  for (int attempt = 0;; ++attempt) {
    folder = std::filesystem::temp_directory_path(ec) /
             ("tabrix-bench-" + std::to_string(seed() % 1000000000u));
    if (std::filesystem::create_directory(folder, ec)) break;
    if (attempt == 100) {
      fprintf(stderr, "bench_model: no scratch folder\n");
      return 1;
    }
  }
  PrintPageFaultCost();
  bool ok = true;
  tagTALLY tally;
  for (uint32_t n : options.sizes) ok &= RunSize(n, options, folder.string(), tally);
  std::filesystem::remove_all(folder, ec);
  printf("targets: %d met, %d missed\n", tally.nPass, tally.nFail);
  return ok ? 0 : 1;
}
