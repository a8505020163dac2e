// A library's phrase store walked record by record in its order (ascending
// texts), block by block: one pass over a million phrases costs what reading
// them does, where looking each up by position or text would not.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

// A store index meaning "not in the store".
const uint32_t kNotStored = UINT32_MAX;

// The store index of each text (GBK), kNotStored for a text the library
// lacks: the texts sorted, then found in one pass over the store beside them,
// where looking each up alone would cost a search of the store per text.
std::vector<uint32_t> StorePositions(CTabrix& lib, const std::vector<std::string>& texts);
