// The rows selected in the phrase window, kept by the window itself as
// ascending ranges of row numbers: every row of a million selected is one
// range, not a million marks in the list control, and the list asks here
// whether a row it draws is selected.
#pragma once

#include <cstdint>
#include <vector>

struct tagROWRANGE {
  uint32_t nFirst;
  uint32_t nLast;  // inclusive
};

class CRowSelection {
 public:
  enum : uint32_t { NO_ROW = UINT32_MAX };

  void Clear() { m_arrRanges.clear(); }
  // Rows 0..nRows-1.
  void SelectAll(uint32_t nRows);
  // Rows first..last (either order) selected or not; the rest as they were.
  void Set(uint32_t first, uint32_t last, bool bSelected);
  // Exactly the rows given (any order, repeats allowed), of a list of nRows
  // rows; rows past it are left out. One pass over the rows, or over nRows
  // when they are not in order.
  void Assign(const std::vector<uint32_t>& rows, uint32_t nRows);
  // Rows from nRows on are no longer selected (the list got shorter).
  void Limit(uint32_t nRows);

  bool IsSelected(uint32_t row) const;
  bool IsEmpty() const { return m_arrRanges.empty(); }
  uint32_t GetCount() const;
  // The first selected row, NO_ROW when none.
  uint32_t First() const { return m_arrRanges.empty() ? NO_ROW : m_arrRanges.front().nFirst; }
  // Ascending, disjoint and apart (two ranges never touch).
  const std::vector<tagROWRANGE>& Ranges() const { return m_arrRanges; }

 private:
  std::vector<tagROWRANGE> m_arrRanges;
};

// The selection a click or a key of the list leaves, as a list of files
// does: a plain click selects the row alone and makes it the anchor; with
// Ctrl it turns the row's mark over and makes it the anchor; with Shift
// the rows from the anchor to it are selected instead (with Ctrl+Shift they
// are added). row NO_ROW (a click below the rows) clears a plain click's
// selection.
void ApplyRowClick(CRowSelection& sel, uint32_t* pAnchor, uint32_t row, bool bCtrl, bool bShift);
