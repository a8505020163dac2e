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
  // A null comparator compares the two whole records as unsigned bytes.
  typedef int (*CompareFunc)(const T* key, const T* item, void* data);

  CSArray();
  virtual ~CSArray();
  // True when the spare slots beyond one block exceed m_byWastePercent
  // percent of the record count.
  virtual bool NeedCompact() const;
  // Releases every block and leaves the array empty (no blocks, no cursor,
  // count and free 0); the block size and waste threshold stay.
  virtual void FreeBlocks();

  // Blocks are owned: an array is never copied.
  CSArray(const CSArray&) = delete;
  CSArray& operator=(const CSArray&) = delete;

  uint32_t GetCount() const { return m_nCount; }
  // The block holding index, which becomes the cursor. index must be below
  // GetCount(): debug builds assert, release builds return null.
  tagSABLOCK<T>* GetBlock(uint32_t index);
  // Address of record index (same precondition; null when it is broken). Valid
  // until the next Add, InsertAt, InsertSorted, Compact or FreeBlocks.
  T* GetAt(uint32_t index);
  int Add(const T& rec);                       // new index, or -1
  int InsertAt(uint32_t index, const T& rec);  // index, or -1
  // Binary search over [lo, hi), clipped to the array. Index of a match or -1;
  // on -1 the insertion point goes to *pInsertPos when given.
  int Find(const T& key, uint32_t lo, uint32_t hi, CompareFunc compare, void* data, int mode,
           uint32_t* pInsertPos);
  // Index of the inserted record, or -1 (refused duplicate, or no memory).
  int InsertSorted(const T& rec, bool allowDuplicate, CompareFunc compare, void* data, int mode);
  void Compact();
  // Frees this array's blocks and takes over the chain of from, which is left
  // empty: a store rebuilt beside the old one replaces it without a copy.
  void TakeBlocksOf(CSArray& from);
  // This array becomes a copy of from, block for block (its block size and
  // waste threshold included): one allocation and one copy per block, no
  // record looked at. 1, or 0 when memory ran out: this array is then empty.
  int CopyFrom(const CSArray& from);

  // Fields are public: the owner sets m_nBlockSize and m_byWastePercent before
  // the first insertion (never while blocks exist).
  uint32_t m_nCursorBase;  // first index of m_pCursor; all bits set: no cursor
  uint32_t m_nCount;
  uint32_t m_nBlockSize;
  uint32_t m_nFree;  // spare slots over all blocks
  uint8_t m_byWastePercent;
  tagSABLOCK<T>* m_pCursor;
  tagSABLOCK<T>* m_pFirst;
  tagSABLOCK<T>* m_pLast;

 private:
  tagSABLOCK<T>* NewBlock();
  static void DeleteBlock(tagSABLOCK<T>* block);
  static int CompareBytes(const T* key, const T* item, void* data);
  int FindFirstMatch(const T& key, uint32_t lo, uint32_t hi, CompareFunc compare, void* data);
  int FindLastMatch(const T& key, uint32_t lo, uint32_t hi, CompareFunc compare, void* data);
};

#include "SArrayImpl.h"
