// Member definitions of CSArray (included by SArray.h).
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>

// Indices travel as int results, so the array stops growing below INT32_MAX;
// this also keeps every index apart from the all-bits-set "no cursor" value.
enum : uint32_t { SARRAY_MAX_COUNT = 0x7FFFFFFFu };

template <class T>
CSArray<T>::CSArray()
    : m_nCursorBase(UINT32_MAX),
      m_nCount(0),
      m_nBlockSize(5),
      m_nFree(0),
      m_byWastePercent(10),
      m_pCursor(nullptr),
      m_pFirst(nullptr),
      m_pLast(nullptr) {
  // Records are moved with memcpy/memmove and never destroyed one by one.
  static_assert(std::is_trivially_copyable<T>::value, "CSArray holds plain records");
}

template <class T>
CSArray<T>::~CSArray() {
  CSArray<T>::FreeBlocks();
}

template <class T>
bool CSArray<T>::NeedCompact() const {
  if (m_nFree < m_nBlockSize) return false;
  // 64-bit so that a large count cannot wrap the percentage.
  return uint64_t(m_byWastePercent) * m_nCount < uint64_t(m_nFree - m_nBlockSize) * 100u;
}

template <class T>
void CSArray<T>::FreeBlocks() {
  tagSABLOCK<T>* block = m_pFirst;
  while (block != nullptr) {
    tagSABLOCK<T>* next = block->pNext;
    DeleteBlock(block);
    block = next;
  }
  // Leave no dangling pointer behind, whoever calls this.
  m_pFirst = m_pLast = m_pCursor = nullptr;
  m_nCursorBase = UINT32_MAX;
  m_nCount = 0;
  m_nFree = 0;
}

template <class T>
void CSArray<T>::TakeBlocksOf(CSArray& from) {
  if (&from == this) return;
  FreeBlocks();
  m_pFirst = from.m_pFirst;
  m_pLast = from.m_pLast;
  m_pCursor = from.m_pCursor;
  m_nCursorBase = from.m_nCursorBase;
  m_nCount = from.m_nCount;
  m_nFree = from.m_nFree;
  from.m_pFirst = from.m_pLast = from.m_pCursor = nullptr;
  from.m_nCursorBase = UINT32_MAX;
  from.m_nCount = from.m_nFree = 0;
}

template <class T>
int CSArray<T>::CopyFrom(const CSArray& from) {
  if (&from == this) return 1;
  FreeBlocks();
  m_nBlockSize = from.m_nBlockSize;
  m_byWastePercent = from.m_byWastePercent;
  for (const tagSABLOCK<T>* src = from.m_pFirst; src != nullptr; src = src->pNext) {
    tagSABLOCK<T>* block = NewBlock();
    if (block == nullptr) {
      FreeBlocks();
      return 0;
    }
    std::memcpy(static_cast<void*>(block->pItems), src->pItems, src->nCount * sizeof(T));
    block->nCount = src->nCount;
    block->pPrev = m_pLast;
    if (m_pLast != nullptr) {
      m_pLast->pNext = block;
    } else {
      m_pFirst = block;
    }
    m_pLast = block;
  }
  m_nCount = from.m_nCount;
  m_nFree = from.m_nFree;
  if (m_pFirst != nullptr) {
    m_pCursor = m_pFirst;
    m_nCursorBase = 0;
  }
  return 1;
}

template <class T>
tagSABLOCK<T>* CSArray<T>::NewBlock() {
  if (m_nBlockSize == 0 || m_nBlockSize > SIZE_MAX / sizeof(T)) return nullptr;
  tagSABLOCK<T>* block = new (std::nothrow) tagSABLOCK<T>;
  if (block == nullptr) return nullptr;
  block->pItems = new (std::nothrow) T[m_nBlockSize];
  if (block->pItems == nullptr) {
    delete block;
    return nullptr;
  }
  block->pPrev = block->pNext = nullptr;
  block->nCount = 0;
  return block;
}

template <class T>
void CSArray<T>::DeleteBlock(tagSABLOCK<T>* block) {
  delete[] block->pItems;
  delete block;
}

