// The edit history: undoing steps gives back every earlier saved file byte
// for byte, redoing gives back the later ones, and the history keeps to its
// bounds.
#include <gtest/gtest.h>

#include <functional>

#include "EditHistory.h"
#include "LibfileTestSupport.h"
#include "RandomEdits.h"
#include "PhraseRun.h"
#include "VectorRun.h"

using namespace tabrix_test;

namespace {

void FillLibrary(std::mt19937& rng, CTabrix& lib, int nGroups, int nPhrases) {
  for (int g = 0; g < nGroups; ++g) {
    ASSERT_EQ(g, lib.AddGroup(("g" + std::to_string(g)).c_str(), "ed", "re"));
    lib.GetGroup(g)->bEnable = int32_t(rng() % 2);
  }
  for (int i = 0; i < nPhrases; ++i) {
    lib.AddPhrase(RandomText(rng).c_str(), 255, uint8_t(rng() % 251), 1, uint8_t(rng() % nGroups));
  }
}

// Stored positions, some repeated.
std::vector<uint32_t> SomePositions(std::mt19937& rng, CTabrix& lib) {
  std::vector<uint32_t> out;
  const uint32_t count = lib.m_arrPhrase.GetCount();
  for (int i = 0, n = count == 0 ? 0 : int(rng() % 40); i < n; ++i) out.push_back(rng() % count);
  if (!out.empty()) out.push_back(out[0]);
  return out;
}

std::vector<tagPHRASE2> SomePhrases(std::mt19937& rng, CTabrix& lib, uint32_t nGroups) {
  std::vector<tagPHRASE2> out;
  for (const std::string& t : SomeTexts(rng, lib, 30)) {
    // Now and then a group the library does not have: the merge drops it.
    out.push_back(MakePhrase(t, uint8_t(rng() % (nGroups + 1)), uint8_t(rng() % 251)));
  }
  if (!out.empty()) out.push_back(out[0]);  // a repeat in the run
  return out;
}

typedef std::function<int(std::mt19937&, CTabrix&, CEditHistory&)> EditFunc;
const int kNoEdit = -1;  // an edit that needs a group, on a library without one

struct tagEDIT {
  const char* pszName;
  EditFunc edit;
};

int WithTexts(std::mt19937& rng, CTabrix& lib,
              const std::function<int(const char* const*, uint32_t)>& f) {
  const std::vector<std::string> texts = SomeTexts(rng, lib, 30);
  std::vector<const char*> ptrs;
  for (const std::string& t : texts) ptrs.push_back(t.c_str());
  return f(ptrs.data(), uint32_t(ptrs.size()));
}

// Every kind of edit; each returns the history's result or kNoEdit.
const std::vector<tagEDIT>& Edits() {
  static const std::vector<tagEDIT> edits = {
      {"add phrases to groups",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         CVectorRun run = CVectorRun::SortedByText(SomePhrases(rng, lib, lib.GetGroupCount()));
         return h.AddPhrases(lib, run, nullptr, nullptr, nullptr);
       }},
      {"import as a new group",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         tagGROUPINFO group;
         std::memset(&group, 0, sizeof(group));
         std::strcpy(group.szName, ("new" + std::to_string(rng() % 100)).c_str());
         std::strcpy(group.szRemark, "imported");
         group.bEnable = 1;
         std::vector<tagPHRASE2> list = SomePhrases(rng, lib, lib.GetGroupCount());
         for (int i = 0; i < 20; ++i)
           list.push_back(MakePhrase(RandomText(rng), uint8_t(lib.GetGroupCount()), uint8_t(i)));
         CVectorRun run = CVectorRun::SortedByText(list);
         return h.AddPhrases(lib, run, &group, nullptr, nullptr);
       }},
      {"remove phrases at positions",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         const std::vector<uint32_t> pos = SomePositions(rng, lib);
         return h.RemovePhrasesAt(lib, pos.data(), uint32_t(pos.size()));
       }},
      {"remove phrases by text",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         return WithTexts(rng, lib, [&](const char* const* pp, uint32_t n) {
           return h.RemovePhrasesByText(lib, pp, n, nullptr);
         });
       }},
      {"remove a group",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         return lib.GetGroupCount() == 0 ? kNoEdit
                                         : h.RemoveGroup(lib, rng() % lib.GetGroupCount());
       }},
      {"set frequencies at positions",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         const std::vector<uint32_t> pos = SomePositions(rng, lib);
         return h.SetFrequencyAt(lib, pos.data(), uint32_t(pos.size()), rng() % 251);
       }},
      {"set frequencies by text",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         const uint32_t freq = rng() % 251;
         return WithTexts(rng, lib, [&](const char* const* pp, uint32_t n) {
           return h.SetFrequencyByText(lib, pp, n, freq, nullptr);
         });
       }},
      {"move phrases at positions",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         if (lib.GetGroupCount() == 0) return kNoEdit;
         const std::vector<uint32_t> pos = SomePositions(rng, lib);
         return h.MovePhrasesAt(lib, pos.data(), uint32_t(pos.size()), rng() % lib.GetGroupCount());
       }},
      {"move phrases by text",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         if (lib.GetGroupCount() == 0) return kNoEdit;
         const uint32_t group = rng() % lib.GetGroupCount();
         return WithTexts(rng, lib, [&](const char* const* pp, uint32_t n) {
           return h.MovePhrasesByText(lib, pp, n, group, nullptr);
         });
       }},
      {"set a group's texts",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         if (lib.GetGroupCount() == 0) return kNoEdit;
         const uint32_t g = rng() % lib.GetGroupCount();
         const std::string name = RandomText(rng), remark = RandomText(rng);
         const char* editor = rng() % 2 ? "" : "someone";
         const tagGROUPINFO& now = *lib.GetGroup(g);
         // The same texts again change nothing, and make no step.
         if (name == now.szName && std::string(editor) == now.szEditor && remark == now.szRemark)
           return kNoEdit;
         return h.SetGroupText(lib, g, name.c_str(), editor, remark.c_str());
       }},
      {"tick a group",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         if (lib.GetGroupCount() == 0) return kNoEdit;
         const uint32_t g = rng() % lib.GetGroupCount();
         return h.SetGroupEnable(lib, g, 1 - lib.GetGroup(g)->bEnable);
       }},
      {"add one phrase",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         if (lib.GetGroupCount() == 0) return kNoEdit;
         const std::string text = RandomText(rng) + "n";
         if (lib.FindPhrase(text.c_str(), nullptr, nullptr)) return kNoEdit;
         return h.AddPhrase(lib, text.c_str(), 255, uint8_t(rng() % 251),
                            uint8_t(rng() % lib.GetGroupCount()));
       }},
      {"add a group",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         const uint8_t g = h.AddGroup(lib, RandomText(rng).c_str(), "ed", "", int32_t(rng() % 2));
         return g == TABRIX_NO_GROUP ? 0 : 1;
       }},
      {"several edits as one",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         CEditCompound compound(&h, lib);
         const uint8_t g = h.AddGroup(lib, "together", "", "", 1);
         if (g == TABRIX_NO_GROUP) return 0;
         std::vector<tagPHRASE2> list = SomePhrases(rng, lib, g + 1u);
         for (tagPHRASE2& p : list) p.byGroup = g;
         CVectorRun run = CVectorRun::SortedByText(list);
         if (!h.AddPhrases(lib, run, nullptr, nullptr, nullptr)) return 0;
         const std::vector<uint32_t> pos = SomePositions(rng, lib);
         if (!h.SetFrequencyAt(lib, pos.data(), uint32_t(pos.size()), 7)) return 0;
         return h.SetGroupText(lib, g, "renamed", "someone", "");
       }},
      {"clear the library",
       [](std::mt19937&, CTabrix& lib, CEditHistory& h) { return h.Free(lib); }},
      {"replace the library",
       [](std::mt19937& rng, CTabrix& lib, CEditHistory& h) {
         CTabrix other;
         FillLibrary(rng, other, 1 + int(rng() % 5), int(rng() % 800));
         return h.Replace(lib, other);
       }},
  };
  return edits;
}

