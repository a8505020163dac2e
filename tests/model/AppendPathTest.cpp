// AddPhrase takes texts that sort after the last record without a search. The
// result must be what a sorted set of first copies says, for input that runs
// in order, runs backwards, repeats the last text or jumps anywhere.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "FirstCopies.h"
#include "SArrayChecks.h"
#include "Tabrix.h"

namespace {

struct tagORDERCASE {
  const char* what;
  int nAscending;  // percent of steps that take the next text in order
  int nRepeat;     // percent that repeat the text just given
};

void PrintTo(const tagORDERCASE& c, std::ostream* os) { *os << c.what; }

class AppendPath : public testing::TestWithParam<tagORDERCASE> {};

// A text of the pool by index: texts sort as their indices do, some are empty
// or GBK, all are at most 30 bytes.
std::string PoolText(uint32_t k) {
  if (k == 0) return std::string();
  std::string text;
  for (uint32_t v = k; v > 0; v /= 7) text.insert(text.begin(), char('a' + v % 7));
  return std::string(1, char(0xB0 + (k % 3))) + char(0xA1) + text;
}

TEST_P(AppendPath, StoreMatchesAMapOfFirstCopies) {
  const tagORDERCASE& c = GetParam();
  CTabrix lib;
  const int kGroups = 3;
  for (int g = 0; g < kGroups; ++g) ASSERT_EQ(g, lib.AddGroup(std::to_string(g).c_str(), "", ""));
  std::mt19937 rng(c.nAscending * 131 + c.nRepeat);
  auto below = [&rng](uint32_t n) {
    return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng);
  };

  CFirstCopies model(kGroups);
  const uint32_t kPool = 3000;
  uint32_t next = below(kPool);
  std::string last;
  for (int step = 0; step < 6000; ++step) {
    std::string text;
    const uint32_t roll = below(100);
    if (roll < uint32_t(c.nRepeat)) {
      text = last;
    } else if (roll < uint32_t(c.nRepeat + c.nAscending)) {
      next = (next + 1 + below(3)) % kPool;
      text = PoolText(next);
    } else {
      text = PoolText(below(kPool));
    }
    last = text;
    const uint8_t group = uint8_t(below(kGroups));
    const uint8_t freq = uint8_t(below(251));
    const int check = int(below(2));
    ASSERT_NO_FATAL_FAILURE(model.Add(lib, text, group, freq, check, below(2) != 0, step));
  }

  model.ExpectStoreOf(lib);
}

INSTANTIATE_TEST_SUITE_P(Orders, AppendPath,
                         testing::Values(tagORDERCASE{"in order", 100, 0},
                                         tagORDERCASE{"in order with repeats", 70, 30},
                                         tagORDERCASE{"mostly in order", 80, 5},
                                         tagORDERCASE{"random with repeats", 0, 20}));

}  // namespace
