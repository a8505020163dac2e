// Phrase-level edits of the store: removal, regrouping, frequencies and
// searches, each one pass over the store's blocks.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "GbkText.h"
#include "Tabrix.h"

namespace {

const uint32_t kMaxFreq = 250;

// Drops every record for which drop(pos, rec) is true, keeping the order:
// each block is packed in place, emptied blocks are released. Nothing is
// allocated, so this cannot fail. drop may also change the kept records.
template <class Drop>
void SqueezeStore(CSArray<tagPHRASE2>& store, Drop drop) {
  uint32_t pos = 0;
  uint32_t nKept = 0;
  tagSABLOCK<tagPHRASE2>* block = store.m_pFirst;
  while (block != nullptr) {
    tagSABLOCK<tagPHRASE2>* next = block->pNext;
    uint32_t w = 0;
    for (uint32_t r = 0; r < block->nCount; ++r, ++pos) {
      if (drop(pos, block->pItems + r)) continue;
      if (w != r) block->pItems[w] = block->pItems[r];
      ++w;
    }
    block->nCount = w;
    nKept += w;
    if (w == 0) {
      // An empty block would break the index walk: it leaves the chain.
      if (block->pPrev != nullptr)
        block->pPrev->pNext = next;
      else
        store.m_pFirst = next;
      if (next != nullptr)
        next->pPrev = block->pPrev;
      else
        store.m_pLast = block->pPrev;
      delete[] block->pItems;
      delete block;
    }
    block = next;
  }
  uint32_t nBlocks = 0;
  for (block = store.m_pFirst; block != nullptr; block = block->pNext) ++nBlocks;
  store.m_nCount = nKept;
  store.m_nFree = nBlocks * store.m_nBlockSize - nKept;
  store.m_pCursor = nullptr;  // the cursor's block may be gone
  store.m_nCursorBase = UINT32_MAX;
  if (store.NeedCompact()) store.Compact();
}

// The positions sorted, or null when memory ran out (nPos 0 gives a
// one-element array so that null always means failure).
uint32_t* SortedCopy(const uint32_t* pPos, uint32_t nPos) {
  uint32_t* p = new (std::nothrow) uint32_t[nPos == 0 ? 1 : nPos];
  if (p == nullptr) return nullptr;
  if (nPos > 0) std::memcpy(p, pPos, nPos * sizeof(uint32_t));
  std::sort(p, p + nPos);
  return p;
}

}  // namespace

int CTabrix::FindPhrase(const char* text, uint32_t* pPos, uint8_t* pGroup) {
  if (text == nullptr) return 0;
  const void* pNul = std::memchr(text, 0, TABRIX_MAX_PHRASE_LEN + 1);
  if (pNul == nullptr) return 0;
  tagPHRASE2 key;
  std::memset(&key, 0, sizeof(key));
  const size_t n = size_t(static_cast<const char*>(pNul) - text);
  std::memcpy(key.szWord, text, n);
  key.cLen = uint8_t(n);
  const int pos =
      m_arrPhrase.Find(key, 0, m_arrPhrase.GetCount(), ComparePhrase, nullptr, FIND_ANY, nullptr);
  if (pos < 0) return 0;
  if (pPos != nullptr) *pPos = uint32_t(pos);
  if (pGroup != nullptr) *pGroup = m_arrPhrase.GetAt(uint32_t(pos))->byGroup;
  return 1;
}

int CTabrix::RemovePhrasesAt(const uint32_t* pPos, uint32_t nPos) {
  if (nPos > 0 && pPos == nullptr) return 0;
  const uint32_t nStore = m_arrPhrase.GetCount();
  for (uint32_t i = 0; i < nPos; ++i) {
    if (pPos[i] >= nStore) return 0;
  }
  uint32_t* pSorted = SortedCopy(pPos, nPos);
  if (pSorted == nullptr) return 0;
  uint32_t k = 0;
  const uint32_t nGroups = GetGroupCount();
  SqueezeStore(m_arrPhrase, [&](uint32_t pos, tagPHRASE2* rec) {
    while (k < nPos && pSorted[k] < pos) ++k;
    if (k == nPos || pSorted[k] != pos) return false;
    if (rec->byGroup < nGroups) GetGroup(rec->byGroup)->dwCount--;
    return true;
  });
  delete[] pSorted;
  return 1;
}

