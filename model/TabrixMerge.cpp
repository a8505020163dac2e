// The store's bulk addition: a sorted run merged with the store in one pass.
#include <cstring>

#include "PhraseRun.h"
#include "Tabrix.h"

int CTabrix::MergeRun(CPhraseRun& run, uint32_t* pAdded, uint32_t* pDropped) {
  const uint32_t nGroups = GetGroupCount();
  // Counted aside and given to the groups only once the merge is whole.
  uint32_t counts[256] = {};
  uint32_t nAdded = 0;
  uint32_t nDropped = 0;

  CSArray<tagPHRASE2>& store = m_arrPhrase;
  CSArray<tagPHRASE2> merged;
  merged.m_nBlockSize = store.m_nBlockSize;
  merged.m_byWastePercent = store.m_byWastePercent;
  const uint32_t nStore = store.GetCount();
  uint32_t i = 0;
  bool bAny = false;  // last holds the run's previous phrase
  tagPHRASE2 last;
  tagPHRASE2 rec;
  while (run.Next(&rec)) {
    if (rec.byGroup >= nGroups || (bAny && ComparePhrase(&last, &rec, nullptr) == 0)) {
      ++nDropped;
      continue;
    }
    bAny = true;
    last = rec;
    int d = 1;
    while (i < nStore && (d = ComparePhrase(store.GetAt(i), &rec, nullptr)) < 0) {
      if (merged.Add(*store.GetAt(i)) < 0) return 0;
      ++i;
    }
    if (i < nStore && d == 0) {
      ++nDropped;  // stored before: the stored record stays
      continue;
    }
    if (merged.Add(rec) < 0) return 0;
    ++counts[rec.byGroup];
    ++nAdded;
  }
  for (; i < nStore; ++i) {
    if (merged.Add(*store.GetAt(i)) < 0) return 0;
  }
  store.TakeBlocksOf(merged);
  for (uint32_t g = 0; g < nGroups && g < 256; ++g) GetGroup(g)->dwCount += counts[g];
  if (pAdded) *pAdded = nAdded;
  if (pDropped) *pDropped = nDropped;
  return 1;
}
