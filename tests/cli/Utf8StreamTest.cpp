// UTF-8 phrase lists that arrive in pieces: the scan and the line-by-line
// conversion give what the whole text at once gives, whatever the pieces and
// however long the lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "TextEncoding.h"
#include "Utf8LineConverter.h"
#include "Utf8Rules.h"

// Plain literals are GBK (the execution character set); u8"" keeps UTF-8.
namespace {

// The text converted at once, or else line by line with the lines that do not
// convert left out: the result every way of feeding the converter must give.
struct tagCONVERTED {
  std::string strGbk;
  std::vector<std::pair<uint32_t, bool>> arrSkipped;  // line, valid UTF-8
};

tagCONVERTED ConvertAtOnce(const std::string& text) {
  tagCONVERTED r;
  if (Utf8ToGbk(text, &r.strGbk)) return r;
  r.strGbk.clear();
  size_t start = 0;
  uint32_t line = 0;
  while (start < text.size()) {
    ++line;
    size_t end = text.find('\n', start);
    size_t stop = end == std::string::npos ? text.size() : end;
    std::string gbk;
    if (Utf8ToGbk(text.substr(start, stop - start), &gbk)) {
      r.strGbk += gbk;
    } else {
      r.arrSkipped.emplace_back(line, IsValidUtf8(text.data() + start, stop - start));
    }
    if (end == std::string::npos) break;
    r.strGbk += '\n';
    start = end + 1;
  }
  return r;
}

// Collects what the converter puts, and counts what it takes back.
class CStringConverter : public CUtf8LineConverter {
 public:
  explicit CStringConverter(size_t window) : CUtf8LineConverter(window) {}

  tagCONVERTED m_result;
  uint32_t m_nTakeBacks = 0;
  size_t m_nLargestPut = 0;

 protected:
  bool Put(const char* gbk, size_t size) override {
    m_result.strGbk.append(gbk, size);
    if (size > m_nLargestPut) m_nLargestPut = size;
    return true;
  }
  bool TakeBack(uint64_t size) override {
    EXPECT_LE(size, m_result.strGbk.size());
    m_result.strGbk.resize(static_cast<size_t>(size));
    ++m_nTakeBacks;
    return true;
  }
  void OnLineSkipped(uint32_t line, bool validUtf8) override {
    m_result.arrSkipped.emplace_back(line, validUtf8);
  }
};

// Feeds text in pieces of random sizes up to maxPiece.
void FeedInPieces(CUtf8LineConverter& c, const std::string& text, size_t maxPiece,
                  std::mt19937& rng) {
  size_t at = 0;
  while (at < text.size()) {
    size_t n = std::uniform_int_distribution<size_t>(0, maxPiece)(rng);
    if (n > text.size() - at) n = text.size() - at;
    c.Feed(text.data() + at, n);
    at += n;
  }
  c.Finish();
}

// Lines of UTF-8 Chinese, ASCII, characters with no GBK form, broken
// sequences and GBK bytes, some of them long.
std::string RandomText(std::mt19937& rng) {
  static const char* const kPieces[] = {u8"中文",
                                        u8"词库",
                                        "abc",
                                        "\t12",
                                        " ",
                                        "\r",
                                        "\xF0\x9F\x98\x80",  // U+1F600: no GBK form
                                        "\xC3\xA9",          // é: GBK has it
                                        "\xE4\xB8",          // a character cut short
                                        "\x80",
                                        "\xFF",
                                        "\xD6\xD0",          // GBK bytes, not UTF-8
                                        "\xED\xA0\x80",      // a surrogate
                                        "\xC0\xAF",          // overlong
                                        "\xF4\x90\x80\x80",  // beyond U+10FFFF
                                        "\n",
                                        "\n",
                                        "\n"};
  std::uniform_int_distribution<int> piece(0, sizeof kPieces / sizeof kPieces[0] - 1);
  std::uniform_int_distribution<int> longRun(0, 9);
  std::string text;
  int pieces = std::uniform_int_distribution<int>(0, 200)(rng);
  for (int i = 0; i < pieces; ++i) {
    const char* p = kPieces[piece(rng)];
    // Now and then a run long enough to outgrow any window used here.
    int repeat = longRun(rng) == 0 ? std::uniform_int_distribution<int>(20, 400)(rng) : 1;
    if (p[0] == '\n' || p[0] == '\xE4' || p[0] == '\x80' || p[0] == '\xFF') repeat = 1;
    for (int k = 0; k < repeat; ++k) text += p;
  }
  return text;
}

TEST(Utf8Scan, AgreesWithTheWholeTextChecksForAnyPieces) {
  std::mt19937 rng(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text = RandomText(rng);
    if (round % 3 == 0) text = text.substr(0, text.size() / 2);  // cut anywhere
    CUtf8Scan scan;
    size_t at = 0;
    while (at < text.size()) {
      size_t n = std::uniform_int_distribution<size_t>(0, 7)(rng);
      if (n > text.size() - at) n = text.size() - at;
      scan.Feed(text.data() + at, n);
      at += n;
    }
    bool valid = IsValidUtf8(text.data(), text.size());
    ASSERT_EQ(scan.IsValid(), valid) << round;
    ASSERT_EQ(scan.IsPlainAscii(), IsPlainAscii(text.data(), text.size())) << round;
    ASSERT_TRUE(scan.IsValidSoFar() || !valid) << round;
  }
}

TEST(Utf8Scan, AnOpenSequenceIsValidSoFarButNotAtTheEnd) {
  CUtf8Scan scan;
  scan.Feed("a\xE4\xB8", 3);
  EXPECT_TRUE(scan.IsValidSoFar());
  EXPECT_FALSE(scan.IsValid());
  EXPECT_FALSE(scan.IsPlainAscii());
  scan.Feed("\xAD", 1);  // 中
  EXPECT_TRUE(scan.IsValid());
  scan.Feed("\xAD", 1);
  EXPECT_FALSE(scan.IsValidSoFar());
}

TEST(Utf8LineConverter, GivesTheWholeTextResultForAnyPiecesAndWindow) {
  std::mt19937 rng(11);
  const size_t windows[] = {16, 17, 40, 333, 65536};
  uint32_t takeBacks = 0, longLines = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string text = RandomText(rng);
    tagCONVERTED want = ConvertAtOnce(text);
    size_t window = windows[round % 5];
    CStringConverter c(window);
    FeedInPieces(c, text, round % 2 ? 9 : 5000, rng);
    ASSERT_EQ(c.m_result.strGbk, want.strGbk) << round << " window " << window;
    ASSERT_EQ(c.m_result.arrSkipped, want.arrSkipped) << round << " window " << window;
    ASSERT_EQ(c.GetSkipped(), want.arrSkipped.size()) << round;
    EXPECT_FALSE(c.IsOutputFailed());
    // Nothing larger than a window is put at once.
    ASSERT_LE(c.m_nLargestPut, window + 1) << round;
    takeBacks += c.m_nTakeBacks;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      longLines += end - start > window;
      start = end + 1;
    }
  }
  // The cases above reached the long lines and the taking back.
  EXPECT_GT(longLines, 100u);
  EXPECT_GT(takeBacks, 20u);
}