// The bytes Save writes after the file header, which holds nothing of the
// library but the format and a stamp. Written without Save's sync to the
// disk, so that a hundred saves stay quick.
Bytes Saved(CTabrix& lib, const std::string& path) {
  EXPECT_EQ(lib.m_arrPhrase.GetCount(), lib.GetPhraseTotal());
  {
    CFileWriter file;
    EXPECT_TRUE(file.Open(path.c_str()));
    EXPECT_EQ(1, lib.WriteBody(file));
    EXPECT_TRUE(file.Close());
  }
  return ReadAll(path);
}

uint64_t LibraryBytes(CTabrix& lib) {
  return uint64_t(lib.m_arrPhrase.GetCount()) * sizeof(tagPHRASE2) +
         uint64_t(lib.GetGroupCount()) * sizeof(tagGROUPINFO);
}

}  // namespace

TEST(EditHistory, UndoGivesBackEveryEarlierFileAndRedoTheLater) {
  CScratchDir dir;
  const std::string path = dir.Path("history.wbk");
  const std::vector<tagEDIT>& edits = Edits();
  for (unsigned seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    CTabrix lib;
    FillLibrary(rng, lib, 6, 1500);
    CEditHistory history;
    std::vector<Bytes> files{Saved(lib, path)};
    std::vector<const char*> names;
    // Every kind in turn, then at random.
    for (size_t step = 0; step < 2 * edits.size(); ++step) {
      const tagEDIT& e = edits[step < edits.size() ? step : rng() % edits.size()];
      const int result = e.edit(rng, lib, history);
      if (result == kNoEdit) continue;
      ASSERT_EQ(1, result) << e.pszName;
      names.push_back(e.pszName);
      ASSERT_EQ(names.size(), history.GetUndoCount()) << e.pszName;
      files.push_back(Saved(lib, path));
    }
    ASSERT_EQ(names.size(), history.GetUndoCount());
    for (size_t i = names.size(); i-- > 0;) {
      ASSERT_EQ(1, history.Undo(lib)) << names[i];
      ASSERT_EQ(files[i], Saved(lib, path)) << "undo of " << names[i] << " (step " << i << ")";
    }
    EXPECT_EQ(0, history.Undo(lib));
    EXPECT_EQ(files[0], Saved(lib, path));
    for (size_t i = 0; i < names.size(); ++i) {
      ASSERT_EQ(1, history.Redo(lib)) << names[i];
      ASSERT_EQ(files[i + 1], Saved(lib, path)) << "redo of " << names[i] << " (step " << i << ")";
    }
    EXPECT_EQ(0, history.Redo(lib));
    EXPECT_EQ(files.back(), Saved(lib, path));
  }
}

