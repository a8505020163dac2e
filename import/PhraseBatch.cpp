#include "PhraseBatch.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "PhraseSort.h"
#include "Tabrix.h"

namespace {

using phrase_sort::RadixSort;
using phrase_sort::SameText;

// The batch is given back in steps once it has shrunk below half of this.
constexpr size_t kMinCapacity = 1024;
// A batch this many times smaller than the store goes in phrase by phrase:
// a few searches cost less than copying the whole store once.
constexpr size_t kOneByOneRatio = 1024;

uint8_t TextLength(const tagSTAGEDPHRASE& s) { return static_cast<uint8_t>(s.nLen); }

}  // namespace

CPhraseBatch::CPhraseBatch(CTabrix& lib, uint8_t group)
    : m_lib(lib), m_byGroup(group), m_pItems(nullptr), m_nCount(0), m_nCapacity(0) {}

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

void CPhraseBatch::Add(const char* text, uint32_t length, uint8_t freq, tagIMPORTSTATS& stats) {
  // Arrival numbers are 24 bits: a larger file goes in as several batches.
  if (m_nCount >= PHRASE_BATCH_MAX) Flush(stats);
  if (m_nCount == m_nCapacity && !Grow()) {
    Flush(stats);
    if (m_nCount == m_nCapacity && !Grow()) {
      // No memory for even a small batch: this phrase goes in on its own.
      if (m_lib.AddPhrase(text, static_cast<uint8_t>(length), freq, 1, m_byGroup) != 0) {
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
  CSArray<tagPHRASE2>& store = m_lib.m_arrPhrase;
  tagPHRASE2 rec;
  std::memset(&rec, 0, sizeof(rec));
  rec.byGroup = m_byGroup;
  bool bAny = false;  // rec holds the text taken last
  uint32_t nAdded = 0;
  while (m_nCount > 0) {
    const tagSTAGEDPHRASE s = TakeSmallest();
    if (bAny && SameText(rec.szWord, s.szWord)) {
      ++stats.nDuplicate;  // a later arrival of the text just taken
      continue;
    }
    bAny = true;
    std::memcpy(rec.szWord, s.szWord, sizeof(s.szWord));
    rec.byFreq = s.byFreq;
    rec.cLen = TextLength(s);
    if (store.Add(rec) >= 0) {
      ++nAdded;
    } else {
      ++stats.nDuplicate;  // no memory: counted as AddPhrase would count it
    }
  }
  m_lib.GetGroup(m_byGroup)->dwCount += nAdded;
  stats.nAdded += nAdded;
}

void CPhraseBatch::AddOneByOne(tagIMPORTSTATS& stats) {
  // Smallest first: into an empty store every phrase is an append, and a
  // later arrival of a text finds the first one stored.
  while (m_nCount > 0) {
    const tagSTAGEDPHRASE s = TakeSmallest();
    if (m_lib.AddPhrase(s.szWord, TextLength(s), s.byFreq, 1, m_byGroup) != 0) {
      ++stats.nAdded;
    } else {
      ++stats.nDuplicate;
    }
  }
}

bool CPhraseBatch::MergeIntoStore(tagIMPORTSTATS& stats) {
  CSArray<tagPHRASE2>& store = m_lib.m_arrPhrase;
  CSArray<tagPHRASE2> merged;
  merged.m_nBlockSize = store.m_nBlockSize;
  merged.m_byWastePercent = store.m_byWastePercent;

  const uint32_t nStore = store.GetCount();
  uint32_t i = 0;
  uint32_t nAdded = 0;
  uint32_t nDuplicate = 0;
  const tagSTAGEDPHRASE* pPrev = nullptr;
  for (size_t j = m_nCount; j > 0; --j) {
    const tagSTAGEDPHRASE& s = m_pItems[j - 1];
    if (pPrev != nullptr && SameText(pPrev->szWord, s.szWord)) {
      ++nDuplicate;  // a later arrival of the text just handled
      continue;
    }
    pPrev = &s;
    tagPHRASE2 rec;
    std::memset(&rec, 0, sizeof(rec));
    std::memcpy(rec.szWord, s.szWord, sizeof(s.szWord));
    rec.byGroup = m_byGroup;
    rec.byFreq = s.byFreq;
    rec.cLen = TextLength(s);
    int d = 1;
    while (i < nStore && (d = ComparePhrase(store.GetAt(i), &rec, nullptr)) < 0) {
      if (merged.Add(*store.GetAt(i)) < 0) return false;
      ++i;
    }
    if (i < nStore && d == 0) {
      ++nDuplicate;  // stored before the import: the stored record stays
      continue;
    }
    if (merged.Add(rec) < 0) return false;
    ++nAdded;
  }
  for (; i < nStore; ++i) {
    if (merged.Add(*store.GetAt(i)) < 0) return false;
  }

  store.TakeBlocksOf(merged);
  m_lib.GetGroup(m_byGroup)->dwCount += nAdded;
  stats.nAdded += nAdded;
  stats.nDuplicate += nDuplicate;
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
