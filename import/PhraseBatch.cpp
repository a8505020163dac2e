#include "PhraseBatch.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "EditHistory.h"
#include "PhraseRun.h"
#include "PhraseSort.h"
#include "PhraseText.h"
#include "Tabrix.h"

namespace {

using phrase_sort::RadixSort;

// The batch is given back in steps once it has shrunk below half of this.
constexpr size_t kMinCapacity = 1024;
// A batch this many times smaller than the store goes in phrase by phrase:
// a few searches cost less than copying the whole store once.
constexpr size_t kOneByOneRatio = 1024;

uint8_t TextLength(const tagSTAGEDPHRASE& s) { return static_cast<uint8_t>(s.nLen); }

}  // namespace

// The sorted batch as a run for the store, smallest first. Taking hands the
// phrases out of the batch and gives its memory back as it goes; otherwise
// the batch is only read.
class CPhraseBatch::CBatchRun : public CPhraseRun {
 public:
  CBatchRun(CPhraseBatch& batch, uint8_t byGroup, bool bTake)
      : m_batch(batch), m_nNext(batch.m_nCount), m_nHandedOut(0), m_bTake(bTake) {
    std::memset(&m_rec, 0, sizeof(m_rec));
    m_rec.byGroup = byGroup;
  }
  bool Next(tagPHRASE2* pOut) override {
    if (m_nNext == 0) return false;
    --m_nNext;
    const tagSTAGEDPHRASE s = m_bTake ? m_batch.TakeSmallest() : m_batch.m_pItems[m_nNext];
    std::memcpy(m_rec.szWord, s.szWord, sizeof(s.szWord));
    m_rec.byFreq = s.byFreq;
    m_rec.cLen = TextLength(s);
    *pOut = m_rec;
    ++m_nHandedOut;
    return true;
  }
  size_t GetHandedOut() const { return m_nHandedOut; }

 private:
  CPhraseBatch& m_batch;
  size_t m_nNext;  // phrases left, taken from the end
  size_t m_nHandedOut;
  bool m_bTake;
  tagPHRASE2 m_rec;
};

CPhraseBatch::CPhraseBatch(CTabrix& lib, uint8_t group, CEditHistory* pHistory)
    : m_lib(lib),
      m_pHistory(pHistory),
      m_byGroup(group),
      m_pItems(nullptr),
      m_nCount(0),
      m_nCapacity(0) {}

int CPhraseBatch::MergeRun(CPhraseRun& run, uint32_t* pAdded, uint32_t* pDropped) {
  if (m_pHistory != nullptr) return m_pHistory->AddPhrases(m_lib, run, nullptr, pAdded, pDropped);
  return m_lib.MergeRun(run, pAdded, pDropped);
}

int CPhraseBatch::AddPhrase(const char* text, uint8_t length, uint8_t freq) {
  if (m_pHistory != nullptr) return m_pHistory->AddPhrase(m_lib, text, length, freq, m_byGroup);
  return m_lib.AddPhrase(text, length, freq, 1, m_byGroup);
}

CPhraseBatch::~CPhraseBatch() { std::free(m_pItems); }

bool CPhraseBatch::Grow() {
  const size_t nLimit = SIZE_MAX / 2 / sizeof(tagSTAGEDPHRASE);
  if (m_nCapacity >= nLimit) return false;
  const size_t nCapacity = m_nCapacity == 0 ? kMinCapacity : m_nCapacity * 2;
  // realloc: a large block grows in place where the system allows, without
  // holding the old and the new copy at once.
  void* p = std::realloc(m_pItems, nCapacity * sizeof(tagSTAGEDPHRASE));
  if (p == nullptr) return false;
  m_pItems = static_cast<tagSTAGEDPHRASE*>(p);
  m_nCapacity = nCapacity;
  return true;
}

void CPhraseBatch::Reserve(size_t n) {
  if (n <= m_nCapacity || n > SIZE_MAX / 2 / sizeof(tagSTAGEDPHRASE)) return;
  // Pages of the room that no phrase reaches are never touched, so a generous
  // guess costs address space, not memory.
  void* p = std::realloc(m_pItems, n * sizeof(tagSTAGEDPHRASE));
  if (p == nullptr) return;
  m_pItems = static_cast<tagSTAGEDPHRASE*>(p);
  m_nCapacity = n;
}