TEST(EditHistory, AChangeAfterUndoDropsTheRedoSteps) {
  CScratchDir dir;
  const std::string path = dir.Path("history.wbk");
  std::mt19937 rng(7);
  CTabrix lib;
  FillLibrary(rng, lib, 4, 500);
  CEditHistory history;
  const Bytes before = Saved(lib, path);
  const uint32_t pos[] = {3, 10, 200};
  ASSERT_EQ(1, history.RemovePhrasesAt(lib, pos, 3));
  const Bytes first = Saved(lib, path);
  ASSERT_EQ(1, history.RemoveGroup(lib, 1));
  ASSERT_EQ(1, history.SetFrequencyAt(lib, pos, 3, 77));
  ASSERT_EQ(1, history.Undo(lib));
  ASSERT_EQ(1, history.Undo(lib));
  EXPECT_EQ(2u, history.GetRedoCount());
  ASSERT_EQ(1, history.SetGroupEnable(lib, 0, 1 - lib.GetGroup(0)->bEnable));
  const Bytes changed = Saved(lib, path);
  EXPECT_NE(first, changed);
  EXPECT_EQ(0u, history.GetRedoCount());
  EXPECT_EQ(0, history.Redo(lib));
  EXPECT_EQ(changed, Saved(lib, path));
  ASSERT_EQ(1, history.Undo(lib));
  EXPECT_EQ(first, Saved(lib, path));
  ASSERT_EQ(1, history.Undo(lib));
  EXPECT_EQ(before, Saved(lib, path));
  EXPECT_EQ(0, history.Undo(lib));
}

