// Character conversion and the JSON text of the wbk tool.
#include <gtest/gtest.h>

#include <string>

#include "JsonText.h"
#include "TextEncoding.h"
#include "Utf8Rules.h"

namespace {

// Sources are UTF-8 and plain literals become GBK: u8"" keeps UTF-8 bytes.
const std::string kGbkZhongWen = "\xD6\xD0\xCE\xC4";  // 中文
const std::string kUtf8ZhongWen = u8"中文";
const std::string kUtf8Emoji = "\xF0\x9F\x98\x80";  // U+1F600, not in GBK

TEST(TextEncoding, Utf8Validity) {
  struct tagCASE {
    std::string text;
    bool bValid;
  };
  const tagCASE cases[] = {
      {"", true},
      {"plain ascii", true},
      {kUtf8ZhongWen, true},
      {kUtf8Emoji, true},
      {kGbkZhongWen, false},           // GBK is not UTF-8
      {"\xC0\xAF", false},             // overlong '/'
      {"\xE0\x80\xAF", false},         // overlong
      {"\xED\xA0\x80", false},         // a surrogate
      {"\xF4\x90\x80\x80", false},     // above U+10FFFF
      {"\xE4\xB8", false},             // cut at the end
      {"\x80", false},                 // a continuation byte first
      {std::string("a\0b", 3), true},  // NUL is ASCII
  };
  for (const tagCASE& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.text.data(), c.text.size()), c.bValid) << c.text;
  }
}

TEST(TextEncoding, EachCharacterWithNoFormIsReplacedAlone) {
  struct tagCASE {
    std::string in;
    uint32_t to;
    std::string expected;
  };
  const tagCASE cases[] = {
      {kUtf8ZhongWen, CODEPAGE_GBK, kGbkZhongWen},                        // all of it converts
      {u8"中" + kUtf8Emoji + u8"文", CODEPAGE_GBK, "\xD6\xD0?\xCE\xC4"},  // one character lacks
      {kUtf8Emoji + kUtf8Emoji, CODEPAGE_GBK, "??"},                      // one mark per character
      {"a\xE4\xB8", CODEPAGE_GBK, "a?"},                             // a cut character at the end
      {"a\x80" + kUtf8ZhongWen, CODEPAGE_GBK, "a?" + kGbkZhongWen},  // a stray byte costs itself
      {u8"中" + kUtf8Emoji, CODEPAGE_UTF8, u8"中" + kUtf8Emoji},     // nothing lacks in UTF-8
  };
  for (const tagCASE& c : cases) {
    EXPECT_EQ(c.expected, ConvertEachCharacter(CODEPAGE_UTF8, c.to, c.in, "?")) << c.in;
  }
}

TEST(TextEncoding, GbkAndUtf8BothWays) {
  std::string out;
  ASSERT_TRUE(GbkToUtf8(kGbkZhongWen, &out));
  EXPECT_EQ(out, kUtf8ZhongWen);
  ASSERT_TRUE(Utf8ToGbk(kUtf8ZhongWen + " 12", &out));
  EXPECT_EQ(out, kGbkZhongWen + " 12");
  ASSERT_TRUE(Utf8ToGbk("", &out));
  EXPECT_EQ(out, "");
  EXPECT_FALSE(Utf8ToGbk(kUtf8ZhongWen + kUtf8Emoji, &out));  // no GBK form
  EXPECT_FALSE(Utf8ToGbk("\xC0\xAF", &out));                  // not UTF-8
  EXPECT_FALSE(GbkToUtf8("\xD6", &out));                      // half a character
}

TEST(TextEncoding, LongTextsConvertWhole) {
  std::string gbk, utf8;
  for (int i = 0; i < 3000; ++i) gbk += kGbkZhongWen + "\n";
  ASSERT_TRUE(GbkToUtf8(gbk, &utf8));
  EXPECT_EQ(utf8.size(), 3000u * 7);
  std::string back;
  ASSERT_TRUE(Utf8ToGbk(utf8, &back));
  EXPECT_EQ(back, gbk);
}

TEST(TextEncoding, DisplayShowsBytesThatDoNotConvert) {
  EXPECT_EQ(GbkForDisplay(kGbkZhongWen, CODEPAGE_UTF8), kUtf8ZhongWen);
  EXPECT_EQ(GbkForDisplay("a" + kGbkZhongWen + "\xFF", CODEPAGE_UTF8),
            "a" + kUtf8ZhongWen + "\\xFF");
  EXPECT_EQ(GbkForDisplay("\xD6", CODEPAGE_UTF8), "\\xD6");
  EXPECT_EQ(GbkForDisplay(kGbkZhongWen, CODEPAGE_GBK), kGbkZhongWen);
}

TEST(JsonText, EscapesEverythingButPrintableAscii) {
  EXPECT_EQ(JsonQuoteUtf8("a\"b\\c\n\t\x01"), "\"a\\\"b\\\\c\\n\\t\\u0001\"");
  EXPECT_EQ(JsonQuoteUtf8(kUtf8ZhongWen), "\"\\u4e2d\\u6587\"");
  EXPECT_EQ(JsonQuoteUtf8(kUtf8Emoji), "\"\\ud83d\\ude00\"");
  EXPECT_EQ(JsonQuoteUtf8("\xFF"
                          "a"),
            "\"\\ufffda\"");
  EXPECT_EQ(JsonQuoteGbk(kGbkZhongWen), "\"\\u4e2d\\u6587\"");
}

}  // namespace
