// The undo and redo history of a library's edits. Each edit goes through the
// history, which calls the library's own edit function and keeps as one step
// only what takes it back (removed records, old values, the old group record)
// or forward again; clearing or replacing the library keeps the old one whole.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Tabrix.h"

class CPhraseRun;  // PhraseRun.h

// One recorded change. Undo is called on the library as the change left it,
// Redo on the library as it was before; each returns 1, or 0 (no memory)
// with the library as it was.
class CEditStep {
 public:
  virtual ~CEditStep() = default;
  virtual int Undo(CTabrix& lib) = 0;
  virtual int Redo(CTabrix& lib) = 0;
  // Bytes of records the step holds.
  virtual uint64_t GetBytes() const = 0;

  // The library state the step leads to (CEditHistory::GetStateId).
  uint64_t m_nId = 0;
};

class CEditHistory;

// The edits of one command as one step while the object lives; without a
// history it does nothing.
class CEditCompound {
 public:
  CEditCompound(CEditHistory* pHistory, CTabrix& lib);
  ~CEditCompound();
  CEditCompound(const CEditCompound&) = delete;
  CEditCompound& operator=(const CEditCompound&) = delete;

 private:
  CEditHistory* m_pHistory;
  CTabrix& m_lib;
};

class CEditHistory {
 public:
  enum : uint32_t { MAX_STEPS = 100 };
  // Steps may hold as many record bytes as the library itself, and never
  // less than this much: a small library still keeps its steps.
  enum : uint64_t { MIN_BYTES = 1u << 20 };

  explicit CEditHistory(uint32_t nMaxSteps = MAX_STEPS, uint64_t nMinBytes = MIN_BYTES);
  ~CEditHistory();
  CEditHistory(const CEditHistory&) = delete;
  CEditHistory& operator=(const CEditHistory&) = delete;

  // The edits. Each does what the CTabrix function of its name does, with
  // the same results, and a change made is recorded as one step; when there
  // is no memory to record it, nothing is changed and the result is 0.
  int RemovePhrasesAt(CTabrix& lib, const uint32_t* pPos, uint32_t nPos);
  int RemovePhrasesByText(CTabrix& lib, const char* const* ppText, uint32_t nText,
                          uint32_t* pMissing);
  int RemoveGroup(CTabrix& lib, uint32_t group);
  int SetFrequencyAt(CTabrix& lib, const uint32_t* pPos, uint32_t nPos, uint32_t freq);
  int SetFrequencyByText(CTabrix& lib, const char* const* ppText, uint32_t nText, uint32_t freq,
                         uint32_t* pMissing);
  int MovePhrasesAt(CTabrix& lib, const uint32_t* pPos, uint32_t nPos, uint32_t group);
  int MovePhrasesByText(CTabrix& lib, const char* const* ppText, uint32_t nText, uint32_t group,
                        uint32_t* pMissing);
  // A batch of phrases merged in (CTabrix::MergeRun); with pNewGroup, that
  // group is first added at the end (AddGroup, then its tick) and the run
  // may name it. 0 for a group AddGroup refuses, or no memory.
  int AddPhrases(CTabrix& lib, CPhraseRun& run, const tagGROUPINFO* pNewGroup, uint32_t* pAdded,
                 uint32_t* pDropped);
  // A group's texts as AddGroup takes them (0 for a text too long for its
  // field), and its tick; the count stays.
  int SetGroupText(CTabrix& lib, uint32_t group, const char* name, const char* editor,
                   const char* remark);
  int SetGroupEnable(CTabrix& lib, uint32_t group, int32_t bEnable);
  // CTabrix::AddPhrase with the duplicate check, as one step.
  int AddPhrase(CTabrix& lib, const char* text, uint8_t length, uint8_t freq, uint8_t group);
  // CGroupManager::AddGroup with the group's tick, as one step: the index,
  // or 255 with nothing changed.
  uint8_t AddGroup(CTabrix& lib, const char* name, const char* editor, const char* remark,
                   int32_t bEnable);
  // CTabrix::Free; the old library is kept whole by the step.
  int Free(CTabrix& lib);
  // lib takes the content of other (a library just loaded), which is left
  // empty; the old content is kept whole by the step. With pszFileName, the
  // library's file name (GetFileName) becomes it, and undo gives the old
  // name back with the old content, and the old content's saved state: the
  // new content is unsaved until MarkSaved.
  int Replace(CTabrix& lib, CTabrix& other, const char* pszFileName = nullptr);

