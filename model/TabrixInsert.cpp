// Records put back into the store at known positions (the inverse of a
// removal) and a group put back into the table with its phrases (the inverse
// of a group's deletion), each in one pass over the store's blocks.
#include <new>
#include <vector>

#include "Tabrix.h"

namespace {

typedef tagSABLOCK<tagPHRASE2> Block;

// Records going into the store at their positions in the store as it will
// be. Ready() makes everything the insertion needs (the blocks that full
// blocks spill into, or the whole chain of an empty store): only it can
// fail, and it changes nothing. Run() then cannot fail. What Ready() made
// and Run() did not use goes with the object.
class CStoreInsert {
 public:
  CStoreInsert(CSArray<tagPHRASE2>& store, const uint32_t* pPos, const tagPHRASE2* pRec,
               uint32_t nRec)
      : m_store(store), m_pPos(pPos), m_pRec(pRec), m_nRec(nRec), m_nUsed(0), m_bWhole(false) {
    m_built.m_nBlockSize = store.m_nBlockSize;
    m_built.m_byWastePercent = store.m_byWastePercent;
  }
  ~CStoreInsert() {
    for (size_t s = m_nUsed; s < m_arrSpare.size(); ++s) {
      delete[] m_arrSpare[s]->pItems;
      delete m_arrSpare[s];
    }
  }
  CStoreInsert(const CStoreInsert&) = delete;
  CStoreInsert& operator=(const CStoreInsert&) = delete;

  // bGroup false: the records keep their own groups. bGroup true: they take
  // the group byGroup, and the stored records of groups byGroup and later
  // move one index down (a group comes back at byGroup).
  bool Ready(bool bGroup, uint8_t byGroup);
  void Run(bool bGroup, uint8_t byGroup) {
    if (m_store.m_pFirst == nullptr)
      m_store.TakeBlocksOf(m_built);
    else if (m_bWhole)
      bGroup ? MergeWhole<true>(byGroup) : MergeWhole<false>(byGroup);
    else
      bGroup ? Merge<true>(byGroup) : Merge<false>(byGroup);
  }

 private:
  // The end of the records that go into block (its first index base in the
  // store as it is), from record i on: before its end, or anywhere for the
  // last block.
  uint32_t RecordsOf(const Block* block, uint32_t base, uint32_t i) const {
    uint32_t j = i;
    const uint32_t end = base + block->nCount;
    while (j < m_nRec && (m_pPos[j] - j < end || block->pNext == nullptr)) ++j;
    return j;
  }
  // Each block takes its own records, spilling into new blocks after it.
  template <bool bGroup>
  void Merge(uint8_t byGroup);
  // The store as one row of full blocks, merged from its end in place.
  template <bool bGroup>
  void MergeWhole(uint8_t byGroup);

