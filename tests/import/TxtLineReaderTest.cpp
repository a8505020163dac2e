#include "TxtLineReader.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ScratchDir.h"
#include "TestText.h"

namespace {

using Lines = std::vector<std::string>;

// Every line the reader hands out, as the bytes up to the terminator the
// reader wrote (so a NUL inside a line shows up in the test's bytes).
Lines ReadAll(CTxtLineReader& reader, uint32_t max) {
  Lines lines;
  std::vector<char> buffer(max + 1, 'Z');
  while (char* line = reader.ReadLine(buffer.data(), max)) {
    EXPECT_EQ(line, buffer.data());
    lines.emplace_back(line, std::strlen(line));
    if (lines.size() > 10000) break;  // a reader that never ends fails below
  }
  return lines;
}

struct tagREADCASE {
  const char* what;
  std::string bytes;
  char comment;
  uint32_t max;
  Lines expected;
};

void PrintTo(const tagREADCASE& c, std::ostream* os) { *os << c.what; }

using tabrix_test::Repeat;

class ReaderCases : public testing::TestWithParam<tagREADCASE> {};

TEST_P(ReaderCases, YieldsTheExpectedLines) {
  const tagREADCASE& c = GetParam();
  CScratchDir dir;
  std::string path = dir.Write("in.txt", c.bytes);
  CTxtLineReader reader(c.comment);
  ASSERT_NE(reader.Open(path.c_str()), 0);
  EXPECT_EQ(ReadAll(reader, c.max), c.expected) << c.what;
  // The end stays the end.
  char buffer[8];
  EXPECT_EQ(reader.ReadLine(buffer, 7), nullptr);
}

const tagREADCASE kReadCases[] = {
    {"LF lines and a last line without a line end", "a\nbc\nd", '#', 100, {"a", "bc", "d"}},
    {"CR LF pairs", "a\r\nb\r\n", '#', 100, {"a", "b"}},
    {"comments and empty lines skipped, a blank first kept",
     "#x\n\n#\n #x\nk\n",
     '#',
     100,
     {" #x", "k"}},
    {"a lone CR ends a line and drops nothing", "x\rab", '#', 100, {"x", "ab"}},
    {"lines ended by CR alone keep every byte",
     "ab\t1\rcd\t2\rxy\t3",
     '#',
     100,
     {"ab\t1", "cd\t2", "xy\t3"}},
    {"CR CR: an empty line between", "a\r\rb", '#', 100, {"a", "b"}},
    {"CR CR without a comment character: the empty line arrives",
     "a\r\rb",
     '\0',
     100,
     {"a", "", "b"}},
    {"CR LF is one line end, LF CR two", "a\r\nb\n\rc", '\0', 100, {"a", "b", "", "c"}},
    {"a CR as the file's last byte", "ab\r", '#', 100, {"ab"}},
    {"a file of one CR", "\r", '#', 100, {}},
    {"a 250-byte line is one line of its first 100 bytes",
     Repeat('a', 250),
     '#',
     100,
     {Repeat('a', 100)}},
    {"the rest of a long line is read past up to its LF",
     Repeat('a', 150) + " 5\nb 1\n",
     '#',
     100,
     {Repeat('a', 100), "b 1"}},
    {"the rest of a long line is read past up to its CR LF or CR",
     Repeat('c', 120) + "\r\nd\r" + Repeat('e', 101) + "\rf",
     '#',
     100,
     {Repeat('c', 100), "d", Repeat('e', 100), "f"}},
    {"a line of exactly max bytes, then its LF as an empty piece",
     Repeat('q', 100) + "\nz",
     '#',
     100,
     {Repeat('q', 100), "z"}},
    {"the read-past rest may begin with the comment character",
     Repeat('a', 5) + "#b\nc",
     '#',
     5,
     {"aaaaa", "c"}},
    {"an empty file", "", '#', 100, {}},
    {"only comments", "#1\n#2\r\n\n", '#', 100, {}},
    {"bytes 0xFF and 0x80 pass unchanged",
     "\xFF\xFE\x80\n\x81",
     '#',
     100,
     {"\xFF\xFE\x80", "\x81"}},
    {"a GBK lead byte at the end of the file", "ab\xD6", '#', 100, {"ab\xD6"}},
    {"text after a NUL is cut off, a line beginning with NUL is empty",
     std::string("a\0b\n\0cd\ne", 9),
     '#',
     100,
     {"a", "e"}},
    {"comment character 0 skips nothing", "#x\n\nb", '\0', 100, {"#x", "", "b"}},
    {"a line longer than the buffer",
     Repeat('m', 5000) + "\nn",
     '#',
     4999,
     {Repeat('m', 4999), "n"}},
    {"a 200,000-byte line is one line",
     Repeat('z', 200000) + "\nok",
     '#',
     100,
     {Repeat('z', 100), "ok"}},
};

INSTANTIATE_TEST_SUITE_P(Table, ReaderCases, testing::ValuesIn(kReadCases));

TEST(TxtLineReader, OpenFailsForAMissingFileOrAFolderAndLeavesNothingOpen) {
  CScratchDir dir;
  CTxtLineReader reader('#');
  EXPECT_EQ(reader.Open(dir.Path("missing.txt").c_str()), 0);
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.Open(dir.Dir().c_str()), 0);
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.Open(nullptr), 0);
  char buffer[101];
  EXPECT_EQ(reader.ReadLine(buffer, 100), nullptr);
  EXPECT_EQ(reader.GetLength(), 0u);
}