TEST(EditHistory, NothingToUndoOrRedoChangesNothing) {
  CScratchDir dir;
  const std::string path = dir.Path("history.wbk");
  std::mt19937 rng(3);
  CTabrix lib;
  FillLibrary(rng, lib, 3, 200);
  const Bytes before = Saved(lib, path);
  CEditHistory history;
  EXPECT_EQ(0, history.Undo(lib));
  EXPECT_EQ(0, history.Redo(lib));
  // Edits the library refuses are not steps either.
  const uint32_t outside = lib.m_arrPhrase.GetCount();
  const uint32_t pos[] = {0, outside};
  EXPECT_EQ(0, history.RemovePhrasesAt(lib, pos, 2));
  EXPECT_EQ(0, history.SetFrequencyAt(lib, pos, 1, 251));
  EXPECT_EQ(0, history.MovePhrasesAt(lib, pos, 1, lib.GetGroupCount()));
  EXPECT_EQ(0, history.RemoveGroup(lib, lib.GetGroupCount()));
  EXPECT_EQ(0, history.SetGroupText(lib, 0, std::string(60, 'n').c_str(), "", ""));
  EXPECT_EQ(0u, history.GetUndoCount());
  EXPECT_EQ(0u, history.GetBytes());
  EXPECT_EQ(0, history.Undo(lib));
  EXPECT_EQ(before, Saved(lib, path));
}

TEST(EditHistory, TheOldestStepsGoPastTheStepBound) {
  CScratchDir dir;
  const std::string path = dir.Path("history.wbk");
  CTabrix lib;
  std::mt19937 rng(5);
  FillLibrary(rng, lib, 2, 50);
  CEditHistory history;
  std::vector<Bytes> files{Saved(lib, path)};
  for (uint32_t i = 0; i <= CEditHistory::MAX_STEPS; ++i) {
    const uint32_t pos = i % lib.m_arrPhrase.GetCount();
    ASSERT_EQ(1, history.SetFrequencyAt(lib, &pos, 1, i % 251));
    files.push_back(Saved(lib, path));
  }
  EXPECT_EQ(uint32_t(CEditHistory::MAX_STEPS), history.GetUndoCount());
  for (uint32_t i = 0; i < CEditHistory::MAX_STEPS; ++i) ASSERT_EQ(1, history.Undo(lib));
  EXPECT_EQ(0, history.Undo(lib));
  EXPECT_EQ(files[1], Saved(lib, path));  // the first step went
}

TEST(EditHistory, TheOldestStepsGoPastTheMemoryBound) {
  CScratchDir dir;
  const std::string path = dir.Path("history.wbk");
  CTabrix lib;
  std::mt19937 rng(9);
  FillLibrary(rng, lib, 3, 2000);
  CEditHistory history(CEditHistory::MAX_STEPS, 0);  // the library's size alone
  std::vector<Bytes> files{Saved(lib, path)};
  // Each removal of a third of what is left: the steps soon outweigh it.
  uint32_t nKept = 0;
  for (int i = 0; i < 4; ++i) {
    std::vector<uint32_t> pos;
    for (uint32_t p = 0; p < lib.m_arrPhrase.GetCount(); p += 3) pos.push_back(p);
    ASSERT_EQ(1, history.RemovePhrasesAt(lib, pos.data(), uint32_t(pos.size())));
    files.push_back(Saved(lib, path));
    EXPECT_TRUE(history.GetUndoCount() == 1 || history.GetBytes() <= LibraryBytes(lib));
    nKept = history.GetUndoCount();
  }
  ASSERT_LT(nKept, 4u);
  // The newest steps stay and still undo exactly.
  for (uint32_t i = 0; i < nKept; ++i) {
    ASSERT_EQ(1, history.Undo(lib));
    EXPECT_EQ(files[files.size() - 2 - i], Saved(lib, path));
  }
  EXPECT_EQ(0, history.Undo(lib));

  // A step over the bound on its own is kept, alone.
  CEditHistory small(CEditHistory::MAX_STEPS, 0);
  const Bytes full = Saved(lib, path);
  const uint32_t pos = 0;
  ASSERT_EQ(1, small.SetFrequencyAt(lib, &pos, 1, lib.m_arrPhrase.GetAt(0)->byFreq == 7 ? 8u : 7u));
  const Bytes changed = Saved(lib, path);
  ASSERT_NE(full, changed);
  ASSERT_EQ(1, small.Free(lib));
  EXPECT_EQ(1u, small.GetUndoCount());
  ASSERT_EQ(1, small.Undo(lib));
  EXPECT_EQ(changed, Saved(lib, path));  // the frequency step went
  EXPECT_EQ(0, small.Undo(lib));
}