void CPhraseBatch::Offer(const char* text, uint32_t length, uint8_t freq, uint8_t lo, uint8_t hi,
                         tagIMPORTSTATS& stats) {
  // Every import's phrases come this way: nothing else may reach the store.
  const uint32_t faults = PhraseTextFaults(text, length);
  if (faults & PHRASE_TEXT_NOT_STORABLE) {
    ++stats.nControlOrEmpty;
  } else if (freq < lo || freq > hi) {
    ++stats.nOutOfRange;
  } else if (faults & PHRASE_TEXT_TOO_LONG) {
    ++stats.nTooLong;
  } else {
    Add(text, length, freq, stats);
  }
}

void CPhraseBatch::Add(const char* text, uint32_t length, uint8_t freq, tagIMPORTSTATS& stats) {
  // Arrival numbers are 24 bits: a larger file goes in as several batches.
  if (m_nCount >= PHRASE_BATCH_MAX) Flush(stats);
  if (m_nCount == m_nCapacity && !Grow()) {
    Flush(stats);
    if (m_nCount == m_nCapacity && !Grow()) {
      // No memory for even a small batch: this phrase goes in on its own.
      if (AddPhrase(text, static_cast<uint8_t>(length), freq) != 0) {
        ++stats.nAdded;
      } else {
        ++stats.nDuplicate;
      }
      return;
    }
  }
  tagSTAGEDPHRASE& s = m_pItems[m_nCount];
  std::memset(s.szWord, 0, sizeof(s.szWord));
  std::memcpy(s.szWord, text, length);
  s.byFreq = freq;
  s.nOrder = static_cast<uint32_t>(m_nCount);
  s.nLen = length;
  ++m_nCount;
}

tagSTAGEDPHRASE CPhraseBatch::TakeSmallest() {
  const tagSTAGEDPHRASE s = m_pItems[--m_nCount];
  if (m_nCount == 0) {
    std::free(m_pItems);
    m_pItems = nullptr;
    m_nCapacity = 0;
  } else if (m_nCapacity >= 2 * kMinCapacity && m_nCount <= m_nCapacity / 2) {
    void* p = std::realloc(m_pItems, m_nCount * sizeof(tagSTAGEDPHRASE));
    if (p != nullptr) {  // otherwise the larger block simply stays
      m_pItems = static_cast<tagSTAGEDPHRASE*>(p);
      m_nCapacity = m_nCount;
    }
  }
  return s;
}

void CPhraseBatch::AppendToEmptyStore(tagIMPORTSTATS& stats) {
  // The batch is given back as it empties: a large import never holds the
  // whole batch and the whole store at once.
  CBatchRun run(*this, m_byGroup, true);
  uint32_t nAdded = 0, nDropped = 0;
  if (MergeRun(run, &nAdded, &nDropped)) {
    stats.nAdded += nAdded;
    stats.nDuplicate += nDropped;  // the batch's phrases all name the group
    return;
  }
  // No memory: what the run had handed out is lost, counted as AddPhrase
  // counts a phrase it has no room for; the rest goes in one by one.
  stats.nDuplicate += run.GetHandedOut();
  AddOneByOne(stats);
}

void CPhraseBatch::AddOneByOne(tagIMPORTSTATS& stats) {
  // Smallest first: into an empty store every phrase is an append, and a
  // later arrival of a text finds the first one stored.
  while (m_nCount > 0) {
    const tagSTAGEDPHRASE s = TakeSmallest();
    if (AddPhrase(s.szWord, TextLength(s), s.byFreq) != 0) {
      ++stats.nAdded;
    } else {
      ++stats.nDuplicate;
    }
  }
}

bool CPhraseBatch::MergeIntoStore(tagIMPORTSTATS& stats) {
  // The batch stays whole until the merge worked, so that a failed merge can
  // still go in one by one.
  CBatchRun run(*this, m_byGroup, false);
  uint32_t nAdded = 0, nDropped = 0;
  if (!MergeRun(run, &nAdded, &nDropped)) return false;
  stats.nAdded += nAdded;
  stats.nDuplicate += nDropped;
  std::free(m_pItems);
  m_pItems = nullptr;
  m_nCount = m_nCapacity = 0;
  return true;
}

void CPhraseBatch::Flush(tagIMPORTSTATS& stats) {
  if (m_nCount == 0) return;
  RadixSort(m_pItems, m_nCount);
  const size_t nStore = m_lib.m_arrPhrase.GetCount();
  if (nStore == 0) {
    AppendToEmptyStore(stats);
    return;
  }
  if (m_nCount >= nStore / kOneByOneRatio && MergeIntoStore(stats)) return;
  AddOneByOne(stats);
}
