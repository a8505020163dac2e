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

using phrase_sort::PACKED_HEAD;
using phrase_sort::tagPACKEDKEY;

// The keys are given back in steps once they have shrunk below half of this.
constexpr size_t kMinCapacity = 1024;
// A guess at a phrase's packed bytes, for Reserve: four GBK characters.
constexpr size_t kGuessBytes = PACKED_HEAD + 8;
// A batch this many times smaller than the store goes in phrase by phrase:
// a few searches cost less than copying the whole store once.
constexpr size_t kOneByOneRatio = 1024;

// realloc to n items of T, or false with the block as it was.
template <class T>
bool Resize(T** pp, size_t n) {
  if (n > SIZE_MAX / 2 / sizeof(T)) return false;
  void* p = std::realloc(*pp, n * sizeof(T));
  if (p == nullptr) return false;
  *pp = static_cast<T*>(p);
  return true;
}

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
    const unsigned char* p =
        m_bTake ? m_batch.TakeSmallest() : m_batch.m_pBytes + m_batch.m_pKeys[m_nNext].nOffset;
    // The previous text's bytes beyond this one's length are cleared.
    const uint8_t cLen = p[2];
    if (cLen < m_rec.cLen) std::memset(m_rec.szWord + cLen, 0, m_rec.cLen - cLen);
    std::memcpy(m_rec.szWord, p + PACKED_HEAD, cLen);
    m_rec.byFreq = p[1];
    m_rec.cLen = cLen;
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
      m_pBytes(nullptr),
      m_nBytes(0),
      m_nByteCapacity(0),
      m_pKeys(nullptr),
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

CPhraseBatch::~CPhraseBatch() { FreeAll(); }

void CPhraseBatch::FreeAll() {
  std::free(m_pBytes);
  std::free(m_pKeys);
  m_pBytes = nullptr;
  m_pKeys = nullptr;
  m_nBytes = m_nByteCapacity = m_nCount = m_nCapacity = 0;
}

bool CPhraseBatch::Grow(uint32_t length) {
  // realloc: a large block grows in place where the system allows, without
  // holding the old and the new copy at once.
  if (m_nCount == m_nCapacity) {
    const size_t nCapacity = m_nCapacity == 0 ? kMinCapacity : m_nCapacity * 2;
    if (!Resize(&m_pKeys, nCapacity)) return false;
    m_nCapacity = nCapacity;
  }
  if (m_nBytes + PACKED_HEAD + length > m_nByteCapacity) {
    const size_t nCapacity =
        m_nByteCapacity == 0 ? kMinCapacity * kGuessBytes : m_nByteCapacity * 2;
    if (!Resize(&m_pBytes, nCapacity)) return false;
    m_nByteCapacity = nCapacity;
  }
  return true;
}

void CPhraseBatch::Reserve(size_t n) {
  // Pages of the room that no phrase reaches are never touched, so a generous
  // guess costs address space, not memory.
  if (n > m_nCapacity && Resize(&m_pKeys, n)) m_nCapacity = n;
  if (n <= SIZE_MAX / 2 / kGuessBytes && n * kGuessBytes > m_nByteCapacity &&
      Resize(&m_pBytes, n * kGuessBytes))
    m_nByteCapacity = n * kGuessBytes;
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
  if (!Grow(length)) {
    Flush(stats);
    if (!Grow(length)) {
      // No memory for even a small batch: this phrase goes in on its own.
      if (AddPhrase(text, static_cast<uint8_t>(length), freq) != 0) {
        ++stats.nAdded;
      } else {
        ++stats.nDuplicate;
      }
      return;
    }
  }
  unsigned char* p = m_pBytes + m_nBytes;
  p[0] = m_byGroup;
  p[1] = freq;
  p[2] = static_cast<uint8_t>(length);
  std::memcpy(p + PACKED_HEAD, text, length);
  m_pKeys[m_nCount].nPrefix = phrase_sort::PackedPrefix(text, length);
  m_pKeys[m_nCount].nOffset = static_cast<uint32_t>(m_nBytes);
  m_nBytes += PACKED_HEAD + length;
  ++m_nCount;
}

const unsigned char* CPhraseBatch::TakeSmallest() {
  const unsigned char* p = m_pBytes + m_pKeys[--m_nCount].nOffset;
  if (m_nCapacity >= 2 * kMinCapacity && m_nCount <= m_nCapacity / 2 && m_nCount > 0 &&
      Resize(&m_pKeys, m_nCount))  // otherwise the larger block simply stays
    m_nCapacity = m_nCount;
  return p;
}

void CPhraseBatch::AppendToEmptyStore(tagIMPORTSTATS& stats) {
  // The batch is given back as it empties: a large import never holds the
  // whole batch and the whole store at once.
  CBatchRun run(*this, m_byGroup, true);
  uint32_t nAdded = 0, nDropped = 0;
  if (MergeRun(run, &nAdded, &nDropped)) {
    stats.nAdded += nAdded;
    stats.nDuplicate += nDropped;  // the batch's phrases all name the group
    FreeAll();
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
    const unsigned char* p = TakeSmallest();
    if (AddPhrase(reinterpret_cast<const char*>(p + PACKED_HEAD), p[2], p[1]) != 0) {
      ++stats.nAdded;
    } else {
      ++stats.nDuplicate;
    }
  }
  FreeAll();
}

bool CPhraseBatch::MergeIntoStore(tagIMPORTSTATS& stats) {
  // The batch stays whole until the merge worked, so that a failed merge can
  // still go in one by one.
  CBatchRun run(*this, m_byGroup, false);
  uint32_t nAdded = 0, nDropped = 0;
  if (!MergeRun(run, &nAdded, &nDropped)) return false;
  stats.nAdded += nAdded;
  stats.nDuplicate += nDropped;
  FreeAll();
  return true;
}

void CPhraseBatch::Flush(tagIMPORTSTATS& stats) {
  if (m_nCount == 0) return;
  phrase_sort::RadixSortPacked(m_pKeys, m_nCount, m_pBytes);
  const size_t nStore = m_lib.m_arrPhrase.GetCount();
  if (nStore == 0) {
    AppendToEmptyStore(stats);
    return;
  }
  if (m_nCount >= nStore / kOneByOneRatio && MergeIntoStore(stats)) return;
  AddOneByOne(stats);
}
