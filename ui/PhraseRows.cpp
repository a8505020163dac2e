#include "PhraseRows.h"

#include <algorithm>
#include <new>

#include "GbkText.h"
#include "RowSelection.h"
#include "Tabrix.h"

namespace {

// Up to so many positions asked for at once find their sorted rows by a
// walk along the order each; more make the table from index to row.
const size_t kFewPositions = 8;

void CollectRow(uint32_t pos, const tagPHRASE2*, void* data) {
  static_cast<std::vector<uint32_t>*>(data)->push_back(pos);
}

}  // namespace

void CPhraseRows::Clear() {
  m_arrPos.clear();
  m_arrOrder.clear();
  m_arrRowOfIndex.clear();
  m_nCount = 0;
  m_pLibrary = nullptr;
  m_pSource = nullptr;
  m_bEvery = false;
  m_bFinding = false;
  m_strNeedle.clear();
  m_nScanNext = 0;
}

bool CPhraseRows::Build(CTabrix& lib, uint32_t group, const std::string& needle,
                        uint32_t nFirstSlice) {
  Clear();
  m_pSource = &lib;
  // A group that holds every phrase has the whole library's rows.
  const tagGROUPINFO* pGroup = group < lib.GetGroupCount() ? lib.GetGroup(group) : nullptr;
  if (needle.empty() &&
      (group == TABRIX_NO_GROUP || (pGroup && pGroup->dwCount == lib.m_arrPhrase.GetCount()))) {
    m_bEvery = true;
    m_nCount = lib.m_arrPhrase.GetCount();
    return IsStoreOrder() || Sort();
  }
  m_pLibrary = &lib;
  m_nGroup = group;
  m_nScanNext = 0;
  if (needle.empty() && group < lib.GetGroupCount()) {
    m_nCount = lib.GetGroup(group)->dwCount;
  } else {
    m_bFinding = true;
    m_strNeedle = needle;
    return FindMore(nFirstSlice);
  }
  return IsStoreOrder() || Sort();
}

bool CPhraseRows::FindMore(uint32_t nPhrases) {
  if (IsComplete()) return true;
  if (!Scan(nPhrases)) return false;
  // Sorted rows show once every one is found.
  return !IsComplete() || IsStoreOrder() || Sort();
}

bool CPhraseRows::Scan(uint32_t nPhrases) {
  try {
    m_pLibrary->FindSubstringFrom(m_strNeedle.c_str(), m_nGroup, &m_nScanNext, nPhrases,
                                  &CollectRow, &m_arrPos);
  } catch (const std::bad_alloc&) {
    m_pLibrary = nullptr;
    if (m_bFinding) m_nCount = static_cast<uint32_t>(m_arrPos.size());
    return false;
  }
  if (m_nScanNext >= m_pLibrary->m_arrPhrase.GetCount()) m_pLibrary = nullptr;  // all known
  // A sorted find shows no row before it ends.
  if (m_bFinding && (IsStoreOrder() || !m_pLibrary)) {
    m_nCount = static_cast<uint32_t>(m_arrPos.size());
  }
  return true;
}

bool CPhraseRows::SetOrder(PhraseSortKey key, bool bDescending) {
  m_key = key;
  m_bDescending = bDescending;
  m_arrOrder.clear();
  m_arrRowOfIndex.clear();
  if (m_bFinding && IsStoreOrder()) m_nCount = static_cast<uint32_t>(m_arrPos.size());
  if (IsStoreOrder() || !m_pSource) return true;
  return Sort();
}

bool CPhraseRows::FindAll() {
  if (m_bEvery) return true;  // their positions are their indices
  if (m_bFinding) return IsComplete() || Scan(UINT32_MAX);
  return FindRows(m_nCount);
}

