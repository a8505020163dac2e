#include "RowSelection.h"

#include <algorithm>

void CRowSelection::SelectAll(uint32_t nRows) {
  m_arrRanges.clear();
  if (nRows > 0) m_arrRanges.push_back({0, nRows - 1});
}

void CRowSelection::Set(uint32_t first, uint32_t last, bool bSelected) {
  if (first > last) std::swap(first, last);
  // The ranges that touch or overlap first..last: they merge with it, or
  // lose what it covers.
  auto begin = std::lower_bound(m_arrRanges.begin(), m_arrRanges.end(), first,
                                [](const tagROWRANGE& r, uint32_t row) {
                                  return r.nLast != UINT32_MAX && r.nLast + 1 < row;
                                });
  auto end = begin;
  while (end != m_arrRanges.end() && (last == UINT32_MAX || end->nFirst <= last + 1)) ++end;
  std::vector<tagROWRANGE> middle;
  if (bSelected) {
    tagROWRANGE merged = {first, last};
    if (begin != end) {
      merged.nFirst = std::min(first, begin->nFirst);
      merged.nLast = std::max(last, (end - 1)->nLast);
    }
    middle.push_back(merged);
  } else {
    for (auto it = begin; it != end; ++it) {
      if (it->nFirst < first) middle.push_back({it->nFirst, first - 1});
      if (it->nLast > last) middle.push_back({last + 1, it->nLast});
    }
  }
  const auto at = m_arrRanges.erase(begin, end);
  m_arrRanges.insert(at, middle.begin(), middle.end());
}

void CRowSelection::Assign(const std::vector<uint32_t>& rows, uint32_t nRows) {
  m_arrRanges.clear();
  const auto add = [this](uint32_t row) {
    if (!m_arrRanges.empty() && m_arrRanges.back().nLast + 1 >= row) {
      m_arrRanges.back().nLast = std::max(m_arrRanges.back().nLast, row);
    } else {
      m_arrRanges.push_back({row, row});
    }
  };
  if (std::is_sorted(rows.begin(), rows.end())) {
    for (uint32_t row : rows) {
      if (row < nRows) add(row);
    }
    return;
  }
  // Rows in another order (a sorted list): a mark per row, then one sweep.
  std::vector<bool> marks(nRows, false);
  for (uint32_t row : rows) {
    if (row < nRows) marks[row] = true;
  }
  for (uint32_t row = 0; row < nRows; ++row) {
    if (marks[row]) add(row);
  }
}

void CRowSelection::Limit(uint32_t nRows) {
  if (nRows == 0) {
    m_arrRanges.clear();
  } else {
    Set(nRows, UINT32_MAX - 1, false);
  }
}

bool CRowSelection::IsSelected(uint32_t row) const {
  auto it = std::upper_bound(m_arrRanges.begin(), m_arrRanges.end(), row,
                             [](uint32_t value, const tagROWRANGE& r) { return value < r.nFirst; });
  return it != m_arrRanges.begin() && (it - 1)->nLast >= row;
}

uint32_t CRowSelection::GetCount() const {
  uint32_t count = 0;
  for (const tagROWRANGE& r : m_arrRanges) count += r.nLast - r.nFirst + 1;
  return count;
}

void ApplyRowClick(CRowSelection& sel, uint32_t* pAnchor, uint32_t row, bool bCtrl, bool bShift) {
  if (row == CRowSelection::NO_ROW) {
    if (!bCtrl && !bShift) sel.Clear();
    return;
  }
  if (bShift && *pAnchor != CRowSelection::NO_ROW) {
    if (!bCtrl) sel.Clear();
    sel.Set(*pAnchor, row, true);
    return;
  }
  if (bCtrl) {
    sel.Set(row, row, !sel.IsSelected(row));
  } else {
    sel.Clear();
    sel.Set(row, row, true);
  }
  *pAnchor = row;
}
