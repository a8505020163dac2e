// What the benchmarks of dictionaries and edits share: their options, their
// scratch folder, and their baseline: GBK texts, one per line, read from a
// file into a vector, sorted and deduplicated.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "BenchOptions.h"
#include "Tabrix.h"

// --rounds N and --sizes a,b,...; false (usage printed) for anything else.
inline bool ParseRoundsAndSizes(int argc, char** argv, const char* program, int* pRounds,
                                std::vector<uint32_t>* pSizes) {
  for (int i = 1; i < argc; i += 2) {
    const std::string option = argv[i];
    const bool bValue = i + 1 < argc;
    if (bValue && option == "--rounds") {
      *pRounds = std::max(1, std::atoi(argv[i + 1]));
    } else if (!bValue || option != "--sizes" || !ParseSizeList(argv[i + 1], pSizes)) {
      std::fprintf(stderr, "usage: %s [--rounds N] [--sizes a,b,...]\n", program);
      return false;
    }
  }
  return true;
}

// A new folder of the program's own in the temporary folder; empty when none.
inline std::filesystem::path MakeScratchFolder(const char* program) {
  std::error_code ec;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path(ec) /
      (std::string(program) + "-" + std::to_string(std::random_device()() % 1000000000u));
  return std::filesystem::create_directory(folder, ec) ? folder : std::filesystem::path();
}

inline std::string ReadFileText(const std::string& path) {
  std::string bytes;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, n);
    std::fclose(file);
  }
  return bytes;
}

inline bool WriteFileText(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

// The baseline: the texts of the file, one per line, read into a vector,
// sorted and deduplicated; the count of distinct texts.
inline size_t BaselineReadSortUnique(const std::string& path) {
  const std::string bytes = ReadFileText(path);
  std::vector<std::string> texts;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    texts.emplace_back(bytes, start, end - start);
    start = end + 1;
  }
  std::sort(texts.begin(), texts.end());
  return size_t(std::unique(texts.begin(), texts.end()) - texts.begin());
}

// A phrase list of n distinct GBK phrases of 2 to 8 characters (lead B0-F7,
// trail A1-FE) with frequencies 0..250, one "text frequency" line each, in
// random order; the same list for the same n.
inline std::string RandomPhraseList(uint32_t n) {
  std::mt19937 rng(n);
  std::uniform_int_distribution<int> chars(2, 8), lead(0xB0, 0xF7), trail(0xA1, 0xFE);
  std::unordered_set<std::string> seen;
  seen.reserve(n * 2);
  std::string list;
  while (seen.size() < n) {
    std::string text;
    for (int c = chars(rng); c > 0; --c) {
      text.push_back(static_cast<char>(lead(rng)));
      text.push_back(static_cast<char>(trail(rng)));
    }
    if (!seen.insert(text).second) continue;
    list += text + " " + std::to_string(rng() % 251) + "\n";
  }
  return list;
}

// Random texts of 2 to 6 characters from the first level of GB2312, each
// first in the store's order, in two groups of about half each.
inline void FillTwoGroupLibrary(CTabrix& lib, uint32_t n, std::mt19937& rng,
                                std::vector<std::string>* pTexts) {
  lib.AddGroup("first", "", "");
  lib.AddGroup("second", "", "");
  std::vector<std::string> texts;
  texts.reserve(n);
  for (uint32_t i = 0; i < n; ++i) {
    std::string t;
    const int chars = 2 + int(rng() % 5);
    for (int k = 0; k < chars; ++k) {
      t.push_back(char(0xB0 + rng() % 0x27));
      t.push_back(char(0xA1 + rng() % 0x5E));
    }
    texts.push_back(t);
  }
  std::sort(texts.begin(), texts.end());
  texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
  for (const std::string& t : texts)
    lib.AddPhrase(t.c_str(), uint8_t(t.size()), uint8_t(rng() % 251), 0, uint8_t(rng() % 2));
  *pTexts = std::move(texts);
}
