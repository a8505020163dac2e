#include "ProgressThrottle.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <vector>

namespace {

// A bar as the platform draws it: the filled width for a position.
int64_t Filled(int64_t lower, int64_t upper, int64_t width, int64_t pos) {
  if (upper <= lower) return 0;
  if (pos < lower) pos = lower;
  if (pos > upper) pos = upper;
  return (pos - lower) * width / (upper - lower);
}

struct tagRUN {
  std::vector<int32_t> sent;  // what reached the bar, in order
  bool bAlwaysSame;           // after every step the bar looked as if each step had been sent
};

// Feeds positions through a throttle into a recorded bar; Flush at the end.
tagRUN Replay(int32_t lower, int32_t upper, int32_t width, const std::vector<int32_t>& positions) {
  CProgressThrottle throttle;
  throttle.Reset(lower, upper, width);
  tagRUN run{{}, true};
  for (int32_t pos : positions) {
    if (throttle.Step(pos)) run.sent.push_back(pos);
    if (run.sent.empty() ||
        Filled(lower, upper, width, run.sent.back()) != Filled(lower, upper, width, pos)) {
      run.bAlwaysSame = false;
    }
  }
  int32_t held = 0;
  if (throttle.Flush(&held)) run.sent.push_back(held);
  return run;
}

std::vector<int32_t> Steps(int32_t from, int32_t to) {
  std::vector<int32_t> steps;
  for (int32_t i = from; i < to; ++i) steps.push_back(i);
  return steps;
}

TEST(ProgressThrottleTest, StepsOfALoadMoveTheBarOncePerPixelAndEndAtTheLastStep) {
  struct tagCASE {
    int32_t nSteps;
    int32_t nWidth;
  };
  const tagCASE cases[] = {{1000000, 550}, {100000, 731}, {10, 550}, {1, 550}, {999, 7}, {3, 2}};
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nSteps << " steps, " << c.nWidth << " px");
    const tagRUN run = Replay(0, c.nSteps, c.nWidth, Steps(0, c.nSteps));
    EXPECT_TRUE(run.bAlwaysSame);
    ASSERT_FALSE(run.sent.empty());
    EXPECT_EQ(run.sent.front(), 0);
    EXPECT_EQ(run.sent.back(), c.nSteps - 1);
    // One send per pixel at most, plus the first and the closing step.
    EXPECT_LE(run.sent.size(), static_cast<size_t>(c.nWidth) + 2);
    for (size_t i = 1; i < run.sent.size(); ++i) EXPECT_LT(run.sent[i - 1], run.sent[i]);
  }
}

TEST(ProgressThrottleTest, FewStepsOnAWideBarAreAllSent) {
  const tagRUN run = Replay(0, 10, 550, Steps(0, 10));
  EXPECT_EQ(run.sent, Steps(0, 10));
}

TEST(ProgressThrottleTest, RepeatedFilePositionsAreSentOnceAndTheEndOfTheFileIsSent) {
  // An import reports 0, then the reader's position after each line; the
  // position moves a buffer at a time and ends at the file's length.
  std::vector<int32_t> positions{0};
  for (int32_t pos = 4096; pos < 40000; pos += 4096) positions.insert(positions.end(), 50, pos);
  positions.insert(positions.end(), 50, 40000);
  const tagRUN run = Replay(0, 40000, 550, positions);
  EXPECT_TRUE(run.bAlwaysSame);
  std::vector<int32_t> expected{0};
  for (int32_t pos = 4096; pos < 40000; pos += 4096) expected.push_back(pos);
  expected.push_back(40000);
  EXPECT_EQ(run.sent, expected);
}

TEST(ProgressThrottleTest, HeldBackPositionIsFlushedOnce) {
  CProgressThrottle throttle;
  throttle.Reset(0, 1000, 10);
  EXPECT_TRUE(throttle.Step(0));
  EXPECT_FALSE(throttle.Step(50));  // 0.5 px: still nothing to see
  int32_t pos = -1;
  ASSERT_TRUE(throttle.Flush(&pos));
  EXPECT_EQ(pos, 50);
  EXPECT_FALSE(throttle.Flush(&pos));
  // Back at the position just flushed: nothing to send and nothing held.
  EXPECT_FALSE(throttle.Step(50));
  EXPECT_FALSE(throttle.Flush(&pos));
}

