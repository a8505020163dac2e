#include "PhraseBatch.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Tabrix.h"

namespace {

// The batch is given back in steps once it has shrunk below half of this.
constexpr size_t kMinCapacity = 1024;
// A batch this many times smaller than the store goes in phrase by phrase:
// a few searches cost less than copying the whole store once.
constexpr size_t kOneByOneRatio = 1024;

// Eight bytes of the text from offset on, as one big-endian number: numbers
// compare as the bytes do.
uint64_t TextChunk(const char* text, int offset) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text) + offset;
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
  return v;
}

// The 31-byte field as four chunks, the last overlapping the third: equal
// chunks up to one mean equal bytes up to its end.
constexpr int kChunkOffsets[4] = {0, 8, 16, 23};

bool SameText(const char* a, const char* b) {
  for (int offset : kChunkOffsets) {
    uint64_t u, v;
    std::memcpy(&u, a + offset, 8);
    std::memcpy(&v, b + offset, 8);
    if (u != v) return false;
  }
  return true;
}

// Descending order of (text, arrival): the batch is used up from its end, so
// the smallest text and, among equal texts, the first arrival come out first.
// A function object, so that std::sort inlines the comparison.
struct SortsAfter {
  bool operator()(const tagSTAGEDPHRASE& a, const tagSTAGEDPHRASE& b) const {
    for (int offset : kChunkOffsets) {
      const uint64_t u = TextChunk(a.szWord, offset);
      const uint64_t v = TextChunk(b.szWord, offset);
      if (u != v) return u > v;
    }
    return a.nOrder > b.nOrder;
  }
};

// Bytes of the text field at which the batch is split by value before the
// comparison sort takes over, and the part size below which it does.
constexpr int kRadixBytes = 4;
constexpr size_t kRadixMin = 64;

// The batch in SortsAfter's order: split in place by the byte at depth
// (largest byte first), each part split again by the next byte, and small
// parts sorted by comparison. Splitting moves each phrase about once per
// level where comparisons would move it about log2(n) times.
void RadixSort(tagSTAGEDPHRASE* items, size_t n, int depth) {
  if (n < kRadixMin || depth == kRadixBytes) {
    std::sort(items, items + n, SortsAfter());
    return;
  }
  auto bucket = [depth](const tagSTAGEDPHRASE& s) {
    return 255 - static_cast<unsigned char>(s.szWord[depth]);
  };
  size_t count[256] = {};
  for (size_t i = 0; i < n; ++i) ++count[bucket(items[i])];
  size_t start[257];
  size_t next[256];
  start[0] = 0;
  for (int b = 0; b < 256; ++b) {
    start[b + 1] = start[b] + count[b];
    next[b] = start[b];
  }
  // Each phrase is carried straight to the part it belongs to, displacing the
  // one there, which is carried on in turn.
  for (int b = 0; b < 256; ++b) {
    while (next[b] < start[b + 1]) {
      tagSTAGEDPHRASE carried = items[next[b]];
      for (int home = bucket(carried); home != b; home = bucket(carried)) {
        std::swap(carried, items[next[home]++]);
      }
      items[next[b]++] = carried;
    }
  }
  for (int b = 0; b < 256; ++b) {
    if (count[b] > 1) RadixSort(items + start[b], count[b], depth + 1);
  }
}

uint8_t TextLength(const tagSTAGEDPHRASE& s) { return static_cast<uint8_t>(s.nLen); }

// Puts the chain of from in the place of store's chain; from is left empty.
void TakeBlocks(CSArray<tagPHRASE2>& store, CSArray<tagPHRASE2>& from) {
  store.FreeBlocks();
  store.m_pFirst = from.m_pFirst;
  store.m_pLast = from.m_pLast;
  store.m_pCursor = from.m_pCursor;
  store.m_nCursorBase = from.m_nCursorBase;
  store.m_nCount = from.m_nCount;
  store.m_nFree = from.m_nFree;
  from.m_pFirst = from.m_pLast = from.m_pCursor = nullptr;
  from.m_nCursorBase = UINT32_MAX;
  from.m_nCount = from.m_nFree = 0;
}

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

  TakeBlocks(store, merged);
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
  RadixSort(m_pItems, m_nCount, 0);
  const size_t nStore = m_lib.m_arrPhrase.GetCount();
  if (nStore == 0) {
    AppendToEmptyStore(stats);
    return;
  }
  if (m_nCount >= nStore / kOneByOneRatio && MergeIntoStore(stats)) return;
  AddOneByOne(stats);
}
