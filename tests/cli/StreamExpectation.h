// What a row of a command table expects of one output stream: that nothing
// was written to it, or that a text is in it. Every row says which; an empty
// text to look for is refused, since it would be found in any output and
// check nothing.
#pragma once

#include <gtest/gtest.h>

#include <string>

struct tagSTREAMWANT {
  bool bNothing;        // nothing may be written
  const char* pszPart;  // otherwise a text the stream must hold
};

inline tagSTREAMWANT NothingWritten() { return {true, nullptr}; }
inline tagSTREAMWANT Holds(const char* part) { return {false, part}; }

inline ::testing::AssertionResult StreamMatches(const std::string& text,
                                                const tagSTREAMWANT& want) {
  if (want.bNothing) {
    if (text.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "nothing expected, written: " << text;
  }
  if (want.pszPart == nullptr || *want.pszPart == '\0') {
    return ::testing::AssertionFailure() << "the row names no text to look for";
  }
  if (text.find(want.pszPart) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "\"" << want.pszPart << "\" not in: " << text;
}
