#include "LoadSink.h"

#include <cstdlib>
#include <cstring>

#include "LoadReport.h"
#include "PhraseRun.h"
#include "PhraseSort.h"
#include "Tabrix.h"

namespace {

constexpr size_t kMinCapacity = 1024;

// The sorted pending records, smallest first, handed out from the array's
// end; the memory behind them goes back as the run empties.
class CPendingRun : public CPhraseRun {
 public:
  CPendingRun(tagPENDINGPHRASE*& pItems, size_t& nCount, size_t& nCapacity)
      : m_pItems(pItems), m_nCount(nCount), m_nCapacity(nCapacity) {}
  bool Next(tagPHRASE2* pOut) override {
    if (m_nCount == 0) return false;
    const tagPENDINGPHRASE& s = m_pItems[--m_nCount];
    pOut->byGroup = s.byGroup;
    pOut->byFreq = s.byFreq;
    pOut->cLen = s.cLen;
    std::memcpy(pOut->szWord, s.szWord, sizeof(pOut->szWord));
    if (m_nCapacity >= 2 * kMinCapacity && m_nCount <= m_nCapacity / 2) {
      void* p = std::realloc(m_pItems, (m_nCount ? m_nCount : 1) * sizeof(tagPENDINGPHRASE));
      if (p != nullptr) {  // otherwise the larger block simply stays
        m_pItems = static_cast<tagPENDINGPHRASE*>(p);
        m_nCapacity = m_nCount ? m_nCount : 1;
      }
    }
    return true;
  }

 private:
  tagPENDINGPHRASE*& m_pItems;
  size_t& m_nCount;
  size_t& m_nCapacity;
};

}  // namespace

CLoadSink::CLoadSink(CTabrix& lib, tagLOADREPORT& report)
    : m_lib(lib),
      m_report(report),
      m_bAny(false),
      m_pPending(nullptr),
      m_nPending(0),
      m_nCapacity(0),
      m_nHint(0) {
  std::memset(&m_last, 0, sizeof(m_last));
  // A store that holds phrases already: the records go after its last.
  const uint32_t nStored = lib.m_arrPhrase.GetCount();
  if (nStored > 0) {
    m_last = *lib.m_arrPhrase.GetAt(nStored - 1);
    m_bAny = true;
  }
}

CLoadSink::~CLoadSink() { std::free(m_pPending); }

void CLoadSink::Reserve(size_t n) { m_nHint = n; }

bool CLoadSink::Add(uint8_t byGroup, uint8_t byFreq, const char* text, uint8_t cLen) {
  if (cLen > TABRIX_MAX_PHRASE_LEN) {
    ++m_report.nDropBadLength;
    return true;
  }
  if (byGroup >= m_lib.GetGroupCount()) {
    ++m_report.nDropNoGroup;
    return true;
  }
  tagPHRASE2 rec;
  std::memset(&rec, 0, sizeof(rec));
  // A NUL inside the text ends it: the store's texts hold none.
  const void* pNul = std::memchr(text, 0, cLen);
  const size_t n = pNul ? size_t(static_cast<const char*>(pNul) - text) : cLen;
  std::memcpy(rec.szWord, text, n);
  rec.byGroup = byGroup;
  rec.byFreq = byFreq;
  rec.cLen = static_cast<uint8_t>(n);

  if (m_pPending == nullptr) {
    const int d = m_bAny ? ComparePhrase(&rec, &m_last, nullptr) : 1;
    if (d == 0) {
      ++m_report.nDropDuplicate;
      return true;
    }
    if (d > 0) {
      // After the last record, checked above: appended as it is.
      if (!m_lib.AppendSorted(rec)) return false;
      m_last = rec;
      m_bAny = true;
      return true;
    }
    // Out of order: from here on every record waits, so that a text's first
    // record is the one kept even when a later copy would sort in place.
  }
  if (m_nPending == m_nCapacity) {
    size_t nCapacity = m_nCapacity ? m_nCapacity * 2 : kMinCapacity;
    if (m_nCapacity == 0 && m_nHint > nCapacity) nCapacity = m_nHint;
    if (nCapacity > SIZE_MAX / 2 / sizeof(tagPENDINGPHRASE)) return false;
    void* p = std::realloc(m_pPending, nCapacity * sizeof(tagPENDINGPHRASE));
    if (p == nullptr) return false;
    m_pPending = static_cast<tagPENDINGPHRASE*>(p);
    m_nCapacity = nCapacity;
  }
  tagPENDINGPHRASE& s = m_pPending[m_nPending];
  std::memcpy(s.szWord, rec.szWord, sizeof(s.szWord));
  s.byFreq = rec.byFreq;
  s.byGroup = rec.byGroup;
  s.cLen = rec.cLen;
  s.nOrder = static_cast<uint32_t>(m_nPending);
  ++m_nPending;
  return true;
}

bool CLoadSink::Finish() {
  if (m_nPending == 0) return true;
  phrase_sort::RadixSort(m_pPending, m_nPending);
  CPendingRun run(m_pPending, m_nPending, m_nCapacity);
  uint32_t nDropped = 0;
  // Pending records name existing groups: what the merge drops are texts
  // already stored or repeated.
  const int nOk = m_lib.MergeRun(run, nullptr, &nDropped);
  std::free(m_pPending);
  m_pPending = nullptr;
  m_nPending = m_nCapacity = 0;
  if (!nOk) return false;
  m_report.nDropDuplicate += nDropped;
  return true;
}
