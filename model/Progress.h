// Progress of the long operations (load, save, import), in one shape: a
// callback of (stage, value, data). PROGRESS_BEGIN carries the number of
// steps, PROGRESS_STEP the step just finished (load and save: the record's
// index from 0; import: the bytes read so far), PROGRESS_END ends it, once.
#pragma once

#include <cstdint>

#include "PhraseRecords.h"

enum : int32_t { PROGRESS_BEGIN = 0, PROGRESS_STEP = 1, PROGRESS_END = 2 };

// Calls a progress callback, which may be null. Counts beyond 32 bits are
// scaled down by a power of two, so that a bar still moves evenly.
class CProgressReporter {
 public:
  CProgressReporter(ProgressCallback fun, void* data) : m_fun(fun), m_pData(data), m_nShift(0) {}
  void Begin(uint64_t nTotal) {
    m_nShift = 0;
    while ((nTotal >> m_nShift) > static_cast<uint64_t>(INT32_MAX)) ++m_nShift;
    Call(PROGRESS_BEGIN, nTotal);
  }
  void Step(uint64_t nValue) { Call(PROGRESS_STEP, nValue); }
  void End() {
    if (m_fun) m_fun(PROGRESS_END, 0, m_pData);
  }

 private:
  void Call(int32_t stage, uint64_t nValue) {
    if (!m_fun) return;
    nValue >>= m_nShift;
    m_fun(stage, nValue > INT32_MAX ? INT32_MAX : static_cast<int32_t>(nValue), m_pData);
  }

  ProgressCallback m_fun;
  void* m_pData;
  unsigned m_nShift;
};