template <class T>
int CSArray<T>::CompareBytes(const T* key, const T* item, void* /*data*/) {
  int d = std::memcmp(key, item, sizeof(T));  // memcmp compares unsigned bytes
  return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

template <class T>
tagSABLOCK<T>* CSArray<T>::GetBlock(uint32_t index) {
  assert(index < m_nCount && "CSArray: index out of range");
  if (index >= m_nCount) return nullptr;

  tagSABLOCK<T>* block;
  uint32_t base;
  // Compared in 64 bits: 2 * index may exceed 32 bits.
  const uint64_t cursorBase = m_nCursorBase;
  const uint64_t twice = uint64_t(index) * 2u;
  if (m_pCursor == nullptr || index < m_nCursorBase) {
    if (m_pCursor == nullptr || cursorBase > twice) {
      // The start of the chain is nearer than the cursor.
      block = m_pFirst;
      base = 0;
      while (index - base >= block->nCount) {
        base += block->nCount;
        block = block->pNext;
      }
    } else {
      block = m_pCursor;
      base = m_nCursorBase;
      while (base > index) {
        block = block->pPrev;
        base -= block->nCount;
      }
    }
  } else if (index - m_nCursorBase < m_pCursor->nCount) {
    return m_pCursor;
  } else if (twice > uint64_t(m_nCount) + cursorBase) {
    // Nearer the end of the array than the cursor.
    block = m_pLast;
    base = m_nCount - m_pLast->nCount;
    while (base > index) {
      block = block->pPrev;
      base -= block->nCount;
    }
  } else {
    block = m_pCursor;
    base = m_nCursorBase;
    while (index - base >= block->nCount) {
      base += block->nCount;
      block = block->pNext;
    }
  }
  m_pCursor = block;
  m_nCursorBase = base;
  return block;
}

template <class T>
T* CSArray<T>::GetAt(uint32_t index) {
  tagSABLOCK<T>* block = GetBlock(index);
  if (block == nullptr) return nullptr;
  return block->pItems + (index - m_nCursorBase);
}

template <class T>
int CSArray<T>::Add(const T& rec) {
  if (m_nBlockSize == 0 || m_nCount >= SARRAY_MAX_COUNT) return -1;
  if (m_pLast == nullptr) {
    tagSABLOCK<T>* block = NewBlock();
    if (block == nullptr) return -1;
    block->pItems[0] = rec;
    block->nCount = 1;
    m_pFirst = m_pLast = m_pCursor = block;
    m_nCursorBase = 0;
    m_nCount = 1;
    m_nFree = m_nBlockSize - 1;
    return 0;
  }
  if (m_pLast->nCount >= m_nBlockSize) {
    tagSABLOCK<T>* block = NewBlock();
    if (block == nullptr) return -1;
    block->pPrev = m_pLast;
    m_pLast->pNext = block;
    m_pLast = block;
    m_nFree += m_nBlockSize;
  }
  m_pLast->pItems[m_pLast->nCount++] = rec;
  m_nCount++;
  m_nFree--;
  m_pCursor = m_pLast;
  m_nCursorBase = m_nCount - m_pLast->nCount;
  return int(m_nCount - 1);
}

template <class T>
int CSArray<T>::InsertAt(uint32_t index, const T& rec) {
  if (index > m_nCount) return -1;
  if (index == m_nCount) return Add(rec);
  if (m_nCount >= SARRAY_MAX_COUNT) return -1;

  const T copy = rec;  // rec may live in the slots about to move
  tagSABLOCK<T>* block = GetBlock(index);
  const uint32_t k = index - m_nCursorBase;
  if (block->nCount >= m_nBlockSize) {
    // Split: the tail from slot k moves to a new block linked right after.
    tagSABLOCK<T>* tail = NewBlock();
    if (tail == nullptr) return -1;
    const uint32_t moved = block->nCount - k;
    std::memcpy(static_cast<void*>(tail->pItems), block->pItems + k, moved * sizeof(T));
    tail->nCount = moved;
    block->pItems[k] = copy;
    block->nCount = k + 1;
    tail->pPrev = block;
    tail->pNext = block->pNext;
    if (block->pNext != nullptr) {
      block->pNext->pPrev = tail;
    } else {
      m_pLast = tail;
    }
    block->pNext = tail;
    m_nFree += m_nBlockSize - 1;
  } else {
    std::memmove(static_cast<void*>(block->pItems + k + 1), block->pItems + k,
                 (block->nCount - k) * sizeof(T));
    block->pItems[k] = copy;
    block->nCount++;
    m_nFree--;
  }
  m_nCount++;
  if (NeedCompact()) Compact();
  return int(index);
}

template <class T>
int CSArray<T>::FindFirstMatch(const T& key, uint32_t lo, uint32_t hi, CompareFunc compare,
                               void* data) {
  // Every record in [lo, hi) sorts at or before key: narrow towards the front.
  int found = -1;
  while (lo != hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    if (compare(&key, GetAt(mid), data) == 0) {
      found = int(mid);
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return found;
}

template <class T>
int CSArray<T>::FindLastMatch(const T& key, uint32_t lo, uint32_t hi, CompareFunc compare,
                              void* data) {
  // Every record in [lo, hi) sorts at or after key: narrow towards the back.
  int found = -1;
  while (lo != hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    if (compare(&key, GetAt(mid), data) == 0) {
      found = int(mid);
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return found;
}

template <class T>
int CSArray<T>::Find(const T& key, uint32_t lo, uint32_t hi, CompareFunc compare, void* data,
                     int mode, uint32_t* pInsertPos) {
  if (compare == nullptr) compare = CompareBytes;
  if (hi > m_nCount) hi = m_nCount;
  if (lo > hi) lo = hi;
  for (;;) {
    if (lo == hi) {
      if (pInsertPos != nullptr) *pInsertPos = lo;
      return -1;
    }
    const uint32_t mid = lo + (hi - lo) / 2;
    const int d = compare(&key, GetAt(mid), data);
    if (d == 0) {
      int match = -1;
      if (mode == FIND_FIRST) {
        match = FindFirstMatch(key, lo, mid, compare, data);
      } else if (mode == FIND_LAST) {
        match = FindLastMatch(key, mid + 1, hi, compare, data);
      }
      return match >= 0 ? match : int(mid);
    }
    if (hi == lo + 1) {
      if (pInsertPos != nullptr) *pInsertPos = d < 0 ? mid : mid + 1;
      return -1;
    }
    if (d < 0) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
}

template <class T>
int CSArray<T>::InsertSorted(const T& rec, bool allowDuplicate, CompareFunc compare, void* data,
                             int mode) {
  if (m_nCount == 0) return Add(rec) < 0 ? -1 : 0;
  uint32_t pos = 0;
  const int match = Find(rec, 0, m_nCount, compare, data, mode, &pos);
  if (match >= 0) {
    if (!allowDuplicate) return -1;
    pos = mode == FIND_LAST ? uint32_t(match) + 1 : uint32_t(match);
  }
  return InsertAt(pos, rec);
}

template <class T>
void CSArray<T>::Compact() {
  if (m_pFirst == m_pLast) return;  // one block (or none): nothing to pack

  // The next block at or after b that is neither full nor the last.
  auto nextTarget = [this](tagSABLOCK<T>* b) {
    while (b != nullptr && b != m_pLast && b->nCount >= m_nBlockSize) b = b->pNext;
    return b == m_pLast ? nullptr : b;
  };

  for (tagSABLOCK<T>* target = nextTarget(m_pFirst); target != nullptr;
       target = nextTarget(target)) {
    while (target->nCount < m_nBlockSize && target->pNext != nullptr) {
      tagSABLOCK<T>* src = target->pNext;
      const uint32_t room = m_nBlockSize - target->nCount;
      if (src->nCount <= room) {
        std::memcpy(static_cast<void*>(target->pItems + target->nCount), src->pItems,
                    src->nCount * sizeof(T));
        target->nCount += src->nCount;
        target->pNext = src->pNext;
        if (src->pNext != nullptr) {
          src->pNext->pPrev = target;
        } else {
          m_pLast = target;
        }
        DeleteBlock(src);
      } else {
        std::memcpy(static_cast<void*>(target->pItems + target->nCount), src->pItems,
                    room * sizeof(T));
        std::memmove(static_cast<void*>(src->pItems), src->pItems + room,
                     (src->nCount - room) * sizeof(T));
        src->nCount -= room;
        target->nCount = m_nBlockSize;
      }
    }
  }

  m_pCursor = m_pFirst;
  m_nCursorBase = 0;
  m_nFree = m_pLast != nullptr ? m_nBlockSize - m_pLast->nCount : 0;
}