TEST(EditHistory, TheSavedStateIsUnmodifiedWhicheverWayItIsReached) {
  std::mt19937 rng(7);
  CTabrix lib;
  FillLibrary(rng, lib, 3, 200);
  CEditHistory history;
  EXPECT_FALSE(history.IsModified());
  ASSERT_EQ(1, history.SetGroupEnable(lib, 0, 1 - lib.GetGroup(0)->bEnable));
  EXPECT_TRUE(history.IsModified());
  ASSERT_EQ(1, history.Undo(lib));
  EXPECT_FALSE(history.IsModified());
  ASSERT_EQ(1, history.Redo(lib));
  EXPECT_TRUE(history.IsModified());
  history.MarkSaved();
  EXPECT_FALSE(history.IsModified());
  ASSERT_EQ(1, history.Undo(lib));
  EXPECT_TRUE(history.IsModified());
  // A new edit after the undo can never lead back to the saved state.
  ASSERT_EQ(1, history.SetGroupText(lib, 1, "other", "", ""));
  EXPECT_TRUE(history.IsModified());
  EXPECT_EQ(0, history.Redo(lib));
  ASSERT_EQ(1, history.Undo(lib));
  EXPECT_TRUE(history.IsModified());
  // Clearing the history leaves a library that differs from every saved one.
  history.MarkSaved();
  history.Clear();
  EXPECT_TRUE(history.IsModified());
  history.MarkSaved();
  EXPECT_FALSE(history.IsModified());
  history.MarkUnsaved();
  EXPECT_TRUE(history.IsModified());
}

TEST(EditHistory, TheSavedStateStaysKnownWhenTheOldestStepsGo) {
  std::mt19937 rng(8);
  CTabrix lib;
  FillLibrary(rng, lib, 2, 50);
  CEditHistory history(3);
  history.MarkSaved();
  for (int i = 0; i < 6; ++i)
    ASSERT_EQ(1, history.SetGroupEnable(lib, 0, 1 - lib.GetGroup(0)->bEnable));
  EXPECT_EQ(3u, history.GetUndoCount());
  while (history.Undo(lib)) EXPECT_TRUE(history.IsModified());
  history.MarkSaved();
  for (int i = 0; i < 3; ++i) ASSERT_EQ(1, history.Redo(lib));
  EXPECT_TRUE(history.IsModified());
  for (int i = 0; i < 3; ++i) ASSERT_EQ(1, history.Undo(lib));
  EXPECT_FALSE(history.IsModified());
}

TEST(EditHistory, AWindowUndoesOnlyTheStepsMadeSinceItsMark) {
  std::mt19937 rng(9);
  CTabrix lib;
  FillLibrary(rng, lib, 2, 50);
  CEditHistory history;
  ASSERT_EQ(1, history.SetGroupEnable(lib, 0, 1 - lib.GetGroup(0)->bEnable));
  ASSERT_EQ(1, history.SetGroupEnable(lib, 1, 1 - lib.GetGroup(1)->bEnable));
  ASSERT_EQ(1, history.Undo(lib));
  const uint64_t mark = history.GetStepMark();
  EXPECT_FALSE(history.CanUndoSince(mark));
  EXPECT_FALSE(history.CanRedoSince(mark));  // undone before the mark
  ASSERT_EQ(1, history.SetGroupText(lib, 0, "mine", "", ""));
  EXPECT_TRUE(history.CanUndoSince(mark));
  ASSERT_EQ(1, history.Undo(lib));
  EXPECT_FALSE(history.CanUndoSince(mark));
  EXPECT_TRUE(history.CanRedoSince(mark));
}

