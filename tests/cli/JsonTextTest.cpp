// The --json writer: values built with nlohmann/json, written as ASCII the way
// the tool has always written them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "JsonText.h"
#include "LibraryJson.h"

namespace {

TEST(JsonDumpTest, KeysStayInTheOrderTheyWereSet) {
  CJson json;
  json["z"] = 1;
  json["a"]["y"] = 2;
  json["a"]["b"] = 3;
  json["m"] = CJson::array();
  json["e"] = CJson::object();
  EXPECT_EQ(JsonDump(json), "{\"z\":1,\"a\":{\"y\":2,\"b\":3},\"m\":[],\"e\":{}}");
}

TEST(JsonDumpTest, NumbersAndTruthValuesAsPlainDecimalsAndWords) {
  CJson json = CJson::array();
  json.push_back(std::numeric_limits<uint64_t>::max());
  json.push_back(uint32_t(4294967295u));
  json.push_back(uint16_t(2005));
  json.push_back(uint8_t(250));
  json.push_back(0);
  json.push_back(-5);
  json.push_back(true);
  json.push_back(false);
  EXPECT_EQ(JsonDump(json), "[18446744073709551615,4294967295,2005,250,0,-5,true,false]");
}

TEST(JsonDumpTest, ControlCharactersAreEscapedAsBefore) {
  // \n, \r and \t by name; every other control character, backspace and form
  // feed among them, and DEL as \u00XX in lower case.
  for (int c = 0; c < 0x20; ++c) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned>(c));
    const std::string expected = c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : hex;
    EXPECT_EQ(JsonQuoteUtf8(std::string(1, static_cast<char>(c))), "\"" + expected + "\"") << c;
  }
  EXPECT_EQ(JsonQuoteUtf8("\x08"), "\"\\u0008\"");
  EXPECT_EQ(JsonQuoteUtf8("\x0C"), "\"\\u000c\"");
  EXPECT_EQ(JsonQuoteUtf8("\x7F"), "\"\\u007f\"");
  EXPECT_EQ(JsonQuoteUtf8("/ ~"), "\"/ ~\"");
}

TEST(JsonDumpTest, ABackslashBeforeBOrFStaysABackslash) {
  // Only escapes are respelt: the letters after an escaped backslash are text.
  EXPECT_EQ(JsonQuoteUtf8("\\b\\f"), "\"\\\\b\\\\f\"");
  EXPECT_EQ(JsonQuoteUtf8("\\\x08"), "\"\\\\\\u0008\"");
  EXPECT_EQ(JsonQuoteUtf8("\"b"), "\"\\\"b\"");
  CJson json;
  json["b\x0C"] = "\\f\x08";
  EXPECT_EQ(JsonDump(json), "{\"b\\u000c\":\"\\\\f\\u0008\"}");
}

TEST(JsonTextUtf8Test, EachByteOfABrokenSequenceBecomesAReplacement) {
  const std::string kFffd = "\xEF\xBF\xBD";
  EXPECT_EQ(JsonTextUtf8(std::string("a\xFF") + "b"), "a" + kFffd + "b");
  EXPECT_EQ(JsonTextUtf8("\xE4\xB8"), kFffd + kFffd);              // cut short
  EXPECT_EQ(JsonTextUtf8("\xED\xA0\x80"), kFffd + kFffd + kFffd);  // a surrogate
  EXPECT_EQ(JsonTextUtf8("\xC0\xAF"), kFffd + kFffd);              // overlong
  EXPECT_EQ(JsonTextUtf8("\xE4\xB8\xAD"), "\xE4\xB8\xAD");         // 中 stays
  EXPECT_EQ(JsonQuoteUtf8("\xED\xA0\x80"), "\"\\ufffd\\ufffd\\ufffd\"");
  EXPECT_EQ(JsonQuoteUtf8("\xF0\x9F\x98\x80"), "\"\\ud83d\\ude00\"");  // a surrogate pair
}

TEST(JsonTextGbkTest, BytesThatAreNotGbkBecomeReplacementsAndTheirHexIsAtHand) {
  // 中 D6 D0, then a byte that begins no character: the text cannot be
  // mistaken for one that holds the characters "\xFF".
  EXPECT_EQ(JsonQuoteGbk("\xD6\xD0\xFF"), "\"\\u4e2d\\ufffd\"");
  EXPECT_FALSE(GbkHasUnicodeForm("\xD6\xD0\xFF"));
  EXPECT_TRUE(GbkHasUnicodeForm("\xD6\xD0"));
  EXPECT_EQ(HexBytes("\xD6\xD0\xFF"), "d6d0ff");
  EXPECT_EQ(JsonQuoteGbk(""), "\"\"");
}

TEST(JsonDumpTest, AnOpenDumpIsTheDumpBeforeItsLastArraysItems) {
  CJson json;
  json["command"] = "find";
  json["phrases"] = CJson::array();
  const std::string open = JsonDumpOpen(json);
  EXPECT_EQ(JsonDump(json), open + "]}");
  json["phrases"].push_back(1);
  json["phrases"].push_back(CJson::object());
  EXPECT_EQ(JsonDump(json), open + "1,{}]}");
}

TEST(PhraseJsonTextTest, IsTheDumpOfThePhraseObject) {
  // find writes its hits this way, one at a time; each must read as the
  // object the other commands build.
  const struct {
    const char* pszText;
    uint8_t byFreq, byGroup;
  } cases[] = {
      {"\xD6\xD0\xCE\xC4", 0, 0},  // 中文
      {"a\"b\\c", 250, 126},
      {"\x01\x7F", 9, 3},
      {"\xD6\xD0\xFF", 1, 2},  // a byte with no Unicode form: its bytes too
      {"", 5, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JsonDump(PhraseJson(c.pszText, c.byFreq, c.byGroup)),
              PhraseJsonText(c.pszText, c.byFreq, c.byGroup))
        << c.pszText;
  }
}

}  // namespace