TEST(ProgressThrottleTest, NothingIsHeldWhenTheLastStepWasSent) {
  CProgressThrottle throttle;
  throttle.Reset(0, 1000, 10);
  EXPECT_TRUE(throttle.Step(0));
  EXPECT_FALSE(throttle.Step(50));
  EXPECT_TRUE(throttle.Step(100));  // one whole pixel
  int32_t pos = -1;
  EXPECT_FALSE(throttle.Flush(&pos));
  EXPECT_EQ(pos, -1);
}

TEST(ProgressThrottleTest, ResetForgetsWhatWasSentAndHeld) {
  CProgressThrottle throttle;
  throttle.Reset(0, 1000, 10);
  EXPECT_TRUE(throttle.Step(0));
  EXPECT_FALSE(throttle.Step(50));
  throttle.Reset(0, 1000, 10);
  int32_t pos = -1;
  EXPECT_FALSE(throttle.Flush(&pos));
  // A new operation starts with a send, even at the position last shown.
  EXPECT_TRUE(throttle.Step(0));
}

TEST(ProgressThrottleTest, RangesWithoutPixelsSendOnlyTheFirstAndTheClosingPositions) {
  struct tagCASE {
    int32_t nLower, nUpper, nWidth;
    std::vector<int32_t> positions;
    std::vector<int32_t> sent;
  };
  const tagCASE cases[] = {
      // A library without phrases: range 0..0 and no step at all.
      {0, 0, 550, {}, {}},
      // An empty text file: range 0..0, position 0.
      {0, 0, 550, {0, 0}, {0}},
      // A bar without width: only 0, the last step and the end.
      {0, 100, 0, Steps(0, 101), {0, 99, 100}},
      {0, 100, -5, Steps(0, 100), {0, 99}},
      // A reversed range shows nothing; the last position is flushed.
      {10, 5, 550, {7, 8, 9}, {7, 9}},
  };
  for (const tagCASE& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nLower << ".." << c.nUpper << " on " << c.nWidth);
    EXPECT_EQ(Replay(c.nLower, c.nUpper, c.nWidth, c.positions).sent, c.sent);
  }
}

TEST(ProgressThrottleTest, PositionsOutsideTheRangeEndWhereTheyWereLeft) {
  // A file that grew while it was read: positions past the end show a full
  // bar; the last one still reaches the bar.
  const tagRUN run = Replay(0, 1000, 100, {0, 990, 1000, 1010, 1020, 1030});
  EXPECT_TRUE(run.bAlwaysSame);
  EXPECT_EQ(run.sent, (std::vector<int32_t>{0, 990, 1000, 1030}));
  const tagRUN before = Replay(100, 1000, 100, {50, 60, 100});
  EXPECT_EQ(before.sent, (std::vector<int32_t>{50, 100}));
}

TEST(ProgressThrottleTest, ExtremeRangesDoNotOverflow) {
  const tagRUN full =
      Replay(INT32_MIN, INT32_MAX, 1000, {INT32_MIN, -1, 0, 1, INT32_MAX - 1, INT32_MAX});
  EXPECT_TRUE(full.bAlwaysSame);
  // -1 fills 499 of 1000 pixels, 0 the 500th, 1 no further one.
  EXPECT_EQ(full.sent, (std::vector<int32_t>{INT32_MIN, -1, 0, INT32_MAX - 1, INT32_MAX}));
  const tagRUN wide = Replay(0, INT32_MAX, INT32_MAX, {0, 1, 2, INT32_MAX});
  EXPECT_EQ(wide.sent, (std::vector<int32_t>{0, 1, 2, INT32_MAX}));
}

