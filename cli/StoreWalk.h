// A library's phrase store walked record by record in its order (ascending
// texts), block by block: one pass over a million phrases costs what reading
// them does, where looking each up by position or text would not.
#pragma once

#include <cstdint>

#include "Tabrix.h"

class CStoreWalk {
 public:
  explicit CStoreWalk(CTabrix& lib) : m_pBlock(lib.m_arrPhrase.m_pFirst) { Settle(); }
  // The current record, or null past the last.
  const tagPHRASE2* Get() const { return m_pBlock ? m_pBlock->pItems + m_nItem : nullptr; }
  // The current record's store index.
  uint32_t GetPosition() const { return m_nPosition; }
  void Advance() {
    ++m_nItem;
    ++m_nPosition;
    Settle();
  }

 private:
  void Settle() {
    while (m_pBlock != nullptr && m_nItem >= m_pBlock->nCount) {
      m_pBlock = m_pBlock->pNext;
      m_nItem = 0;
    }
  }
  const tagSABLOCK<tagPHRASE2>* m_pBlock;
  uint32_t m_nItem = 0;
  uint32_t m_nPosition = 0;
};
