// Speed of the phrase store and the library file, as ratios against a plain
// baseline run side by side: the same records read from the file into a
// std::vector, then std::sort and std::unique.
//
//   bench_model [--rounds N] [--sizes a,b,...] [--random-max N]
//
// --random-max N measures AddPhrase in random order only for n <= N; that
// case grows quadratically and takes minutes at a million phrases.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "FileHeader.h"
#include "Tabrix.h"

namespace {

const int kGroups = 8;

struct Options {
  int nRounds = 3;
  std::vector<uint32_t> sizes{100000, 1000000};
  uint64_t nRandomMax = UINT64_MAX;
};

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (arg == "--rounds") {
      options->nRounds = std::max(1, atoi(value.c_str()));
    } else if (arg == "--sizes") {
      options->sizes.clear();
      size_t pos = 0;
      while (pos <= value.size()) {
        size_t comma = value.find(',', pos);
        if (comma == std::string::npos) comma = value.size();
        const unsigned long n = strtoul(value.substr(pos, comma - pos).c_str(), nullptr, 10);
        if (n == 0) return false;
        options->sizes.push_back(uint32_t(n));
        pos = comma + 1;
      }
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

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void Print(const char* what, double seconds, double baseline) {
  printf("  %-44s %10.1f ms  %7.2fx\n", what, seconds * 1000, seconds / baseline);
}

bool RunSize(uint32_t n, const Options& options, const std::string& folder) {
  std::mt19937 rng(n);
  const std::vector<tagPHRASE2> randomOrder = MakePhrases(n, rng);
  std::vector<tagPHRASE2> sortedOrder = randomOrder;
  std::sort(sortedOrder.begin(), sortedOrder.end(), [](const tagPHRASE2& a, const tagPHRASE2& b) {
    return ComparePhrase(&a, &b, nullptr) < 0;
  });
  const std::string path = folder + "/bench.wbk";
  const bool bRandom = n <= options.nRandomMax;

  std::vector<double> baseline, load, save, addSorted, addRandom;
  bool ok = true;
  for (int round = 0; round < options.nRounds && ok; ++round) {
    CTabrix library;
    AddGroups(library);
    addSorted.push_back(Seconds([&] { AddAll(library, sortedOrder); }));
    ok &= library.m_arrPhrase.GetCount() == n;
    save.push_back(Seconds([&] { ok &= library.Save(path.c_str()) == 1; }));

    CTabrix loaded;
    load.push_back(Seconds([&] { ok &= loaded.Load(path.c_str()) == 1; }));
    ok &= loaded.m_arrPhrase.GetCount() == n;

    size_t nBaseline = 0;
    baseline.push_back(Seconds([&] { nBaseline = BaselineReadSortUnique(path); }));
    ok &= nBaseline == n;

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
  printf("n = %u (median of %d rounds; ratio to the baseline)\n", n, options.nRounds);
  Print("baseline: read + std::sort + std::unique", base, base);
  Print("Load", Median(load), base);
  Print("Save", Median(save), base);
  Print("AddPhrase, sorted order, duplicate check", Median(addSorted), base);
  if (bRandom) {
    Print("AddPhrase, random order, duplicate check", Median(addRandom), base);
  } else {
    printf("  %-44s skipped (--random-max)\n", "AddPhrase, random order, duplicate check");
  }
  fflush(stdout);
  return true;
}

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
  bool ok = true;
  for (uint32_t n : options.sizes) ok &= RunSize(n, options, folder.string());
  std::filesystem::remove_all(folder, ec);
  return ok ? 0 : 1;
}
