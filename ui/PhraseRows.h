// The rows of the phrase window: the store positions of the phrases it
// shows, in store order (the text's) or sorted by frequency or group. The
// list asks for a row's text when it draws the row (a virtual list), so
// nothing but these positions is kept per row. A whole group's rows in store
// order are counted by its record at once and found in the store only as far
// as they are asked for, so a window on a group of a million phrases opens
// without a pass over the store; the whole library's rows are the store's
// positions themselves, kept nowhere. A find goes over the store a slice at
// a time (FindMore), so that the window shows the rows found so far and
// answers between slices. Every sort is a pass or two over the rows:
// the store is in text order already, and a frequency or a group is one
// byte, so a count per value places each row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTabrix;
class CRowSelection;

// What the rows are sorted by: the phrase window's columns.
enum PhraseSortKey { SORT_TEXT, SORT_FREQ, SORT_GROUP };

class CPhraseRows {
 public:
  // The phrases of group (TABRIX_NO_GROUP: of every group) whose text holds
  // needle (GBK; empty: every phrase). Any earlier rows are dropped. Returns
  // false when memory ran out: the rows are then empty. The library must not
  // change until the rows are built again. A find (a needle, or a group
  // the library lacks) looks at the first nFirstSlice store positions here
  // and at the rest through FindMore; sorted, it shows no row (GetCount() 0)
  // until the rows found are sorted at its end.
  bool Build(CTabrix& lib, uint32_t group, const std::string& needle,
             uint32_t nFirstSlice = UINT32_MAX);
  // A find goes on over the next nPhrases store positions; the rows found
  // are added at the end. False when memory ran out: the find then ends.
  bool FindMore(uint32_t nPhrases);
  // No find goes on: GetCount() is the rows' count, not the rows found so far.
  bool IsComplete() const { return m_pLibrary == nullptr || !m_bFinding; }
  // The store positions a find has looked at so far.
  uint32_t GetSearched() const { return m_nScanNext; }

  void Clear();
  // The order of these rows and of those built from now on: by key,
  // descending when bDescending; equal keys keep text order. False when
  // memory ran out: the rows are then in store order.
  bool SetOrder(PhraseSortKey key, bool bDescending);
  PhraseSortKey GetSortKey() const { return m_key; }
  bool IsDescending() const { return m_bDescending; }

  uint32_t GetCount() const { return m_nCount; }
  // The store position row shows; NO_ROW_POS for a row the store does not
  // hold (a group record counting more phrases than the store has; sorted,
  // such rows come last).
  uint32_t PosAt(uint32_t row);
  // The positions of the rows given (any order, repeats allowed), ascending
  // and without repeats; rows past the end are left out.
  std::vector<uint32_t> PositionsOf(const std::vector<int>& rows);
  // The positions of the selected rows, ascending: one pass over them (and
  // a sort of them when the rows are sorted), or over the rows when they are
  // sorted and many are selected.
  std::vector<uint32_t> PositionsOf(const CRowSelection& sel);
  // The rows that show these positions, in their order; positions no row
  // shows are left out. Ascending positions take one walk along the rows.
  std::vector<uint32_t> RowsOf(const std::vector<uint32_t>& arrPos);
  // The row that shows store position pos, or the row of the first position
  // after it; GetCount() when none does.
  uint32_t RowAtOrAfter(uint32_t pos);
  // The row that shows store position pos; GetCount() when none does.
  uint32_t RowOf(uint32_t pos);
  // Whether a row shows store position pos, or will once a find gets there:
  // the phrase at pos is of the scope and holds the needle. Nothing is
  // searched but that phrase.
  bool Shows(uint32_t pos);

  enum : uint32_t { NO_ROW_POS = UINT32_MAX };

 private:
  // Finds the group's phrases in the store until nRows are known or the
  // store ends; a find goes on until as many rows are found. False when
  // memory ran out.
  bool FindRows(uint32_t nRows);
  // Searches the store from m_nScanNext on, nPhrases positions at most.
  bool Scan(uint32_t nPhrases);
  // Every row known (the whole library's rows are known from the start).
  bool FindAll();
  // m_arrRowOfIndex made when first asked for after a sort; false when
  // memory ran out.
  bool KnowRowOfIndex();
  // The row of the position at index; m_nCount when there is none. Sorted,
  // a walk along the rows' order, or the table when it exists or bMany.
  uint32_t RowOfIndex(uint32_t index, bool bMany);
  // The rows' positions by index: m_arrPos, or the indices themselves.
  uint32_t IndexCount() const {
    return m_bEvery ? m_nCount : static_cast<uint32_t>(m_arrPos.size());
  }
  uint32_t PosOfIndex(uint32_t index) const { return m_bEvery ? index : m_arrPos[index]; }
  // Puts the known rows in m_key's order; false when memory ran out.
  bool Sort();
  bool IsStoreOrder() const { return m_key == SORT_TEXT && !m_bDescending; }
  // The index into m_arrPos of the row's position (rows are sorted).
  uint32_t IndexAt(uint32_t row) const {
    return row < m_arrOrder.size() ? m_arrOrder[row] : NO_ROW_POS;
  }

  std::vector<uint32_t> m_arrPos;  // ascending: store order
  // Sorted rows: row -> index into the positions, and back (made when first
  // asked for); empty in store order.
  std::vector<uint32_t> m_arrOrder;
  std::vector<uint32_t> m_arrRowOfIndex;
  std::vector<uint8_t> m_arrKeys;  // a sort's key bytes, kept for the next sort
  PhraseSortKey m_key = SORT_TEXT;
  bool m_bDescending = false;
  uint32_t m_nCount = 0;
  CTabrix* m_pLibrary = nullptr;  // while rows are still to be found
  // Rows 0..m_nCount-1 are store positions 0..m_nCount-1 (sorted: indices
  // into the store), m_arrPos empty.
  bool m_bEvery = false;
  // A find: m_nCount grows as rows are found (a group's count is known).
  bool m_bFinding = false;
  std::string m_strNeedle;
  CTabrix* m_pSource = nullptr;  // the library the rows come from
  uint32_t m_nGroup = 0;
  uint32_t m_nScanNext = 0;  // the store position the search goes on from
};

// The texts of the selected rows in the rows' order, one a line (lines
// apart by "\r\n"), GBK: what "复制" puts on the clipboard.
std::string SelectedPhraseTexts(CTabrix& lib, CPhraseRows& rows, const CRowSelection& sel);

// A frequency typed by the user: blanks around a whole number from 0 to 250,
// an optional '+' before it. False for anything else (empty, signs, other
// characters, above 250).
bool ParsePhraseFrequency(const std::string& text, uint8_t* pFreq);
