// Speed and memory of importing other input methods' dictionaries: a Rime
// .dict.yaml, a Sogou .scel and a UTF-8 column list ("word pin'yin weight")
// of n entries each, imported as a new group into an empty library, against
// two baselines run side by side: the same entries' GBK texts read from a
// file into a vector, sorted and deduplicated; and the shell's
// "cut -d' ' -f1 LIST | LC_ALL=C sort -u" on the column list. Peak memory
// (Linux) is the growth of the resident set of one import in a child.
//
//   bench_dict [--rounds N] [--sizes a,b,...]      (default 5 rounds, 1,000,000)
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "BenchMemory.h"
#include "BenchTexts.h"
#include "BenchTiming.h"
#include "DictImport.h"
#include "ScelBytes.h"
#include "Tabrix.h"
#include "TextConvert.h"
#include "Utf8Rules.h"

namespace {

struct tagENTRY {
  std::u16string strUtf16;
  std::string strUtf8, strGbk;
  uint32_t nWeight;
};

// Random texts of 2 to 6 characters of the CJK block U+4E00..U+9FA5, which
// GBK holds whole; one in a hundred repeats an earlier text, as in real
// dictionaries.
std::vector<tagENTRY> MakeEntries(uint32_t n, std::mt19937& rng) {
  std::vector<tagENTRY> out;
  out.reserve(n);
  CUtf8ToGbk converter;
  for (uint32_t i = 0; i < n; ++i) {
    tagENTRY e;
    if (i % 100 == 99) {
      e = out[rng() % out.size()];
    } else {
      const int chars = 2 + int(rng() % 5);
      for (int k = 0; k < chars; ++k) e.strUtf16.push_back(char16_t(0x4E00 + rng() % 0x51A6));
      for (char16_t u : e.strUtf16) AppendUtf8(u, &e.strUtf8);
      if (!converter.Convert(e.strUtf8, &e.strGbk)) continue;
    }
    e.nWeight = rng() % 60000;
    out.push_back(std::move(e));
  }
  return out;
}

std::string RimeText(const std::vector<tagENTRY>& entries) {
  std::string text = "# Rime dictionary\n---\nname: bench\nversion: \"1\"\nsort: by_weight\n...\n";
  for (const tagENTRY& e : entries)
    text += e.strUtf8 + "\tzi ci\t" + std::to_string(e.nWeight) + "\n";
  return text;
}

// The column list: "text pin'yin weight", a syllable per character.
std::string ColumnText(const std::vector<tagENTRY>& entries) {
  static const char* const kSyllables[] = {"zhong", "wen", "ci", "ku", "shu", "ru", "pin", "yin"};
  std::string text;
  for (const tagENTRY& e : entries) {
    text += e.strUtf8;
    for (size_t k = 0; k < e.strUtf16.size(); ++k) {
      text += k == 0 ? " " : "'";
      text += kSyllables[(e.nWeight + k) % 8];
    }
    text += " " + std::to_string(e.nWeight) + "\n";
  }
  return text;
}

// The shell's sort of the list's texts, as a user would run it; true when it ran.
bool CutSortUnique(const std::string& listPath, const std::string& outPath) {
  const std::string command =
      "cut -d' ' -f1 '" + listPath + "' | LC_ALL=C sort -u > '" + outPath + "'";
  return std::system(command.c_str()) == 0;
}

size_t ImportInto(const std::string& path, int nFormat) {
  CTabrix library;
  uint8_t group = 0;
  tagIMPORTSTATS stats = {};
  tagREADFAULT fault = {};
  const int result = ImportDictionary(library, path.c_str(), nFormat, DefaultImportOptions(), true,
                                      &group, &stats, &fault);
  if (result != IMPORT_OK) std::fprintf(stderr, "bench_dict: %s\n", ReadFaultText(fault).c_str());
  return result == IMPORT_OK ? library.m_arrPhrase.GetCount() : 0;
}

}  // namespace

struct tagROW {
  const char* pszWhat;
  int nFormat;
  std::string strPath;
  std::vector<double> times;
  double peak;
};

