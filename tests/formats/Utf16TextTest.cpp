#include <string>

#include <gtest/gtest.h>

#include "DictContent.h"

namespace {

std::string Le(const std::u16string& text) {
  std::string out;
  for (char16_t u : text) {
    out.push_back(char(u & 0xFF));
    out.push_back(char(u >> 8));
  }
  return out;
}

bool Convert(const std::string& le, std::string* out) {
  return Utf16LeToUtf8(reinterpret_cast<const uint8_t*>(le.data()), le.size() / 2, out);
}

TEST(Utf16LeToUtf8, CharactersOfEveryLengthConvert) {
  std::string out;
  ASSERT_TRUE(Convert(Le(u"a\u00E9中\U0001F600"), &out));
  EXPECT_EQ(out, u8"a\u00E9中\U0001F600");
}

TEST(Utf16LeToUtf8, ASurrogateWithoutItsPartnerDoesNotDecode) {
  std::string out;
  for (const std::u16string& bad : {std::u16string(1, char16_t(0xD800)),
                                    std::u16string{char16_t(0xD800), u'a'},
                                    std::u16string(1, char16_t(0xDC00))}) {
    EXPECT_FALSE(Convert(Le(bad), &out));
  }
}

}  // namespace
