#include "ProgressThrottle.h"

namespace {

// ceil(a * b / c) for 0 <= a <= c, 0 <= b < 2^33, 0 < c < 2^31, without
// overflowing 64 bits: b = q * c + r, so a * b / c = a * q + a * r / c.
int64_t MulDivUp(int64_t a, int64_t b, int64_t c) {
  const int64_t q = b / c;
  const int64_t r = b % c;
  return a * q + (a * r + c - 1) / c;
}

}  // namespace

CProgressThrottle::CProgressThrottle(ProgressClock funClock, uint32_t nGapMillis)
    : m_funClock(funClock), m_dwGapMillis(nGapMillis) {
  Reset(0, 100, 0);
}

void CProgressThrottle::Reset(int32_t nLower, int32_t nUpper, int32_t nWidth) {
  m_nLower = nLower;
  m_nUpper = nUpper;
  m_nClosing = int64_t{nUpper} - 1;
  m_nWidth = nWidth > 0 ? nWidth : 0;
  m_bSent = false;
  m_nSent = 0;
  // Setting the range redraws the bar: the first move waits for the gap too.
  m_dwSentAt = Now();
  m_nRunLow = 0;
  m_nRunHigh = 0;
  m_bHeld = false;
  m_nHeld = 0;
}

void CProgressThrottle::SetRun(int32_t nPos) {
  // The bar fills (pos - lower) * width / (upper - lower) pixels, rounded
  // down, with the position clamped to the range. An empty or reversed range,
  // or a bar without width, fills the same for every position.
  if (m_nUpper <= m_nLower || m_nWidth == 0) {
    m_nRunLow = INT64_MIN;
    m_nRunHigh = INT64_MAX;
  } else {
    const int64_t span = static_cast<int64_t>(m_nUpper) - m_nLower;
    int64_t done = static_cast<int64_t>(nPos) - m_nLower;
    if (done < 0) done = 0;
    if (done > span) done = span;
    const int64_t pixels = done * m_nWidth / span;
    m_nRunLow = pixels == 0 ? INT64_MIN : m_nLower + MulDivUp(pixels, span, m_nWidth);
    m_nRunHigh = pixels == m_nWidth ? INT64_MAX : m_nLower + MulDivUp(pixels + 1, span, m_nWidth);
  }
}

void CProgressThrottle::MarkSent(int32_t nPos, uint32_t dwNow) {
  m_bSent = true;
  m_nSent = nPos;
  m_dwSentAt = dwNow;
  m_bHeld = false;
  SetRun(nPos);
}

bool CProgressThrottle::StepOutsideRun(int32_t nPos) {
  if (m_bSent && nPos == m_nSent) {
    m_bHeld = false;
    return false;
  }
  if (IsClosing(nPos)) {
    MarkSent(nPos, Now());
    return true;
  }
  const uint32_t dwNow = Now();
  if (m_funClock && dwNow - m_dwSentAt < m_dwGapMillis) {
    SetRun(nPos);
    m_bHeld = true;
    m_nHeld = nPos;
    return false;
  }
  MarkSent(nPos, dwNow);
  return true;
}

bool CProgressThrottle::Flush(int32_t* pPos) {
  if (!m_bHeld) return false;
  if (m_bSent && m_nHeld == m_nSent) {
    m_bHeld = false;
    return false;
  }
  *pPos = m_nHeld;
  MarkSent(m_nHeld, Now());
  return true;
}