bool CPhraseRows::Sort() {
  // Every row must be known: one pass over the store for a whole group.
  if (!FindAll()) return false;
  m_arrRowOfIndex.clear();
  const uint32_t n = IndexCount();
  try {
    m_arrOrder.resize(n);
    if (m_key == SORT_TEXT) {
      for (uint32_t i = 0; i < n; ++i) m_arrOrder[i] = n - 1 - i;  // descending only
    } else {
      // A counting sort on the key byte: the rows of each value in text
      // order, the values ascending or descending.
      m_arrKeys.resize(n);
      uint8_t* keys = m_arrKeys.data();
      const bool bFreq = m_key == SORT_FREQ;
      CSArray<tagPHRASE2>& store = m_pSource->m_arrPhrase;
      if (m_bEvery) {
        // The whole store, block by block.
        uint32_t i = 0;
        for (const tagSABLOCK<tagPHRASE2>* block = store.m_pFirst; block && i < n;
             block = block->pNext) {
          for (uint32_t r = 0; r < block->nCount && i < n; ++r, ++i) {
            keys[i] = bFreq ? block->pItems[r].byFreq : block->pItems[r].byGroup;
          }
        }
      } else {
        for (uint32_t i = 0; i < n; ++i) {
          const tagPHRASE2* p = store.GetAt(m_arrPos[i]);
          keys[i] = bFreq ? p->byFreq : p->byGroup;
        }
      }
      uint32_t counts[256] = {};
      for (uint32_t i = 0; i < n; ++i) ++counts[keys[i]];
      uint32_t starts[256];
      uint32_t next = 0;
      for (int v = 0; v < 256; ++v) {
        const int value = m_bDescending ? 255 - v : v;
        starts[value] = next;
        next += counts[value];
      }
      for (uint32_t i = 0; i < n; ++i) m_arrOrder[starts[keys[i]]++] = i;
    }
  } catch (const std::bad_alloc&) {
    std::vector<uint32_t>().swap(m_arrOrder);
    return false;
  }
  return true;
}

bool CPhraseRows::KnowRowOfIndex() {
  if (m_arrRowOfIndex.size() == m_arrOrder.size()) return true;
  try {
    m_arrRowOfIndex.resize(m_arrOrder.size());
  } catch (const std::bad_alloc&) {
    m_arrRowOfIndex.clear();
    return false;
  }
  const uint32_t n = static_cast<uint32_t>(m_arrOrder.size());
  for (uint32_t row = 0; row < n; ++row) m_arrRowOfIndex[m_arrOrder[row]] = row;
  return true;
}

bool CPhraseRows::FindRows(uint32_t nRows) {
  // A slice at a time, so that the rows asked for stop the search soon.
  const uint32_t kSlice = 4096;
  while (m_pLibrary && m_arrPos.size() < nRows) {
    if (!Scan(kSlice)) return false;
  }
  return true;
}

uint32_t CPhraseRows::PosAt(uint32_t row) {
  if (row >= m_nCount) return NO_ROW_POS;
  if (!m_arrOrder.empty()) {
    const uint32_t index = IndexAt(row);
    return index < IndexCount() ? PosOfIndex(index) : NO_ROW_POS;
  }
  if (m_bEvery) return row;
  if (row >= m_arrPos.size() && !FindRows(row + 1)) return NO_ROW_POS;
  return row < m_arrPos.size() ? m_arrPos[row] : NO_ROW_POS;
}

std::vector<uint32_t> CPhraseRows::PositionsOf(const std::vector<int>& rows) {
  std::vector<uint32_t> positions;
  positions.reserve(rows.size());
  for (int row : rows) {
    if (row < 0) continue;
    const uint32_t pos = PosAt(static_cast<uint32_t>(row));
    if (pos != NO_ROW_POS) positions.push_back(pos);
  }
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  return positions;
}

std::vector<uint32_t> CPhraseRows::PositionsOf(const CRowSelection& sel) {
  std::vector<uint32_t> positions;
  if (m_arrOrder.empty()) {
    // Store order: the rows' positions ascend with them.
    for (const tagROWRANGE& range : sel.Ranges()) {
      if (range.nFirst >= m_nCount) break;
      const uint32_t last = range.nLast < m_nCount ? range.nLast : m_nCount - 1;
      if (m_bEvery) {
        for (uint32_t row = range.nFirst; row <= last; ++row) positions.push_back(row);
        continue;
      }
      if (last >= m_arrPos.size() && !FindRows(last + 1)) return positions;
      for (uint32_t row = range.nFirst; row <= last && row < m_arrPos.size(); ++row) {
        positions.push_back(m_arrPos[row]);
      }
    }
    return positions;
  }
  // Sorted, a few rows: their positions, sorted; the rows are distinct.
  const uint32_t nIndex = IndexCount();
  if (sel.GetCount() < nIndex / 32) {
    for (const tagROWRANGE& range : sel.Ranges()) {
      for (uint32_t row = range.nFirst; row <= range.nLast && row < m_arrOrder.size(); ++row) {
        positions.push_back(PosOfIndex(m_arrOrder[row]));
      }
    }
    std::sort(positions.begin(), positions.end());
    return positions;
  }
  // Sorted, many rows: a mark per index into the positions, then one sweep.
  std::vector<bool> marks(nIndex, false);
  for (const tagROWRANGE& range : sel.Ranges()) {
    for (uint32_t row = range.nFirst; row <= range.nLast && row < m_arrOrder.size(); ++row) {
      marks[m_arrOrder[row]] = true;
    }
  }
  for (uint32_t i = 0; i < marks.size(); ++i) {
    if (marks[i]) positions.push_back(PosOfIndex(i));
  }
  return positions;
}

