// The phrase window's steps: each edit is one step of the library's history
// that undo and redo take back and forth to the same bytes, each tells which
// phrases it touched, and a step made before the window opened stays.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EditHistory.h"
#include "LibraryBody.h"
#include "PhraseSteps.h"
#include "ScratchDir.h"
#include "Tabrix.h"

namespace {

typedef std::vector<uint32_t> Positions;

class PhraseStepsTest : public ::testing::Test {
 protected:
  void SetUp() override { Fill(m_lib); }
  static void Fill(CTabrix& lib) {
    ASSERT_EQ(0, lib.AddGroup("one", "", ""));
    ASSERT_EQ(1, lib.AddGroup("two", "", ""));
    const char* const texts[] = {"aa", "bb", "cc", "dd", "ee"};  // store positions 0..4
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(lib.AddPhrase(texts[i], 255, uint8_t(i), 1, i % 2));
  }
  std::vector<char> Bytes(CTabrix& lib) {
    return LibraryBodyBytes(lib, m_scratch.Path("body.bin"));
  }
  std::vector<char> Bytes() { return Bytes(m_lib); }
  static void ExpectSpot(const Positions& arrPos, bool bPresent, const tagPHRASESPOT& spot,
                         const char* pszWhen) {
    EXPECT_EQ(arrPos, spot.arrPos) << pszWhen;
    EXPECT_EQ(bPresent, spot.bPresent) << pszWhen;
  }

  CTabrix m_lib;
  CEditHistory m_history;
  CScratchDir m_scratch;
};

TEST_F(PhraseStepsTest, EachEditIsOneStepThatUndoAndRedoTakeToTheSameBytes) {
  const struct {
    const char* pszName;
    std::function<int(CPhraseSteps&, tagPHRASESPOT*)> edit;
    Positions arrPos;  // what it touches
    bool bBefore;      // the phrases stand there before it
    bool bAfter;       // and after it
  } cases[] = {
      {"remove",
       [](CPhraseSteps& s, tagPHRASESPOT* p) {
         return s.RemovePhrasesAt({1, 3}, p);
       },
       {1, 3},
       true,
       false},
      {"frequency",
       [](CPhraseSteps& s, tagPHRASESPOT* p) {
         return s.SetFrequencyAt({0, 4}, 200, p);
       },
       {0, 4},
       true,
       true},
      {"move",
       [](CPhraseSteps& s, tagPHRASESPOT* p) {
         return s.MovePhrasesAt({0, 2}, 1, p);
       },
       {0, 2},
       true,
       true},
      // "bc" sorts between "bb" and "cc".
      {"add",
       [](CPhraseSteps& s, tagPHRASESPOT* p) { return s.AddPhrase("bc", 7, 1, p); },
       {2},
       false,
       true},
  };
  for (const auto& c : cases) {
    CTabrix lib;
    Fill(lib);
    CEditHistory history;
    CPhraseSteps steps(lib, history);
    steps.Begin();
    EXPECT_FALSE(steps.CanUndo()) << c.pszName;
    const std::vector<char> before = Bytes(lib);
    tagPHRASESPOT spot;
    ASSERT_EQ(1, c.edit(steps, &spot)) << c.pszName;
    ExpectSpot(c.arrPos, c.bAfter, spot, c.pszName);
    const std::vector<char> after = Bytes(lib);
    EXPECT_NE(before, after) << c.pszName;
    EXPECT_TRUE(steps.CanUndo()) << c.pszName;
    EXPECT_FALSE(steps.CanRedo()) << c.pszName;

    ASSERT_EQ(1, steps.Undo(&spot)) << c.pszName;
    EXPECT_EQ(before, Bytes(lib)) << c.pszName;
    ExpectSpot(c.arrPos, c.bBefore, spot, c.pszName);
    EXPECT_FALSE(steps.CanUndo()) << c.pszName;
    EXPECT_EQ(0, steps.Undo(&spot)) << c.pszName;

    ASSERT_EQ(1, steps.Redo(&spot)) << c.pszName;
    EXPECT_EQ(after, Bytes(lib)) << c.pszName;
    ExpectSpot(c.arrPos, c.bAfter, spot, c.pszName);
    EXPECT_EQ(0, steps.Redo(&spot)) << c.pszName;
    EXPECT_EQ(1u, history.GetUndoCount()) << c.pszName;
  }
}

TEST_F(PhraseStepsTest, AStepMadeBeforeTheWindowOpenedIsNeverTakenBack) {
  // The main window's steps: one done, one done and undone.
  const uint32_t first = 0;
  ASSERT_EQ(1, m_history.SetFrequencyAt(m_lib, &first, 1, 99));
  ASSERT_EQ(1, m_history.MovePhrasesAt(m_lib, &first, 1, 1));
  ASSERT_EQ(1, m_history.Undo(m_lib));
  const std::vector<char> opened = Bytes();

  CPhraseSteps steps(m_lib, m_history);
  steps.Begin();
  tagPHRASESPOT spot;
  EXPECT_FALSE(steps.CanUndo());
  EXPECT_FALSE(steps.CanRedo());
  EXPECT_EQ(0, steps.Undo(&spot));
  EXPECT_EQ(0, steps.Redo(&spot));
  EXPECT_EQ(opened, Bytes());

  ASSERT_EQ(1, steps.RemovePhrasesAt({4}, &spot));
  ASSERT_EQ(1, steps.Undo(&spot));
  EXPECT_EQ(0, steps.Undo(&spot));
  EXPECT_EQ(opened, Bytes());
  EXPECT_EQ(1u, m_history.GetUndoCount()) << "the main window's step is still there";
  EXPECT_EQ(99, m_lib.m_arrPhrase.GetAt(0)->byFreq);
}

TEST_F(PhraseStepsTest, AnEditAfterAnUndoDropsTheRedoAndTheEarlierStepsKeepTheirPhrases) {
  CPhraseSteps steps(m_lib, m_history);
  steps.Begin();
  tagPHRASESPOT spot;
  ASSERT_EQ(1, steps.SetFrequencyAt({1, 2}, 5, &spot));
  ASSERT_EQ(1, steps.RemovePhrasesAt({0}, &spot));
  ASSERT_EQ(1, steps.Undo(&spot));
  ExpectSpot({0}, true, spot, "remove undone");
  ASSERT_EQ(1, steps.AddPhrase("zz", 3, 0, &spot));
  ExpectSpot({5}, true, spot, "added");
  EXPECT_FALSE(steps.CanRedo());
  EXPECT_EQ(0, steps.Redo(&spot));

  ASSERT_EQ(1, steps.Undo(&spot));
  ExpectSpot({5}, false, spot, "add undone");
  ASSERT_EQ(1, steps.Undo(&spot));
  ExpectSpot({1, 2}, true, spot, "frequency undone");
  EXPECT_EQ(1, m_lib.m_arrPhrase.GetAt(1)->byFreq);
  EXPECT_FALSE(steps.CanUndo());
}

}  // namespace
