// The byte limits of the group property dialog and the storing of its texts
// into the group record's fields.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "GroupPropLogic.h"

namespace {

// 24 GBK characters of two bytes each.
std::string Chinese(size_t characters) {
  std::string text;
  for (size_t i = 0; i < characters; ++i) text += "词";
  return text;
}

TEST(GroupPropLimitTest, MessageNamesTheLimitInGbk) {
  // "请输入不多于 49 个的字符。" in GBK bytes.
  EXPECT_EQ(LimitMessage(49),
            "\xC7\xEB\xCA\xE4\xC8\xEB\xB2\xBB\xB6\xE0\xD3\xDA 49 "
            "\xB8\xF6\xB5\xC4\xD7\xD6\xB7\xFB\xA1\xA3");
  EXPECT_EQ(LimitMessage(199),
            "\xC7\xEB\xCA\xE4\xC8\xEB\xB2\xBB\xB6\xE0\xD3\xDA 199 "
            "\xB8\xF6\xB5\xC4\xD7\xD6\xB7\xFB\xA1\xA3");
}

TEST(GroupPropLimitTest, LimitsCountBytesNotCharacters) {
  ASSERT_EQ(Chinese(24).size(), 48u);
  const struct {
    std::string text;
    size_t limit;
    bool fits;
  } cases[] = {
      {"", GROUP_NAME_LIMIT, true},
      {Chinese(24) + "a", GROUP_NAME_LIMIT, true},
      {Chinese(25), GROUP_NAME_LIMIT, false},
      {std::string(49, 'e'), GROUP_EDITOR_LIMIT, true},
      {std::string(50, 'e'), GROUP_EDITOR_LIMIT, false},
      {Chinese(99) + "r", GROUP_REMARK_LIMIT, true},
      {Chinese(100), GROUP_REMARK_LIMIT, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextWithinLimit(c.text, c.limit), c.fits) << c.text.size() << " of " << c.limit;
  }
}

TEST(GroupPropFieldTest, LongestTextIsStoredWithItsTerminator) {
  char field[50];
  std::memset(field, 'x', sizeof field);
  const std::string name = Chinese(24) + "a";
  ASSERT_TRUE(StoreFieldText(field, sizeof field, name));
  EXPECT_EQ(std::memcmp(field, name.data(), 49), 0);
  EXPECT_EQ(field[49], '\0');
}

TEST(GroupPropFieldTest, ShorterTextZeroesTheRestOfTheField) {
  char field[200];
  std::memset(field, 'x', sizeof field);
  ASSERT_TRUE(StoreFieldText(field, sizeof field, "remark"));
  EXPECT_STREQ(field, "remark");
  for (size_t i = 6; i < sizeof field; ++i) ASSERT_EQ(field[i], '\0') << i;

  ASSERT_TRUE(StoreFieldText(field, sizeof field, ""));
  for (size_t i = 0; i < sizeof field; ++i) ASSERT_EQ(field[i], '\0') << i;
}

TEST(GroupPropFieldTest, TooLongTextLeavesTheFieldAlone) {
  char field[50];
  std::memset(field, 'x', sizeof field);
  EXPECT_FALSE(StoreFieldText(field, sizeof field, std::string(50, 'n')));
  for (char c : field) ASSERT_EQ(c, 'x');
}

TEST(GroupPropFieldTest, FieldTextStopsAtTheNulOrTheFieldsEnd) {
  char field[50] = "name";
  EXPECT_EQ(FieldText(field, sizeof field), "name");
  std::memset(field, 'z', sizeof field);
  EXPECT_EQ(FieldText(field, sizeof field), std::string(50, 'z'));
  std::memset(field, 0, sizeof field);
  EXPECT_EQ(FieldText(field, sizeof field), "");
}

}  // namespace
