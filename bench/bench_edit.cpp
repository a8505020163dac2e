// Speed of the phrase-level edits on a large library, as ratios against a
// baseline run side by side: the library's GBK texts read from a file into a
// vector, sorted and deduplicated.
//
//   bench_edit [--rounds N] [--sizes a,b,...]      (default 5 rounds, 1,000,000)
//
// Targets: one substring search over the whole library at most 0.1x (a person
// types a character at a time), removing 10,000 scattered phrases at most
// 0.5x, deleting a group of half the library at most 0.5x. Undoing an edit
// (CEditHistory) is timed against the edit itself: at most 1.0x. The edits
// undone: the removal and the deletion above, moving 7 in 10 phrases to the
// other group, a frequency for every phrase (positions in random order), a
// list of n phrases merged in (AddPhrases) and imported as a new group
// through the history. Recording the import in the history costs at most
// 1.1x the import without one.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "BenchTexts.h"
#include "BenchTiming.h"
#include "EditHistory.h"
#include "PhraseImport.h"
#include "PhraseRun.h"
#include "Tabrix.h"

namespace {

// The master's two groups and phrases, added in its order (a saved library's
// load takes this road too).
void CopyLibrary(CTabrix& master, CTabrix* pCopy) {
  pCopy->AddGroup("first", "", "");
  pCopy->AddGroup("second", "", "");
  for (uint32_t i = 0; i < master.m_arrPhrase.GetCount(); ++i) {
    const tagPHRASE2* p = master.m_arrPhrase.GetAt(i);
    pCopy->AddPhrase(p->szWord, p->cLen, p->byFreq, 0, p->byGroup);
  }
}

void CountHit(uint32_t, const tagPHRASE2*, void* data) { ++*static_cast<uint32_t*>(data); }

// The phrases of a phrase list ("text frequency" lines), for group g, in the
// store's order.
std::vector<tagPHRASE2> ListPhrases(const std::string& list, uint8_t g) {
  std::vector<tagPHRASE2> out;
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find('\n', start);
    if (end == std::string::npos) end = list.size();
    const size_t blank = list.find(' ', start);
    tagPHRASE2 p = {};
    p.byGroup = g;
    p.cLen = uint8_t(blank - start);
    list.copy(p.szWord, p.cLen, start);
    p.byFreq = uint8_t(std::atoi(list.c_str() + blank + 1));
    out.push_back(p);
    start = end + 1;
  }
  std::sort(out.begin(), out.end(), [](const tagPHRASE2& a, const tagPHRASE2& b) {
    return ComparePhrase(&a, &b, nullptr) < 0;
  });
  return out;
}

class CListRun : public CPhraseRun {
 public:
  explicit CListRun(const std::vector<tagPHRASE2>& list) : m_list(list), m_nNext(0) {}
  bool Next(tagPHRASE2* pOut) override {
    if (m_nNext == m_list.size()) return false;
    *pOut = m_list[m_nNext++];
    return true;
  }

 private:
  const std::vector<tagPHRASE2>& m_list;
  size_t m_nNext;
};

struct tagROW {
  const char* pszName;
  double dSeconds;
  double dTarget;
};

struct tagUNDOROW {
  const char* pszName;
  double dUndo;
  double dEdit;  // the edit undone
  double dTarget;
};

}  // namespace

