// Phrase-level edits of the store: removal, regrouping, frequencies and
// searches, each one pass over the store's blocks.
#include <algorithm>
#include <cstring>
#include <new>

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

// Calls f(rec) for the record at each position (all below the store's
// count) in one pass over the blocks, in store order: an ascending list is
// followed as it is, any other is first marked in a bitmap of the store. A
// position given twice may be called twice. Without memory for the bitmap
// each position is looked up on its own, in the order given.
template <class F>
void ForEachPosition(CSArray<tagPHRASE2>& store, const uint32_t* pPos, uint32_t nPos, F f) {
  bool bAscending = true;
  for (uint32_t i = 1; i < nPos && bAscending; ++i) bAscending = pPos[i - 1] <= pPos[i];
  tagSABLOCK<tagPHRASE2>* block = store.m_pFirst;
  uint32_t base = 0;
  auto at = [&](uint32_t pos) {
    while (pos - base >= block->nCount) {
      base += block->nCount;
      block = block->pNext;
    }
    f(block->pItems + (pos - base));
  };
  if (bAscending) {
    for (uint32_t i = 0; i < nPos; ++i) at(pPos[i]);
    return;
  }
  const uint32_t nWords = (store.GetCount() + 63) / 64;
  uint64_t* pBits = new (std::nothrow) uint64_t[nWords]();
  if (pBits == nullptr) {
    for (uint32_t i = 0; i < nPos; ++i) f(store.GetAt(pPos[i]));
    return;
  }
  for (uint32_t i = 0; i < nPos; ++i) pBits[pPos[i] / 64] |= uint64_t(1) << (pPos[i] % 64);
  for (uint32_t w = 0; w < nWords; ++w) {
    // Set bits in ascending order (portable: no compiler's count of
    // trailing zeros); a word without any costs one test.
    uint32_t bit = 0;
    for (uint64_t bits = pBits[w]; bits != 0; bits >>= 1, ++bit) {
      if (bits & 1) at(w * 64 + bit);
    }
  }
  delete[] pBits;
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

int CTabrix::SetFrequencyAt(const uint32_t* pPos, uint32_t nPos, uint32_t freq) {
  if (freq > kMaxFreq || (nPos > 0 && pPos == nullptr)) return 0;
  const uint32_t nStore = m_arrPhrase.GetCount();
  for (uint32_t i = 0; i < nPos; ++i) {
    if (pPos[i] >= nStore) return 0;
  }
  ForEachPosition(m_arrPhrase, pPos, nPos,
                  [freq](tagPHRASE2* rec) { rec->byFreq = uint8_t(freq); });
  return 1;
}

int CTabrix::MovePhrasesAt(const uint32_t* pPos, uint32_t nPos, uint32_t group) {
  const uint32_t nGroups = GetGroupCount();
  if (group >= nGroups || (nPos > 0 && pPos == nullptr)) return 0;
  const uint32_t nStore = m_arrPhrase.GetCount();
  for (uint32_t i = 0; i < nPos; ++i) {
    if (pPos[i] >= nStore) return 0;
  }
  // Counted aside, and given to the groups at the end.
  uint32_t left[256] = {};
  uint32_t nMoved = 0;
  ForEachPosition(m_arrPhrase, pPos, nPos, [&](tagPHRASE2* rec) {
    if (rec->byGroup == group) return;  // also a position given twice
    ++left[rec->byGroup];
    rec->byGroup = uint8_t(group);
    ++nMoved;
  });
  for (uint32_t g = 0; g < nGroups; ++g) GetGroup(g)->dwCount -= left[g];
  GetGroup(group)->dwCount += nMoved;
  return 1;
}

int CTabrix::RestoreValuesAt(const uint32_t* pPos, const uint8_t* pValue, uint32_t nPos,
                             bool bGroup) {
  if (nPos > 0 && (pPos == nullptr || pValue == nullptr)) return 0;
  const uint32_t nStore = m_arrPhrase.GetCount();
  const uint32_t nGroups = GetGroupCount();
  for (uint32_t i = 0; i < nPos; ++i) {
    if (pPos[i] >= nStore || (i > 0 && pPos[i] <= pPos[i - 1])) return 0;
    if (bGroup && pValue[i] >= nGroups) return 0;
  }
  if (!bGroup) {
    uint32_t i = 0;
    ForEachPosition(m_arrPhrase, pPos, nPos, [&](tagPHRASE2* rec) { rec->byFreq = pValue[i++]; });
    return 1;
  }
  uint32_t left[256] = {};
  uint32_t came[256] = {};
  uint32_t i = 0;
  ForEachPosition(m_arrPhrase, pPos, nPos, [&](tagPHRASE2* rec) {
    ++left[rec->byGroup];
    rec->byGroup = pValue[i++];
    ++came[rec->byGroup];
  });
  for (uint32_t g = 0; g < nGroups; ++g) GetGroup(g)->dwCount += came[g] - left[g];
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
  uint32_t next = 0;
  return FindSubstringFrom(needle, group, &next, m_arrPhrase.GetCount(), hit, data);
}

uint32_t CTabrix::FindSubstringFrom(const char* needle, uint32_t group, uint32_t* pNext,
                                    uint32_t nPhrases, PhraseHitFunc hit, void* data) {
  if (needle == nullptr) needle = "";
  const size_t nNeedle = std::strlen(needle);
  const bool bAnyGroup = group == TABRIX_NO_GROUP;
  uint32_t nHits = 0;
  uint32_t pos = *pNext;
  const uint32_t nStore = m_arrPhrase.GetCount();
  const uint32_t end = nStore - pos < nPhrases ? nStore : pos + nPhrases;
  if (pos >= end) return 0;
  tagSABLOCK<tagPHRASE2>* block = m_arrPhrase.GetBlock(pos);
  uint32_t r = pos - m_arrPhrase.m_nCursorBase;
  for (; block != nullptr && pos < end; block = block->pNext, r = 0) {
    for (; r < block->nCount && pos < end; ++r, ++pos) {
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
  *pNext = pos;
  return nHits;
}
