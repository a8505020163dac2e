// CSArray: the library's one container. Records of a fixed-size type live in a
// doubly linked chain of equal-sized blocks, so the store grows and takes
// insertions in the middle without moving everything.
#pragma once

#include <cstdint>

enum { FIND_ANY = 0, FIND_FIRST = 1, FIND_LAST = 2 };

template <class T>
struct tagSABLOCK {
  tagSABLOCK* pPrev;  // null for the first block
  T* pItems;          // room for m_nBlockSize records
  uint32_t nCount;    // records in use: the first nCount slots
  tagSABLOCK* pNext;  // null for the last block
};

template <class T>
class CSArray {
 public:
  // Negative, zero or positive as key sorts before, equal to or after item.
  typedef int (*CompareFunc)(const T* key, const T* item, void* data);

  CSArray();
  virtual ~CSArray();
  virtual bool NeedCompact() const;
  virtual void FreeBlocks();

  uint32_t GetCount() const { return m_nCount; }
  tagSABLOCK<T>* GetBlock(uint32_t index);
  T* GetAt(uint32_t index);
  int Add(const T& rec);                        // new index, or -1
  int InsertAt(uint32_t index, const T& rec);   // index, or -1
  int Find(const T& key, uint32_t lo, uint32_t hi, CompareFunc compare, void* data, int mode,
           uint32_t* pInsertPos);
  int InsertSorted(const T& rec, bool allowDuplicate, CompareFunc compare, void* data, int mode);
  void Compact();

  // Fields are public: the owner sets m_nBlockSize and m_byWastePercent before
  // the first insertion, and resets the rest after FreeBlocks.
  uint32_t m_nCursorBase;  // first index of m_pCursor; all bits set: no cursor
  uint32_t m_nCount;
  uint32_t m_nBlockSize;
  uint32_t m_nFree;        // spare slots over all blocks
  uint8_t m_byWastePercent;
  tagSABLOCK<T>* m_pCursor;
  tagSABLOCK<T>* m_pFirst;
  tagSABLOCK<T>* m_pLast;
};

#include "SArrayImpl.h"
