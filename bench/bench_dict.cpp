// Speed of importing other input methods' dictionaries: a Rime .dict.yaml and
// a Sogou .scel of n entries each, imported as a new group into an empty
// library, against a baseline run side by side: the same entries' GBK texts
// read from a file into a vector, sorted and deduplicated.
//
//   bench_dict [--rounds N] [--sizes a,b,...]      (default 5 rounds, 1,000,000)
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

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

size_t ImportInto(const std::string& path, int nFormat) {
  CTabrix library;
  uint8_t group = 0;
  tagIMPORTSTATS stats = {};
  std::string error;
  const int result = ImportDictionary(library, path.c_str(), nFormat, DefaultImportOptions(), true,
                                      &group, &stats, &error);
  if (result != IMPORT_OK) std::fprintf(stderr, "bench_dict: %s\n", error.c_str());
  return result == IMPORT_OK ? library.m_arrPhrase.GetCount() : 0;
}

}  // namespace

int main(int argc, char** argv) {
  int nRounds = 5;
  std::vector<uint32_t> sizes{1000000};
  if (!ParseRoundsAndSizes(argc, argv, "bench_dict", &nRounds, &sizes)) return 2;
  const std::filesystem::path folder = MakeScratchFolder("tabrix-bench-dict");
  if (folder.empty()) return 1;
  std::error_code ec;
  int nPass = 0, nFail = 0;
  bool ok = true;
  for (uint32_t n : sizes) {
    std::mt19937 rng(n);
    const std::vector<tagENTRY> entries = MakeEntries(n, rng);
    std::string gbkLines;
    tabrix_test::CScelBuilder scelFile;
    scelFile.Title(u"bench");
    for (const tagENTRY& e : entries) {
      gbkLines += e.strGbk + "\n";
      scelFile.Group({0, 1}, {{e.strUtf16, tabrix_test::ScelExt(uint16_t(e.nWeight)), ""}});
    }
    const tabrix_test::Bytes scelBytes = scelFile.Build();
    const std::string basePath = (folder / "texts.txt").string();
    const std::string rimePath = (folder / "bench.dict.yaml").string();
    const std::string scelPath = (folder / "bench.scel").string();
    ok &= WriteFileText(basePath, gbkLines) && WriteFileText(rimePath, RimeText(entries)) &&
          WriteFileText(scelPath, std::string(scelBytes.begin(), scelBytes.end()));
    const size_t nDistinct = BaselineReadSortUnique(basePath);
    std::vector<double> base, rime, scel;
    for (int r = 0; r < nRounds && ok; ++r) {
      base.push_back(Seconds([&] { ok &= BaselineReadSortUnique(basePath) == nDistinct; }));
      rime.push_back(Seconds([&] { ok &= ImportInto(rimePath, DICT_FORMAT_RIME) == nDistinct; }));
      scel.push_back(Seconds([&] { ok &= ImportInto(scelPath, DICT_FORMAT_SCEL) == nDistinct; }));
    }
    if (!ok) break;
    const double b = Median(base);
    std::printf("n = %zu entries (%zu distinct; median of %d rounds; ratio to the baseline)\n",
                entries.size(), nDistinct, nRounds);
    std::printf("  %-44s %9.1f ms  1.00x\n", "baseline: GBK texts read, sorted, unique", b * 1e3);
    for (const auto& row : {std::make_pair("Rime .dict.yaml import (new group)", Median(rime)),
                            std::make_pair("Sogou .scel import (new group)", Median(scel))}) {
      const bool pass = row.second <= 1.5 * b;
      (pass ? nPass : nFail)++;
      std::printf("  %-44s %9.1f ms  %4.2fx  <= 1.50x %s\n", row.first, row.second * 1e3,
                  row.second / b, pass ? "PASS" : "FAIL");
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
