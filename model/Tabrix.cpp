#include "Tabrix.h"

#include <cstring>

namespace {

// Blocks of the phrase store: a library holds tens of thousands of phrases.
const uint32_t kPhraseBlockSize = 500;
const uint8_t kPhraseWastePercent = 10;
// Length byte that asks AddPhrase to measure the text itself.
const uint8_t kMeasureText = 255;

}  // namespace

CTabrix::CTabrix() : m_funProgress(nullptr), m_pProgressData(nullptr) {
  m_arrPhrase.m_nBlockSize = kPhraseBlockSize;
  m_arrPhrase.m_byWastePercent = kPhraseWastePercent;
}

CTabrix::~CTabrix() { Free(); }

int CTabrix::AppendSorted(const tagPHRASE2& rec) {
  if (m_arrPhrase.Add(rec) < 0) return 0;
  GetGroup(rec.byGroup)->dwCount++;
  return 1;
}

int CTabrix::AddPhrase(const char* text, uint8_t length, uint8_t freq, int checkDuplicate,
                       uint8_t group) {
  if (group >= GetGroupCount() || text == nullptr) return 0;
  if (length != kMeasureText && length > TABRIX_MAX_PHRASE_LEN) return 0;

  tagPHRASE2 rec;
  std::memset(&rec, 0, sizeof(rec));
  // Copy at most the given length, stopping at a NUL. Measuring looks at one
  // byte more than a phrase may hold, so that an over-long text is refused
  // without reading the rest of it.
  const size_t limit = length == kMeasureText ? TABRIX_MAX_PHRASE_LEN + 1 : length;
  const void* pNul = std::memchr(text, 0, limit);
  const size_t n = pNul != nullptr ? size_t(static_cast<const char*>(pNul) - text) : limit;
  if (n > TABRIX_MAX_PHRASE_LEN) return 0;
  std::memcpy(rec.szWord, text, n);
  rec.byGroup = group;
  rec.byFreq = freq;
  // The length byte is the text actually stored: a NUL inside the given
  // length ends the text, and no NUL may be written into the file's text.
  rec.cLen = uint8_t(n);

  // A text after the last record (a saved library loading, a sorted list) is
  // appended without a search; the last record's own text is a duplicate.
  const tagSABLOCK<tagPHRASE2>* pLast = m_arrPhrase.m_pLast;
  if (pLast != nullptr && pLast->nCount > 0) {
    const int d = ComparePhrase(&rec, pLast->pItems + (pLast->nCount - 1), nullptr);
    if (d == 0) return 0;
    if (d > 0) {
      if (m_arrPhrase.Add(rec) < 0) return 0;
      GetGroup(group)->dwCount++;
      return 1;
    }
  }

  if (checkDuplicate && m_arrPhrase.GetCount() > 0) {
    const uint32_t count = m_arrPhrase.GetCount();
    const uint32_t mid = count / 2;
    const int d = ComparePhrase(&rec, m_arrPhrase.GetAt(mid), nullptr);
    if (d == 0) return 0;
    if (count > 1) {
      const uint32_t lo = d > 0 ? mid + 1 : 0;
      const uint32_t hi = d > 0 ? count : mid;
      if (m_arrPhrase.Find(rec, lo, hi, ComparePhrase, nullptr, FIND_ANY, nullptr) >= 0) return 0;
    }
  }

  if (m_arrPhrase.InsertSorted(rec, false, ComparePhrase, nullptr, FIND_ANY) < 0) return 0;
  GetGroup(group)->dwCount++;
  return 1;
}

void CTabrix::FreePhrases() {
  m_arrPhrase.FreeBlocks();
  for (uint32_t i = 0; i < GetGroupCount(); ++i) GetGroup(i)->dwCount = 0;
}

uint64_t CTabrix::TakeGroupCounts() {
  uint64_t nTotal = 0;
  for (uint32_t i = 0; i < GetGroupCount(); ++i) {
    nTotal += GetGroup(i)->dwCount;
    GetGroup(i)->dwCount = 0;
  }
  return nTotal;
}

void CTabrix::Free() {
  m_arrPhrase.FreeBlocks();
  FreeGroups();
}

int CTabrix::CopyFrom(const CTabrix& other) {
  if (&other == this) return 1;
  if (m_arrGroup.CopyFrom(other.m_arrGroup) && m_arrPhrase.CopyFrom(other.m_arrPhrase)) return 1;
  Free();
  return 0;
}