int CTabrix::InsertPhrasesAt(const uint32_t* pPos, const tagPHRASE2* pRec, uint32_t nRec) {
  if (nRec == 0) return 1;
  if (pPos == nullptr || pRec == nullptr) return 0;
  const uint32_t nGroups = GetGroupCount();
  const uint32_t nOld = m_arrPhrase.GetCount();
  if (uint64_t(nOld) + nRec > SARRAY_MAX_COUNT) return 0;
  for (uint32_t i = 0; i < nRec; ++i) {
    if (pPos[i] >= nOld + nRec || (i > 0 && pPos[i] <= pPos[i - 1]) || pRec[i].byGroup >= nGroups) {
      return 0;
    }
  }
  CSArray<tagPHRASE2>& store = m_arrPhrase;
  const uint32_t nBlock = store.m_nBlockSize;
  if (store.m_pFirst == nullptr) {
    for (uint32_t i = 0; i < nRec; ++i) {
      if (store.Add(pRec[i]) < 0) {
        store.FreeBlocks();
        return 0;
      }
    }
  } else {
    // Record i goes before old index pPos[i] - i: into the block holding
    // that index, the last block also taking the end. A block over full
    // spills into new blocks linked after it, all made before any change.
    auto recordsOf = [&](const tagSABLOCK<tagPHRASE2>* block, uint32_t base, uint32_t i) {
      uint32_t j = i;
      const uint32_t end = base + block->nCount;
      while (j < nRec && (pPos[j] - j < end || block->pNext == nullptr)) ++j;
      return j;
    };
    uint32_t nSpare = 0;
    uint32_t base = 0, i = 0;
    for (const tagSABLOCK<tagPHRASE2>* b = store.m_pFirst; b != nullptr; b = b->pNext) {
      const uint32_t j = recordsOf(b, base, i);
      const uint32_t total = b->nCount + (j - i);
      if (total > nBlock) nSpare += (total - 1) / nBlock;
      base += b->nCount;
      i = j;
    }
    std::vector<tagSABLOCK<tagPHRASE2>*> spare;
    bool bOk = true;
    try {
      spare.reserve(nSpare);
    } catch (const std::bad_alloc&) {
      bOk = false;
    }
    for (uint32_t k = 0; bOk && k < nSpare; ++k) {
      tagSABLOCK<tagPHRASE2>* b = new (std::nothrow) tagSABLOCK<tagPHRASE2>;
      if (b != nullptr) b->pItems = new (std::nothrow) tagPHRASE2[nBlock];
      if (b != nullptr && b->pItems == nullptr) {
        delete b;
        b = nullptr;
      }
      if (b == nullptr) bOk = false;
      if (b != nullptr) spare.push_back(b);  // room reserved
    }
    if (!bOk) {
      for (tagSABLOCK<tagPHRASE2>* b : spare) {
        delete[] b->pItems;
        delete b;
      }
      return 0;
    }
    size_t nUsed = 0;
    base = 0;
    i = 0;
    uint32_t outBase = 0;  // store index, as it will be, of the block's first record
    for (tagSABLOCK<tagPHRASE2>* b = store.m_pFirst; b != nullptr;) {
      tagSABLOCK<tagPHRASE2>* next = b->pNext;
      const uint32_t nOldHere = b->nCount;
      const uint32_t j = recordsOf(b, base, i);
      const uint32_t total = nOldHere + (j - i);
      if (j > i) {
        // The block and its spills as one row of slots, merged from the back.
        const size_t nFirstSpare = nUsed;
        const uint32_t nSpill = total > nBlock ? (total - 1) / nBlock : 0;
        nUsed += nSpill;
        // Counts first: the merge fills each block from its end.
        tagSABLOCK<tagPHRASE2>* last = b;
        b->nCount = total < nBlock ? total : nBlock;
        for (uint32_t s = 0; s < nSpill; ++s) {
          tagSABLOCK<tagPHRASE2>* n = spare[nFirstSpare + s];
          const uint32_t left = total - nBlock * (s + 1);
          n->nCount = left < nBlock ? left : nBlock;
          n->pPrev = last;
          last->pNext = n;
          last = n;
        }
        tagSABLOCK<tagPHRASE2>* dst = last;
        uint32_t d = dst->nCount;
        uint32_t r = nOldHere;
        uint32_t k = j;
        for (uint32_t o = total; o-- > 0;) {
          if (d == 0) {
            dst = dst->pPrev;
            d = dst->nCount;
          }
          // Without a branch: which side comes next is as random as the
          // groups of the phrases.
          const bool bNew = k > i && pPos[k - 1] == outBase + o;
          const tagPHRASE2* src = bNew ? pRec + (k - 1) : b->pItems + (r - 1);
          k -= bNew;
          r -= !bNew;
          dst->pItems[--d] = *src;
        }
        last->pNext = next;
        if (next != nullptr)
          next->pPrev = last;
        else
          store.m_pLast = last;
      }
      base += nOldHere;
      outBase += total;
      i = j;
      b = next;
    }
    store.m_nCount = nOld + nRec;
    store.m_nFree += nSpare * nBlock;
    store.m_nFree -= nRec;
    store.m_pCursor = store.m_pFirst;  // the cursor's base has moved
    store.m_nCursorBase = 0;
  }
  for (uint32_t k = 0; k < nRec; ++k) GetGroup(pRec[k].byGroup)->dwCount++;
  if (store.NeedCompact()) store.Compact();
  return 1;
}

