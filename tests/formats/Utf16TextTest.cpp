#include <string>

#include <gtest/gtest.h>

#include "DictContent.h"
#include "Utf16LeBytes.h"
#include "Utf16Decode.h"
#include "Utf8Rules.h"

using tabrix_test::Utf16LeBytes;

namespace {

bool Convert(const std::string& le, std::string* out) {
  return Utf16LeToUtf8(reinterpret_cast<const uint8_t*>(le.data()), le.size() / 2, out);
}

TEST(Utf16LeToUtf8, CharactersOfEveryLengthConvert) {
  std::string out;
  ASSERT_TRUE(Convert(Utf16LeBytes(u"a\u00E9中\U0001F600"), &out));
  EXPECT_EQ(out, u8"a\u00E9中\U0001F600");
}

TEST(Utf16LeToUtf8, ASurrogateWithoutItsPartnerDoesNotDecode) {
  std::string out;
  for (const std::u16string& bad :
       {std::u16string(1, char16_t(0xD800)), std::u16string{char16_t(0xD800), u'a'},
        std::u16string(1, char16_t(0xDC00))}) {
    EXPECT_FALSE(Convert(Utf16LeBytes(bad), &out));
  }
}

TEST(AppendUtf8, EveryLengthFromItsFirstToItsLastCodePoint) {
  const struct {
    uint32_t codePoint;
    std::string strUtf8;
  } cases[] = {
      {0x00, std::string(1, '\0')},
      {0x41, "A"},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0x4E2D, u8"中"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x1F600, u8"\U0001F600"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& c : cases) {
    std::string out = "x";
    AppendUtf8(c.codePoint, &out);
    EXPECT_EQ(out, "x" + c.strUtf8) << std::hex << c.codePoint;
  }
}

}  // namespace
