#include "ProgressThrottle.h"

CProgressThrottle::CProgressThrottle() { Reset(0, 100, 0); }

void CProgressThrottle::Reset(int32_t nLower, int32_t nUpper, int32_t nWidth) {
  m_nLower = nLower;
  m_nUpper = nUpper;
  m_nWidth = nWidth > 0 ? nWidth : 0;
  m_bSent = false;
  m_nSent = 0;
  m_nSentPixels = 0;
  m_bHeld = false;
  m_nHeld = 0;
}

int64_t CProgressThrottle::FilledPixels(int32_t nPos) const {
  // An empty or reversed range fills nothing whatever the position.
  if (m_nUpper <= m_nLower) return 0;
  const int64_t span = static_cast<int64_t>(m_nUpper) - m_nLower;
  int64_t done = static_cast<int64_t>(nPos) - m_nLower;
  if (done < 0) done = 0;
  if (done > span) done = span;
  return done * m_nWidth / span;
}

void CProgressThrottle::MarkSent(int32_t nPos) {
  m_bSent = true;
  m_nSent = nPos;
  m_nSentPixels = FilledPixels(nPos);
  m_bHeld = false;
}

bool CProgressThrottle::Step(int32_t nPos) {
  if (m_bSent && nPos == m_nSent) {
    m_bHeld = false;
    return false;
  }
  const bool bClosing = nPos == m_nUpper || static_cast<int64_t>(nPos) == int64_t{m_nUpper} - 1;
  if (!m_bSent || bClosing || FilledPixels(nPos) != m_nSentPixels) {
    MarkSent(nPos);
    return true;
  }
  m_bHeld = true;
  m_nHeld = nPos;
  return false;
}

bool CProgressThrottle::Flush(int32_t* pPos) {
  if (!m_bHeld) return false;
  *pPos = m_nHeld;
  MarkSent(m_nHeld);
  return true;
}
