// The line reader takes the file through buffers of its own. Over files far
// larger than any buffer, with line ends and CR LF pairs across the edges a
// buffer may have, the lines and the positions must be those of the reading
// rules applied to the bytes directly.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ScratchDir.h"
#include "TxtLineReader.h"

namespace {

// The reading rules on a string: LF, CR LF and CR alone each end a line;
// a line keeps its first max bytes and the rest of it is read past; lines
// that are empty, begin with NUL or with the comment character are skipped.
// Each line as a caller sees it: up to its first NUL.
std::vector<std::string> ExpectedLines(const std::string& bytes, size_t max, char comment) {
  std::vector<std::string> lines;
  size_t i = 0;
  while (i < bytes.size()) {
    std::string line;
    while (i < bytes.size()) {
      const char c = bytes[i++];
      if (c == '\n') break;
      if (c == '\r') {
        if (i < bytes.size() && bytes[i] == '\n') ++i;
        break;
      }
      if (line.size() < max) line += c;
    }
    if (line.empty() || line[0] == comment || line[0] == '\0') continue;
    lines.push_back(line.substr(0, line.find('\0')));
  }
  return lines;
}

TEST(LineReaderBlocks, LinesAndPositionsAcrossBlocks) {
  const char alphabet[] = {'a', 'b', ' ', '\n', '\r', '#', '\0', '\xB0', '\xA1', '\t'};
  CScratchDir dir;
  for (unsigned seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 rng(seed);
    std::string bytes(300000 + rng() % 5000, 'x');
    for (char& c : bytes) c = rng() % 4 ? alphabet[rng() % 3] : alphabet[rng() % sizeof(alphabet)];
    // CR LF pairs split at every power of two (where buffers of any such size
    // end), and a CR last.
    for (size_t edge = 2; edge < bytes.size(); edge *= 2) {
      bytes[edge - 1] = '\r';
      bytes[edge] = '\n';
    }
    // Lines far longer than max, across the edges of the buffers.
    for (size_t at = 4096 * 3 - 120; at + 400 < bytes.size(); at += 4096 * 7 + 1)
      bytes.replace(at, 300, std::string(300, 'a'));
    bytes.back() = '\r';
    const std::string path = dir.Write("in.txt", bytes);

    const std::vector<std::string> expected = ExpectedLines(bytes, 100, '#');
    CTxtLineReader reader('#');
    ASSERT_NE(reader.Open(path.c_str()), 0);
    std::vector<std::string> got;
    char buffer[101];
    uint64_t lastPosition = 0;
    while (char* line = reader.ReadLine(buffer, 100)) {
      got.emplace_back(line);
      const uint64_t position = reader.GetPosition();
      ASSERT_LE(position, bytes.size());
      ASSERT_GE(position, lastPosition);
      lastPosition = position;
    }
    EXPECT_EQ(reader.GetPosition(), bytes.size());
    EXPECT_EQ(expected, got);
  }
}

}  // namespace
