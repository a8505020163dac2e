// The phrase window's edits of the library, each one step of the library's
// undo history, and the undo and redo of those steps alone: a step made
// before the window opened (by the main window) is never taken back from
// here. Each step of the window keeps the store positions of the phrases it
// touched, so that after an undo or a redo the window can select them again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CEditHistory;
class CTabrix;

// The phrases an edit, its undo or its redo touched, in the library as that
// left it.
struct tagPHRASESPOT {
  std::vector<uint32_t> arrPos;  // store positions, ascending
  // True: the phrases stand at arrPos. False: they are gone, and the first
  // position is where the first of them stood. Empty arrPos: not known.
  bool bPresent = false;
};

class CPhraseSteps {
 public:
  CPhraseSteps(CTabrix& lib, CEditHistory& history);

  // The window opens: the steps made so far are not its own.
  void Begin();

  // The edits, each through the history as one step; each returns what the
  // history's edit of its name does (1, or 0 with nothing changed). The
  // positions are ascending and without repeats; *pSpot: what it touched.
  int RemovePhrasesAt(const std::vector<uint32_t>& arrPos, tagPHRASESPOT* pSpot);
  int SetFrequencyAt(const std::vector<uint32_t>& arrPos, uint8_t freq, tagPHRASESPOT* pSpot);
  int MovePhrasesAt(const std::vector<uint32_t>& arrPos, uint32_t group, tagPHRASESPOT* pSpot);
  // A text not stored yet (the caller has checked), into group.
  int AddPhrase(const std::string& text, uint8_t freq, uint8_t group, tagPHRASESPOT* pSpot);

  bool CanUndo() const;
  bool CanRedo() const;
  // 1 when a step of the window was taken back (done again), with *pSpot
  // what it touched; 0 when there is none or no memory, nothing changed.
  int Undo(tagPHRASESPOT* pSpot);
  int Redo(tagPHRASESPOT* pSpot);

 private:
  enum KIND { KIND_REMOVE, KIND_ADD, KIND_CHANGE };
  struct tagSTEP {
    uint64_t nId;  // the history's state the step leads to
    KIND kind;
    std::vector<uint32_t> arrPos;
  };

  // Keeps the step just made from state nBefore; a step it cannot keep
  // only loses its selection afterwards.
  void Note(uint64_t nBefore, KIND kind, const std::vector<uint32_t>& arrPos, tagPHRASESPOT* pSpot);
  // Whether the phrases of a step of kind stand at its positions before
  // (bBefore) or after it.
  static bool Present(KIND kind, bool bBefore);
  // What step nId touched, in the library as it was before it (bBefore) or
  // after it.
  void Spot(uint64_t nId, bool bBefore, tagPHRASESPOT* pSpot) const;

  CTabrix& m_lib;
  CEditHistory& m_history;
  uint64_t m_nMark;
  std::vector<tagSTEP> m_arrSteps;  // by ascending nId
};
