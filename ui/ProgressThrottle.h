// Which positions of a progress bar are worth sending to it. A bar nWidth
// pixels wide shows at most nWidth + 1 different fillings, so a position that
// fills the same pixels as the last one sent is held back; with a clock, a
// position is also held back until some time has passed since the last move,
// as the eye cannot follow a bar that moves faster (and under a slow window
// system each move costs far more than the step it shows). The positions that
// can end an operation (upper - 1, the last step of n counted from 0, and
// upper, the end of a file) are always sent, and Flush hands out a position
// held back, so that a bar always ends where it would without the throttle.
#pragma once

#include <cstdint>

// Milliseconds from any start; may wrap around.
typedef uint32_t (*ProgressClock)();

class CProgressThrottle {
 public:
  // funClock null: positions are held back only when they show nothing new,
  // and the first position after Reset is always sent. Otherwise at least
  // nGapMillis pass between Reset and the first move and between two moves,
  // but for the closing positions.
  explicit CProgressThrottle(ProgressClock funClock = nullptr, uint32_t nGapMillis = 0);

  // A new range nLower..nUpper on a bar nWidth pixels wide (0 or less: a bar
  // that shows nothing, moved only for its first and closing positions),
  // set on the bar just now. Nothing counts as sent yet, and nothing is held
  // back.
  void Reset(int32_t nLower, int32_t nUpper, int32_t nWidth);
  // true: send nPos to the bar now. false: the bar would show nothing new, or
  // it moved too short a time ago; nPos is held back for Flush (unless the
  // bar already stands there).
  bool Step(int32_t nPos) {
    // Nearly every step of a long operation falls inside the run of the last
    // position looked at, and is settled here without a call.
    if (nPos >= m_nRunLow && nPos < m_nRunHigh && !IsClosing(nPos)) {
      m_bHeld = true;  // Flush sends it unless the bar stands there already
      m_nHeld = nPos;
      return false;
    }
    return StepOutsideRun(nPos);
  }
  // true, with *pPos: the last position given to Step was held back; it
  // counts as sent from now on. false: the bar already shows the last one.
  bool Flush(int32_t* pPos);

 private:
  bool StepOutsideRun(int32_t nPos);
  // upper - 1 or upper.
  bool IsClosing(int32_t nPos) const {
    return static_cast<uint64_t>(int64_t{nPos} - m_nClosing) <= 1;
  }
  // Sets m_nRunLow..m_nRunHigh to the positions that fill as many pixels as nPos.
  void SetRun(int32_t nPos);
  void MarkSent(int32_t nPos, uint32_t dwNow);
  uint32_t Now() const { return m_funClock ? m_funClock() : 0; }

  ProgressClock m_funClock;
  uint32_t m_dwGapMillis;
  int32_t m_nLower;
  int32_t m_nUpper;
  int32_t m_nWidth;
  int64_t m_nClosing;  // upper - 1
  bool m_bSent;        // a position was sent since the last Reset
  int32_t m_nSent;     // the last position sent
  uint32_t m_dwSentAt;
  // The pixel run of the last position looked at closely (sent, or held for
  // time): further positions inside it need no new look. Empty before the
  // first position is sent.
  int64_t m_nRunLow;
  int64_t m_nRunHigh;  // exclusive
  bool m_bHeld;        // m_nHeld waits for Flush
  int32_t m_nHeld;
};