  CSArray<tagPHRASE2>& m_store;
  const uint32_t* m_pPos;
  const tagPHRASE2* m_pRec;
  uint32_t m_nRec;
  std::vector<Block*> m_arrSpare;
  size_t m_nUsed;               // spare blocks linked into the store
  bool m_bWhole;                // MergeWhole rather than Merge
  CSArray<tagPHRASE2> m_built;  // the new chain of an empty store
};

bool CStoreInsert::Ready(bool bGroup, uint8_t byGroup) {
  const uint32_t nBlock = m_store.m_nBlockSize;
  if (m_store.m_pFirst == nullptr) {
    for (uint32_t i = 0; i < m_nRec; ++i) {
      tagPHRASE2 rec = m_pRec[i];
      if (bGroup) rec.byGroup = byGroup;
      if (m_built.Add(rec) < 0) return false;
    }
    return true;
  }
  // Record i goes before old index pPos[i] - i: into the block holding that
  // index, the last block also taking the end. A block over full spills into
  // new blocks linked after it; those spills leave blocks part empty, which
  // compaction then packs. So when blocks spill, the store is rather merged
  // as a whole into full blocks, if that can be done in place: every record
  // must go to a slot at or after its own, taking the slots of the full
  // blocks as one row (true when every earlier block is full, or enough new
  // records come before it).
  uint32_t nSpare = 0;
  uint32_t nBlocks = 0;
  bool bInPlace = true;
  uint32_t base = 0, i = 0;
  for (const Block* b = m_store.m_pFirst; b != nullptr; b = b->pNext, ++nBlocks) {
    if (uint64_t(base) + i < uint64_t(nBlocks) * nBlock) bInPlace = false;
    const uint32_t j = RecordsOf(b, base, i);
    const uint32_t total = b->nCount + (j - i);
    if (total > nBlock) nSpare += (total - 1) / nBlock;
    base += b->nCount;
    i = j;
  }
  if (nSpare > 0 && bInPlace) {
    m_bWhole = true;
    const uint64_t nTotal = uint64_t(base) + m_nRec;
    nSpare = uint32_t((nTotal + nBlock - 1) / nBlock - nBlocks);
  }
  try {
    m_arrSpare.reserve(nSpare);
  } catch (const std::bad_alloc&) {
    return false;
  }
  for (uint32_t k = 0; k < nSpare; ++k) {
    Block* b = new (std::nothrow) Block;
    if (b == nullptr) return false;
    b->pItems = new (std::nothrow) tagPHRASE2[nBlock];
    if (b->pItems == nullptr) {
      delete b;
      return false;
    }
    m_arrSpare.push_back(b);  // room reserved
  }
  return true;
}

template <bool bGroup>
void CStoreInsert::Merge(uint8_t byGroup) {
  const uint32_t nBlock = m_store.m_nBlockSize;
  const uint32_t nOld = m_store.GetCount();
  uint32_t base = 0, i = 0;
  uint32_t outBase = 0;  // store index, as it will be, of the block's first record
  for (Block* b = m_store.m_pFirst; b != nullptr;) {
    Block* next = b->pNext;
    const uint32_t nOldHere = b->nCount;
    const uint32_t j = RecordsOf(b, base, i);
    const uint32_t total = nOldHere + (j - i);
    if (j == i) {
      if (bGroup) {
        for (uint32_t r = 0; r < nOldHere; ++r) {
          uint8_t& g = b->pItems[r].byGroup;
          g = uint8_t(g + (g >= byGroup && g < TABRIX_NO_GROUP));
        }
      }
    } else {
      // The block and its spills as one row of slots, merged from the back.
      const uint32_t nSpill = total > nBlock ? (total - 1) / nBlock : 0;
      // Counts first: the merge fills each block from its end.
      Block* last = b;
      b->nCount = total < nBlock ? total : nBlock;
      for (uint32_t s = 0; s < nSpill; ++s) {
        Block* n = m_arrSpare[m_nUsed++];
        const uint32_t left = total - nBlock * (s + 1);
        n->nCount = left < nBlock ? left : nBlock;
        n->pPrev = last;
        last->pNext = n;
        last = n;
      }
      Block* dst = last;
      uint32_t d = dst->nCount;
      uint32_t r = nOldHere;
      uint32_t k = j;
      // Once the block's last new record is in, the records before it are
      // in their slots already (unless their groups move).
      for (uint32_t o = total; o-- > 0 && (bGroup || k > i || dst != b);) {
        if (d == 0) {
          dst = dst->pPrev;
          d = dst->nCount;
        }
        // Without a branch: which side comes next is as random as the
        // groups of the phrases.
        const bool bNew = k > i && m_pPos[k - 1] == outBase + o;
        const tagPHRASE2* src = bNew ? m_pRec + (k - 1) : b->pItems + (r - 1);
        k -= bNew;
        r -= !bNew;
        tagPHRASE2& out = dst->pItems[--d];
        out = *src;
        if (bGroup) {
          const uint8_t g = out.byGroup;
          const uint8_t shifted = uint8_t(g + (g >= byGroup && g < TABRIX_NO_GROUP));
          out.byGroup = bNew ? byGroup : shifted;
        }
      }
      last->pNext = next;
      if (next != nullptr)
        next->pPrev = last;
      else
        m_store.m_pLast = last;
    }
    base += nOldHere;
    outBase += total;
    i = j;
    b = next;
  }
  m_store.m_nCount = nOld + m_nRec;
  m_store.m_nFree += uint32_t(m_nUsed) * nBlock;
  m_store.m_nFree -= m_nRec;
  m_store.m_pCursor = m_store.m_pFirst;  // the cursor's base has moved
  m_store.m_nCursorBase = 0;
}

template <bool bGroup>
void CStoreInsert::MergeWhole(uint8_t byGroup) {
  const uint32_t nBlock = m_store.m_nBlockSize;
  const uint32_t nTotal = m_store.GetCount() + m_nRec;
  Block* last = m_store.m_pLast;
  for (Block* n : m_arrSpare) {
    n->pPrev = last;
    last->pNext = n;
    last = n;
  }
  last->pNext = nullptr;
  m_nUsed = m_arrSpare.size();
  // Written from the end: slot w of block dst is store index o; read from
  // the old end: slot r of block src. Once no new record is left, every
  // record before is in its slot already.
  Block* dst = last;
  uint32_t w = nTotal - nBlock * ((nTotal - 1) / nBlock);  // in the last block
  Block* src = m_store.m_pLast;
  uint32_t r = src->nCount;
  uint32_t k = m_nRec;
  // Which slots take a new record is read ahead 64 at a time into a mask,
  // so that no slot waits for the previous one's choice.
  uint32_t kAhead = k;
  for (uint32_t o = nTotal; k > 0;) {
    const uint32_t lo = o > 64 ? o - 64 : 0;
    uint64_t mask = 0;
    for (; kAhead > 0 && m_pPos[kAhead - 1] >= lo; --kAhead)
      mask |= uint64_t(1) << (m_pPos[kAhead - 1] - lo);
    while (o > lo && k > 0) {
      --o;
      if (w == 0) {
        dst = dst->pPrev;
        w = nBlock;
      }
      if (r == 0 && src->pPrev != nullptr) {
        src = src->pPrev;
        r = src->nCount;
      }
      // Without a branch, as in Merge.
      const bool bNew = (mask >> (o - lo)) & 1;
      const tagPHRASE2* from = bNew ? m_pRec + (k - 1) : src->pItems + (r == 0 ? 0 : r - 1);
      k -= bNew;
      r -= !bNew;
      tagPHRASE2& out = dst->pItems[--w];
      out = *from;
      if (bGroup) {
        const uint8_t g = out.byGroup;
        const uint8_t shifted = uint8_t(g + (g >= byGroup && g < TABRIX_NO_GROUP));
        out.byGroup = bNew ? byGroup : shifted;
      }
    }
  }
  if (bGroup) {
    // The records before stay where they are; their groups still move.
    for (Block* b = m_store.m_pFirst;; b = b->pNext) {
      const uint32_t n = b == src ? r : b->nCount;
      for (uint32_t x = 0; x < n; ++x) {
        uint8_t& g = b->pItems[x].byGroup;
        g = uint8_t(g + (g >= byGroup && g < TABRIX_NO_GROUP));
      }
      if (b == src) break;
    }
  }
  uint32_t left = nTotal;
  for (Block* b = m_store.m_pFirst; b != nullptr; b = b->pNext) {
    b->nCount = left < nBlock ? left : nBlock;
    left -= b->nCount;
  }
  m_store.m_pLast = last;
  m_store.m_nCount = nTotal;
  m_store.m_nFree = nBlock - last->nCount;
  m_store.m_pCursor = m_store.m_pFirst;
  m_store.m_nCursorBase = 0;
}

// Positions ascending and each below the store's count as it will be.
bool PositionsFit(const uint32_t* pPos, uint32_t nRec, uint32_t nOld) {
  for (uint32_t i = 0; i < nRec; ++i) {
    if (pPos[i] >= nOld + nRec || (i > 0 && pPos[i] <= pPos[i - 1])) return false;
  }
  return true;
}

}  // namespace