TEST(EditHistory, ACompoundIsUndoneWholeAndAnEmptyOneLeavesNoStep) {
  std::mt19937 rng(10);
  CTabrix lib;
  FillLibrary(rng, lib, 2, 100);
  CEditHistory history;
  { CEditCompound nothing(&history, lib); }
  EXPECT_EQ(0u, history.GetUndoCount());
  EXPECT_FALSE(history.IsModified());
  {
    CEditCompound compound(&history, lib);
    ASSERT_EQ(1, history.SetGroupEnable(lib, 0, 1 - lib.GetGroup(0)->bEnable));
    EXPECT_TRUE(history.IsModified());
    EXPECT_EQ(0, history.Undo(lib));  // not while the command runs
    ASSERT_NE(TABRIX_NO_GROUP, history.AddGroup(lib, "more", "", "", 0));
  }
  EXPECT_EQ(1u, history.GetUndoCount());
  EXPECT_EQ(3u, lib.GetGroupCount());
  ASSERT_EQ(1, history.Undo(lib));
  EXPECT_EQ(2u, lib.GetGroupCount());
  EXPECT_FALSE(history.IsModified());
}

TEST(EditHistory, UndoingALoadGivesBackTheFileNameAndItsSavedState) {
  std::mt19937 rng(11);
  CTabrix lib;
  FillLibrary(rng, lib, 2, 50);
  CEditHistory history;
  history.SetFileName("a.wbk");
  history.MarkSaved();
  CTabrix other;
  FillLibrary(rng, other, 1, 20);
  ASSERT_EQ(1, history.Replace(lib, other, "b.wbk"));
  EXPECT_EQ("b.wbk", history.GetFileName());
  EXPECT_TRUE(history.IsModified());  // until the caller marks it saved
  history.MarkSaved();
  ASSERT_EQ(1, history.Undo(lib));
  EXPECT_EQ("a.wbk", history.GetFileName());
  EXPECT_FALSE(history.IsModified());
  ASSERT_EQ(1, history.Redo(lib));
  EXPECT_EQ("b.wbk", history.GetFileName());
  EXPECT_FALSE(history.IsModified());
  // Clearing is no load: the file name stays.
  ASSERT_EQ(1, history.Free(lib));
  EXPECT_EQ("b.wbk", history.GetFileName());
  EXPECT_TRUE(history.IsModified());
}

TEST(EditHistory, ACancelledCompoundLeavesTheLibraryAndTheHistoryAsBefore) {
  CScratchDir dir;
  const std::string path = dir.Path("history.wbk");
  std::mt19937 rng(12);
  CTabrix lib;
  FillLibrary(rng, lib, 2, 100);
  CEditHistory history;
  ASSERT_EQ(1, history.SetGroupEnable(lib, 0, 1 - lib.GetGroup(0)->bEnable));
  history.MarkSaved();
  const Bytes before = Saved(lib, path);
  {
    CEditCompound compound(&history, lib);
    const uint8_t g = history.AddGroup(lib, "empty", "", "", 0);
    ASSERT_NE(TABRIX_NO_GROUP, g);
    ASSERT_EQ(1, history.AddPhrase(lib, "zzq", 255, 3, g));
    EXPECT_TRUE(history.IsModified());
    ASSERT_EQ(1, history.CancelCompound(lib));
  }
  EXPECT_EQ(before, Saved(lib, path));
  EXPECT_EQ(1u, history.GetUndoCount());
  EXPECT_FALSE(history.IsModified());
}
