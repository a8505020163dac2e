#include "EditHistory.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "PhraseRun.h"

namespace {

typedef std::vector<tagPHRASE2> PhraseList;
typedef std::vector<uint32_t> PosList;

uint64_t LibraryBytes(const CTabrix& lib) {
  return uint64_t(lib.m_arrPhrase.GetCount()) * sizeof(tagPHRASE2) +
         uint64_t(lib.GetGroupCount()) * sizeof(tagGROUPINFO);
}

// Sorted positions without repeats, all in range; false otherwise.
bool SortedUnique(const CTabrix& lib, const uint32_t* pPos, uint32_t nPos, PosList* pOut) {
  if (nPos > 0 && pPos == nullptr) return false;
  pOut->assign(pPos, pPos + nPos);
  std::sort(pOut->begin(), pOut->end());
  pOut->erase(std::unique(pOut->begin(), pOut->end()), pOut->end());
  return pOut->empty() || pOut->back() < lib.m_arrPhrase.GetCount();
}

// The stored positions of the texts, the missing ones counted.
// The positions of the stored texts of a list, the others counted in
// *pMissing: the text lists' edits are their position edits. False for a
// null list or no memory.
bool PositionsOf(CTabrix& lib, const char* const* ppText, uint32_t nText, PosList* pOut,
                 uint32_t* pMissing) {
  if (nText > 0 && ppText == nullptr) return false;
  try {
    uint32_t pos = 0;
    for (uint32_t i = 0; i < nText; ++i) {
      if (lib.FindPhrase(ppText[i], &pos, nullptr)) pOut->push_back(pos);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (pMissing != nullptr) *pMissing = nText - uint32_t(pOut->size());
  return true;
}

// The group's fields but its count, which follows its phrases.
void CopyGroupFields(tagGROUPINFO* pTo, const tagGROUPINFO& from) {
  const uint32_t dwCount = pTo->dwCount;
  *pTo = from;
  pTo->dwCount = dwCount;
}

// Phrases that one side of the step has and the other not: the records in
// store order, and their positions in the store that has them, where they
// go back in one pass. With a group,
// that group (the last) comes and goes with them.
class CPhrasesStep : public CEditStep {
 public:
  CPhrasesStep(bool bAdded, bool bNewGroup, const tagGROUPINFO& group)
      : m_bAdded(bAdded), m_bNewGroup(bNewGroup), m_group(group) {}
  int Undo(CTabrix& lib) override { return m_bAdded ? Take(lib) : Put(lib); }
  int Redo(CTabrix& lib) override { return m_bAdded ? Put(lib) : Take(lib); }
  uint64_t GetBytes() const override {
    return m_arrRec.size() * sizeof(tagPHRASE2) + m_arrPos.size() * sizeof(uint32_t);
  }

  void SetGroup(const tagGROUPINFO& group) { m_group = group; }

  PhraseList m_arrRec;
  PosList m_arrPos;

 private:
  int Put(CTabrix& lib) {
    if (m_bNewGroup) {
      const uint8_t g = lib.AddGroup(m_group.szName, m_group.szEditor, m_group.szRemark);
      if (g == TABRIX_NO_GROUP) return 0;
      CopyGroupFields(lib.GetGroup(g), m_group);
    }
    if (lib.InsertPhrasesAt(m_arrPos.data(), m_arrRec.data(), uint32_t(m_arrRec.size()))) return 1;
    if (m_bNewGroup) lib.RemoveGroup(lib.GetGroupCount() - 1);
    return 0;
  }
  int Take(CTabrix& lib) {
    if (m_bNewGroup && lib.GetGroupCount() == 0) return 0;
    if (!lib.RemovePhrasesAt(m_arrPos.data(), uint32_t(m_arrPos.size()))) return 0;
    // The group as it is now: an import names it from its file's header
    // after adding it.
    if (m_bNewGroup) m_group = *lib.GetGroup(lib.GetGroupCount() - 1);
    if (m_bNewGroup) lib.RemoveGroup(lib.GetGroupCount() - 1);
    return 1;
  }

  bool m_bAdded;  // the step added the phrases (otherwise removed them)
  bool m_bNewGroup;
  tagGROUPINFO m_group;
};

// A removed group: its record and its phrases.
class CGroupStep : public CEditStep {
 public:
  CGroupStep(uint32_t group, const tagGROUPINFO& info) : m_nGroup(group), m_info(info) {}
  int Undo(CTabrix& lib) override {
    return lib.InsertGroup(m_nGroup, m_info, m_arrPos.data(), m_arrRec.data(),
                           uint32_t(m_arrRec.size()));
  }
  int Redo(CTabrix& lib) override { return lib.RemoveGroup(m_nGroup); }
  uint64_t GetBytes() const override {
    return m_arrRec.size() * (sizeof(tagPHRASE2) + sizeof(uint32_t)) + sizeof(tagGROUPINFO);
  }

  PhraseList m_arrRec;
  PosList m_arrPos;  // where they were

 private:
  uint32_t m_nGroup;
  tagGROUPINFO m_info;
};

// A frequency or a group given to phrases: each position's old value.
class CValueStep : public CEditStep {
 public:
  CValueStep(bool bGroup, uint32_t value) : m_bGroup(bGroup), m_nValue(value) {}
  int Undo(CTabrix& lib) override {
    return lib.RestoreValuesAt(m_arrPos.data(), m_arrOld.data(), uint32_t(m_arrPos.size()),
                               m_bGroup);
  }
  int Redo(CTabrix& lib) override {
    return Set(lib, m_arrPos.data(), uint32_t(m_arrPos.size()), m_nValue);
  }
  uint64_t GetBytes() const override { return m_arrPos.size() * (sizeof(uint32_t) + 1); }

  PosList m_arrPos;
  std::vector<uint8_t> m_arrOld;

 private:
  int Set(CTabrix& lib, const uint32_t* pPos, uint32_t nPos, uint32_t value) {
    return m_bGroup ? lib.MovePhrasesAt(pPos, nPos, value) : lib.SetFrequencyAt(pPos, nPos, value);
  }

  bool m_bGroup;
  uint32_t m_nValue;
};

// A group record's fields before and after (the count aside).
class CGroupFieldsStep : public CEditStep {
 public:
  CGroupFieldsStep(uint32_t group, const tagGROUPINFO& before, const tagGROUPINFO& after)
      : m_nGroup(group), m_before(before), m_after(after) {}
  int Undo(CTabrix& lib) override { return Set(lib, m_before); }
  int Redo(CTabrix& lib) override { return Set(lib, m_after); }
  uint64_t GetBytes() const override { return 2 * sizeof(tagGROUPINFO); }

 private:
  int Set(CTabrix& lib, const tagGROUPINFO& info) {
    if (m_nGroup >= lib.GetGroupCount()) return 0;
    CopyGroupFields(lib.GetGroup(m_nGroup), info);
    return 1;
  }

  uint32_t m_nGroup;
  tagGROUPINFO m_before;
  tagGROUPINFO m_after;
};

// The library's whole content exchanged with another: undo and redo alike
// swap the two.
void SwapContent(CTabrix& a, CTabrix& b) {
  CTabrix tmp;
  tmp.m_arrGroup.TakeBlocksOf(a.m_arrGroup);
  tmp.m_arrPhrase.TakeBlocksOf(a.m_arrPhrase);
  a.m_arrGroup.TakeBlocksOf(b.m_arrGroup);
  a.m_arrPhrase.TakeBlocksOf(b.m_arrPhrase);
  b.m_arrGroup.TakeBlocksOf(tmp.m_arrGroup);
  b.m_arrPhrase.TakeBlocksOf(tmp.m_arrPhrase);
}

class CSwapStep : public CEditStep {
 public:
  CSwapStep() : m_nBytes(0), m_pFileName(nullptr), m_pSavedId(nullptr), m_nOtherSavedId(0) {}
  int Undo(CTabrix& lib) override {
    SwapContent(lib, m_other);
    if (m_pFileName != nullptr) m_pFileName->swap(m_strOtherName);
    if (m_pSavedId != nullptr) std::swap(*m_pSavedId, m_nOtherSavedId);
    return 1;
  }
  int Redo(CTabrix& lib) override { return Undo(lib); }
  // Fixed once recorded, so that the history's sum stays right whichever
  // side the step holds: the larger of the two.
  uint64_t GetBytes() const override { return m_nBytes; }

  CTabrix m_other;
  uint64_t m_nBytes;
  // With a file name: the history's file name and saved state, exchanged
  // with the other content's, so that undoing a load leaves the library
  // before it as saved as it was.
  std::string* m_pFileName;
  std::string m_strOtherName;
  uint64_t* m_pSavedId;
  uint64_t m_nOtherSavedId;
};

// Keeps what the run hands to the merge that the merge will add, with its
// position in the merged store: a phrase naming a group, not repeating the
// run's previous text and not stored. The store is read, never changed,
// while the merge runs, so one cursor walks it beside the run; a phrase
// added lands after the stored phrases and the added phrases before it.
class CAddedRun : public CPhraseRun {
 public:
  CAddedRun(CTabrix& lib, CPhraseRun& run, PhraseList& added, PosList& pos)
      : m_lib(lib), m_run(run), m_added(added), m_pos(pos), m_nStore(0), m_bFailed(false) {}
  bool Next(tagPHRASE2* pOut) override {
    if (!m_run.Next(pOut)) return false;
    if (pOut->byGroup >= m_lib.GetGroupCount()) return true;
    if (!m_added.empty() && ComparePhrase(&m_added.back(), pOut, nullptr) == 0) return true;
    int d = 1;
    const uint32_t nStore = m_lib.m_arrPhrase.GetCount();
    while (m_nStore < nStore &&
           (d = ComparePhrase(m_lib.m_arrPhrase.GetAt(m_nStore), pOut, nullptr)) < 0) {
      ++m_nStore;
    }
    if (m_nStore < nStore && d == 0) return true;
    try {
      m_pos.push_back(m_nStore + uint32_t(m_added.size()));
      m_added.push_back(*pOut);
    } catch (const std::bad_alloc&) {
      m_bFailed = true;
    }
    return true;
  }
  bool Failed() const { return m_bFailed; }

 private:
  CTabrix& m_lib;
  CPhraseRun& m_run;
  PhraseList& m_added;
  PosList& m_pos;
  uint32_t m_nStore;
  bool m_bFailed;
};

}  // namespace

// Several steps as one: taken back newest first, done again oldest first.
// A part that fails puts the parts already moved back where they were.
class CCompoundStep : public CEditStep {
 public:
  int Undo(CTabrix& lib) override {
    for (size_t i = m_arrSteps.size(); i-- > 0;) {
      if (m_arrSteps[i]->Undo(lib)) continue;
      while (++i < m_arrSteps.size()) m_arrSteps[i]->Redo(lib);
      return 0;
    }
    return 1;
  }
  int Redo(CTabrix& lib) override {
    for (size_t i = 0; i < m_arrSteps.size(); ++i) {
      if (m_arrSteps[i]->Redo(lib)) continue;
      while (i-- > 0) m_arrSteps[i]->Undo(lib);
      return 0;
    }
    return 1;
  }
  uint64_t GetBytes() const override {
    uint64_t n = 0;
    for (const std::unique_ptr<CEditStep>& s : m_arrSteps) n += s->GetBytes();
    return n;
  }

  std::vector<std::unique_ptr<CEditStep>> m_arrSteps;
};

CEditCompound::CEditCompound(CEditHistory* pHistory, CTabrix& lib)
    : m_pHistory(pHistory), m_lib(lib) {
  if (m_pHistory != nullptr) m_pHistory->BeginCompound();
}

CEditCompound::~CEditCompound() {
  if (m_pHistory != nullptr) m_pHistory->EndCompound(m_lib);
}

CEditHistory::CEditHistory(uint32_t nMaxSteps, uint64_t nMinBytes)
    : m_nBaseId(1),
      m_nNextId(2),
      m_nSavedId(1),
      m_pCompound(nullptr),
      m_bCompoundBroken(false),
      m_nMaxSteps(nMaxSteps == 0 ? 1 : nMaxSteps),
      m_nMinBytes(nMinBytes),
      m_nBytes(0) {}

CEditHistory::~CEditHistory() { delete m_pCompound; }

void CEditHistory::Clear() {
  m_arrUndo.clear();
  m_arrRedo.clear();
  m_nBytes = 0;
  // What the library holds now cannot be reached by undo or redo: a state
  // of its own, never the saved one.
  m_nBaseId = m_nNextId++;
  if (m_pCompound != nullptr) {
    m_pCompound->m_arrSteps.clear();
    m_bCompoundBroken = true;
  }
}

void CEditHistory::BeginCompound() {
  if (m_pCompound != nullptr) return;
  m_pCompound = new (std::nothrow) CCompoundStep;
  m_bCompoundBroken = false;
}

void CEditHistory::EndCompound(CTabrix& lib) {
  std::unique_ptr<CCompoundStep> step(m_pCompound);
  m_pCompound = nullptr;
  if (!step || step->m_arrSteps.empty()) return;
  if (step->m_arrSteps.size() == 1) {
    Push(lib, std::move(step->m_arrSteps[0]));
    return;
  }
  step->m_nId = step->m_arrSteps.back()->m_nId;
  if (!Reserve()) {
    Clear();
    return;
  }
  PushStep(lib, std::move(step));
}

int CEditHistory::CancelCompound(CTabrix& lib) {
  if (m_pCompound == nullptr) return 1;
  std::vector<std::unique_ptr<CEditStep>>& steps = m_pCompound->m_arrSteps;
  while (!steps.empty()) {
    if (!steps.back()->Undo(lib)) return 0;
    steps.pop_back();
  }
  return 1;
}

uint64_t CEditHistory::GetStateId() const {
  if (m_pCompound != nullptr && !m_pCompound->m_arrSteps.empty())
    return m_pCompound->m_arrSteps.back()->m_nId;
  return m_arrUndo.empty() ? m_nBaseId : m_arrUndo.back()->m_nId;
}

bool CEditHistory::CanUndoSince(uint64_t nMark) const {
  return !m_arrUndo.empty() && m_arrUndo.back()->m_nId >= nMark;
}

bool CEditHistory::CanRedoSince(uint64_t nMark) const {
  return !m_arrRedo.empty() && m_arrRedo.back()->m_nId >= nMark;
}

bool CEditHistory::Reserve() {
  try {
    m_arrUndo.reserve(m_nMaxSteps + 1);
    m_arrRedo.reserve(m_nMaxSteps + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

void CEditHistory::Push(CTabrix& lib, std::unique_ptr<CEditStep> step) {
  step->m_nId = m_nNextId++;
  if (m_pCompound != nullptr) {
    // Inside a compound the redo steps go at once, as they would at its end.
    for (const std::unique_ptr<CEditStep>& s : m_arrRedo) m_nBytes -= s->GetBytes();
    m_arrRedo.clear();
    try {
      m_pCompound->m_arrSteps.push_back(std::move(step));
    } catch (const std::bad_alloc&) {
      // The change is made but cannot be taken back: no step before it can.
      Clear();
    }
    return;
  }
  PushStep(lib, std::move(step));
}

void CEditHistory::PushStep(CTabrix& lib, std::unique_ptr<CEditStep> step) {
  for (const std::unique_ptr<CEditStep>& s : m_arrRedo) m_nBytes -= s->GetBytes();
  m_arrRedo.clear();
  m_nBytes += step->GetBytes();
  m_arrUndo.push_back(std::move(step));  // room reserved
  const uint64_t nBound = std::max(LibraryBytes(lib), m_nMinBytes);
  size_t nDrop = 0;
  uint64_t nBytes = m_nBytes;
  while (m_arrUndo.size() - nDrop > 1 &&
         (m_arrUndo.size() - nDrop > m_nMaxSteps || nBytes > nBound)) {
    m_nBaseId = m_arrUndo[nDrop]->m_nId;
    nBytes -= m_arrUndo[nDrop++]->GetBytes();
  }
  m_arrUndo.erase(m_arrUndo.begin(), m_arrUndo.begin() + long(nDrop));
  m_nBytes = nBytes;
}

int CEditHistory::Undo(CTabrix& lib) {
  if (m_pCompound != nullptr) return 0;
  if (m_arrUndo.empty() || !m_arrUndo.back()->Undo(lib)) return 0;
  m_arrRedo.push_back(std::move(m_arrUndo.back()));  // room reserved
  m_arrUndo.pop_back();
  return 1;
}

int CEditHistory::Redo(CTabrix& lib) {
  if (m_pCompound != nullptr) return 0;
  if (m_arrRedo.empty() || !m_arrRedo.back()->Redo(lib)) return 0;
  m_arrUndo.push_back(std::move(m_arrRedo.back()));
  m_arrRedo.pop_back();
  return 1;
}

int CEditHistory::RemovePhrasesAt(CTabrix& lib, const uint32_t* pPos, uint32_t nPos) {
  if (!Reserve()) return 0;
  try {
    std::unique_ptr<CPhrasesStep> step(new CPhrasesStep(false, false, tagGROUPINFO()));
    if (!SortedUnique(lib, pPos, nPos, &step->m_arrPos)) return 0;
    step->m_arrRec.reserve(step->m_arrPos.size());
    for (uint32_t pos : step->m_arrPos) step->m_arrRec.push_back(*lib.m_arrPhrase.GetAt(pos));
    if (!lib.RemovePhrasesAt(pPos, nPos)) return 0;
    Push(lib, std::move(step));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

int CEditHistory::RemovePhrasesByText(CTabrix& lib, const char* const* ppText, uint32_t nText,
                                      uint32_t* pMissing) {
  PosList pos;
  if (!PositionsOf(lib, ppText, nText, &pos, pMissing)) return 0;
  return RemovePhrasesAt(lib, pos.data(), uint32_t(pos.size()));
}

int CEditHistory::RemoveGroup(CTabrix& lib, uint32_t group) {
  if (group >= lib.GetGroupCount() || !Reserve()) return 0;
  try {
    std::unique_ptr<CGroupStep> step(new CGroupStep(group, *lib.GetGroup(group)));
    step->m_arrRec.reserve(lib.GetGroup(group)->dwCount);
    step->m_arrPos.reserve(lib.GetGroup(group)->dwCount);
    uint32_t pos = 0;
    for (const tagSABLOCK<tagPHRASE2>* block = lib.m_arrPhrase.m_pFirst; block != nullptr;
         block = block->pNext) {
      for (uint32_t r = 0; r < block->nCount; ++r, ++pos) {
        if (block->pItems[r].byGroup != group) continue;
        step->m_arrRec.push_back(block->pItems[r]);
        step->m_arrPos.push_back(pos);
      }
    }
    if (!lib.RemoveGroup(group)) return 0;
    Push(lib, std::move(step));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

int CEditHistory::SetFrequencyAt(CTabrix& lib, const uint32_t* pPos, uint32_t nPos, uint32_t freq) {
  return ValuesAt(lib, pPos, nPos, false, freq);
}

int CEditHistory::SetFrequencyByText(CTabrix& lib, const char* const* ppText, uint32_t nText,
                                     uint32_t freq, uint32_t* pMissing) {
  // Refused before any text is looked up, as the library refuses them.
  if (freq > 250) return 0;
  return ValuesByText(lib, ppText, nText, false, freq, pMissing);
}

int CEditHistory::MovePhrasesAt(CTabrix& lib, const uint32_t* pPos, uint32_t nPos, uint32_t group) {
  return ValuesAt(lib, pPos, nPos, true, group);
}

int CEditHistory::MovePhrasesByText(CTabrix& lib, const char* const* ppText, uint32_t nText,
                                    uint32_t group, uint32_t* pMissing) {
  if (group >= lib.GetGroupCount()) return 0;
  return ValuesByText(lib, ppText, nText, true, group, pMissing);
}

int CEditHistory::ValuesAt(CTabrix& lib, const uint32_t* pPos, uint32_t nPos, bool bGroup,
                           uint32_t value) {
  if (!Reserve()) return 0;
  try {
    std::unique_ptr<CValueStep> step(new CValueStep(bGroup, value));
    if (!SortedUnique(lib, pPos, nPos, &step->m_arrPos)) return 0;
    step->m_arrOld.reserve(step->m_arrPos.size());
    for (uint32_t pos : step->m_arrPos) {
      const tagPHRASE2* phrase = lib.m_arrPhrase.GetAt(pos);
      step->m_arrOld.push_back(bGroup ? phrase->byGroup : phrase->byFreq);
    }
    if (!step->Redo(lib)) return 0;
    Push(lib, std::move(step));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

int CEditHistory::ValuesByText(CTabrix& lib, const char* const* ppText, uint32_t nText, bool bGroup,
                               uint32_t value, uint32_t* pMissing) {
  PosList pos;
  if (!PositionsOf(lib, ppText, nText, &pos, pMissing)) return 0;
  return ValuesAt(lib, pos.data(), uint32_t(pos.size()), bGroup, value);
}

int CEditHistory::AddPhrases(CTabrix& lib, CPhraseRun& run, const tagGROUPINFO* pNewGroup,
                             uint32_t* pAdded, uint32_t* pDropped) {
  if (!Reserve()) return 0;
  try {
    std::unique_ptr<CPhrasesStep> step(
        new CPhrasesStep(true, pNewGroup != nullptr, pNewGroup ? *pNewGroup : tagGROUPINFO()));
    if (pNewGroup != nullptr) {
      const uint8_t g = lib.AddGroup(pNewGroup->szName, pNewGroup->szEditor, pNewGroup->szRemark);
      if (g == TABRIX_NO_GROUP) return 0;
      lib.GetGroup(g)->bEnable = pNewGroup->bEnable;
    }
    CAddedRun added(lib, run, step->m_arrRec, step->m_arrPos);
    uint32_t nAdded = 0;
    if (!lib.MergeRun(added, &nAdded, pDropped)) {
      if (pNewGroup != nullptr) lib.RemoveGroup(lib.GetGroupCount() - 1);
      return 0;
    }
    if (pAdded != nullptr) *pAdded = nAdded;
    // The library changed; a step that would not take it back exactly is
    // not kept, and neither are the steps before it.
    if (added.Failed() || nAdded != step->m_arrRec.size() || nAdded != step->m_arrPos.size()) {
      Clear();
      return 1;
    }
    Push(lib, std::move(step));
  } catch (const std::bad_alloc&) {
    Clear();
    return 1;
  }
  return 1;
}

int CEditHistory::SetGroupText(CTabrix& lib, uint32_t group, const char* name, const char* editor,
                               const char* remark) {
  if (group >= lib.GetGroupCount() || !Reserve()) return 0;
  const char* texts[3] = {name ? name : "", editor ? editor : "", remark ? remark : ""};
  const tagGROUPINFO before = *lib.GetGroup(group);
  tagGROUPINFO after = before;
  char* fields[3] = {after.szName, after.szEditor, after.szRemark};
  const size_t sizes[3] = {sizeof after.szName, sizeof after.szEditor, sizeof after.szRemark};
  for (int i = 0; i < 3; ++i) {
    const size_t n = FieldTextLength(texts[i], sizes[i]);
    if (n >= sizes[i]) return 0;
    std::memset(fields[i], 0, sizes[i]);  // as AddGroup leaves a field
    std::memcpy(fields[i], texts[i], n);
  }
  return SetGroupRecord(lib, group, before, after);
}

int CEditHistory::SetGroupEnable(CTabrix& lib, uint32_t group, int32_t bEnable) {
  if (group >= lib.GetGroupCount() || !Reserve()) return 0;
  const tagGROUPINFO before = *lib.GetGroup(group);
  tagGROUPINFO after = before;
  after.bEnable = bEnable;
  return SetGroupRecord(lib, group, before, after);
}

int CEditHistory::SetGroupRecord(CTabrix& lib, uint32_t group, const tagGROUPINFO& before,
                                 const tagGROUPINFO& after) {
  // Nothing changes: no step, so that an unchanged library stays unmodified.
  if (std::memcmp(&before, &after, sizeof before) == 0) return 1;
  try {
    std::unique_ptr<CGroupFieldsStep> step(new CGroupFieldsStep(group, before, after));
    step->Redo(lib);
    Push(lib, std::move(step));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

int CEditHistory::AddPhrase(CTabrix& lib, const char* text, uint8_t length, uint8_t freq,
                            uint8_t group) {
  if (!Reserve()) return 0;
  try {
    std::unique_ptr<CPhrasesStep> step(new CPhrasesStep(true, false, tagGROUPINFO()));
    step->m_arrRec.reserve(1);
    step->m_arrPos.reserve(1);
    if (!lib.AddPhrase(text, length, freq, 1, group)) return 0;
    // The text as stored: AddPhrase stops at a NUL, and took at most 30 bytes.
    const size_t nMax = length == 255 ? sizeof(tagPHRASE2::szWord) : length;
    const std::string stored(text, FieldTextLength(text, nMax));
    uint32_t pos = 0;
    if (!lib.FindPhrase(stored.c_str(), &pos, nullptr)) {
      Clear();
      return 1;
    }
    step->m_arrRec.push_back(*lib.m_arrPhrase.GetAt(pos));
    step->m_arrPos.push_back(pos);
    Push(lib, std::move(step));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}

uint8_t CEditHistory::AddGroup(CTabrix& lib, const char* name, const char* editor,
                               const char* remark, int32_t bEnable) {
  if (!Reserve()) return TABRIX_NO_GROUP;
  try {
    std::unique_ptr<CPhrasesStep> step(new CPhrasesStep(true, true, tagGROUPINFO()));
    const uint8_t g = lib.AddGroup(name, editor, remark);
    if (g == TABRIX_NO_GROUP) return g;
    lib.GetGroup(g)->bEnable = bEnable;
    step->SetGroup(*lib.GetGroup(g));
    Push(lib, std::move(step));
    return g;
  } catch (const std::bad_alloc&) {
    return TABRIX_NO_GROUP;
  }
}

int CEditHistory::Free(CTabrix& lib) {
  CTabrix empty;
  return Replace(lib, empty);
}

int CEditHistory::Replace(CTabrix& lib, CTabrix& other, const char* pszFileName) {
  if (!Reserve()) return 0;
  try {
    std::unique_ptr<CSwapStep> step(new CSwapStep);
    if (pszFileName != nullptr) {
      step->m_pFileName = &m_strFileName;
      step->m_strOtherName = pszFileName;
      // The new content is saved nowhere until the caller says so.
      step->m_pSavedId = &m_nSavedId;
      step->m_nOtherSavedId = UINT64_MAX;
    }
    SwapContent(step->m_other, other);
    step->m_nBytes = std::max(LibraryBytes(lib), LibraryBytes(step->m_other));
    step->Redo(lib);
    Push(lib, std::move(step));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  return 1;
}
