// The one rule of a phrase's text: each fault found, alone and together.
#include "PhraseText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PhraseTextFaults, EachFaultIsFound) {
  struct tagCASE {
    std::string strText;
    uint32_t nFaults;
  } cases[] = {
      {"\xD6\xD0\xCE\xC4", 0},  // 中文
      {"a", 0},
      {std::string(30, 'a'), 0},
      {"", PHRASE_TEXT_EMPTY},
      {std::string("a\0b", 3), PHRASE_TEXT_NUL},
      {"a\rb", PHRASE_TEXT_LINE_BREAK},
      {"a\nb", PHRASE_TEXT_LINE_BREAK},
      {"a\tb", PHRASE_TEXT_TAB},
      {"a\x01", PHRASE_TEXT_CONTROL},
      {"a\x7F", PHRASE_TEXT_CONTROL},
      {"a b", PHRASE_TEXT_SPACE},
      {std::string(31, 'a'), PHRASE_TEXT_TOO_LONG},
      {std::string(31, ' ') + "\t", PHRASE_TEXT_TOO_LONG | PHRASE_TEXT_SPACE | PHRASE_TEXT_TAB},
  };
  for (const tagCASE& c : cases) {
    EXPECT_EQ(PhraseTextFaults(c.strText.data(), c.strText.size()), c.nFaults) << c.strText;
  }
}

TEST(PhraseTextFaults, TheLibraryHoldsNoControlByteButTakesASpace) {
  for (int b = 0; b < 0x80; ++b) {
    const std::string text(1, static_cast<char>(b));
    const bool bStorable = !(PhraseTextFaults(text.data(), 1) & PHRASE_TEXT_NOT_STORABLE);
    EXPECT_EQ(bStorable, b >= 0x20 && b != 0x7F) << b;
  }
}

}  // namespace