int CTabrix::RemoveGroup(uint32_t group) {
  const uint32_t nGroups = GetGroupCount();
  if (group >= nGroups) return 0;
  // The new table is built first: only it can fail, and then nothing changed.
  CSArray<tagGROUPINFO> groups;
  groups.m_nBlockSize = m_arrGroup.m_nBlockSize;
  groups.m_byWastePercent = m_arrGroup.m_byWastePercent;
  for (uint32_t g = 0; g < nGroups; ++g) {
    if (g != group && groups.Add(*GetGroup(g)) < 0) return 0;
  }
  m_arrGroup.TakeBlocksOf(groups);
  SqueezeStore(m_arrPhrase, [group](uint32_t, tagPHRASE2* rec) {
    if (rec->byGroup == group) return true;
    if (rec->byGroup > group) rec->byGroup--;
    return false;
  });
  return 1;
}

int CTabrix::InsertGroup(uint32_t group, const tagGROUPINFO& info) {
  const uint32_t nGroups = GetGroupCount();
  // Group indexes are one byte in the records, 255 naming no group.
  if (group > nGroups || nGroups >= TABRIX_NO_GROUP) return 0;
  tagGROUPINFO rec = info;
  rec.dwCount = 0;
  if (m_arrGroup.InsertAt(group, rec) < 0) return 0;
  for (tagSABLOCK<tagPHRASE2>* block = m_arrPhrase.m_pFirst; block != nullptr;
       block = block->pNext) {
    for (uint32_t r = 0; r < block->nCount; ++r) {
      uint8_t& byGroup = block->pItems[r].byGroup;
      if (byGroup >= group && byGroup < TABRIX_NO_GROUP) ++byGroup;
    }
  }
  return 1;
}

int CTabrix::SetFrequencyAt(const uint32_t* pPos, uint32_t nPos, uint32_t freq) {
  if (freq > kMaxFreq || (nPos > 0 && pPos == nullptr)) return 0;
  const uint32_t nStore = m_arrPhrase.GetCount();
  for (uint32_t i = 0; i < nPos; ++i) {
    if (pPos[i] >= nStore) return 0;
  }
  for (uint32_t i = 0; i < nPos; ++i) m_arrPhrase.GetAt(pPos[i])->byFreq = uint8_t(freq);
  return 1;
}