TEST(TxtLineReader, CloseIsHarmlessWhenClosedAndEndsTheLines) {
  CScratchDir dir;
  std::string path = dir.Write("in.txt", "a\nb\n");
  CTxtLineReader reader('#');
  reader.Close();
  ASSERT_NE(reader.Open(path.c_str()), 0);
  char buffer[101];
  ASSERT_NE(reader.ReadLine(buffer, 100), nullptr);
  reader.Close();
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.ReadLine(buffer, 100), nullptr);
}

TEST(TxtLineReader, OpeningAnotherFileStartsFromItsBeginning) {
  CScratchDir dir;
  std::string first = dir.Write("1.txt", "one\ntwo\n");
  std::string second = dir.Write("2.txt", "three\n");
  CTxtLineReader reader('#');
  ASSERT_NE(reader.Open(first.c_str()), 0);
  char buffer[101];
  ASSERT_STREQ(reader.ReadLine(buffer, 100), "one");
  ASSERT_NE(reader.Open(second.c_str()), 0);
  EXPECT_EQ(reader.GetLength(), 6u);
  EXPECT_EQ(ReadAll(reader, 100), Lines{"three"});
}

TEST(TxtLineReader, MaxZeroYieldsNothingInsteadOfEndlessEmptyLines) {
  CScratchDir dir;
  std::string path = dir.Write("in.txt", "abc\n");
  CTxtLineReader reader('#');
  ASSERT_NE(reader.Open(path.c_str()), 0);
  char buffer[1];
  EXPECT_EQ(reader.ReadLine(buffer, 0), nullptr);
  EXPECT_EQ(reader.ReadLine(nullptr, 100), nullptr);
}

// The position is the underlying file's (what a progress bar shows): bytes
// taken through the reader's buffer, never behind the lines handed out, never
// going back, never past the length, and the length at the end.
TEST(TxtLineReader, LengthAndPositionFollowTheFileThroughTheBuffer) {
  std::string bytes;
  for (int i = 0; i < 1500; ++i) bytes += "line " + std::to_string(i) + "\n";
  CScratchDir dir;
  std::string path = dir.Write("in.txt", bytes);
  CTxtLineReader reader('#');
  ASSERT_NE(reader.Open(path.c_str()), 0);
  EXPECT_EQ(reader.GetLength(), bytes.size());
  EXPECT_EQ(reader.GetPosition(), 0u);

  uint64_t handedOut = 0;
  uint64_t lastPosition = 0;
  char buffer[101];
  while (char* line = reader.ReadLine(buffer, 100)) {
    handedOut += std::strlen(line) + 1;
    uint64_t position = reader.GetPosition();
    EXPECT_GE(position, handedOut);
    EXPECT_GE(position, lastPosition);
    EXPECT_LE(position, bytes.size());
    lastPosition = position;
  }
  EXPECT_EQ(handedOut, bytes.size());
  EXPECT_EQ(reader.GetPosition(), bytes.size());
}

#if defined(_WIN32)
// The file is held without sharing: nobody else may open it meanwhile, and
// the reader cannot open a file another program holds.
TEST(TxtLineReader, HoldsTheFileWithoutSharingOnWindows) {
  CScratchDir dir;
  std::string path = dir.Write("in.txt", "a\n");
  {
    CTxtLineReader reader('#');
    ASSERT_NE(reader.Open(path.c_str()), 0);
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
    reader.Close();
    std::FILE* again = std::fopen(path.c_str(), "rb");
    EXPECT_NE(again, nullptr);
    if (again != nullptr) std::fclose(again);
  }
  std::FILE* holder = std::fopen(path.c_str(), "rb");
  ASSERT_NE(holder, nullptr);
  CTxtLineReader reader('#');
  EXPECT_EQ(reader.Open(path.c_str()), 0);
  EXPECT_FALSE(reader.IsOpen());
  std::fclose(holder);
  EXPECT_NE(reader.Open(path.c_str()), 0);
}
#endif

}  // namespace
