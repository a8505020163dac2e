#include "PhraseSteps.h"

#include <algorithm>
#include <new>

#include "EditHistory.h"
#include "Tabrix.h"

CPhraseSteps::CPhraseSteps(CTabrix& lib, CEditHistory& history)
    : m_lib(lib), m_history(history), m_nMark(history.GetStepMark()) {}

void CPhraseSteps::Begin() {
  m_nMark = m_history.GetStepMark();
  m_arrSteps.clear();
}

int CPhraseSteps::RemovePhrasesAt(const std::vector<uint32_t>& arrPos, tagPHRASESPOT* pSpot) {
  const uint64_t nBefore = m_history.GetStateId();
  if (!m_history.RemovePhrasesAt(m_lib, arrPos.data(), static_cast<uint32_t>(arrPos.size()))) {
    return 0;
  }
  Note(nBefore, KIND_REMOVE, arrPos, pSpot);
  return 1;
}

int CPhraseSteps::SetFrequencyAt(const std::vector<uint32_t>& arrPos, uint8_t freq,
                                 tagPHRASESPOT* pSpot) {
  const uint64_t nBefore = m_history.GetStateId();
  if (!m_history.SetFrequencyAt(m_lib, arrPos.data(), static_cast<uint32_t>(arrPos.size()), freq)) {
    return 0;
  }
  Note(nBefore, KIND_CHANGE, arrPos, pSpot);
  return 1;
}

int CPhraseSteps::MovePhrasesAt(const std::vector<uint32_t>& arrPos, uint32_t group,
                                tagPHRASESPOT* pSpot) {
  const uint64_t nBefore = m_history.GetStateId();
  if (!m_history.MovePhrasesAt(m_lib, arrPos.data(), static_cast<uint32_t>(arrPos.size()), group)) {
    return 0;
  }
  Note(nBefore, KIND_CHANGE, arrPos, pSpot);
  return 1;
}

int CPhraseSteps::AddPhrase(const std::string& text, uint8_t freq, uint8_t group,
                            tagPHRASESPOT* pSpot) {
  const uint64_t nBefore = m_history.GetStateId();
  if (!m_history.AddPhrase(m_lib, text.c_str(), static_cast<uint8_t>(text.size()), freq, group)) {
    return 0;
  }
  std::vector<uint32_t> arrPos;
  uint32_t pos = 0;
  try {
    if (m_lib.FindPhrase(text.c_str(), &pos, nullptr)) arrPos.push_back(pos);
  } catch (const std::bad_alloc&) {
    arrPos.clear();
  }
  Note(nBefore, KIND_ADD, arrPos, pSpot);
  return 1;
}

void CPhraseSteps::Note(uint64_t nBefore, KIND kind, const std::vector<uint32_t>& arrPos,
                        tagPHRASESPOT* pSpot) {
  // Steps numbered after the state the edit started from were on the redo
  // list, which the edit has dropped.
  m_arrSteps.erase(std::upper_bound(m_arrSteps.begin(), m_arrSteps.end(), nBefore,
                                    [](uint64_t n, const tagSTEP& s) { return n < s.nId; }),
                   m_arrSteps.end());
  pSpot->arrPos.clear();
  pSpot->bPresent = Present(kind, false);
  try {
    pSpot->arrPos = arrPos;
    if (m_arrSteps.size() >= CEditHistory::MAX_STEPS) m_arrSteps.erase(m_arrSteps.begin());
    m_arrSteps.push_back(tagSTEP{m_history.GetStateId(), kind, arrPos});
  } catch (const std::bad_alloc&) {
    // The step stays in the history; its undo and redo select nothing.
  }
}

bool CPhraseSteps::Present(KIND kind, bool bBefore) {
  // Removed phrases stand at their positions before the removal, an added
  // one after its addition, changed ones at both.
  return kind == KIND_CHANGE || (kind == KIND_REMOVE) == bBefore;
}

void CPhraseSteps::Spot(uint64_t nId, bool bBefore, tagPHRASESPOT* pSpot) const {
  pSpot->arrPos.clear();
  pSpot->bPresent = false;
  const auto it = std::lower_bound(m_arrSteps.begin(), m_arrSteps.end(), nId,
                                   [](const tagSTEP& s, uint64_t n) { return s.nId < n; });
  if (it == m_arrSteps.end() || it->nId != nId) return;
  try {
    pSpot->arrPos = it->arrPos;
  } catch (const std::bad_alloc&) {
    return;
  }
  pSpot->bPresent = Present(it->kind, bBefore);
}

bool CPhraseSteps::CanUndo() const { return m_history.CanUndoSince(m_nMark); }

bool CPhraseSteps::CanRedo() const { return m_history.CanRedoSince(m_nMark); }

int CPhraseSteps::Undo(tagPHRASESPOT* pSpot) {
  if (!CanUndo()) return 0;
  const uint64_t nId = m_history.GetStateId();
  if (!m_history.Undo(m_lib)) return 0;
  Spot(nId, true, pSpot);
  return 1;
}

int CPhraseSteps::Redo(tagPHRASESPOT* pSpot) {
  if (!CanRedo() || !m_history.Redo(m_lib)) return 0;
  Spot(m_history.GetStateId(), false, pSpot);
  return 1;
}