int CTabrix::MovePhrasesAt(const uint32_t* pPos, uint32_t nPos, uint32_t group) {
  const uint32_t nGroups = GetGroupCount();
  if (group >= nGroups || (nPos > 0 && pPos == nullptr)) return 0;
  const uint32_t nStore = m_arrPhrase.GetCount();
  for (uint32_t i = 0; i < nPos; ++i) {
    if (pPos[i] >= nStore) return 0;
  }
  for (uint32_t i = 0; i < nPos; ++i) {
    tagPHRASE2* rec = m_arrPhrase.GetAt(pPos[i]);
    if (rec->byGroup == group) continue;  // also a position given twice
    if (rec->byGroup < nGroups) GetGroup(rec->byGroup)->dwCount--;
    rec->byGroup = uint8_t(group);
    GetGroup(group)->dwCount++;
  }
  return 1;
}

namespace {

// The stored positions of the texts, the missing ones counted; null when
// memory ran out.
uint32_t* PositionsOf(CTabrix& lib, const char* const* ppText, uint32_t nText, uint32_t* pFound,
                      uint32_t* pMissing) {
  uint32_t* p = new (std::nothrow) uint32_t[nText == 0 ? 1 : nText];
  if (p == nullptr) return nullptr;
  uint32_t nFound = 0;
  for (uint32_t i = 0; i < nText; ++i) {
    if (lib.FindPhrase(ppText[i], p + nFound, nullptr)) ++nFound;
  }
  *pFound = nFound;
  if (pMissing != nullptr) *pMissing = nText - nFound;
  return p;
}

}  // namespace

int CTabrix::RemovePhrasesByText(const char* const* ppText, uint32_t nText, uint32_t* pMissing) {
  if (nText > 0 && ppText == nullptr) return 0;
  uint32_t nFound = 0;
  uint32_t* p = PositionsOf(*this, ppText, nText, &nFound, pMissing);
  if (p == nullptr) return 0;
  const int ok = RemovePhrasesAt(p, nFound);
  delete[] p;
  return ok;
}

int CTabrix::SetFrequencyByText(const char* const* ppText, uint32_t nText, uint32_t freq,
                                uint32_t* pMissing) {
  if (freq > kMaxFreq || (nText > 0 && ppText == nullptr)) return 0;
  uint32_t nFound = 0;
  uint32_t* p = PositionsOf(*this, ppText, nText, &nFound, pMissing);
  if (p == nullptr) return 0;
  const int ok = SetFrequencyAt(p, nFound, freq);
  delete[] p;
  return ok;
}

int CTabrix::MovePhrasesByText(const char* const* ppText, uint32_t nText, uint32_t group,
                               uint32_t* pMissing) {
  if (group >= GetGroupCount() || (nText > 0 && ppText == nullptr)) return 0;
  uint32_t nFound = 0;
  uint32_t* p = PositionsOf(*this, ppText, nText, &nFound, pMissing);
  if (p == nullptr) return 0;
  const int ok = MovePhrasesAt(p, nFound, group);
  delete[] p;
  return ok;
}

uint32_t CTabrix::FindSubstring(const char* needle, uint32_t group, PhraseHitFunc hit, void* data) {
  if (needle == nullptr) needle = "";
  const size_t nNeedle = std::strlen(needle);
  const bool bAnyGroup = group == TABRIX_NO_GROUP;
  uint32_t nHits = 0;
  uint32_t pos = 0;
  for (const tagSABLOCK<tagPHRASE2>* block = m_arrPhrase.m_pFirst; block != nullptr;
       block = block->pNext) {
    for (uint32_t r = 0; r < block->nCount; ++r, ++pos) {
      const tagPHRASE2* rec = block->pItems + r;
      if (!bAnyGroup && rec->byGroup != group) continue;
      const size_t nText = rec->cLen;
      bool bHit = nNeedle == 0;
      // Character by character: a match may only start on a character.
      for (size_t i = 0; !bHit && i + nNeedle <= nText;
           i += IsGbkLeadByte(uint8_t(rec->szWord[i])) && i + 1 < nText ? 2 : 1) {
        bHit = rec->szWord[i] == needle[0] && std::memcmp(rec->szWord + i, needle, nNeedle) == 0;
      }
      if (!bHit) continue;
      ++nHits;
      if (hit != nullptr) hit(pos, rec, data);
    }
  }
  return nHits;
}