std::vector<uint32_t> CPhraseRows::RowsOf(const std::vector<uint32_t>& arrPos) {
  std::vector<uint32_t> rows;
  if (arrPos.empty()) return rows;
  if (!std::is_sorted(arrPos.begin(), arrPos.end())) {
    if (!m_arrOrder.empty() && arrPos.size() > kFewPositions) KnowRowOfIndex();
    for (uint32_t pos : arrPos) {
      const uint32_t row = RowOf(pos);
      if (row < m_nCount) rows.push_back(row);
    }
    return rows;
  }
  // Ascending: the rows known up to the last one, then one walk along both.
  RowAtOrAfter(arrPos.back());
  const bool bMany = arrPos.size() > kFewPositions;
  rows.reserve(arrPos.size());
  const uint32_t nIndex = IndexCount();
  uint32_t index = 0;
  for (uint32_t pos : arrPos) {
    if (m_bEvery) {
      index = pos;
    } else {
      while (index < nIndex && m_arrPos[index] < pos) ++index;
    }
    if (index >= nIndex) break;
    if (PosOfIndex(index) != pos) continue;
    const uint32_t row = RowOfIndex(index, bMany);
    if (row < m_nCount) rows.push_back(row);
  }
  return rows;
}

uint32_t CPhraseRows::RowAtOrAfter(uint32_t pos) {
  uint32_t index = pos < m_nCount ? pos : m_nCount;
  if (!m_bEvery) {
    // The rows up to pos must be known: search on until one lies past it (a
    // find, until the store up to pos has been searched).
    if (m_bFinding && IsStoreOrder() && m_pLibrary && m_nScanNext <= pos) {
      Scan(pos - m_nScanNext + 1);
    }
    while (m_pLibrary && !m_bFinding && (m_arrPos.empty() || m_arrPos.back() < pos) &&
           m_arrPos.size() < m_nCount) {
      if (!FindRows(static_cast<uint32_t>(m_arrPos.size()) + 1)) break;
    }
    index = static_cast<uint32_t>(std::lower_bound(m_arrPos.begin(), m_arrPos.end(), pos) -
                                  m_arrPos.begin());
  }
  return RowOfIndex(index, false);
}

uint32_t CPhraseRows::RowOfIndex(uint32_t index, bool bMany) {
  if (m_arrOrder.empty()) return index;
  if (m_arrRowOfIndex.size() == m_arrOrder.size() || (bMany && KnowRowOfIndex())) {
    return index < m_arrRowOfIndex.size() ? m_arrRowOfIndex[index] : m_nCount;
  }
  // A row or a few: a walk along the order, no table of every row.
  const auto it = std::find(m_arrOrder.begin(), m_arrOrder.end(), index);
  return it == m_arrOrder.end() ? m_nCount : static_cast<uint32_t>(it - m_arrOrder.begin());
}

uint32_t CPhraseRows::RowOf(uint32_t pos) {
  const uint32_t row = RowAtOrAfter(pos);
  return row < m_nCount && PosAt(row) == pos ? row : m_nCount;
}

bool CPhraseRows::Shows(uint32_t pos) {
  if (!m_pSource || pos >= m_pSource->m_arrPhrase.GetCount()) return false;
  if (m_bEvery) return pos < m_nCount;
  uint32_t next = pos;
  return m_pSource->FindSubstringFrom(m_strNeedle.c_str(), m_nGroup, &next, 1, nullptr, nullptr) ==
         1;
}

std::string SelectedPhraseTexts(CTabrix& lib, CPhraseRows& rows, const CRowSelection& sel) {
  std::string text;
  for (const tagROWRANGE& range : sel.Ranges()) {
    for (uint32_t row = range.nFirst; row <= range.nLast && row < rows.GetCount(); ++row) {
      const uint32_t pos = rows.PosAt(row);
      if (pos == CPhraseRows::NO_ROW_POS) continue;
      const tagPHRASE2* p = lib.m_arrPhrase.GetAt(pos);
      if (!text.empty()) text += "\r\n";
      text.append(p->szWord, FieldTextLength(p->szWord, p->cLen));
    }
  }
  return text;
}

bool ParsePhraseFrequency(const std::string& text, uint8_t* pFreq) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < n && text[i] == '+') ++i;
  uint32_t value = 0;
  size_t digits = 0;
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + static_cast<uint32_t>(text[i] - '0');
    if (value > 250) return false;
    ++i;
    ++digits;
  }
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (digits == 0 || i != n) return false;
  *pFreq = static_cast<uint8_t>(value);
  return true;
}
