// Which positions of a progress bar are worth sending to it. A bar nWidth
// pixels wide shows at most nWidth + 1 different fillings, so a position that
// fills the same pixels as the last one sent is held back. The positions that
// can end an operation (upper - 1, the last step of n counted from 0, and
// upper, the end of a file) are always sent, and Flush hands out a position
// held back, so that a bar always ends where it would without the throttle.
#pragma once

#include <cstdint>

class CProgressThrottle {
 public:
  CProgressThrottle();

  // A new range nLower..nUpper on a bar nWidth pixels wide (0 or less: a bar
  // that shows nothing, moved only for the first and the closing positions).
  // Nothing counts as sent yet, and nothing is held back.
  void Reset(int32_t nLower, int32_t nUpper, int32_t nWidth);
  // true: send nPos to the bar now. false: the bar would show nothing new;
  // nPos is held back for Flush (unless the bar already stands there).
  bool Step(int32_t nPos);
  // true, with *pPos: the last position given to Step was held back; it
  // counts as sent from now on. false: the bar already shows the last one.
  bool Flush(int32_t* pPos);

 private:
  // The filled width in pixels that nPos gives, the position clamped to the range.
  int64_t FilledPixels(int32_t nPos) const;
  void MarkSent(int32_t nPos);

  int32_t m_nLower;
  int32_t m_nUpper;
  int32_t m_nWidth;
  bool m_bSent;           // a position was sent since the last Reset
  int32_t m_nSent;        // the last position sent
  int64_t m_nSentPixels;  // and its filled width
  bool m_bHeld;           // m_nHeld waits for Flush
  int32_t m_nHeld;
};