TEST(Utf8LineConverter, ALongLineThatFailsLateIsTakenBackWhole) {
  CStringConverter c(16);
  std::string longLine;
  for (int i = 0; i < 50; ++i) longLine += u8"中文";
  std::string text = u8"前\n" + longLine + "\xFF\n" + u8"后";
  c.Feed(text.data(), text.size());
  c.Finish();
  std::string first, last;
  ASSERT_TRUE(Utf8ToGbk(u8"前", &first));
  ASSERT_TRUE(Utf8ToGbk(u8"后", &last));
  EXPECT_EQ(c.m_result.strGbk, first + "\n\n" + last);
  ASSERT_EQ(c.m_result.arrSkipped.size(), 1u);
  EXPECT_EQ(c.m_result.arrSkipped[0], std::make_pair(2u, false));
  EXPECT_EQ(c.m_nTakeBacks, 1u);
}

TEST(Utf8LineConverter, ACharacterSplitAcrossPiecesAndTheWindowConverts) {
  std::string line;
  for (int i = 0; i < 40; ++i) line += u8"词";  // three bytes each: cuts fall inside characters
  std::string want;
  ASSERT_TRUE(Utf8ToGbk(line, &want));
  for (size_t piece = 1; piece <= 5; ++piece) {
    CStringConverter c(16);
    for (size_t at = 0; at < line.size(); at += piece) {
      c.Feed(line.data() + at, std::min(piece, line.size() - at));
    }
    c.Finish();
    EXPECT_EQ(c.m_result.strGbk, want) << piece;
    EXPECT_TRUE(c.m_result.arrSkipped.empty()) << piece;
  }
}

// A sink that refuses every byte: the lines are still converted and reported.
class CRefusingConverter : public CStringConverter {
 public:
  CRefusingConverter() : CStringConverter(16) {}

 protected:
  bool Put(const char*, size_t) override { return false; }
};

TEST(Utf8LineConverter, AFailedOutputStillReportsEveryLine) {
  CRefusingConverter c;
  std::string text = std::string(u8"中\n") + "\xFF\n" + "\xF0\x9F\x98\x80\n";
  c.Feed(text.data(), text.size());
  c.Finish();
  EXPECT_TRUE(c.IsOutputFailed());
  EXPECT_EQ(c.GetSkipped(), 2u);
  std::vector<std::pair<uint32_t, bool>> want = {{2u, false}, {3u, true}};
  EXPECT_EQ(c.m_result.arrSkipped, want);
}

}  // namespace
