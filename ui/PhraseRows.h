// The rows of the phrase window: the store positions of the phrases it
// shows, in store order. The list asks for a row's text when it draws the row
// (a virtual list), so nothing but these positions is kept per row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CTabrix;

class CPhraseRows {
 public:
  // The phrases of group (TABRIX_NO_GROUP: of every group) whose text holds
  // needle (GBK; empty: every phrase). Any earlier rows are dropped. Returns
  // false when memory ran out: the rows are then empty.
  bool Build(CTabrix& lib, uint32_t group, const std::string& needle);

  void Clear() { m_arrPos.clear(); }
  uint32_t GetCount() const { return static_cast<uint32_t>(m_arrPos.size()); }
  uint32_t PosAt(uint32_t row) const { return m_arrPos[row]; }
  // The positions of the rows given (any order, repeats allowed), ascending
  // and without repeats; rows past the end are left out.
  std::vector<uint32_t> PositionsOf(const std::vector<int>& rows) const;
  // The row that shows store position pos, or the row that would come first
  // after it; GetCount() when none does.
  uint32_t RowAtOrAfter(uint32_t pos) const;

 private:
  std::vector<uint32_t> m_arrPos;
};

// A frequency typed by the user: blanks around a whole number from 0 to 250,
// an optional '+' before it. False for anything else (empty, signs, other
// characters, above 250).
bool ParsePhraseFrequency(const std::string& text, uint8_t* pFreq);
