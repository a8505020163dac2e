// Helpers for the CSArray tests: small record types and a walk over the chain
// that checks every structural invariant without touching the cursor.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

#include "SArray.h"

// A record ordered by nKey only; nSeq tells equal keys apart.
struct tagTESTREC {
  uint32_t nKey;
  uint32_t nSeq;
};

inline bool operator==(const tagTESTREC& a, const tagTESTREC& b) {
  return a.nKey == b.nKey && a.nSeq == b.nSeq;
}

inline std::ostream& operator<<(std::ostream& os, const tagTESTREC& r) {
  return os << "{" << r.nKey << "," << r.nSeq << "}";
}

inline int CompareKey(const tagTESTREC* key, const tagTESTREC* item, void* /*data*/) {
  return key->nKey < item->nKey ? -1 : (key->nKey > item->nKey ? 1 : 0);
}

inline tagTESTREC Rec(uint32_t key, uint32_t seq = 0) { return tagTESTREC{key, seq}; }

// Records in chain order, read straight from the blocks.
template <class T>
std::vector<T> ChainRecords(const CSArray<T>& a) {
  std::vector<T> out;
  for (const tagSABLOCK<T>* b = a.m_pFirst; b != nullptr; b = b->pNext) {
    out.insert(out.end(), b->pItems, b->pItems + b->nCount);
  }
  return out;
}

// Block fill levels in chain order.
template <class T>
std::vector<uint32_t> BlockCounts(const CSArray<T>& a) {
  std::vector<uint32_t> out;
  for (const tagSABLOCK<T>* b = a.m_pFirst; b != nullptr; b = b->pNext) out.push_back(b->nCount);
  return out;
}

// Links both ways, no empty or overfull block, counts and spare slots agree,
// and the cursor (when the array holds records) names a block and its first
// index.
template <class T>
::testing::AssertionResult ChainIsSound(const CSArray<T>& a) {
  if (a.m_pFirst == nullptr) {
    if (a.m_pLast != nullptr || a.m_pCursor != nullptr || a.m_nCount != 0 || a.m_nFree != 0 ||
        a.m_nCursorBase != UINT32_MAX) {
      return ::testing::AssertionFailure() << "empty chain with non-empty fields";
    }
    return ::testing::AssertionSuccess();
  }
  uint64_t records = 0, blocks = 0;
  bool cursorSeen = false;
  const tagSABLOCK<T>* prev = nullptr;
  for (const tagSABLOCK<T>* b = a.m_pFirst; b != nullptr; prev = b, b = b->pNext) {
    if (b->pPrev != prev) return ::testing::AssertionFailure() << "bad pPrev at block " << blocks;
    if (b->nCount == 0) return ::testing::AssertionFailure() << "empty block " << blocks;
    if (b->nCount > a.m_nBlockSize) {
      return ::testing::AssertionFailure() << "overfull block " << blocks;
    }
    if (b == a.m_pCursor) {
      cursorSeen = true;
      if (a.m_nCursorBase != records) {
        return ::testing::AssertionFailure()
               << "cursor base " << a.m_nCursorBase << " but block starts at " << records;
      }
    }
    records += b->nCount;
    ++blocks;
  }
  if (prev != a.m_pLast) return ::testing::AssertionFailure() << "m_pLast is not the last block";
  if (records != a.m_nCount) {
    return ::testing::AssertionFailure()
           << "m_nCount " << a.m_nCount << " but chain holds " << records;
  }
  if (blocks * a.m_nBlockSize - records != a.m_nFree) {
    return ::testing::AssertionFailure() << "m_nFree " << a.m_nFree << " but spare slots are "
                                         << blocks * a.m_nBlockSize - records;
  }
  if (!cursorSeen) return ::testing::AssertionFailure() << "cursor names no block of the chain";
  return ::testing::AssertionSuccess();
}

// A record whose block storage can be made to fail: the array allocates its
// item storage with new (std::nothrow) T[], which finds these functions.
struct tagFAILREC {
  uint32_t nValue;

  static inline int s_nAllocationsLeft = -1;  // negative: never fail

  static void* operator new[](std::size_t size, const std::nothrow_t& nt) noexcept {
    if (s_nAllocationsLeft == 0) return nullptr;
    if (s_nAllocationsLeft > 0) --s_nAllocationsLeft;
    return ::operator new[](size, nt);
  }
  static void operator delete[](void* p) noexcept { ::operator delete[](p); }
};
