#include "PhraseRows.h"

#include <algorithm>
#include <new>

#include "Tabrix.h"

namespace {

void CollectRow(uint32_t pos, const tagPHRASE2*, void* data) {
  static_cast<std::vector<uint32_t>*>(data)->push_back(pos);
}

}  // namespace

bool CPhraseRows::Build(CTabrix& lib, uint32_t group, const std::string& needle) {
  m_arrPos.clear();
  try {
    // A group's own phrases are counted in its record: one allocation.
    if (needle.empty() && group < lib.GetGroupCount()) {
      m_arrPos.reserve(lib.GetGroup(group)->dwCount);
    }
    lib.FindSubstring(needle.c_str(), group, &CollectRow, &m_arrPos);
  } catch (const std::bad_alloc&) {
    std::vector<uint32_t>().swap(m_arrPos);
    return false;
  }
  return true;
}

std::vector<uint32_t> CPhraseRows::PositionsOf(const std::vector<int>& rows) const {
  std::vector<uint32_t> positions;
  positions.reserve(rows.size());
  for (int row : rows) {
    if (row >= 0 && static_cast<uint32_t>(row) < m_arrPos.size())
      positions.push_back(m_arrPos[row]);
  }
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  return positions;
}

uint32_t CPhraseRows::RowAtOrAfter(uint32_t pos) const {
  return static_cast<uint32_t>(std::lower_bound(m_arrPos.begin(), m_arrPos.end(), pos) -
                               m_arrPos.begin());
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