int CTabrix::InsertPhrasesAt(const uint32_t* pPos, const tagPHRASE2* pRec, uint32_t nRec) {
  if (nRec == 0) return 1;
  if (pPos == nullptr || pRec == nullptr) return 0;
  const uint32_t nGroups = GetGroupCount();
  const uint32_t nOld = m_arrPhrase.GetCount();
  if (uint64_t(nOld) + nRec > SARRAY_MAX_COUNT || !PositionsFit(pPos, nRec, nOld)) return 0;
  // Counted aside and given to the groups once the records are in.
  uint32_t counts[256] = {};
  for (uint32_t i = 0; i < nRec; ++i) {
    if (pRec[i].byGroup >= nGroups) return 0;
    ++counts[pRec[i].byGroup];
  }
  CStoreInsert insert(m_arrPhrase, pPos, pRec, nRec);
  if (!insert.Ready(false, 0)) return 0;
  insert.Run(false, 0);
  for (uint32_t g = 0; g < nGroups; ++g) GetGroup(g)->dwCount += counts[g];
  if (m_arrPhrase.NeedCompact()) m_arrPhrase.Compact();
  return 1;
}

int CTabrix::InsertGroup(uint32_t group, const tagGROUPINFO& info) {
  return InsertGroup(group, info, nullptr, nullptr, 0);
}

int CTabrix::InsertGroup(uint32_t group, const tagGROUPINFO& info, const uint32_t* pPos,
                         const tagPHRASE2* pRec, uint32_t nRec) {
  const uint32_t nGroups = GetGroupCount();
  // Group indexes are one byte in the records, 255 naming no group.
  if (group > nGroups || nGroups >= TABRIX_NO_GROUP) return 0;
  const uint32_t nOld = m_arrPhrase.GetCount();
  if (nRec > 0 && (pPos == nullptr || pRec == nullptr)) return 0;
  if (uint64_t(nOld) + nRec > SARRAY_MAX_COUNT || !PositionsFit(pPos, nRec, nOld)) return 0;
  CStoreInsert insert(m_arrPhrase, pPos, pRec, nRec);
  if (!insert.Ready(true, uint8_t(group))) return 0;
  tagGROUPINFO rec = info;
  rec.dwCount = nRec;
  if (m_arrGroup.InsertAt(group, rec) < 0) return 0;
  insert.Run(true, uint8_t(group));
  if (m_arrPhrase.NeedCompact()) m_arrPhrase.Compact();
  return 1;
}
