// The rows of the phrase window: the store positions of the phrases it
// shows, in store order. The list asks for a row's text when it draws the row
// (a virtual list), so nothing but these positions is kept per row. A whole
// group's rows are counted by its record at once and found in the store only
// as far as they are asked for, so a window on a group of a million phrases
// opens without a pass over the store.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTabrix;

class CPhraseRows {
 public:
  // The phrases of group (TABRIX_NO_GROUP: of every group) whose text holds
  // needle (GBK; empty: every phrase). Any earlier rows are dropped. Returns
  // false when memory ran out: the rows are then empty. The library must not
  // change until the rows are built again.
  bool Build(CTabrix& lib, uint32_t group, const std::string& needle);

  void Clear();
  uint32_t GetCount() const { return m_nCount; }
  // The store position row shows; NO_ROW_POS for a row the store does not
  // hold (a group record counting more phrases than the store has).
  uint32_t PosAt(uint32_t row);
  // The positions of the rows given (any order, repeats allowed), ascending
  // and without repeats; rows past the end are left out.
  std::vector<uint32_t> PositionsOf(const std::vector<int>& rows);
  // The row that shows store position pos, or the row that would come first
  // after it; GetCount() when none does.
  uint32_t RowAtOrAfter(uint32_t pos);
  // The row that shows store position pos; GetCount() when none does.
  uint32_t RowOf(uint32_t pos);

  enum : uint32_t { NO_ROW_POS = UINT32_MAX };

 private:
  // Finds the group's phrases in the store until nRows are known or the
  // store ends; false when memory ran out.
  bool FindRows(uint32_t nRows);

  std::vector<uint32_t> m_arrPos;
  uint32_t m_nCount = 0;
  CTabrix* m_pLibrary = nullptr;  // while rows are still to be found
  uint32_t m_nGroup = 0;
  uint32_t m_nScanNext = 0;  // the store position the search goes on from
};

// A frequency typed by the user: blanks around a whole number from 0 to 250,
// an optional '+' before it. False for anything else (empty, signs, other
// characters, above 250).
bool ParsePhraseFrequency(const std::string& text, uint8_t* pFreq);
