// Small text helpers that test files share.
#pragma once

#include <string>
#include <vector>

namespace tabrix_test {

// True when needle occurs in haystack.
inline bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

// A command line's arguments as one line, for a failure message.
inline std::string Joined(const std::vector<std::string>& args) {
  std::string all;
  for (const std::string& a : args) all += a + " ";
  return all;
}

// n copies of c.
inline std::string Repeat(char c, size_t n) { return std::string(n, c); }

}  // namespace tabrix_test