  // The file the library was loaded from or saved to, in the form paths
  // take; empty for none.
  const std::string& GetFileName() const { return m_strFileName; }
  void SetFileName(const std::string& name) { m_strFileName = name; }

  // The edits between Begin and End are one step (an import's group and its
  // batches); an End without edits records none. Not nested.
  void BeginCompound();
  void EndCompound(CTabrix& lib);
  // Takes back what the open compound changed so far and forgets it: a
  // command that ends up changing nothing (an import that added no phrase)
  // leaves no step and no mark. 0 when a part could not be taken back (no
  // memory): what remains is then kept as the compound's step.
  int CancelCompound(CTabrix& lib);

  // Each state of the library the history can reach has its own number: two
  // equal numbers mean the same content. A save marks the state saved; the
  // library is modified while its state is another one (an undo back to
  // the saved state is unmodified again).
  uint64_t GetStateId() const;
  void MarkSaved() { m_nSavedId = GetStateId(); }
  // No saved state any more: a library without a file, or a damaged one.
  void MarkUnsaved() { m_nSavedId = UINT64_MAX; }
  bool IsModified() const { return GetStateId() != m_nSavedId; }
  // Steps made from now on number at least this: a window that keeps the
  // mark it opened with undoes and redoes only its own steps.
  uint64_t GetStepMark() const { return m_nNextId; }
  bool CanUndoSince(uint64_t nMark) const;
  bool CanRedoSince(uint64_t nMark) const;

  // 1 when a step was taken back (or done again), 0 when there was none or
  // no memory: the library and the history are then unchanged.
  int Undo(CTabrix& lib);
  int Redo(CTabrix& lib);
  uint32_t GetUndoCount() const { return uint32_t(m_arrUndo.size()); }
  uint32_t GetRedoCount() const { return uint32_t(m_arrRedo.size()); }
  uint64_t GetBytes() const { return m_nBytes; }
  void Clear();

 private:
  // Room for one more step, made before the edit so that recording it
  // cannot fail afterwards.
  bool Reserve();
  // Records a step of a change just made: the redo steps go, then the oldest
  // steps while more than m_nMaxSteps are kept or their bytes pass the
  // bound (the newest step stays even alone over it).
  void Push(CTabrix& lib, std::unique_ptr<CEditStep> step);
  // Push's work on the undo list, the step numbered.
  void PushStep(CTabrix& lib, std::unique_ptr<CEditStep> step);
  // Frequencies (bGroup false) and moves (true): one step keeps each touched
  // position's old value of the one field they set to value.
  int ValuesAt(CTabrix& lib, const uint32_t* pPos, uint32_t nPos, bool bGroup, uint32_t value);
  // A group's record set from before to after as one step (room reserved).
  int SetGroupRecord(CTabrix& lib, uint32_t group, const tagGROUPINFO& before,
                     const tagGROUPINFO& after);
  int ValuesByText(CTabrix& lib, const char* const* ppText, uint32_t nText, bool bGroup,
                   uint32_t value, uint32_t* pMissing);

  // The state left when no step can be undone: a new number after Clear,
  // the dropped step's number after the oldest step went.
  uint64_t m_nBaseId;
  uint64_t m_nNextId;
  uint64_t m_nSavedId;
  class CCompoundStep* m_pCompound;                   // owned while a compound is open
  bool m_bCompoundBroken;                             // Clear was called inside it
  std::vector<std::unique_ptr<CEditStep>> m_arrUndo;  // oldest first
  std::vector<std::unique_ptr<CEditStep>> m_arrRedo;  // next to redo last
  uint32_t m_nMaxSteps;
  uint64_t m_nMinBytes;
  uint64_t m_nBytes;  // of the steps of both lists
  std::string m_strFileName;
};