int main(int argc, char** argv) {
  int nRounds = 5;
  std::vector<uint32_t> sizes{1000000};
  if (!ParseRoundsAndSizes(argc, argv, "bench_dict", &nRounds, &sizes)) return 2;
  const std::filesystem::path folder = MakeScratchFolder("tabrix-bench-dict");
  if (folder.empty()) return 1;
  std::error_code ec;
  int nPass = 0, nFail = 0;
  bool ok = true;
  auto verdict = [&](bool pass) {
    (pass ? nPass : nFail)++;
    return pass ? "PASS" : "FAIL";
  };
  for (uint32_t n : sizes) {
    std::mt19937 rng(n);
    std::string gbkLines, scelText;
    const std::string basePath = (folder / "texts.txt").string();
    std::vector<tagROW> rows = {{"Rime .dict.yaml import (new group)",
                                 DICT_FORMAT_RIME,
                                 (folder / "bench.dict.yaml").string(),
                                 {},
                                 -1},
                                {"Sogou .scel import (new group)",
                                 DICT_FORMAT_SCEL,
                                 (folder / "bench.scel").string(),
                                 {},
                                 -1},
                                {"column list import (new group)",
                                 DICT_FORMAT_COLUMNS,
                                 (folder / "list.txt").string(),
                                 {},
                                 -1}};
    size_t nEntries = 0;
    {
      // The entries live only while the files are written: the imports'
      // peaks are measured in children of this process.
      const std::vector<tagENTRY> entries = MakeEntries(n, rng);
      nEntries = entries.size();
      tabrix_test::CScelBuilder scelFile;
      scelFile.Title(u"bench");
      for (const tagENTRY& e : entries) {
        gbkLines += e.strGbk + "\n";
        scelFile.Group({0, 1}, {{e.strUtf16, tabrix_test::ScelExt(uint16_t(e.nWeight)), ""}});
      }
      const tabrix_test::Bytes scelBytes = scelFile.Build();
      ok &= WriteFileText(basePath, gbkLines) &&
            WriteFileText(rows[0].strPath, RimeText(entries)) &&
            WriteFileText(rows[1].strPath, std::string(scelBytes.begin(), scelBytes.end())) &&
            WriteFileText(rows[2].strPath, ColumnText(entries));
    }
    std::string().swap(gbkLines);
    const std::string sortedPath = (folder / "sorted.txt").string();
    const size_t nDistinct = BaselineReadSortUnique(basePath);
    std::vector<double> base, shell;
    for (int r = 0; r < nRounds && ok; ++r) {
      base.push_back(Seconds([&] { ok &= BaselineReadSortUnique(basePath) == nDistinct; }));
      shell.push_back(Seconds([&] { ok &= CutSortUnique(rows[2].strPath, sortedPath); }));
      for (tagROW& row : rows)
        row.times.push_back(
            Seconds([&] { ok &= ImportInto(row.strPath, row.nFormat) == nDistinct; }));
    }
    for (tagROW& row : rows)
      row.peak = PeakBytes([&] { return ImportInto(row.strPath, row.nFormat) == nDistinct; });
    if (!ok) break;
    const double b = Median(base);
    const double sh = Median(shell);
    std::printf(
        "n = %zu entries (%zu distinct; median of %d rounds; ratios to the two baselines; peak = "
        "growth of the resident set)\n",
        nEntries, nDistinct, nRounds);
    std::printf("  %-44s %9.1f ms  1.00x\n", "baseline: GBK texts read, sorted, unique", b * 1e3);
    std::printf("  %-44s %9.1f ms  %4.2fx  1.00x\n",
                "baseline: cut | LC_ALL=C sort -u (column list)", sh * 1e3, sh / b);
    for (const tagROW& row : rows) {
      const double t = Median(row.times);
      std::printf("  %-44s %9.1f ms  %4.2fx  <= 1.50x %s  %4.2fx", row.pszWhat, t * 1e3, t / b,
                  verdict(t <= 1.5 * b), t / sh);
      // The texts' sort is the target of the two text formats at any size.
      if (row.nFormat != DICT_FORMAT_SCEL) std::printf("  <= 1.00x %s", verdict(t <= sh));
      if (row.peak >= 0) {
        // At most 60 bytes a phrase: 600 MB at ten million. Below a million
        // the program's own fixed memory weighs more than the phrases.
        const double perPhrase = row.peak / double(nDistinct);
        std::printf("  peak %7.1f MB (%5.1f B/phrase)", row.peak / 1e6, perPhrase);
        if (nDistinct >= 1000000) std::printf("  <= 60 %s", verdict(perPhrase <= 60));
      }
      std::printf("\n");
    }
  }
  std::filesystem::remove_all(folder, ec);
  if (!ok) {
    std::fprintf(stderr, "bench_dict: a run went wrong\n");
    return 1;
  }
  std::printf("targets: %d met, %d missed\n", nPass, nFail);
  return 0;
}