// A clock the tests move by hand, counting how often it is read.
uint32_t g_dwNow = 0;
int g_nClockReads = 0;
uint32_t FakeClock() {
  ++g_nClockReads;
  return g_dwNow;
}

class ProgressThrottleClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_dwNow = 0;
    g_nClockReads = 0;
  }
  static constexpr uint32_t kGap = 30;
};

TEST_F(ProgressThrottleClockTest, MovesWaitForTheGapButTheClosingStepDoesNot) {
  // 100000 steps over 100 ms on a bar of 500 pixels.
  CProgressThrottle throttle(&FakeClock, kGap);
  throttle.Reset(0, 100000, 500);
  std::vector<int32_t> sent;
  std::vector<uint32_t> sentAt;
  for (int32_t i = 0; i < 100000; ++i) {
    g_dwNow = static_cast<uint32_t>(i / 1000);
    if (throttle.Step(i)) {
      sent.push_back(i);
      sentAt.push_back(g_dwNow);
    }
  }
  int32_t held = 0;
  EXPECT_FALSE(throttle.Flush(&held));
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent.back(), 99999);
  EXPECT_GE(sentAt.front(), kGap);
  for (size_t i = 1; i + 1 < sent.size(); ++i) EXPECT_GE(sentAt[i] - sentAt[i - 1], kGap);
  // At 30, 60 and 90 ms, then the last step.
  EXPECT_EQ(sent, (std::vector<int32_t>{30000, 60000, 90000, 99999}));
  // The clock is read once per new pixel at most, not once per step, and
  // for the range and the closing step.
  EXPECT_LE(g_nClockReads, 500 + 3);
}

TEST_F(ProgressThrottleClockTest, ShortOperationMovesTheBarOnlyForItsEnd) {
  // The range was set a moment ago, which redrew the bar: the first steps
  // wait, and the closing one is sent at once.
  CProgressThrottle throttle(&FakeClock, kGap);
  throttle.Reset(0, 10, 500);
  std::vector<int32_t> sent;
  for (int32_t i = 0; i < 10; ++i) {
    g_dwNow = static_cast<uint32_t>(i);
    if (throttle.Step(i)) sent.push_back(i);
  }
  int32_t held = -1;
  EXPECT_FALSE(throttle.Flush(&held));
  EXPECT_EQ(sent, (std::vector<int32_t>{9}));
}

TEST_F(ProgressThrottleClockTest, PositionHeldForTimeIsFlushed) {
  CProgressThrottle throttle(&FakeClock, kGap);
  throttle.Reset(0, 1000, 1000);
  EXPECT_FALSE(throttle.Step(0));
  EXPECT_FALSE(throttle.Step(0));
  int32_t first = -1;
  ASSERT_TRUE(throttle.Flush(&first));  // nothing was sent yet: 0 is due
  EXPECT_EQ(first, 0);
  g_dwNow = kGap;
  EXPECT_TRUE(throttle.Step(1));
  g_dwNow = kGap + 10;
  EXPECT_FALSE(throttle.Step(500));
  int32_t pos = -1;
  ASSERT_TRUE(throttle.Flush(&pos));
  EXPECT_EQ(pos, 500);
  // The flush was a move: the next one waits for the gap from it.
  g_dwNow = 2 * kGap + 10 - 1;
  EXPECT_FALSE(throttle.Step(600));
  g_dwNow = 2 * kGap + 10;
  EXPECT_TRUE(throttle.Step(700));
}

TEST_F(ProgressThrottleClockTest, GapIsMeasuredAcrossTheClocksWrapAround) {
  CProgressThrottle throttle(&FakeClock, kGap);
  g_dwNow = UINT32_MAX - 39;
  throttle.Reset(0, 1000, 1000);
  g_dwNow = UINT32_MAX - 9;  // 30 ms later
  EXPECT_TRUE(throttle.Step(0));
  g_dwNow = 5;  // 15 ms later
  EXPECT_FALSE(throttle.Step(100));
  g_dwNow = 20;  // 30 ms later
  EXPECT_TRUE(throttle.Step(200));
}

}  // namespace
