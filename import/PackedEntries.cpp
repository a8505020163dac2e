#include "PackedEntries.h"

#include <cstring>

#include "WeightScale.h"

namespace {

constexpr uint8_t kNoGbk = 255;
constexpr uint8_t kLongText = 254;

}  // namespace

void CPackedDictEntries::Entry(std::string_view text, int64_t nWeight, bool bHasWeight) {
  m_arrWeight.push_back(nWeight);
  m_arrHasWeight.push_back(bHasWeight);
  m_strUtf8.assign(text.data(), text.size());
  if (!m_converter.Convert(m_strUtf8, &m_strGbk)) {
    m_strBytes.push_back(char(kNoGbk));
    return;
  }
  if (m_strGbk.size() < kLongText) {
    m_strBytes.push_back(char(m_strGbk.size()));
  } else {
    // Too long for a phrase, but kept whole: the import counts why it left.
    const uint32_t n = static_cast<uint32_t>(m_strGbk.size());
    m_strBytes.push_back(char(kLongText));
    m_strBytes.append(reinterpret_cast<const char*>(&n), sizeof(n));
  }
  m_strBytes += m_strGbk;
}

void CPackedDictEntries::Reserve(size_t nEntries, size_t nTextBytes) {
  if (nEntries > m_arrWeight.max_size() / 2 || nTextBytes > m_strBytes.max_size() / 2) return;
  m_arrWeight.reserve(nEntries);
  m_arrHasWeight.reserve(nEntries);
  m_strBytes.reserve(nTextBytes);
}

std::vector<uint8_t> CPackedDictEntries::TakeFrequencies() {
  std::vector<uint8_t> freqs = FrequenciesByRank(m_arrWeight, m_arrHasWeight);
  std::vector<int64_t>().swap(m_arrWeight);
  std::vector<bool>().swap(m_arrHasWeight);
  return freqs;
}

bool CPackedDictEntries::Next(size_t* pAt, const char** ppText, uint32_t* pLength) const {
  const uint8_t nHead = static_cast<uint8_t>(m_strBytes[(*pAt)++]);
  if (nHead == kNoGbk) return false;
  uint32_t n = nHead;
  if (nHead == kLongText) {
    std::memcpy(&n, m_strBytes.data() + *pAt, sizeof(n));
    *pAt += sizeof(n);
  }
  *ppText = m_strBytes.data() + *pAt;
  *pLength = n;
  *pAt += n;
  return true;
}

void CPackedDictEntries::Free() {
  std::string().swap(m_strBytes);
  std::vector<int64_t>().swap(m_arrWeight);
  std::vector<bool>().swap(m_arrHasWeight);
}