int main(int argc, char** argv) {
  int nRounds = 5;
  std::vector<uint32_t> sizes{1000000};
  if (!ParseRoundsAndSizes(argc, argv, "bench_edit", &nRounds, &sizes)) return 2;
  const std::filesystem::path folder = MakeScratchFolder("tabrix-bench-edit");
  if (folder.empty()) return 1;
  std::error_code ec;
  const std::string textsPath = (folder / "texts.txt").string();
  int nPass = 0, nFail = 0;
  bool ok = true;
  for (uint32_t n : sizes) {
    std::mt19937 rng(n);
    CTabrix master;
    std::vector<std::string> texts;
    FillTwoGroupLibrary(master, n, rng, &texts);
    std::string lines;
    for (const std::string& t : texts) lines += t + "\n";
    ok &= WriteFileText(textsPath, lines);
    const uint32_t nStored = master.m_arrPhrase.GetCount();
    const std::string needle = texts[rng() % texts.size()].substr(0, 2);  // one character
    // A list of n phrases to import, in random order; some are stored already.
    const std::string listPath = (folder / "list.txt").string();
    const std::string list = RandomPhraseList(n);
    ok &= WriteFileText(listPath, list);
    const std::vector<tagPHRASE2> listPhrases = ListPhrases(list, 1);
    // Positions in random order: 7 in 10 phrases, and all of them.
    std::vector<uint32_t> every(nStored);
    for (uint32_t i = 0; i < nStored; ++i) every[i] = i;
    std::shuffle(every.begin(), every.end(), rng);
    const std::vector<uint32_t> most(every.begin(), every.begin() + nStored / 10 * 7);
    std::vector<double> removeH, groupH;
    std::vector<double> base, find, remove, group, removeUndo, groupUndo, move, moveUndo, freq,
        freqUndo, merge, addUndo, import, importH, importUndo;
    for (int r = 0; r < nRounds && ok; ++r) {
      base.push_back(Seconds([&] { ok &= BaselineReadSortUnique(textsPath) == texts.size(); }));
      uint32_t hits = 0;
      find.push_back(Seconds(
          [&] { master.FindSubstring(needle.c_str(), TABRIX_NO_GROUP, &CountHit, &hits); }));
      ok &= hits > 0;
      // Each edit on a copy of its own, made outside the timing; the same
      // edits through the history (the H copies) to be undone.
      {
        CTabrix scattered, halves, scatteredH, halvesH;
        for (CTabrix* copy : {&scattered, &halves, &scatteredH, &halvesH})
          CopyLibrary(master, copy);
        std::vector<uint32_t> positions;
        for (uint32_t k = 0; k < 10000 && k < nStored; ++k) positions.push_back(rng() % nStored);
        remove.push_back(Seconds([&] {
          ok &= scattered.RemovePhrasesAt(positions.data(), uint32_t(positions.size())) == 1;
        }));
        const uint32_t nFirst = halves.GetGroup(0)->dwCount;
        group.push_back(Seconds([&] { ok &= halves.RemoveGroup(0) == 1; }));
        ok &= halves.m_arrPhrase.GetCount() == nStored - nFirst && halves.GetGroupCount() == 1;
        CEditHistory history;
        removeH.push_back(Seconds([&] {
          ok &= history.RemovePhrasesAt(scatteredH, positions.data(), uint32_t(positions.size())) ==
                1;
        }));
        removeUndo.push_back(Seconds([&] { ok &= history.Undo(scatteredH) == 1; }));
        ok &= scatteredH.m_arrPhrase.GetCount() == nStored;
        groupH.push_back(Seconds([&] { ok &= history.RemoveGroup(halvesH, 0) == 1; }));
        groupUndo.push_back(Seconds([&] { ok &= history.Undo(halvesH) == 1; }));
        ok &= halvesH.m_arrPhrase.GetCount() == nStored && halvesH.GetGroupCount() == 2;
      }
      {
        CTabrix moved, freqs, movedH, freqsH;
        for (CTabrix* copy : {&moved, &freqs, &movedH, &freqsH}) CopyLibrary(master, copy);
        const uint32_t freqValue = r % 251;
        move.push_back(Seconds(
            [&] { ok &= moved.MovePhrasesAt(most.data(), uint32_t(most.size()), 1) == 1; }));
        freq.push_back(Seconds([&] {
          ok &= freqs.SetFrequencyAt(every.data(), uint32_t(every.size()), freqValue) == 1;
        }));
        CEditHistory history;
        ok &= history.MovePhrasesAt(movedH, most.data(), uint32_t(most.size()), 1) == 1;
        moveUndo.push_back(Seconds([&] { ok &= history.Undo(movedH) == 1; }));
        ok &= history.SetFrequencyAt(freqsH, every.data(), uint32_t(every.size()), freqValue) == 1;
        freqUndo.push_back(Seconds([&] { ok &= history.Undo(freqsH) == 1; }));
        ok &= movedH.GetGroup(0)->dwCount == master.GetGroup(0)->dwCount;
      }
      {
        CTabrix merged, imported, mergedH, importedH;
        for (CTabrix* copy : {&merged, &imported, &mergedH, &importedH}) CopyLibrary(master, copy);
        CListRun run(listPhrases);
        merge.push_back(Seconds([&] { ok &= merged.MergeRun(run, nullptr, nullptr) == 1; }));
        CEditHistory history;
        CListRun runH(listPhrases);
        ok &= history.AddPhrases(mergedH, runH, nullptr, nullptr, nullptr) == 1;
        ok &= mergedH.m_arrPhrase.GetCount() == merged.m_arrPhrase.GetCount();
        addUndo.push_back(Seconds([&] { ok &= history.Undo(mergedH) == 1; }));
        ok &= mergedH.m_arrPhrase.GetCount() == nStored;
        tagIMPORTOPTIONS opt = DefaultImportOptions();
        import.push_back(Seconds([&] {
          ok &= ImportNewGroup(imported, listPath.c_str(), opt, nullptr, nullptr) == IMPORT_OK;
      }));
      CEditHistory importHistory;  // without the merge's step, which it would drop
      opt.pHistory = &importHistory;
      importH.push_back(Seconds([&] {
        ok &= ImportNewGroup(importedH, listPath.c_str(), opt, nullptr, nullptr) == IMPORT_OK;
      }));
      ok &= importedH.m_arrPhrase.GetCount() == imported.m_arrPhrase.GetCount();
      importUndo.push_back(Seconds([&] { ok &= importHistory.Undo(importedH) == 1; }));
      ok &= importedH.m_arrPhrase.GetCount() == nStored && importedH.GetGroupCount() == 2;
    }
  }
  if (!ok) break;
  const double b = Median(base);
  std::printf("n = %u phrases (median of %d rounds; ratio to the baseline)\n", nStored, nRounds);
  std::printf("  %-50s %9.1f ms  1.00x\n", "baseline: GBK texts read, sorted, unique", b * 1e3);
  const tagROW rows[] = {{"find one character in the whole library", Median(find), 0.1},
                         {"remove 10,000 scattered phrases", Median(remove), 0.5},
                         {"delete a group of half the library", Median(group), 0.5}};
  for (const tagROW& row : rows) {
    const bool pass = row.dSeconds <= row.dTarget * b;
    (pass ? nPass : nFail)++;
    std::printf("  %-50s %9.2f ms  %5.3fx  <= %.2fx %s\n", row.pszName, row.dSeconds * 1e3,
                row.dSeconds / b, row.dTarget, pass ? "PASS" : "FAIL");
  }
  std::printf("  edits not measured against the baseline\n");
  const std::string nMost = std::to_string(most.size());
  const std::string nList = std::to_string(n);
  const std::string moveName = "move " + nMost + " phrases to the other group";
  const std::string freqName = "a frequency for all " + std::to_string(nStored) + " phrases";
  const std::string mergeName = "merge a list of " + nList + " phrases (MergeRun)";
  const std::string importName = "import a list of " + nList + " phrases as a group";
  const std::pair<const char*, double> edits[] = {{moveName.c_str(), Median(move)},
                                                  {freqName.c_str(), Median(freq)},
                                                  {mergeName.c_str(), Median(merge)},
                                                  {importName.c_str(), Median(import)}};
  for (const auto& edit : edits) std::printf("  %-50s %9.2f ms\n", edit.first, edit.second * 1e3);
  std::printf("  undo and recording (ratio to the edit itself)\n");
  const tagUNDOROW undoRows[] = {
      {"undo: remove 10,000 scattered phrases", Median(removeUndo), Median(remove), 1.0},
      {"undo: delete a group of half the library", Median(groupUndo), Median(group), 1.0},
      // The same undos against the edits as the editor makes them: through
      // the history, the step recorded.
      {"undo: remove 10,000 (to the editor's remove)", Median(removeUndo), Median(removeH), 1.0},
      {"undo: delete half (to the editor's delete)", Median(groupUndo), Median(groupH), 1.0},
      {"undo: move 7 in 10 phrases", Median(moveUndo), Median(move), 1.0},
      {"undo: a frequency for all phrases", Median(freqUndo), Median(freq), 1.0},
      {"undo: merge a list (AddPhrases)", Median(addUndo), Median(merge), 1.0},
      {"import through the history", Median(importH), Median(import), 1.1},
      {"undo: import through the history", Median(importUndo), Median(import), 1.0}};
  for (const tagUNDOROW& row : undoRows) {
    const bool pass = row.dUndo <= row.dTarget * row.dEdit;
    (pass ? nPass : nFail)++;
    std::printf("  %-50s %9.2f ms  %5.3fx  <= %.2fx %s\n", row.pszName, row.dUndo * 1e3,
                row.dUndo / row.dEdit, row.dTarget, pass ? "PASS" : "FAIL");
  }
}
std::filesystem::remove_all(folder, ec);
if (!ok) {
  std::fprintf(stderr, "bench_edit: a run went wrong\n");
  return 1;
}
std::printf("targets: %d met, %d missed\n", nPass, nFail);
return 0;
}
