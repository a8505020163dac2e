#include "PhraseRows.h"

#include <algorithm>
#include <new>

#include "Tabrix.h"

namespace {

void CollectRow(uint32_t pos, const tagPHRASE2*, void* data) {
  static_cast<std::vector<uint32_t>*>(data)->push_back(pos);
}

}  // namespace

void CPhraseRows::Clear() {
  m_arrPos.clear();
  m_nCount = 0;
  m_pLibrary = nullptr;
}

bool CPhraseRows::Build(CTabrix& lib, uint32_t group, const std::string& needle) {
  Clear();
  if (needle.empty() && group < lib.GetGroupCount()) {
    m_nCount = lib.GetGroup(group)->dwCount;
    m_pLibrary = &lib;
    m_nGroup = group;
    m_nScanNext = 0;
    return true;
  }
  try {
    lib.FindSubstring(needle.c_str(), group, &CollectRow, &m_arrPos);
  } catch (const std::bad_alloc&) {
    std::vector<uint32_t>().swap(m_arrPos);
    return false;
  }
  m_nCount = static_cast<uint32_t>(m_arrPos.size());
  return true;
}

bool CPhraseRows::FindRows(uint32_t nRows) {
  if (!m_pLibrary) return true;
  CSArray<tagPHRASE2>& store = m_pLibrary->m_arrPhrase;
  const uint32_t nStore = store.GetCount();
  try {
    while (m_arrPos.size() < nRows && m_nScanNext < nStore) {
      if (store.GetAt(m_nScanNext)->byGroup == m_nGroup) m_arrPos.push_back(m_nScanNext);
      ++m_nScanNext;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (m_nScanNext >= nStore) m_pLibrary = nullptr;  // every row is known
  return true;
}

uint32_t CPhraseRows::PosAt(uint32_t row) {
  if (row >= m_nCount) return NO_ROW_POS;
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

uint32_t CPhraseRows::RowAtOrAfter(uint32_t pos) {
  // The rows up to pos must be known: search on until one lies past it.
  while (m_pLibrary && (m_arrPos.empty() || m_arrPos.back() < pos) && m_arrPos.size() < m_nCount) {
    if (!FindRows(static_cast<uint32_t>(m_arrPos.size()) + 1)) break;
  }
  return static_cast<uint32_t>(std::lower_bound(m_arrPos.begin(), m_arrPos.end(), pos) -
                               m_arrPos.begin());
}

uint32_t CPhraseRows::RowOf(uint32_t pos) {
  const uint32_t row = RowAtOrAfter(pos);
  return row < m_nCount && PosAt(row) == pos ? row : m_nCount;
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
